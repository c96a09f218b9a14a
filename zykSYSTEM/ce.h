// CCE: the Windows CE device identification.
#pragma once
#include "system.h"

// The platform identification of a Windows CE device, from the registry.
class CCE : public sys::Plain<ICE, &IID_ICE, &CLSID_CE, &DIID__ICEEvents> {
public:
    HRESULT STDMETHODCALLTYPE get_Manufacturer(BSTR* out) override { return Read(out, "Manufacturer"); }
    HRESULT STDMETHODCALLTYPE get_Model(BSTR* out) override { return Read(out, "Model"); }
    HRESULT STDMETHODCALLTYPE get_Name(BSTR* out) override { return Read(out, "Name"); }
    HRESULT STDMETHODCALLTYPE get_Product(BSTR* out) override { return Read(out, "ProductID"); }

private:
    HRESULT Read(BSTR* out, const char* value);
};

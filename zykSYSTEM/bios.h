// CBIOS: the BIOS identification.
#pragma once
#include "system.h"

// The BIOS identification, from the registry.
class CBIOS : public sys::Plain<IBIOS, &IID_IBIOS, &CLSID_BIOS, &DIID__IBIOSEvents> {
public:
    HRESULT STDMETHODCALLTYPE get_Name(BSTR* out) override;
    HRESULT STDMETHODCALLTYPE get_Date(VARIANT* out) override;
    HRESULT STDMETHODCALLTYPE get_Version(BSTR* out) override;
};

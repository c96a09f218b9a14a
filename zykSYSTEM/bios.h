#pragma once
#include "system.h"
#include "com/object.h"

// The BIOS identification, from the registry.
class CBIOS : public zyk::com::CoClass<CBIOS, IBIOS, &IID_IBIOS, &CLSID_BIOS> {
public:
    HRESULT STDMETHODCALLTYPE get_Name(BSTR* out) override;
    HRESULT STDMETHODCALLTYPE get_Date(VARIANT* out) override;
    HRESULT STDMETHODCALLTYPE get_Version(BSTR* out) override;
};

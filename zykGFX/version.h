// CVersion: the installed DirectX version.
#pragma once
#include "gfx.h"
#include "com/object.h"

// The installed DirectX version, probed afresh on every call: 0x0600 and below.
DWORD DetectDirectXVersion();

class CVersion : public zyk::com::CoClass<IVersion, &IID_IVersion, &CLSID_Version> {
public:
    // The probe runs inside the member, not before it.
    HRESULT STDMETHODCALLTYPE get_Major(long* out) override
    {
        return Member([&] { return zyk::com::CopyOut((DetectDirectXVersion() >> 8) & 0xFF, out); });
    }
    HRESULT STDMETHODCALLTYPE get_Minor(long* out) override
    {
        return Member([&] { return zyk::com::CopyOut(DetectDirectXVersion() & 0xFF, out); });
    }
};

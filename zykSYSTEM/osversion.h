// COSVersion: the operating system's version, and GetOSType.
#pragma once
#include "system.h"

// The kind of Windows that an OSVERSIONINFOA describes (ok false: the query failed).
wv_OS GetOSType(const OSVERSIONINFOA& info, bool ok);

// The operating system's version, read afresh on every call. Also an ActiveX control
// that shows an icon.
class COSVersion : public sys::Control<IOSVersion, &IID_IOSVersion, &CLSID_OSVersion, &DIID__IOSVersionEvents> {
public:
    HRESULT STDMETHODCALLTYPE get_Build(long* out) override;
    HRESULT STDMETHODCALLTYPE get_Major(long* out) override;
    HRESULT STDMETHODCALLTYPE get_Minor(long* out) override;
    HRESULT STDMETHODCALLTYPE get_WinType(wv_OS* out) override;

private:
    HRESULT Read(long* out, DWORD OSVERSIONINFOA::*field, const char* failed);

    OSVERSIONINFOA info_{};
};

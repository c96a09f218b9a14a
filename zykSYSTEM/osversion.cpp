// COSVersion and GetOSType: the version figures and the kind of Windows.
#include "osversion.h"

namespace {

bool QueryVersion(OSVERSIONINFOA& info)
{
    info = OSVERSIONINFOA{};
    info.dwOSVersionInfoSize = sizeof info;
    return GetVersionExA(&info) != FALSE;
}

} // namespace

wv_OS GetOSType(const OSVERSIONINFOA& info, bool ok)
{
    if (!ok) return wv_Unknown;
    switch (info.dwPlatformId) {
    case VER_PLATFORM_WIN32s: return wv_Win32s;
    case VER_PLATFORM_WIN32_WINDOWS:
        if (info.dwMajorVersion > 4 || (info.dwMajorVersion == 4 && info.dwMinorVersion != 0)) return wv_Win98;
        return wv_Win95;
    case VER_PLATFORM_WIN32_NT:
        if (info.dwMajorVersion == 4) return wv_NT4;
        if (info.dwMajorVersion == 5) return wv_Win2000;
        return wv_Unknown;
    default: return wv_Unknown;
    }
}

HRESULT COSVersion::Read(long* out, DWORD OSVERSIONINFOA::*field, const char* failed)
{
    return Member([&] {
        *zyk::com::CheckedOut(out) = 0;
        if (!QueryVersion(info_)) throw failure(E_FAIL, failed);
        *out = static_cast<long>(info_.*field);
    });
}

HRESULT COSVersion::get_Build(long* out)
{
    return Read(out, &OSVERSIONINFOA::dwBuildNumber, "Failed to obtain Build Number.");
}

HRESULT COSVersion::get_Major(long* out)
{
    return Read(out, &OSVERSIONINFOA::dwMajorVersion, "Failed to obtain Major Version Number.");
}

HRESULT COSVersion::get_Minor(long* out)
{
    return Read(out, &OSVERSIONINFOA::dwMinorVersion, "Failed to obtain Minor Version Number.");
}

HRESULT COSVersion::get_WinType(wv_OS* out)
{
    return Member([&] {
        OSVERSIONINFOA info;
        const bool ok = QueryVersion(info);
        return zyk::com::CopyOut(GetOSType(info, ok), out);
    });
}

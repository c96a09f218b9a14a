// DetectDirectXVersion: the installed DirectX version, probed through DirectInput and DirectDraw.
#include "version.h"
#include "com/trace.h"

using zyk::com::DebugOut;

namespace {

using DirectDrawCreateFn = HRESULT(WINAPI*)(GUID*, IDirectDraw**, IUnknown*);

// Whether DirectInput's creation function is there (DirectX 3 and later have it).
bool HasDirectInput()
{
    HMODULE dinput = LoadLibraryA("DINPUT.DLL");
    if (!dinput) {
        DebugOut("Couldn't LoadLibrary DInput\r\n");
        return false;
    }
    FARPROC create = GetProcAddress(dinput, "DirectInputCreateA");
    FreeLibrary(dinput);
    if (!create) {
        DebugOut("Couldn't GetProcAddress DInputCreate\r\n");
        return false;
    }
    return true;
}

DWORD ProbeDirectDraw(HMODULE ddraw)
{
    auto create = reinterpret_cast<DirectDrawCreateFn>(GetProcAddress(ddraw, "DirectDrawCreate"));
    if (!create) {
        DebugOut("Couldn't LoadLibrary DDraw\r\n");
        return 0;
    }
    IDirectDraw* dd = nullptr;
    if (FAILED(create(nullptr, &dd, nullptr)) || !dd) {
        DebugOut("Couldn't create DDraw\r\n");
        return 0;
    }
    DWORD version = 0x100;
    IDirectDraw2* dd2 = nullptr;
    if (FAILED(dd->QueryInterface(IID_IDirectDraw2, reinterpret_cast<void**>(&dd2))) || !dd2) {
        DebugOut("Couldn't QI DDraw2\r\n");
        dd->Release();
        return version;
    }
    dd2->Release();
    version = 0x200;
    if (!HasDirectInput()) {
        dd->Release();
        return version;
    }
    version = 0x300;
    if (FAILED(dd->SetCooperativeLevel(nullptr, DDSCL_NORMAL))) {
        DebugOut("Couldn't Set coop level\r\n");
        dd->Release();
        return 0;
    }
    DDSURFACEDESC desc{};
    desc.dwSize = sizeof desc;
    desc.dwFlags = DDSD_CAPS;
    desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
    IDirectDrawSurface* primary = nullptr;
    if (FAILED(dd->CreateSurface(&desc, &primary, nullptr)) || !primary) {
        DebugOut("Couldn't CreateSurface\r\n");
        dd->Release();
        return 0;
    }
    IUnknown* newer = nullptr;
    if (SUCCEEDED(primary->QueryInterface(IID_IDirectDrawSurface3, reinterpret_cast<void**>(&newer))) && newer) {
        newer->Release();
        version = 0x500;
        newer = nullptr;
        if (SUCCEEDED(primary->QueryInterface(IID_IDirectDrawSurface4, reinterpret_cast<void**>(&newer))) && newer) {
            newer->Release();
            version = 0x600;
        }
    }
    primary->Release();
    dd->Release();
    return version;
}

} // namespace

DWORD DetectDirectXVersion()
{
    OSVERSIONINFOA os{};
    os.dwOSVersionInfoSize = sizeof os;
    if (!GetVersionExA(&os)) return 0;
    if (os.dwPlatformId == VER_PLATFORM_WIN32_NT) {
        if (os.dwMajorVersion < 4) return 0;
        if (os.dwMajorVersion == 4) return HasDirectInput() ? 0x300 : 0x200;
    }
    HMODULE ddraw = LoadLibraryA("DDRAW.DLL");
    if (!ddraw) return 0;
    DWORD version = ProbeDirectDraw(ddraw);
    FreeLibrary(ddraw);
    return version;
}

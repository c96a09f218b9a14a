// The full-screen and normal levels of a DirectDraw object on a client's window (see display.h).
#include "display.h"

namespace zyk::image {

bool OfAnotherProcess(HWND window)
{
    DWORD process = 0;
    return GetWindowThreadProcessId(window, &process) && process != GetCurrentProcessId();
}

HRESULT SetFullScreenLevel(IDirectDraw7* dd, HWND window, DWORD extra)
{
    DWORD level = DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN | extra;
    if (OfAnotherProcess(window)) {
        HRESULT hr = dd->SetCooperativeLevel(window, DDSCL_SETFOCUSWINDOW);
        if (FAILED(hr)) return hr;
        level |= DDSCL_CREATEDEVICEWINDOW;
    }
    return dd->SetCooperativeLevel(window, level);
}

HRESULT SetNormalLevelAfterFullScreen(IDirectDraw7* dd, HWND window, DWORD extra)
{
    return dd->SetCooperativeLevel(OfAnotherProcess(window) ? nullptr : window, DDSCL_NORMAL | extra);
}

} // namespace zyk::image

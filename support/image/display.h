// The exclusive full-screen level of a DirectDraw object on a client's window, which may be
// one of another process (a script host's), and the normal level given back after it.
#pragma once
#include <windows.h>
#include <ddraw.h>

namespace zyk::image {

// Whether the window is one of another process.
bool OfAnotherProcess(HWND window);

// The exclusive full-screen level (with the extra flags) on window. On a window of another
// process, where the platform cannot draw, that window is only the focus window and
// DirectDraw draws in a device window that it makes in this process.
HRESULT SetFullScreenLevel(IDirectDraw7* dd, HWND window, DWORD extra = 0);

// The normal level (with the extra flags) after SetFullScreenLevel on window: set with no
// window for another process's, since the platform would try to draw in that window again.
HRESULT SetNormalLevelAfterFullScreen(IDirectDraw7* dd, HWND window, DWORD extra = 0);

} // namespace zyk::image

// What the tests of the 2D graphics server share: objects by ProgID, a DirectDraw object
// and surfaces of the test's own, pixels read back, bitmap files written by the test.
#pragma once
#include "testkit.h"
#include "zykGFX.h"
#include <ddraw.h>
#include <functional>
#include <string>
#include <vector>

namespace gfx_test {

template <class Itf>
Itf* New(const wchar_t* progId, REFIID iid)
{
    return testkit::Create<Itf>(progId, iid);
}

// The interface behind a dispatch pointer that a member returned (the pointer is released).
template <class Itf>
Itf* Take(IDispatch* d, REFIID iid)
{
    Itf* p = nullptr;
    if (d) {
        d->QueryInterface(iid, reinterpret_cast<void**>(&p));
        d->Release();
    }
    return p;
}

inline long Handle(const void* p) { return static_cast<long>(reinterpret_cast<LONG_PTR>(p)); }

// The references an interface has (one is taken and given back to count them).
template <class Itf>
ULONG Refs(Itf* p)
{
    p->AddRef();
    return p->Release();
}

// A DirectDraw object of the test's own, at the normal cooperative level.
struct OwnDirectDraw {
    OwnDirectDraw();
    ~OwnDirectDraw();
    IDirectDraw7* dd = nullptr;
};

// An off-screen surface in the display's format, filled with a colour (0x00RRGGBB).
IDirectDrawSurface7* Offscreen(IDirectDraw7* dd, int width, int height, DWORD fill = 0);
// The pixel of a 32-bit surface as 0x00RRGGBB (0xFFFFFFFF when it cannot be read).
DWORD PixelAt(IDirectDrawSurface7* surface, int x, int y);

// A bottom-up (or top-down) 24-bit .bmp of width x height, pixel(x, y) giving 0x00RRGGBB.
std::string Bmp24(int width, int height, const std::function<DWORD(int, int)>& pixel, bool topDown = false);
// A bottom-up palettised .bmp (1, 4 or 8 bits) with the given colours (0x00RRGGBB) and
// biClrUsed; all pixels index 0.
std::string BmpIndexed(int width, int height, int bits, const std::vector<DWORD>& colours, DWORD clrUsed);
// Writes bytes to a file in the temporary folder and gives its path.
std::string TempFile(const char* name, const std::string& bytes);

// The thread's error information is this failure: the system's text for hr (if any)
// followed by text, from the class's ProgID and interface.
void ExpectFailure(const wchar_t* source, REFIID iid, HRESULT hr, const std::string& text);
// The same for a text given whole (no system text in front).
void ExpectText(const wchar_t* source, REFIID iid, const std::string& text);

// A windowed device, initialised on a test window of width x height.
struct WindowedDevice {
    WindowedDevice(int width, int height, long surfaceWidth = 0, long surfaceHeight = 0);
    ~WindowedDevice();
    HWND window = nullptr;
    IDevice* device = nullptr;
    HRESULT initialised = E_FAIL;
};

} // namespace gfx_test

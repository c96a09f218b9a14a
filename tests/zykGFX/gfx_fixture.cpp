#include "gfx_fixture.h"
#include <cstdio>

namespace gfx_test {

OwnDirectDraw::OwnDirectDraw()
{
    EXPECT_EQ(DirectDrawCreateEx(nullptr, reinterpret_cast<void**>(&dd), IID_IDirectDraw7, nullptr), S_OK);
    if (dd) {
        EXPECT_EQ(dd->SetCooperativeLevel(nullptr, DDSCL_NORMAL), S_OK);
    }
}

OwnDirectDraw::~OwnDirectDraw()
{
    if (dd) dd->Release();
}

IDirectDrawSurface7* Offscreen(IDirectDraw7* dd, int width, int height, DWORD fill)
{
    DDSURFACEDESC2 desc{};
    desc.dwSize = sizeof desc;
    desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
    desc.dwWidth = static_cast<DWORD>(width);
    desc.dwHeight = static_cast<DWORD>(height);
    desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN;
    IDirectDrawSurface7* s = nullptr;
    EXPECT_EQ(dd->CreateSurface(&desc, &s, nullptr), S_OK);
    if (s) {
        DDBLTFX fx{};
        fx.dwSize = sizeof fx;
        fx.dwFillColor = fill;
        EXPECT_EQ(s->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx), S_OK);
    }
    return s;
}

DWORD PixelAt(IDirectDrawSurface7* surface, int x, int y)
{
    DDSURFACEDESC2 desc{};
    desc.dwSize = sizeof desc;
    if (FAILED(surface->Lock(nullptr, &desc, DDLOCK_WAIT | DDLOCK_READONLY, nullptr))) return 0xFFFFFFFF;
    DWORD p = 0xFFFFFFFF;
    if (desc.ddpfPixelFormat.dwRGBBitCount == 32 && x >= 0 && y >= 0 && x < static_cast<int>(desc.dwWidth) &&
        y < static_cast<int>(desc.dwHeight))
        p = reinterpret_cast<const DWORD*>(static_cast<const BYTE*>(desc.lpSurface) + y * desc.lPitch)[x] & 0xFFFFFF;
    surface->Unlock(nullptr);
    return p;
}

namespace {

void Put16(std::string& s, unsigned v)
{
    s += static_cast<char>(v & 0xFF);
    s += static_cast<char>(v >> 8 & 0xFF);
}
void Put32(std::string& s, unsigned long v)
{
    for (int i = 0; i < 4; ++i) s += static_cast<char>(v >> (8 * i) & 0xFF);
}

std::string Headers(int width, int height, int bits, DWORD colours, DWORD clrUsed, size_t image)
{
    std::string s = "BM";
    const unsigned long offset = 14 + 40 + colours * 4;
    Put32(s, offset + image);
    Put32(s, 0);
    Put32(s, offset);
    Put32(s, 40);
    Put32(s, static_cast<unsigned long>(width));
    Put32(s, static_cast<unsigned long>(height));
    Put16(s, 1);
    Put16(s, static_cast<unsigned>(bits));
    Put32(s, 0);
    Put32(s, image);
    Put32(s, 2835);
    Put32(s, 2835);
    Put32(s, clrUsed);
    Put32(s, 0);
    return s;
}

} // namespace

std::string Bmp24(int width, int height, const std::function<DWORD(int, int)>& pixel, bool topDown)
{
    const int stride = (width * 3 + 3) & ~3;
    std::string s = Headers(width, topDown ? -height : height, 24, 0, 0, static_cast<size_t>(stride) * height);
    for (int line = 0; line < height; ++line) {
        const int y = topDown ? line : height - 1 - line;
        std::string row;
        for (int x = 0; x < width; ++x) {
            DWORD p = pixel(x, y);
            row += static_cast<char>(p & 0xFF);
            row += static_cast<char>(p >> 8 & 0xFF);
            row += static_cast<char>(p >> 16 & 0xFF);
        }
        row.resize(stride, '\0');
        s += row;
    }
    return s;
}

std::string BmpIndexed(int width, int height, int bits, const std::vector<DWORD>& colours, DWORD clrUsed)
{
    const int stride = ((width * bits + 31) / 32) * 4;
    std::string s =
        Headers(width, height, bits, static_cast<DWORD>(colours.size()), clrUsed, static_cast<size_t>(stride) * height);
    for (DWORD c : colours) {
        s += static_cast<char>(c & 0xFF);       // blue
        s += static_cast<char>(c >> 8 & 0xFF);  // green
        s += static_cast<char>(c >> 16 & 0xFF); // red
        s += '\0';
    }
    s += std::string(static_cast<size_t>(stride) * height, '\0');
    return s;
}

std::string TempFile(const char* name, const std::string& bytes)
{
    std::string path = testkit::TempPath(name);
    testkit::WriteAll(path, bytes);
    return path;
}

void ExpectFailure(const wchar_t* source, REFIID iid, HRESULT hr, const std::string& text)
{
    testkit::ExpectError(source, iid, testkit::SystemText(hr) + testkit::Widen(text));
}

void ExpectText(const wchar_t* source, REFIID iid, const std::string& text)
{
    testkit::ExpectError(source, iid, testkit::Widen(text));
}

WindowedDevice::WindowedDevice(int width, int height, long surfaceWidth, long surfaceHeight)
{
    window = testkit::CreateTestWindow(width, height, "zykGFX test");
    device = New<IDevice>(L"ZYKGFX.Device", IID_IDevice);
    if (!device) return;
    device->put_Window(Handle(window));
    initialised = device->Initialise(surfaceWidth, surfaceHeight, 0, 0, 0);
    // The first pump after the set-up repaints the window once; frames come after it.
    testkit::PumpMessages();
}

WindowedDevice::~WindowedDevice()
{
    if (device) {
        device->Free();
        device->Release();
    }
    if (window) DestroyWindow(window);
}

} // namespace gfx_test

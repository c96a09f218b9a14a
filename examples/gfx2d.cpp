// The 2D sample: a window, a zykGFX Device created by ProgID, three bitmap objects loaded
// from files (a tiled floor, a colour-keyed ship and a mirrored arrow), a few hundred
// flipped frames, and the last frame written to a .bmp file (and, under "tools/zyk gfx",
// a screenshot of the display taken while that frame is shown).
#include "screen.h"
#include "zykGFX.h"
#include <cstdio>
#include <string>

namespace {

const int kWidth = 640, kHeight = 480, kFrames = 240;

using sample::Fail;

// A 24-bit .bmp of width x height from pixel(x, y) = 0x00RRGGBB.
template <class Pixel>
std::string WritePicture(const char* name, int width, int height, Pixel pixel)
{
    std::vector<DWORD> pixels(static_cast<size_t>(width) * height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) pixels[static_cast<size_t>(y) * width + x] = pixel(x, y);
    char full[MAX_PATH] = {};
    GetFullPathNameA(name, MAX_PATH, full, nullptr);
    if (!sample::WriteBmp(full, width, height, pixels)) Fail("writing a bitmap", E_FAIL);
    return full;
}

IObject* Add(IObjects* objects, const std::string& path)
{
    wchar_t wide[MAX_PATH] = {};
    MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH);
    BSTR name = SysAllocString(wide);
    IDispatch* d = nullptr;
    HRESULT hr = objects->get_Add(name, 0, 0, 0, &d);
    SysFreeString(name);
    if (FAILED(hr)) Fail("Objects.Add", hr);
    IObject* o = nullptr;
    d->QueryInterface(IID_IObject, reinterpret_cast<void**>(&o));
    d->Release();
    return o;
}

} // namespace

int main(int argc, char** argv)
{
    const char* out = argc > 1 ? argv[1] : "gfx2d_last_frame.bmp";
    CoInitialize(nullptr);
    HWND window = sample::CreateGameWindow("Zykware 2D sample", kWidth, kHeight);

    CLSID clsid;
    HRESULT hr = CLSIDFromProgID(L"ZYKGFX.Device", &clsid);
    if (FAILED(hr)) Fail("CLSIDFromProgID", hr);
    IDevice* device = nullptr;
    hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDevice, reinterpret_cast<void**>(&device));
    if (FAILED(hr)) Fail("CoCreateInstance", hr);
    device->put_Window(static_cast<long>(reinterpret_cast<LONG_PTR>(window)));
    if (FAILED(hr = device->Initialise(kWidth, kHeight, 0, 0, 0))) Fail("Initialise", hr);
    // The first pump after Initialise repaints the client area once; frames come after it.
    sample::PumpMessages();

    // The pictures: a checked floor tile, a ship on magenta (its transparent colour) and an
    // arrow pointing right, drawn mirrored so that it points left.
    const std::string tile = WritePicture("gfx2d_tile.bmp", 32, 32, [](int x, int y) -> DWORD {
        return ((x / 16) ^ (y / 16)) & 1 ? 0x2E6B3A : 0x3F8F4E;
    });
    const std::string ship = WritePicture("gfx2d_ship.bmp", 64, 48, [](int x, int y) -> DWORD {
        const int half = y * 32 / 48; // a triangle pointing up
        if (y >= 4 && x >= 32 - half && x < 32 + half) return y > 36 ? 0xFF8C00 : 0xE0E0F0;
        return 0xFF00FF;
    });
    const std::string arrow = WritePicture("gfx2d_arrow.bmp", 64, 32, [](int x, int y) -> DWORD {
        const int dy = y < 16 ? 16 - y : y - 15;
        if (x >= 40) return x - 40 < 24 - dy ? 0xF0D000 : 0x101820; // the head, on the right
        return dy <= 5 ? 0xF0D000 : 0x101820;
    });

    IDispatch* d = nullptr;
    if (FAILED(hr = device->get_Objects(&d))) Fail("Objects", hr);
    IObjects* objects = nullptr;
    d->QueryInterface(IID_IObjects, reinterpret_cast<void**>(&objects));
    d->Release();
    IObject* floor = Add(objects, tile);
    IObject* player = Add(objects, ship);
    IObject* pointer = Add(objects, arrow);
    if (FAILED(hr = player->put_TransparencyColour(RGB(255, 0, 255)))) Fail("TransparencyColour", hr);
    player->put_Transparent(1);

    int x = 0;
    for (int frame = 0; frame < kFrames; ++frame) {
        sample::PumpMessages();
        if (FAILED(hr = device->Clear(0x402010, 0, 0, 0, 0))) Fail("Clear", hr); // dark blue (0x00BBGGRR)
        for (int tx = 0; tx < kWidth; tx += 32)
            for (int ty = 352; ty < kHeight; ty += 32)
                if (FAILED(hr = floor->Draw(tx, ty, 0, 0, 0, 0, 0, 0, 0, 0, 0))) Fail("Draw floor", hr);
        x = (frame * 2) % (kWidth + 64) - 64; // enters on the left, leaves on the right
        if (FAILED(hr = player->Draw(x, 300, 0, 0, 0, 0, 0, 0, 0, 0, 0))) Fail("Draw ship", hr);
        if (FAILED(hr = pointer->Draw(480, 120, 0, 0, 0, 0, 0, 0, 0, 1, 0))) Fail("Draw arrow", hr);
        if (FAILED(hr = pointer->Draw(96, 120, 128, 64, 1, 0, 64, 32, 0, 0, 0))) Fail("Draw arrow", hr);
        if (FAILED(hr = device->Flip(1))) Fail("Flip", hr);
    }
    printf("frames: %d, ship at x %d\n", kFrames, x);

    std::vector<DWORD> pixels;
    char full[MAX_PATH] = {};
    GetFullPathNameA(out, MAX_PATH, full, nullptr);
    if (sample::CaptureClient(window, kWidth, kHeight, pixels) && sample::WriteBmp(full, kWidth, kHeight, pixels)) {
        printf("last frame: %s\n", full);
    } else {
        fprintf(stderr, "could not write the last frame\n");
        return 1;
    }
    std::string shot = sample::OfferScreenshot();
    if (!shot.empty()) printf("screenshot of the display: %s\n", shot.c_str());
    fflush(stdout);

    pointer->Release();
    player->Release();
    floor->Release();
    objects->Release();
    device->Free();
    device->Release();
    DestroyWindow(window);
    CoUninitialize();
    return 0;
}

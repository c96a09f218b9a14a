// Cost of drawing N bitmap objects through Object.Draw against the same Blts made directly
// on DirectDraw (the same back surface, the same object surface, the same rectangles),
// side by side in one process. Prints the times and their ratio.
//
// The batch drawn right after a Flip runs while the flip is being presented and is slower
// for it, whichever way it draws: so every round draws twice, once with Object.Draw first
// after the Flip and once with the direct Blts first, and each side's time is the sum of
// its two batches. The ratio is the median of the rounds' own ratios, so that a change
// in the machine's load between rounds does not enter it.
#include "bench.h"
#include "screen.h"
#include "zykGFX.h"
#include <ddraw.h>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

const int kWidth = 320, kHeight = 240, kObjects = 200, kRounds = 15, kSize = 32;

template <class T>
T* FromHandle(long h)
{
    return reinterpret_cast<T*>(static_cast<LONG_PTR>(h));
}

} // namespace

int main()
{
    CoInitialize(nullptr);
    HWND window = sample::CreateGameWindow("Object.Draw benchmark", kWidth, kHeight);
    IDevice* device = nullptr;
    CLSID clsid;
    if (FAILED(CLSIDFromProgID(L"ZYKGFX.Device", &clsid)) ||
        FAILED(
            CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDevice, reinterpret_cast<void**>(&device)))) {
        fprintf(stderr, "ZYKGFX.Device is not registered\n");
        return 1;
    }
    device->put_Window(static_cast<long>(reinterpret_cast<LONG_PTR>(window)));
    if (FAILED(device->Initialise(kWidth, kHeight, 0, 0, 0))) {
        fprintf(stderr, "Device.Initialise failed\n");
        return 1;
    }
    sample::PumpMessages();
    IDispatch* d = nullptr;
    device->get_Objects(&d);
    IObjects* objects = nullptr;
    d->QueryInterface(IID_IObjects, reinterpret_cast<void**>(&objects));
    d->Release();
    BSTR empty = SysAllocString(L"");
    objects->get_Add(empty, kSize, kSize, 0, &d);
    SysFreeString(empty);
    IObject* object = nullptr;
    d->QueryInterface(IID_IObject, reinterpret_cast<void**>(&object));
    d->Release();

    long back = 0, surface = 0;
    device->get_BackSurface(&back);
    object->get_Surface(&surface);
    IDirectDrawSurface7* backSurface = FromHandle<IDirectDrawSurface7>(back);
    IDirectDrawSurface7* objectSurface = FromHandle<IDirectDrawSurface7>(surface);

    // The positions the objects are drawn at, all on the screen.
    std::vector<POINT> at;
    for (int i = 0; i < kObjects; ++i) at.push_back({(i * 37) % (kWidth - kSize), (i * 23) % (kHeight - kSize)});

    auto drawBatch = [&] {
        const double t0 = sample::Now();
        for (const POINT& p : at) object->Draw(p.x, p.y, 0, 0, 0, 0, 0, 0, 0, 0, 0);
        return sample::Now() - t0;
    };
    auto directBatch = [&] {
        const double t0 = sample::Now();
        for (const POINT& p : at) {
            RECT source{0, 0, kSize, kSize}, destination{p.x, p.y, p.x + kSize, p.y + kSize};
            DDBLTFX fx{};
            fx.dwSize = sizeof fx;
            backSurface->Blt(&destination, objectSurface, &source, DDBLT_WAIT, &fx);
        }
        return sample::Now() - t0;
    };
    // What Object.Draw costs besides the Blt: the object drawn wholly off the screen, which
    // it answers before it touches a surface.
    auto offScreenBatch = [&] {
        const double t0 = sample::Now();
        for (const POINT& p : at) object->Draw(p.x + kWidth, p.y, 0, 0, 0, 0, 0, 0, 0, 0, 0);
        return sample::Now() - t0;
    };
    auto flip = [&] {
        device->Flip(1);
        sample::PumpMessages();
    };

    std::vector<double> drawn, direct, ratio, drawnFirst, directFirst, offScreen;
    for (int round = 0; round < kRounds; ++round) {
        const double d1 = drawBatch(), b1 = directBatch();
        flip();
        const double b2 = directBatch(), d2 = drawBatch();
        flip();
        drawn.push_back((d1 + d2) / (2 * kObjects));
        direct.push_back((b1 + b2) / (2 * kObjects));
        ratio.push_back((d1 + d2) / (b1 + b2));
        drawnFirst.push_back(d1 / b1);
        directFirst.push_back(d2 / b2);
    }
    for (int round = 0; round < kRounds; ++round) offScreen.push_back(offScreenBatch() / kObjects);
    printf("%d objects of %dx%d, median of %d rounds\n", kObjects, kSize, kSize, kRounds);
    printf("Object.Draw:  %.2f us per object\n", sample::Median(drawn) * 1e6);
    printf("direct Blt:   %.2f us per object\n", sample::Median(direct) * 1e6);
    printf("Object.Draw wholly off the screen (no surface call): %.3f us per object\n",
           sample::Median(offScreen) * 1e6);
    printf("ratio with Object.Draw first after the Flip: %.3f, with the direct Blts first: %.3f\n",
           sample::Median(drawnFirst), sample::Median(directFirst));
    printf("ratio (Object.Draw / direct Blt): %.3f\n", sample::Median(ratio));

    object->Release();
    objects->Release();
    device->Free();
    device->Release();
    DestroyWindow(window);
    CoUninitialize();
    return 0;
}

// Cost of drawing N bitmap objects through Object.Draw against the same Blts made directly
// on DirectDraw (the same back surface, the same object surface, the same rectangles),
// side by side in one process. Prints the times and their ratio.
#include "bench.h"
#include "screen.h"
#include "zykGFX.h"
#include <ddraw.h>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

const int kWidth = 320, kHeight = 240, kObjects = 200, kRounds = 9, kSize = 32;

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
        FAILED(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDevice, reinterpret_cast<void**>(&device)))) {
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

    std::vector<double> drawn, direct;
    for (int round = 0; round < kRounds; ++round) {
        double t0 = sample::Now();
        for (const POINT& p : at) object->Draw(p.x, p.y, 0, 0, 0, 0, 0, 0, 0, 0, 0);
        double t1 = sample::Now();
        for (const POINT& p : at) {
            RECT source{0, 0, kSize, kSize}, destination{p.x, p.y, p.x + kSize, p.y + kSize};
            DDBLTFX fx{};
            fx.dwSize = sizeof fx;
            backSurface->Blt(&destination, objectSurface, &source, DDBLT_WAIT, &fx);
        }
        double t2 = sample::Now();
        drawn.push_back((t1 - t0) / kObjects);
        direct.push_back((t2 - t1) / kObjects);
        device->Flip(1);
        sample::PumpMessages();
    }
    const double o = sample::Median(drawn), b = sample::Median(direct);
    printf("%d objects of %dx%d, median of %d rounds\n", kObjects, kSize, kSize, kRounds);
    printf("Object.Draw:  %.2f us per object\n", o * 1e6);
    printf("direct Blt:   %.2f us per object\n", b * 1e6);
    printf("ratio (Object.Draw / direct Blt): %.3f\n", o / b);

    object->Release();
    objects->Release();
    device->Free();
    device->Release();
    DestroyWindow(window);
    CoUninitialize();
    return 0;
}

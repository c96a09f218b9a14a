// Cost of setting up and tearing down a Device3D (CoCreateInstance, Window, Initialise
// windowed, Free, Release) against the DirectDraw 7 and Direct3D 7 calls that its
// Initialise and Free make through the D3DX layer, made directly: the enumeration of the
// drivers and their devices that starts D3DX, the display mode, the context's DirectDraw
// object, cooperative level, primary, clipper, back buffer, z-buffer, device and
// viewport, the device states Initialise sets, and the releases in the same order. Side
// by side in one process on windows of the same size, the side that goes first changing
// from round to round. Prints each round's times, the medians and the median of the
// rounds' ratios. The first round of each side is printed apart and left out of the
// medians: the first DirectDraw calls of the process (the Device3D's) load DirectDraw's
// libraries and the GL driver.
//   setup_bench [rounds]   (default 9)
#include "bench.h"
#include "engine.h"
#include "screen.h"
#include "zyk3D.h"
#include <d3d.h>
#include <ddraw.h>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

const int kWidth = 320, kHeight = 240;

[[noreturn]] void Stop(const char* what, HRESULT hr)
{
    fprintf(stderr, "%s failed (0x%08lX)\n", what, static_cast<unsigned long>(hr));
    exit(1);
}

void Check(HRESULT hr, const char* what)
{
    if (FAILED(hr)) Stop(what, hr);
}

template <class T>
void Release(T*& p)
{
    if (p) p->Release();
    p = nullptr;
}

// --- the server's side ---------------------------------------------------------

void EngineRound(const CLSID& clsid, HWND window)
{
    IDevice3D* device = nullptr;
    Check(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDevice3D, reinterpret_cast<void**>(&device)),
          "CoCreateInstance(zyk3D.Device3D)");
    Check(device->put_Window(static_cast<long>(reinterpret_cast<LONG_PTR>(window))), "Device3D.Window");
    Check(device->Initialise(0, kWidth, kHeight, VARIANT_FALSE, 0), "Device3D.Initialise");
    Check(device->Free(), "Device3D.Free");
    device->Release();
}

// --- the same calls made directly --------------------------------------------

struct Driver {
    bool hasGuid = false;
    GUID guid{};
};

BOOL WINAPI CollectDriver(GUID* guid, LPSTR, LPSTR, LPVOID list, HMONITOR)
{
    Driver d;
    d.hasGuid = guid != nullptr;
    if (guid) d.guid = *guid;
    static_cast<std::vector<Driver>*>(list)->push_back(d);
    return TRUE;
}

HRESULT WINAPI CollectDevice(LPSTR, LPSTR, LPD3DDEVICEDESC7 caps, LPVOID list)
{
    if (caps) static_cast<std::vector<D3DDEVICEDESC7>*>(list)->push_back(*caps);
    return D3DENUMRET_OK;
}

HRESULT WINAPI CollectDepth(LPDDPIXELFORMAT pf, LPVOID list)
{
    if (pf) static_cast<std::vector<DDPIXELFORMAT>*>(list)->push_back(*pf);
    return D3DENUMRET_OK;
}

// D3DX's order of preference: T&L hardware, hardware rasterisation, software, reference.
int Rank(const D3DDEVICEDESC7& caps)
{
    const GUID& g = caps.deviceGUID;
    if (IsEqualGUID(g, IID_IDirect3DTnLHalDevice)) return 0;
    if (IsEqualGUID(g, IID_IDirect3DHALDevice)) return 1;
    if (IsEqualGUID(g, IID_IDirect3DRGBDevice) || IsEqualGUID(g, IID_IDirect3DMMXDevice)) return 2;
    if (IsEqualGUID(g, IID_IDirect3DRefDevice)) return 3;
    if (IsEqualGUID(g, IID_IDirect3DNullDevice)) return 4;
    if (caps.dwDevCaps & D3DDEVCAPS_HWTRANSFORMANDLIGHT) return 0;
    if (caps.dwDevCaps & D3DDEVCAPS_HWRASTERIZATION) return 1;
    return 2;
}

struct Direct {
    std::vector<IDirectDraw7*> drivers; // the enumeration's, one a driver with devices
    IDirectDraw7* dd = nullptr;
    IDirect3D7* d3d = nullptr;
    IDirectDrawSurface7* primary = nullptr;
    IDirectDrawClipper* clipper = nullptr;
    IDirectDrawSurface7* back = nullptr;
    IDirectDrawSurface7* zbuf = nullptr;
    IDirect3DDevice7* device = nullptr;
};

void DirectSetUp(Direct& s, HWND window)
{
    // The start: every driver, its DirectDraw object and its devices; the first driver's
    // best device is the default one.
    std::vector<Driver> drivers;
    Check(DirectDrawEnumerateExA(CollectDriver, &drivers, DDENUM_ATTACHEDSECONDARYDEVICES | DDENUM_NONDISPLAYDEVICES),
          "DirectDrawEnumerateEx");
    Driver chosen;
    D3DDEVICEDESC7 caps{};
    for (const Driver& drv : drivers) {
        IDirectDraw7* dd = nullptr;
        if (FAILED(DirectDrawCreateEx(drv.hasGuid ? const_cast<GUID*>(&drv.guid) : nullptr,
                                      reinterpret_cast<void**>(&dd), IID_IDirectDraw7, nullptr)))
            continue;
        std::vector<D3DDEVICEDESC7> devices;
        IDirect3D7* d3d = nullptr;
        if (SUCCEEDED(dd->QueryInterface(IID_IDirect3D7, reinterpret_cast<void**>(&d3d)))) {
            d3d->EnumDevices(CollectDevice, &devices);
            d3d->Release();
        }
        if (devices.empty() || FAILED(dd->SetCooperativeLevel(nullptr, DDSCL_NORMAL | DDSCL_FPUPRESERVE))) {
            dd->Release();
            continue;
        }
        if (s.drivers.empty()) {
            chosen = drv;
            caps =
                *std::min_element(devices.begin(), devices.end(),
                                  [](const D3DDEVICEDESC7& a, const D3DDEVICEDESC7& b) { return Rank(a) < Rank(b); });
        }
        s.drivers.push_back(dd);
    }
    if (s.drivers.empty()) Stop("the enumeration", E_FAIL);
    const bool software = Rank(caps) >= 2;

    // The display mode kept for the way back from full screen.
    DDSURFACEDESC2 saved{};
    saved.dwSize = sizeof saved;
    Check(s.drivers.front()->GetDisplayMode(&saved), "GetDisplayMode");

    // The context.
    Check(DirectDrawCreateEx(chosen.hasGuid ? &chosen.guid : nullptr, reinterpret_cast<void**>(&s.dd), IID_IDirectDraw7,
                             nullptr),
          "DirectDrawCreateEx");
    Check(s.dd->SetCooperativeLevel(window, DDSCL_NORMAL | DDSCL_FPUPRESERVE), "SetCooperativeLevel");
    Check(s.dd->QueryInterface(IID_IDirect3D7, reinterpret_cast<void**>(&s.d3d)), "QueryInterface(IDirect3D7)");
    DDSURFACEDESC2 mode{};
    mode.dwSize = sizeof mode;
    Check(s.dd->GetDisplayMode(&mode), "GetDisplayMode");
    std::vector<DDPIXELFORMAT> depths;
    Check(s.d3d->EnumZBufferFormats(caps.deviceGUID, CollectDepth, &depths), "EnumZBufferFormats");
    auto depth = std::find_if(depths.begin(), depths.end(), [](const DDPIXELFORMAT& pf) {
        return pf.dwZBufferBitDepth == 16 && !((pf.dwFlags & DDPF_STENCILBUFFER) && pf.dwStencilBitDepth);
    });
    if (depth == depths.end()) depth = depths.begin();

    DDSURFACEDESC2 sd{};
    sd.dwSize = sizeof sd;
    sd.dwFlags = DDSD_CAPS;
    sd.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
    Check(s.dd->CreateSurface(&sd, &s.primary, nullptr), "CreateSurface(primary)");
    Check(s.dd->CreateClipper(0, &s.clipper, nullptr), "CreateClipper");
    Check(s.clipper->SetHWnd(0, window), "SetHWnd");
    Check(s.primary->SetClipper(s.clipper), "SetClipper");
    const DWORD memory = software ? DDSCAPS_SYSTEMMEMORY : 0;
    sd = {};
    sd.dwSize = sizeof sd;
    sd.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
    sd.dwWidth = kWidth;
    sd.dwHeight = kHeight;
    sd.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_3DDEVICE | memory;
    Check(s.dd->CreateSurface(&sd, &s.back, nullptr), "CreateSurface(back buffer)");
    if (depth != depths.end()) {
        sd.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT;
        sd.ddsCaps.dwCaps = DDSCAPS_ZBUFFER | memory;
        sd.ddpfPixelFormat = *depth;
        Check(s.dd->CreateSurface(&sd, &s.zbuf, nullptr), "CreateSurface(z-buffer)");
        Check(s.back->AddAttachedSurface(s.zbuf), "AddAttachedSurface");
    }
    Check(s.d3d->CreateDevice(caps.deviceGUID, s.back, &s.device), "CreateDevice");
    D3DVIEWPORT7 vp = {0, 0, kWidth, kHeight, 0.0f, 1.0f};
    Check(s.device->SetViewport(&vp), "SetViewport");

    // What Initialise sets on the device itself.
    Check(s.device->SetViewport(&vp), "SetViewport");
    IDirect3DDevice7* d = s.device;
    d->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    d->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
    d->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
    d->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
    d->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
    d->SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE);
    d->SetTextureStageState(0, D3DTSS_MINFILTER, D3DTFN_LINEAR);
    d->SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTFG_LINEAR);
    d->SetRenderState(D3DRENDERSTATE_ZENABLE, TRUE);
    d->SetRenderState(D3DRENDERSTATE_CULLMODE, D3DCULL_NONE);
    d->SetRenderState(D3DRENDERSTATE_NORMALIZENORMALS, TRUE);
    Check(d->GetViewport(&vp), "GetViewport");
}

void DirectTearDown(Direct& s)
{
    Release(s.device);
    if (s.zbuf) s.back->DeleteAttachedSurface(0, s.zbuf);
    Release(s.zbuf);
    Release(s.back);
    s.primary->SetClipper(nullptr);
    Release(s.clipper);
    Release(s.primary);
    Release(s.d3d);
    Release(s.dd);
    for (IDirectDraw7*& dd : s.drivers) Release(dd);
    s.drivers.clear();
}

void DirectRound(HWND window)
{
    Direct s;
    DirectSetUp(s, window);
    DirectTearDown(s);
}

} // namespace

int main(int argc, char** argv)
{
    const int rounds = argc > 1 ? std::max(1, atoi(argv[1])) : 9;
    CoInitialize(nullptr);
    CLSID clsid;
    if (FAILED(CLSIDFromProgID(L"zyk3D.Device3D", &clsid))) {
        fprintf(stderr, "zyk3D.Device3D is not registered\n");
        return 1;
    }
    HWND engineWindow = sample::CreateGameWindow("Device3D set-up", kWidth, kHeight);
    HWND directWindow = sample::CreateGameWindow("Direct set-up", kWidth, kHeight);

    auto time = [](auto&& round) {
        const double t0 = sample::Now();
        round();
        return sample::Now() - t0;
    };
    auto engineRound = [&] { EngineRound(clsid, engineWindow); };
    auto directRound = [&] { DirectRound(directWindow); };

    const double firstEngine = time(engineRound);
    const double firstDirect = time(directRound);
    sample::PumpMessages();
    printf("first round:  Device3D %9.1f ms   direct %9.1f ms   (Device3D's went first and loaded the libraries)\n",
           firstEngine * 1e3, firstDirect * 1e3);
    fflush(stdout);

    std::vector<double> engine, direct, ratio;
    for (int round = 0; round < rounds; ++round) {
        double e, d;
        if (round % 2) {
            d = time(directRound);
            e = time(engineRound);
        } else {
            e = time(engineRound);
            d = time(directRound);
        }
        sample::PumpMessages();
        engine.push_back(e);
        direct.push_back(d);
        ratio.push_back(e / d);
        printf("round %2d:     Device3D %9.1f ms   direct %9.1f ms   ratio %.3f\n", round + 1, e * 1e3, d * 1e3, e / d);
        fflush(stdout);
    }
    printf("Device3D set-up and tear-down: %.1f ms\n", sample::Median(engine) * 1e3);
    printf("direct set-up and tear-down:   %.1f ms\n", sample::Median(direct) * 1e3);
    printf("ratio (Device3D / direct): %.3f\n", sample::Median(ratio));

    DestroyWindow(directWindow);
    DestroyWindow(engineWindow);
    CoUninitialize();
    return 0;
}

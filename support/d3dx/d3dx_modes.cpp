// Video modes: the current display mode and the modes a device can render in.
#include "d3dx.h"

#include <new>

using namespace d3dx_detail;

namespace {

D3DX_VIDMODE ModeOf(const DDSURFACEDESC2& sd)
{
    D3DX_VIDMODE m = {};
    m.width = sd.dwWidth;
    m.height = sd.dwHeight;
    m.bpp = sd.ddpfPixelFormat.dwRGBBitCount;
    m.refreshRate = sd.dwRefreshRate;
    m.flags = 0;
    return m;
}

struct ModeSink {
    DWORD depths;
    std::vector<D3DX_VIDMODE> modes;
    bool failed = false;
};

HRESULT WINAPI ModeCallback(LPDDSURFACEDESC2 sd, LPVOID ctx)
{
    auto* sink = static_cast<ModeSink*>(ctx);
    if (!sd) return DDENUMRET_OK;
    if (!(sink->depths & DepthBit(sd->ddpfPixelFormat.dwRGBBitCount))) return DDENUMRET_OK;
    try {
        sink->modes.push_back(ModeOf(*sd));
    } catch (...) {
        sink->failed = true;
        return DDENUMRET_CANCEL;
    }
    return DDENUMRET_OK;
}

// The device for an index and its DirectDraw object of this start (a reference for the
// caller), or an error. Runs with the lock held.
HRESULT DeviceDirectDraw(DWORD deviceIndex, Device** ppDevice, IDirectDraw7** ppDD)
{
    HRESULT hr = FindDevice(deviceIndex, ppDevice, nullptr);
    if (FAILED(hr)) return hr;
    return SharedDirectDraw(**ppDevice, ppDD);
}

// The device's modes, or an error. Runs with the lock held.
HRESULT ListModes(DWORD deviceIndex, DWORD flags, std::vector<D3DX_VIDMODE>& out)
{
    if (flags & ~D3DX_GVM_REFRESHRATE) return D3DXERR_INVALIDPARAMETER;
    Device* device = nullptr;
    IDirectDraw7* dd = nullptr;
    HRESULT hr = DeviceDirectDraw(deviceIndex, &device, &dd);
    if (FAILED(hr)) return hr;
    ModeSink sink{device->caps.dwDeviceRenderBitDepth};
    hr = dd->EnumDisplayModes((flags & D3DX_GVM_REFRESHRATE) ? DDEDM_REFRESHRATES : 0, nullptr, &sink, ModeCallback);
    dd->Release();
    if (sink.failed) return D3DXERR_NOMEMORY;
    if (FAILED(hr)) return hr;
    out = std::move(sink.modes);
    return S_OK;
}

} // namespace

HRESULT D3DXGetCurrentVideoMode(DWORD deviceIndex, D3DX_VIDMODE* pMode)
{
    if (!pMode) return D3DXERR_NULLPOINTER;
    Lock lock;
    Device* device = nullptr;
    IDirectDraw7* dd = nullptr;
    HRESULT hr = DeviceDirectDraw(deviceIndex, &device, &dd);
    if (FAILED(hr)) return hr;
    DDSURFACEDESC2 sd = {};
    sd.dwSize = sizeof(sd);
    hr = dd->GetDisplayMode(&sd);
    dd->Release();
    if (FAILED(hr)) return hr;
    *pMode = ModeOf(sd);
    return S_OK;
}

DWORD D3DXGetMaxNumVideoModes(DWORD deviceIndex, DWORD flags)
{
    Lock lock;
    try {
        std::vector<D3DX_VIDMODE> modes;
        if (FAILED(ListModes(deviceIndex, flags, modes))) return 0;
        return static_cast<DWORD>(modes.size());
    } catch (const std::bad_alloc&) {
        return 0;
    }
}

HRESULT D3DXGetVideoMode(DWORD deviceIndex, DWORD flags, DWORD modeIndex, D3DX_VIDMODE* pMode)
{
    if (!pMode) return D3DXERR_NULLPOINTER;
    Lock lock;
    try {
        std::vector<D3DX_VIDMODE> modes;
        HRESULT hr = ListModes(deviceIndex, flags, modes);
        if (FAILED(hr)) return hr;
        if (modeIndex >= modes.size()) return D3DXERR_NOMATCHFOUND;
        *pMode = modes[modeIndex];
    } catch (const std::bad_alloc&) {
        return D3DXERR_NOMEMORY;
    }
    return S_OK;
}

// Start and stop, the device list, device descriptions and error texts.
#include "d3dx.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <new>

using namespace d3dx_detail;

namespace {

struct State {
    CRITICAL_SECTION cs;
    LONG starts = 0;
    std::vector<Device> devices;
    std::vector<IDirectDraw7*> ddraws; // one per driver that has devices
    State() { InitializeCriticalSection(&cs); }
};

void ReleaseAll(std::vector<IDirectDraw7*>& ddraws)
{
    for (IDirectDraw7* dd : ddraws) dd->Release();
    ddraws.clear();
}

State& state()
{
    static State s;
    return s;
}

// --- enumeration -----------------------------------------------------------

struct Driver {
    bool hasGuid = false;
    GUID guid{};
    std::string desc;
    HMONITOR monitor = nullptr;
    bool display = true; // drives a monitor
};

struct DriverList {
    std::vector<Driver> drivers;
    bool failed = false;
};

BOOL WINAPI DriverCallback(GUID* guid, LPSTR desc, LPSTR /*name*/, LPVOID ctx, HMONITOR monitor)
{
    auto* list = static_cast<DriverList*>(ctx);
    try {
        Driver d;
        d.hasGuid = guid != nullptr;
        if (guid) d.guid = *guid;
        d.desc = desc ? desc : "";
        if (!guid) {
            POINT origin = {0, 0};
            d.monitor = MonitorFromPoint(origin, MONITOR_DEFAULTTOPRIMARY);
        } else {
            d.monitor = monitor;
            d.display = monitor != nullptr;
        }
        list->drivers.push_back(std::move(d));
    } catch (...) {
        list->failed = true;
        return FALSE;
    }
    return TRUE;
}

struct FoundDevice {
    std::string name;
    D3DDEVICEDESC7 caps;
};

struct DeviceList {
    std::vector<FoundDevice> devices;
    bool failed = false;
};

HRESULT WINAPI DeviceCallback(LPSTR /*desc*/, LPSTR name, LPD3DDEVICEDESC7 caps, LPVOID ctx)
{
    auto* list = static_cast<DeviceList*>(ctx);
    if (!caps) return D3DENUMRET_OK;
    try {
        list->devices.push_back({name ? name : "", *caps});
    } catch (...) {
        list->failed = true;
        return D3DENUMRET_CANCEL;
    }
    return D3DENUMRET_OK;
}

DWORD LevelOf(const D3DDEVICEDESC7& caps)
{
    const GUID& g = caps.deviceGUID;
    if (IsEqualGUID(g, IID_IDirect3DTnLHalDevice)) return D3DX_HWLEVEL_TL;
    if (IsEqualGUID(g, IID_IDirect3DHALDevice)) return D3DX_HWLEVEL_RASTER;
    if (IsEqualGUID(g, IID_IDirect3DRGBDevice) || IsEqualGUID(g, IID_IDirect3DMMXDevice)) return D3DX_HWLEVEL_2D;
    if (IsEqualGUID(g, IID_IDirect3DRefDevice)) return D3DX_HWLEVEL_REFERENCE;
    if (IsEqualGUID(g, IID_IDirect3DNullDevice)) return D3DX_HWLEVEL_NULL;
    if (caps.dwDevCaps & D3DDEVCAPS_HWTRANSFORMANDLIGHT) return D3DX_HWLEVEL_TL;
    if (caps.dwDevCaps & D3DDEVCAPS_HWRASTERIZATION) return D3DX_HWLEVEL_RASTER;
    return D3DX_HWLEVEL_2D;
}

// Lower is better.
int Rank(DWORD level)
{
    switch (level) {
    case D3DX_HWLEVEL_TL: return 0;
    case D3DX_HWLEVEL_RASTER: return 1;
    case D3DX_HWLEVEL_2D: return 2;
    case D3DX_HWLEVEL_REFERENCE: return 3;
    default: return 4;
    }
}

void CopyText(char* dst, size_t size, const std::string& text)
{
    size_t n = std::min(size - 1, text.size());
    memcpy(dst, text.data(), n);
    dst[n] = 0;
}

HRESULT Enumerate(std::vector<Device>& out, std::vector<IDirectDraw7*>& ddraws)
{
    const DirectDrawEntries& ddraw = DirectDraw();
    if (!ddraw.createEx || !ddraw.enumerateExA) return D3DXERR_NODIRECTDRAWAVAILABLE;
    DriverList drivers;
    HRESULT hr =
        ddraw.enumerateExA(DriverCallback, &drivers, DDENUM_ATTACHEDSECONDARYDEVICES | DDENUM_NONDISPLAYDEVICES);
    if (drivers.failed) return D3DXERR_NOMEMORY;
    if (FAILED(hr) || drivers.drivers.empty()) return D3DXERR_NODIRECTDRAWAVAILABLE;

    bool anyDD = false, anyD3D = false;
    for (const Driver& drv : drivers.drivers) {
        IDirectDraw7* dd = nullptr;
        if (FAILED(ddraw.createEx(drv.hasGuid ? const_cast<GUID*>(&drv.guid) : nullptr, reinterpret_cast<void**>(&dd),
                                  IID_IDirectDraw7, nullptr)))
            continue;
        anyDD = true;
        IDirect3D7* d3d = nullptr;
        DeviceList found;
        if (SUCCEEDED(dd->QueryInterface(IID_IDirect3D7, reinterpret_cast<void**>(&d3d)))) {
            anyD3D = true;
            d3d->EnumDevices(DeviceCallback, &found);
            d3d->Release();
        }
        if (found.failed || found.devices.empty() ||
            FAILED(dd->SetCooperativeLevel(nullptr, DDSCL_NORMAL | DDSCL_FPUPRESERVE))) {
            dd->Release();
            if (found.failed) return D3DXERR_NOMEMORY;
            continue;
        }
        try {
            ddraws.push_back(dd);
        } catch (...) {
            dd->Release();
            throw;
        }

        std::stable_sort(found.devices.begin(), found.devices.end(), [](const FoundDevice& a, const FoundDevice& b) {
            return Rank(LevelOf(a.caps)) < Rank(LevelOf(b.caps));
        });
        bool onPrimary = false;
        if (drv.monitor) {
            MONITORINFO mi = {sizeof(mi)};
            if (GetMonitorInfoA(drv.monitor, &mi)) onPrimary = (mi.dwFlags & MONITORINFOF_PRIMARY) != 0;
        }
        for (const FoundDevice& f : found.devices) {
            Device d;
            d.dd = dd;
            d.hasDDGuid = drv.hasGuid;
            d.ddGuid = drv.hasGuid ? drv.guid : GUID_NULL;
            d.d3dGuid = f.caps.deviceGUID;
            d.hwLevel = LevelOf(f.caps);
            CopyText(d.desc, sizeof(d.desc), drv.desc + " (" + f.name + ")");
            d.monitor = drv.monitor;
            d.onPrimary = onPrimary;
            d.caps = f.caps;
            out.push_back(std::move(d));
        }
    }
    if (!anyDD) return D3DXERR_NODIRECTDRAWAVAILABLE;
    if (!anyD3D) return D3DXERR_NODIRECT3DAVAILABLE;
    if (out.empty()) return D3DXERR_NODIRECT3DDEVICEAVAILABLE;
    return S_OK;
}

} // namespace

namespace d3dx_detail {

const DirectDrawEntries& DirectDraw()
{
    static const DirectDrawEntries entries = [] {
        DirectDrawEntries e;
        if (HMODULE ddraw = LoadLibraryA("ddraw.dll")) {
            e.createEx = reinterpret_cast<decltype(e.createEx)>(
                reinterpret_cast<void*>(GetProcAddress(ddraw, "DirectDrawCreateEx")));
            e.enumerateExA = reinterpret_cast<decltype(e.enumerateExA)>(
                reinterpret_cast<void*>(GetProcAddress(ddraw, "DirectDrawEnumerateExA")));
        }
        return e;
    }();
    return entries;
}

Lock::Lock() { EnterCriticalSection(&state().cs); }
Lock::~Lock() { LeaveCriticalSection(&state().cs); }

bool Started() { return state().starts > 0; }

HRESULT FindDevice(DWORD deviceIndex, Device** ppDevice, DWORD* pRealIndex)
{
    State& s = state();
    if (s.starts <= 0) return D3DXERR_D3DXNOTSTARTEDYET;
    if (s.devices.empty()) return D3DXERR_INVALIDD3DXDEVICEINDEX;
    DWORD index = deviceIndex;
    if (deviceIndex == D3DX_DEFAULT || deviceIndex == D3DX_HWLEVEL_HIGHEST) {
        index = 0;
    } else if (deviceIndex >= D3DX_HWLEVEL_NULL) { // one of the levels
        index = D3DX_DEFAULT;
        for (size_t i = 0; i < s.devices.size(); ++i) {
            if (s.devices[i].hwLevel == deviceIndex) {
                index = static_cast<DWORD>(i);
                break;
            }
        }
    }
    if (index >= s.devices.size()) return D3DXERR_INVALIDD3DXDEVICEINDEX;
    *ppDevice = &s.devices[index];
    if (pRealIndex) *pRealIndex = index;
    return S_OK;
}

HRESULT SharedDirectDraw(const Device& device, IDirectDraw7** ppDD)
{
    *ppDD = device.dd;
    if (!device.dd) return D3DXERR_NODIRECTDRAWAVAILABLE;
    device.dd->AddRef();
    return S_OK;
}

DWORD DepthBit(DWORD bpp)
{
    switch (bpp) {
    case 1: return DDBD_1;
    case 2: return DDBD_2;
    case 4: return DDBD_4;
    case 8: return DDBD_8;
    case 16: return DDBD_16;
    case 24: return DDBD_24;
    case 32: return DDBD_32;
    default: return 0;
    }
}

bool SoftwareLevel(DWORD hwLevel)
{
    return hwLevel == D3DX_HWLEVEL_2D || hwLevel == D3DX_HWLEVEL_REFERENCE || hwLevel == D3DX_HWLEVEL_NULL;
}

} // namespace d3dx_detail

// --- public calls -----------------------------------------------------------

HRESULT D3DXInitialize()
{
    Lock lock;
    State& s = state();
    if (s.starts > 0) {
        ++s.starts;
        return S_OK;
    }
    std::vector<IDirectDraw7*> ddraws;
    try {
        std::vector<Device> devices;
        HRESULT hr = Enumerate(devices, ddraws);
        if (FAILED(hr)) {
            ReleaseAll(ddraws);
            return hr;
        }
        s.devices = std::move(devices);
        s.ddraws = std::move(ddraws);
    } catch (const std::bad_alloc&) {
        ReleaseAll(ddraws);
        return D3DXERR_NOMEMORY;
    }
    s.starts = 1;
    return S_OK;
}

HRESULT D3DXUninitialize()
{
    Lock lock;
    State& s = state();
    if (s.starts <= 0) return S_OK;
    if (--s.starts == 0) {
        std::vector<Device>().swap(s.devices);
        ReleaseAll(s.ddraws);
    }
    return S_OK;
}

DWORD D3DXGetDeviceCount()
{
    Lock lock;
    return Started() ? static_cast<DWORD>(state().devices.size()) : 0;
}

HRESULT D3DXGetDeviceDescription(DWORD deviceIndex, D3DX_DEVICEDESC* pDesc)
{
    if (!pDesc) return D3DXERR_NULLPOINTER;
    Lock lock;
    Device* dev = nullptr;
    DWORD index = 0;
    HRESULT hr = FindDevice(deviceIndex, &dev, &index);
    if (FAILED(hr)) return hr;
    memset(pDesc, 0, sizeof(*pDesc));
    pDesc->deviceIndex = index;
    pDesc->hwLevel = dev->hwLevel;
    pDesc->ddDeviceID = dev->ddGuid;
    pDesc->d3dDeviceID = dev->d3dGuid;
    memcpy(pDesc->driverDesc, dev->desc, sizeof(pDesc->driverDesc));
    pDesc->driverDesc[sizeof(pDesc->driverDesc) - 1] = 0;
    pDesc->monitor = dev->monitor;
    pDesc->onPrimary = dev->onPrimary ? TRUE : FALSE;
    return S_OK;
}

HRESULT D3DXGetDeviceCaps(DWORD deviceIndex, const D3DX_VIDMODE* /*pVidMode*/, D3DDEVICEDESC7* pD3DCaps,
                          DDCAPS* pDDHALCaps, DDCAPS* pDDHELCaps)
{
    if (!pD3DCaps && !pDDHALCaps && !pDDHELCaps) return D3DXERR_NULLPOINTER;
    Lock lock;
    Device* dev = nullptr;
    HRESULT hr = FindDevice(deviceIndex, &dev, nullptr);
    if (FAILED(hr)) return hr;
    if (pDDHALCaps || pDDHELCaps) {
        IDirectDraw7* dd = nullptr;
        if (FAILED(SharedDirectDraw(*dev, &dd))) return D3DXERR_FAILEDGETCAPS;
        DDCAPS hal = {}, hel = {};
        hal.dwSize = hel.dwSize = sizeof(DDCAPS);
        hr = dd->GetCaps(&hal, &hel);
        dd->Release();
        if (FAILED(hr)) return D3DXERR_FAILEDGETCAPS;
        if (pDDHALCaps) *pDDHALCaps = hal;
        if (pDDHELCaps) *pDDHELCaps = hel;
    }
    if (pD3DCaps) *pD3DCaps = dev->caps;
    return S_OK;
}

// --- error texts --------------------------------------------------------------

namespace {

struct CodeName {
    HRESULT hr;
    const char* text;
};

#define D3DX_NAME(code)                                                                                                \
    {                                                                                                                  \
        code, #code                                                                                                    \
    }
const CodeName kNames[] = {
    {S_OK, "S_OK"},
    {S_FALSE, "S_FALSE"},
    // DirectDraw's generic codes are these (DDERR_INVALIDPARAMS is E_INVALIDARG, ...).
    D3DX_NAME(E_OUTOFMEMORY),
    D3DX_NAME(E_INVALIDARG),
    D3DX_NAME(E_NOINTERFACE),
    D3DX_NAME(E_NOTIMPL),
    D3DX_NAME(E_POINTER),
    D3DX_NAME(E_FAIL),
    D3DX_NAME(D3DXERR_NOMEMORY),
    D3DX_NAME(D3DXERR_NULLPOINTER),
    D3DX_NAME(D3DXERR_INVALIDD3DXDEVICEINDEX),
    D3DX_NAME(D3DXERR_NODIRECTDRAWAVAILABLE),
    D3DX_NAME(D3DXERR_NODIRECT3DAVAILABLE),
    D3DX_NAME(D3DXERR_NODIRECT3DDEVICEAVAILABLE),
    D3DX_NAME(D3DXERR_NOPRIMARYAVAILABLE),
    D3DX_NAME(D3DXERR_NOZBUFFERAVAILABLE),
    D3DX_NAME(D3DXERR_NOBACKBUFFERAVAILABLE),
    D3DX_NAME(D3DXERR_COULDNTUPDATECAPS),
    D3DX_NAME(D3DXERR_NOZBUFFER),
    D3DX_NAME(D3DXERR_INVALIDMODE),
    D3DX_NAME(D3DXERR_INVALIDPARAMETER),
    D3DX_NAME(D3DXERR_INITFAILED),
    D3DX_NAME(D3DXERR_STARTUPFAILED),
    D3DX_NAME(D3DXERR_D3DXNOTSTARTEDYET),
    D3DX_NAME(D3DXERR_NOTINITIALIZED),
    D3DX_NAME(D3DXERR_FAILEDDRAWTEXT),
    D3DX_NAME(D3DXERR_BADD3DXCONTEXT),
    D3DX_NAME(D3DXERR_CAPSNOTSUPPORTED),
    D3DX_NAME(D3DXERR_UNSUPPORTEDFILEFORMAT),
    D3DX_NAME(D3DXERR_IFLERROR),
    D3DX_NAME(D3DXERR_FAILEDGETCAPS),
    D3DX_NAME(D3DXERR_CANNOTRESIZEFULLSCREEN),
    D3DX_NAME(D3DXERR_CANNOTRESIZENONWINDOWED),
    D3DX_NAME(D3DXERR_FRONTBUFFERALREADYEXISTS),
    D3DX_NAME(D3DXERR_FULLSCREENPRIMARYEXISTS),
    D3DX_NAME(D3DXERR_GETDCFAILED),
    D3DX_NAME(D3DXERR_BITBLTFAILED),
    D3DX_NAME(D3DXERR_NOTEXTURE),
    D3DX_NAME(D3DXERR_MIPLEVELABSENT),
    D3DX_NAME(D3DXERR_SURFACENOTPALETTED),
    D3DX_NAME(D3DXERR_ENUMFORMATSFAILED),
    D3DX_NAME(D3DXERR_COLORDEPTHTOOLOW),
    D3DX_NAME(D3DXERR_INVALIDFILEFORMAT),
    D3DX_NAME(D3DXERR_NOMATCHFOUND),
    D3DX_NAME(DDERR_SURFACELOST),
    D3DX_NAME(DDERR_INVALIDMODE),
    D3DX_NAME(DDERR_INVALIDRECT),
    D3DX_NAME(DDERR_UNSUPPORTEDMODE),
    D3DX_NAME(DDERR_NOEXCLUSIVEMODE),
    D3DX_NAME(DDERR_EXCLUSIVEMODEALREADYSET),
    D3DX_NAME(DDERR_WASSTILLDRAWING),
    D3DX_NAME(DDERR_OUTOFVIDEOMEMORY),
    D3DX_NAME(DDERR_NOTFOUND),
    D3DX_NAME(D3DERR_SCENE_IN_SCENE),
    D3DX_NAME(D3DERR_SCENE_NOT_IN_SCENE),
};
#undef D3DX_NAME

} // namespace

HRESULT D3DXGetErrorString(HRESULT hr, DWORD strLength, LPSTR pStr)
{
    if (!pStr) return D3DXERR_NULLPOINTER;
    if (strLength == 0) return D3DXERR_INVALIDPARAMETER;
    char buffer[32];
    const char* text = nullptr;
    for (const CodeName& c : kNames) {
        if (c.hr == hr) {
            text = c.text;
            break;
        }
    }
    if (!text) {
        snprintf(buffer, sizeof(buffer), "0x%08lX", static_cast<unsigned long>(hr));
        text = buffer;
    }
    size_t n = std::min<size_t>(strLength - 1, strlen(text));
    memcpy(pStr, text, n);
    pStr[n] = 0;
    return S_OK;
}

// Surface formats: D3DX formats <-> DirectDraw pixel formats, and the formats a
// device supports for each surface class.
#include "d3dx.h"

#include <algorithm>
#include <cstring>
#include <new>

using namespace d3dx_detail;

namespace {

// The DirectDraw pixel format of each D3DX format. The four masks are the
// DDPIXELFORMAT unions in order: R/stencil depth/luminance/Du, G/z/Dv,
// B/stencil/bump luminance, alpha.
struct FormatInfo {
    D3DX_SURFACEFORMAT format;
    DWORD flags;
    DWORD fourCC;
    DWORD bits;
    DWORD mask1, mask2, mask3, mask4;
};

constexpr DWORD kRGBA = DDPF_RGB | DDPF_ALPHAPIXELS;
constexpr DWORD kZS = DDPF_ZBUFFER | DDPF_STENCILBUFFER;
constexpr DWORD kBumpL = DDPF_BUMPDUDV | DDPF_BUMPLUMINANCE;

const FormatInfo kFormats[] = {
    {D3DX_SF_R8G8B8, DDPF_RGB, 0, 24, 0xFF0000, 0xFF00, 0xFF, 0},
    {D3DX_SF_A8R8G8B8, kRGBA, 0, 32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000},
    {D3DX_SF_X8R8G8B8, DDPF_RGB, 0, 32, 0xFF0000, 0xFF00, 0xFF, 0},
    {D3DX_SF_R5G6B5, DDPF_RGB, 0, 16, 0xF800, 0x7E0, 0x1F, 0},
    {D3DX_SF_R5G5B5, DDPF_RGB, 0, 16, 0x7C00, 0x3E0, 0x1F, 0},
    {D3DX_SF_PALETTE4, DDPF_RGB | DDPF_PALETTEINDEXED4, 0, 4, 0, 0, 0, 0},
    {D3DX_SF_PALETTE8, DDPF_RGB | DDPF_PALETTEINDEXED8, 0, 8, 0, 0, 0, 0},
    {D3DX_SF_A1R5G5B5, kRGBA, 0, 16, 0x7C00, 0x3E0, 0x1F, 0x8000},
    {D3DX_SF_X4R4G4B4, DDPF_RGB, 0, 16, 0xF00, 0xF0, 0xF, 0},
    {D3DX_SF_A4R4G4B4, kRGBA, 0, 16, 0xF00, 0xF0, 0xF, 0xF000},
    {D3DX_SF_L8, DDPF_LUMINANCE, 0, 8, 0xFF, 0, 0, 0},
    {D3DX_SF_A8L8, DDPF_LUMINANCE | DDPF_ALPHAPIXELS, 0, 16, 0xFF, 0, 0, 0xFF00},
    {D3DX_SF_U8V8, DDPF_BUMPDUDV, 0, 16, 0xFF, 0xFF00, 0, 0},
    {D3DX_SF_U5V5L6, kBumpL, 0, 16, 0x1F, 0x3E0, 0xFC00, 0},
    {D3DX_SF_U8V8L8, kBumpL, 0, 32, 0xFF, 0xFF00, 0xFF0000, 0},
    {D3DX_SF_UYVY, DDPF_FOURCC, MAKEFOURCC('U', 'Y', 'V', 'Y'), 0, 0, 0, 0, 0},
    {D3DX_SF_YUY2, DDPF_FOURCC, MAKEFOURCC('Y', 'U', 'Y', '2'), 0, 0, 0, 0, 0},
    {D3DX_SF_DXT1, DDPF_FOURCC, MAKEFOURCC('D', 'X', 'T', '1'), 0, 0, 0, 0, 0},
    {D3DX_SF_DXT3, DDPF_FOURCC, MAKEFOURCC('D', 'X', 'T', '3'), 0, 0, 0, 0, 0},
    {D3DX_SF_DXT5, DDPF_FOURCC, MAKEFOURCC('D', 'X', 'T', '5'), 0, 0, 0, 0, 0},
    {D3DX_SF_R3G3B2, DDPF_RGB, 0, 8, 0xE0, 0x1C, 0x3, 0},
    {D3DX_SF_A8, DDPF_ALPHA, 0, 8, 0, 0, 0, 0},
    {D3DX_SF_Z16S0, DDPF_ZBUFFER, 0, 16, 0, 0xFFFF, 0, 0},
    {D3DX_SF_Z32S0, DDPF_ZBUFFER, 0, 32, 0, 0xFFFFFFFF, 0, 0},
    {D3DX_SF_Z15S1, kZS, 0, 16, 1, 0xFFFE, 0x1, 0},
    {D3DX_SF_Z24S8, kZS, 0, 32, 8, 0xFFFFFF00, 0xFF, 0},
    {D3DX_SF_S1Z15, kZS, 0, 16, 1, 0x7FFF, 0x8000, 0},
    {D3DX_SF_S8Z24, kZS, 0, 32, 8, 0xFFFFFF, 0xFF000000, 0},
};

const FormatInfo* Info(D3DX_SURFACEFORMAT format)
{
    for (const FormatInfo& f : kFormats)
        if (f.format == format) return &f;
    return nullptr;
}

// The format whose bit count and masks equal these, among those with flags.
D3DX_SURFACEFORMAT MatchMasks(DWORD flags, DWORD bits, DWORD m1, DWORD m2, DWORD m3, DWORD m4)
{
    for (const FormatInfo& f : kFormats) {
        if (f.flags == flags && f.bits == bits && f.mask1 == m1 && f.mask2 == m2 && f.mask3 == m3 && f.mask4 == m4)
            return f.format;
    }
    return D3DX_SF_UNKNOWN;
}

// Adds format to list once.
void AddOnce(std::vector<D3DX_SURFACEFORMAT>& list, D3DX_SURFACEFORMAT format)
{
    if (format != D3DX_SF_UNKNOWN && std::find(list.begin(), list.end(), format) == list.end()) list.push_back(format);
}

struct FormatSink {
    std::vector<D3DX_SURFACEFORMAT>* color;
    std::vector<D3DX_SURFACEFORMAT>* bump;
    bool failed = false;
};

HRESULT WINAPI DepthCallback(LPDDPIXELFORMAT pf, LPVOID ctx)
{
    auto* sink = static_cast<FormatSink*>(ctx);
    try {
        if (pf) AddOnce(*sink->color, D3DXMakeSurfaceFormat(pf));
    } catch (...) {
        sink->failed = true;
        return D3DENUMRET_CANCEL;
    }
    return D3DENUMRET_OK;
}

HRESULT WINAPI TextureCallback(LPDDPIXELFORMAT pf, LPVOID ctx)
{
    auto* sink = static_cast<FormatSink*>(ctx);
    if (!pf) return D3DENUMRET_OK;
    try {
        AddOnce((pf->dwFlags & DDPF_BUMPDUDV) ? *sink->bump : *sink->color, D3DXMakeSurfaceFormat(pf));
    } catch (...) {
        sink->failed = true;
        return D3DENUMRET_CANCEL;
    }
    return D3DENUMRET_OK;
}

HRESULT LoadDepthFormats(Device& device)
{
    if (device.depthKnown) return S_OK;
    IDirectDraw7* dd = nullptr;
    IDirect3D7* d3d = nullptr;
    HRESULT hr = SharedDirectDraw(device, &dd);
    if (SUCCEEDED(hr)) hr = dd->QueryInterface(IID_IDirect3D7, reinterpret_cast<void**>(&d3d));
    std::vector<D3DX_SURFACEFORMAT> formats;
    FormatSink sink{&formats, nullptr};
    if (SUCCEEDED(hr)) hr = d3d->EnumZBufferFormats(device.d3dGuid, DepthCallback, &sink);
    SafeRelease(d3d);
    SafeRelease(dd);
    if (sink.failed) return D3DXERR_NOMEMORY;
    if (FAILED(hr)) return D3DXERR_ENUMFORMATSFAILED;
    device.depthFormats = std::move(formats);
    device.depthKnown = true;
    return S_OK;
}

// Texture formats are the device's: this makes a small device to ask.
HRESULT LoadTextureFormats(Device& device)
{
    if (device.texturesKnown) return S_OK;
    IDirectDraw7* dd = nullptr;
    IDirect3D7* d3d = nullptr;
    IDirectDrawSurface7* target = nullptr;
    IDirect3DDevice7* d3ddev = nullptr;
    HRESULT hr = SharedDirectDraw(device, &dd);
    if (SUCCEEDED(hr)) hr = dd->QueryInterface(IID_IDirect3D7, reinterpret_cast<void**>(&d3d));
    if (SUCCEEDED(hr)) {
        DDSURFACEDESC2 sd = {};
        sd.dwSize = sizeof(sd);
        sd.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
        sd.dwWidth = sd.dwHeight = 8;
        sd.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_3DDEVICE;
        if (SoftwareLevel(device.hwLevel)) sd.ddsCaps.dwCaps |= DDSCAPS_SYSTEMMEMORY;
        hr = dd->CreateSurface(&sd, &target, nullptr);
    }
    if (SUCCEEDED(hr)) hr = d3d->CreateDevice(device.d3dGuid, target, &d3ddev);
    std::vector<D3DX_SURFACEFORMAT> color, bump;
    FormatSink sink{&color, &bump};
    if (SUCCEEDED(hr)) hr = d3ddev->EnumTextureFormats(TextureCallback, &sink);
    SafeRelease(d3ddev);
    SafeRelease(target);
    SafeRelease(d3d);
    SafeRelease(dd);
    if (sink.failed) return D3DXERR_NOMEMORY;
    if (FAILED(hr)) return D3DXERR_ENUMFORMATSFAILED;
    device.textureFormats = std::move(color);
    device.bumpFormats = std::move(bump);
    device.texturesKnown = true;
    return S_OK;
}

HRESULT RenderFormats(const Device& device, const D3DX_VIDMODE* mode, std::vector<D3DX_SURFACEFORMAT>& out)
{
    IDirectDraw7* dd = nullptr;
    HRESULT hr = SharedDirectDraw(device, &dd);
    if (FAILED(hr)) return hr;
    DDSURFACEDESC2 current = {};
    current.dwSize = sizeof(current);
    hr = dd->GetDisplayMode(&current);
    dd->Release();
    if (FAILED(hr)) return hr;

    DWORD bpp = current.ddpfPixelFormat.dwRGBBitCount;
    if (mode && mode->bpp != 0 && mode->bpp != D3DX_DEFAULT) bpp = mode->bpp;
    if (!(device.caps.dwDeviceRenderBitDepth & DepthBit(bpp))) return S_OK;
    if (bpp == current.ddpfPixelFormat.dwRGBBitCount) {
        AddOnce(out, D3DXMakeSurfaceFormat(&current.ddpfPixelFormat));
        if (!out.empty()) return S_OK;
    }
    switch (bpp) {
    case 32: AddOnce(out, D3DX_SF_X8R8G8B8); break;
    case 24: AddOnce(out, D3DX_SF_R8G8B8); break;
    case 16:
        AddOnce(out, D3DX_SF_R5G6B5);
        AddOnce(out, D3DX_SF_R5G5B5);
        break;
    case 8: AddOnce(out, D3DX_SF_PALETTE8); break;
    default: break;
    }
    return S_OK;
}

} // namespace

HRESULT D3DXMakeDDPixelFormat(D3DX_SURFACEFORMAT d3dxFormat, DDPIXELFORMAT* pddpf)
{
    if (!pddpf) return D3DXERR_NULLPOINTER;
    const FormatInfo* f = Info(d3dxFormat);
    if (!f) return D3DXERR_INVALIDPARAMETER;
    memset(pddpf, 0, sizeof(*pddpf));
    pddpf->dwSize = sizeof(*pddpf);
    pddpf->dwFlags = f->flags;
    pddpf->dwFourCC = f->fourCC;
    pddpf->dwRGBBitCount = f->bits;
    pddpf->dwRBitMask = f->mask1;
    pddpf->dwGBitMask = f->mask2;
    pddpf->dwBBitMask = f->mask3;
    pddpf->dwRGBAlphaBitMask = f->mask4;
    return S_OK;
}

D3DX_SURFACEFORMAT D3DXMakeSurfaceFormat(const DDPIXELFORMAT* pddpf)
{
    if (!pddpf) return D3DX_SF_UNKNOWN;
    const DDPIXELFORMAT& pf = *pddpf;
    const DWORD flags = pf.dwFlags;
    if (flags & DDPF_FOURCC) {
        for (const FormatInfo& f : kFormats)
            if (f.fourCC && f.fourCC == pf.dwFourCC) return f.format;
        return D3DX_SF_UNKNOWN;
    }
    if (flags & DDPF_PALETTEINDEXED8) return D3DX_SF_PALETTE8;
    if (flags & DDPF_PALETTEINDEXED4) return D3DX_SF_PALETTE4;
    if (flags & DDPF_ZBUFFER) {
        const DWORD bits = pf.dwZBufferBitDepth;
        if ((flags & DDPF_STENCILBUFFER) && pf.dwStencilBitDepth) {
            return MatchMasks(kZS, bits, pf.dwStencilBitDepth, pf.dwZBitMask, pf.dwStencilBitMask, 0);
        }
        // A 32-bit depth buffer whose z bits do not fill it (24 of 32) is still Z32S0.
        if (bits == 16) return D3DX_SF_Z16S0;
        if (bits == 32) return D3DX_SF_Z32S0;
        return D3DX_SF_UNKNOWN;
    }
    if (flags & DDPF_BUMPDUDV) {
        const DWORD kind = flags & kBumpL;
        const DWORD lum = (flags & DDPF_BUMPLUMINANCE) ? pf.dwBumpLuminanceBitMask : 0;
        D3DX_SURFACEFORMAT f = MatchMasks(kind, pf.dwBumpBitCount, pf.dwBumpDuBitMask, pf.dwBumpDvBitMask, lum, 0);
        // U8V8L8 also comes packed in 24 bits.
        if (f == D3DX_SF_UNKNOWN && kind == kBumpL && pf.dwBumpBitCount == 24)
            f = MatchMasks(kind, 32, pf.dwBumpDuBitMask, pf.dwBumpDvBitMask, lum, 0);
        return f;
    }
    const DWORD alpha = (flags & DDPF_ALPHAPIXELS) ? pf.dwRGBAlphaBitMask : 0;
    const DWORD alphaFlag = alpha ? DDPF_ALPHAPIXELS : 0;
    if (flags & DDPF_LUMINANCE) {
        return MatchMasks(DDPF_LUMINANCE | alphaFlag, pf.dwLuminanceBitCount, pf.dwLuminanceBitMask, 0, 0, alpha);
    }
    if (flags & DDPF_RGB) {
        return MatchMasks(DDPF_RGB | alphaFlag, pf.dwRGBBitCount, pf.dwRBitMask, pf.dwGBitMask, pf.dwBBitMask, alpha);
    }
    if ((flags & DDPF_ALPHA) && pf.dwAlphaBitDepth == 8) return D3DX_SF_A8;
    return D3DX_SF_UNKNOWN;
}

HRESULT D3DXGetSurfaceFormat(DWORD deviceIndex, const D3DX_VIDMODE* pMode, DWORD surfClassFlags, DWORD surfaceIndex,
                             D3DX_SURFACEFORMAT* pFormat)
{
    if (!pFormat) return D3DXERR_NULLPOINTER;
    const DWORD known = D3DX_SC_RENDERTARGET | D3DX_SC_DEPTHBUFFER | D3DX_SC_COLORTEXTURE | D3DX_SC_BUMPMAP;
    if (surfClassFlags == 0 || (surfClassFlags & ~known)) return D3DXERR_INVALIDPARAMETER;
    Lock lock;
    Device* device = nullptr;
    HRESULT hr = FindDevice(deviceIndex, &device, nullptr);
    if (FAILED(hr)) return hr;
    try {
        std::vector<D3DX_SURFACEFORMAT> list;
        if (surfClassFlags & D3DX_SC_RENDERTARGET) {
            hr = RenderFormats(*device, pMode, list);
            if (FAILED(hr)) return hr;
        }
        if (surfClassFlags & D3DX_SC_DEPTHBUFFER) {
            hr = LoadDepthFormats(*device);
            if (FAILED(hr)) return hr;
            for (D3DX_SURFACEFORMAT f : device->depthFormats) AddOnce(list, f);
        }
        if (surfClassFlags & (D3DX_SC_COLORTEXTURE | D3DX_SC_BUMPMAP)) {
            hr = LoadTextureFormats(*device);
            if (FAILED(hr)) return hr;
            if (surfClassFlags & D3DX_SC_COLORTEXTURE)
                for (D3DX_SURFACEFORMAT f : device->textureFormats) AddOnce(list, f);
            if (surfClassFlags & D3DX_SC_BUMPMAP)
                for (D3DX_SURFACEFORMAT f : device->bumpFormats) AddOnce(list, f);
        }
        if (surfaceIndex >= list.size()) return D3DXERR_NOMATCHFOUND;
        *pFormat = list[surfaceIndex];
    } catch (const std::bad_alloc&) {
        return D3DXERR_NOMEMORY;
    }
    return S_OK;
}

// Texture surfaces of a Direct3D 7 device (see texture.h).
#include "texture.h"

#include <new>

namespace zyk::image {

com::Ptr<IDirectDraw7> DirectDrawOf(IDirectDrawSurface7* surface)
{
    com::Ptr<IDirectDraw7> dd;
    if (!surface) return dd;
    // GetDDInterface gives the object through an interface it does not promise to be
    // IDirectDraw7: it is asked for that one.
    IUnknown* unknown = nullptr;
    if (SUCCEEDED(surface->GetDDInterface(reinterpret_cast<void**>(&unknown))) && unknown) {
        if (FAILED(unknown->QueryInterface(IID_IDirectDraw7, reinterpret_cast<void**>(dd.Out())))) dd.Reset();
        unknown->Release();
    }
    return dd;
}

com::Ptr<IDirectDraw7> DirectDrawOf(IDirect3DDevice7* device)
{
    IDirectDrawSurface7* target = nullptr;
    if (!device || FAILED(device->GetRenderTarget(&target)) || !target) return {};
    const com::Ptr<IDirectDrawSurface7> held = com::Ptr<IDirectDrawSurface7>::Adopt(target);
    return DirectDrawOf(target);
}

DWORD PowerOfTwoAtLeast(DWORD v)
{
    DWORD p = 1;
    while (p < v && p < 0x80000000u) p <<= 1;
    return p;
}

void FitTextureSize(const D3DDEVICEDESC7& caps, DWORD& width, DWORD& height)
{
    const DWORD textureCaps = caps.dpcTriCaps.dwTextureCaps;
    if (textureCaps & D3DPTEXTURECAPS_POW2) {
        width = PowerOfTwoAtLeast(width);
        height = PowerOfTwoAtLeast(height);
    }
    const auto clamp = [](DWORD v, DWORD least, DWORD most) {
        if (v > most) v = most;
        return v < least ? least : v;
    };
    width = clamp(width, caps.dwMinTextureWidth ? caps.dwMinTextureWidth : 1,
                  caps.dwMaxTextureWidth ? caps.dwMaxTextureWidth : 256);
    height = clamp(height, caps.dwMinTextureHeight ? caps.dwMinTextureHeight : 1,
                   caps.dwMaxTextureHeight ? caps.dwMaxTextureHeight : 256);
    if (textureCaps & D3DPTEXTURECAPS_SQUAREONLY) width = height = width > height ? width : height;
}

void PlaceTexture(const D3DDEVICEDESC7& caps, DDSCAPS2& surfaceCaps)
{
    if (IsEqualGUID(caps.deviceGUID, IID_IDirect3DHALDevice) || IsEqualGUID(caps.deviceGUID, IID_IDirect3DTnLHalDevice))
        surfaceCaps.dwCaps2 = DDSCAPS2_TEXTUREMANAGE;
    else
        surfaceCaps.dwCaps |= DDSCAPS_SYSTEMMEMORY;
}

namespace {

struct Offered {
    std::vector<DDPIXELFORMAT>* formats;
    bool full = false;
};

HRESULT CALLBACK CollectFormat(DDPIXELFORMAT* format, void* context)
{
    auto* offered = static_cast<Offered*>(context);
    if (!format) return D3DENUMRET_OK;
    try {
        offered->formats->push_back(*format);
    } catch (const std::bad_alloc&) {
        offered->full = true;
        return D3DENUMRET_CANCEL;
    }
    return D3DENUMRET_OK;
}

} // namespace

HRESULT OfferedFormats(IDirect3DDevice7* device, std::vector<DDPIXELFORMAT>& formats)
{
    formats.clear();
    Offered offered{&formats};
    const HRESULT hr = device->EnumTextureFormats(CollectFormat, &offered);
    if (offered.full) throw std::bad_alloc();
    return hr;
}

bool Meets(const DDPIXELFORMAT& format, const FormatWish& wish)
{
    if (format.dwFlags & (DDPF_LUMINANCE | DDPF_BUMPLUMINANCE | DDPF_BUMPDUDV)) return false;
    if (wish.palette) return (format.dwFlags & DDPF_PALETTEINDEXED8) != 0;
    return format.dwRGBBitCount >= 16 && format.dwFourCC == 0 && format.dwRGBAlphaBitMask != 0xF000 &&
           ((format.dwFlags & DDPF_ALPHAPIXELS) != 0) == wish.alpha && format.dwRGBBitCount == wish.depth;
}

const DDPIXELFORMAT* ChooseFormat(const std::vector<DDPIXELFORMAT>& offered, FormatWish wish)
{
    for (const DDPIXELFORMAT& f : offered)
        if (Meets(f, wish)) return &f;
    wish.palette = false;
    wish.depth = 16;
    for (const DDPIXELFORMAT& f : offered)
        if (Meets(f, wish)) return &f;
    return nullptr;
}

} // namespace zyk::image

// Texture surfaces of a Direct3D 7 device: the DirectDraw object of a device or surface,
// a texture's size and memory for the device's caps, and the choice of its pixel format
// among those the device offers.
#pragma once
#include <windows.h>
#include <ddraw.h>
#include <d3d.h>
#include <vector>

#include "com/ptr.h"

namespace zyk::image {

// The DirectDraw object that the device renders through (its render target's), asked for
// as IDirectDraw7; empty when there is none.
com::Ptr<IDirectDraw7> DirectDrawOf(IDirect3DDevice7* device);
// The DirectDraw object that made the surface, as IDirectDraw7; empty when there is none.
com::Ptr<IDirectDraw7> DirectDrawOf(IDirectDrawSurface7* surface);

// The smallest power of two not below v (from 1), at most 2^31.
DWORD PowerOfTwoAtLeast(DWORD v);

// A texture's size on a device with these caps: powers of two when the device needs them,
// within its least and greatest sides (greatest 256 when it names none), square when it
// takes only square textures.
void FitTextureSize(const D3DDEVICEDESC7& caps, DWORD& width, DWORD& height);

// Where a texture lives on a device with these caps: managed by Direct3D on a hardware
// device (a HAL or TnL HAL one), in system memory on any other.
void PlaceTexture(const D3DDEVICEDESC7& caps, DDSCAPS2& surfaceCaps);

// The texture formats the device offers, in its order, and the enumeration's result.
// Throws std::bad_alloc when the list cannot be held.
HRESULT OfferedFormats(IDirect3DDevice7* device, std::vector<DDPIXELFORMAT>& formats);

// The format a texture image wants.
struct FormatWish {
    DWORD depth = 16;     // bits a pixel
    bool alpha = false;   // with alpha bits
    bool palette = false; // 8-bit palette indices (depth and alpha then ask nothing)
};
// Whether a format meets the wish. Luminance and bump formats never do; a palette is met
// by an 8-bit palette-indexed format, anything else by an RGB format of exactly the depth
// (16 bits or more, no FourCC), with alpha bits just when alpha is wished, and not the
// 4-4-4-4 layout (alpha mask 0xF000).
bool Meets(const DDPIXELFORMAT& format, const FormatWish& wish);
// The first offered format that meets the wish, else the first that meets it as 16 bits
// without a palette; nullptr when neither is offered.
const DDPIXELFORMAT* ChooseFormat(const std::vector<DDPIXELFORMAT>& offered, FormatWish wish);

} // namespace zyk::image

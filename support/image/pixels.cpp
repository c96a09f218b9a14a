// Pixels in a surface's format (see pixels.h).
#include "pixels.h"

#include <cstring>

namespace zyk::image {

DWORD PlaceChannel(DWORD c, DWORD mask)
{
    if (!mask) return 0;
    int low = 0;
    while (!(mask >> low & 1)) ++low;
    const int bits = __builtin_popcount(mask);
    const uint64_t v = bits <= 8 ? uint64_t(c >> (8 - bits)) : uint64_t(c) << (bits - 8);
    return static_cast<DWORD>((v << low) & mask);
}

DWORD PackPixel(const DDPIXELFORMAT& format, uint32_t pixel)
{
    const DWORD r = pixel >> 24, g = pixel >> 16 & 0xFF, b = pixel >> 8 & 0xFF, a = pixel & 0xFF;
    const DWORD alpha = (format.dwFlags & DDPF_ALPHAPIXELS) ? format.dwRGBAlphaBitMask : 0;
    if (format.dwFlags & DDPF_LUMINANCE)
        return PlaceChannel((77 * r + 150 * g + 29 * b) >> 8, format.dwLuminanceBitMask) | PlaceChannel(a, alpha);
    if (format.dwFlags & DDPF_RGB)
        return PlaceChannel(r, format.dwRBitMask) | PlaceChannel(g, format.dwGBitMask) |
               PlaceChannel(b, format.dwBBitMask) | PlaceChannel(a, alpha);
    return a;
}

void WritePixels(const DDSURFACEDESC2& locked, const DDPIXELFORMAT& format, const uint32_t* pixels, DWORD width,
                 DWORD height)
{
    DWORD bytes = (format.dwRGBBitCount + 7) / 8;
    if (bytes < 1) bytes = 1;
    if (bytes > 4) bytes = 4;
    const DWORD w = locked.dwWidth < width ? locked.dwWidth : width;
    const DWORD h = locked.dwHeight < height ? locked.dwHeight : height;
    for (DWORD y = 0; y < h; ++y) {
        BYTE* row = static_cast<BYTE*>(locked.lpSurface) + size_t(y) * locked.lPitch;
        const uint32_t* source = pixels + size_t(y) * width;
        for (DWORD x = 0; x < w; ++x) {
            const DWORD value = PackPixel(format, source[x]);
            memcpy(row + size_t(x) * bytes, &value, bytes); // its low bytes, least first
        }
    }
}

} // namespace zyk::image

// Pixels in a surface's format: a channel placed into a colour mask, a pixel packed into a
// pixel format, and rows of pixels written into a locked surface.
//
// A pixel here is red << 24 | green << 16 | blue << 8 | alpha, as the project's Targa
// reader gives them; an image is width * height of them, row-major from the top-left.
#pragma once
#include <windows.h>
#include <ddraw.h>
#include <cstdint>

namespace zyk::image {

// A channel value c (0..255) in a colour mask's bits: its top bits for a narrower mask,
// widened for a wider one; 0 for an empty mask.
DWORD PlaceChannel(DWORD c, DWORD mask);

// A pixel in the format: its grey level (77 red, 150 green, 29 blue in 256ths) and alpha
// for a luminance format, its channels for an RGB one, its alpha alone for any other.
// Alpha is placed only when the format has alpha pixels.
DWORD PackPixel(const DDPIXELFORMAT& format, uint32_t pixel);

// Writes the image's pixels, packed in the format, into a locked surface: the part that
// both cover, from the top-left, each pixel whole at the format's depth (1 to 4 bytes).
void WritePixels(const DDSURFACEDESC2& locked, const DDPIXELFORMAT& format, const uint32_t* pixels, DWORD width,
                 DWORD height);

} // namespace zyk::image

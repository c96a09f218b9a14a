// Truevision Targa (.tga) decoder for the texture store.
//
// Reads uncompressed (type 2) and run-length encoded (type 10) true-colour
// images from an untrusted byte buffer, in the row order (bottom or top row first) and
// the column order (left or right column first) that the image descriptor gives. Never reads or writes outside the
// buffer it is given, and never throws.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace zyk::formats {

// Largest width and height accepted, each. 16384 x 16384 pixels is 1 GiB of
// output; anything bigger is refused before allocating.
inline constexpr uint32_t kTgaMaxDimension = 16384;

struct TgaImage {
    uint32_t width = 0;
    uint32_t height = 0;
    uint32_t bitsPerPixel = 0; // the header's pixel depth, as stored
    // width * height pixels, row-major, element 0 is the top-left pixel.
    // Each is red << 24 | green << 16 | blue << 8 | alpha.
    std::vector<uint32_t> pixels;
};

enum class TgaResult {
    Ok,
    BadHeader, // colour map present, image type not 2 or 10, or a zero dimension
    Truncated, // file ends inside the header, the ID field or the pixel data
    BadPacket, // a run-length packet crosses the end of its row
    TooLarge,  // width or height above kTgaMaxDimension
    NoMemory,  // the pixel buffer could not be allocated
};

// Decodes `size` bytes at `data`. On success fills `out`; on any failure
// `out` is left empty (all fields zero, no pixels).
TgaResult DecodeTga(const uint8_t* data, size_t size, TgaImage& out);

} // namespace zyk::formats

// Header validation for Windows bitmap (.bmp) files.
//
// The platform bitmap loader trusts the file's headers and reads past the end
// of a truncated file or through a bad pixel offset. CheckBmp checks every
// size and offset in the headers against the bytes actually present, so that
// only self-consistent files are handed on. It does not decode pixels.
#pragma once

#include <cstddef>
#include <cstdint>

namespace zyk::formats {

// Largest width and height accepted, each.
inline constexpr uint32_t kBmpMaxDimension = 32768;

struct BmpInfo {
    uint32_t width = 0;
    uint32_t height = 0; // absolute value of the stored height
    uint32_t bitsPerPixel = 0;
    bool topDown = false; // stored height was negative: first row is the top
};

enum class BmpResult {
    Ok,
    BadSignature,  // does not start with "BM"
    Truncated,     // file ends inside the headers or the pixel data
    BadHeader,     // unknown info header size, or planes != 1
    BadDimensions, // zero or negative width, zero height, or above kBmpMaxDimension
    BadFormat,     // bit count, compression, or the combination, not supported
    BadPalette,    // colour masks or palette do not fit before the pixel data
    BadOffset,     // pixel offset inside the headers or past the end of the file,
                   // or an embedded colour profile outside the file
};

// Checks the `size` bytes at `data`. On success fills `out`; on failure
// `out` is reset to its defaults.
BmpResult CheckBmp(const uint8_t* data, size_t size, BmpInfo& out);

} // namespace zyk::formats

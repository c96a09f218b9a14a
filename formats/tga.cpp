// DecodeTga: uncompressed and run-length encoded true-colour Targa images into 32-bit pixels.
#include "formats/tga.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <utility>

namespace zyk::formats {
namespace {

constexpr size_t kHeaderSize = 18;
constexpr uint8_t kTypeTrueColour = 2;
constexpr uint8_t kTypeRleTrueColour = 10;
constexpr uint8_t kDescRightFirst = 0x10;
constexpr uint8_t kDescTopFirst = 0x20;

uint32_t ReadU16(const uint8_t* p) { return uint32_t(p[0]) | uint32_t(p[1]) << 8; }

uint32_t Load32(const uint8_t* p)
{
    uint32_t v;
    std::memcpy(&v, p, 4); // little-endian: p[0] in the low byte
    return v;
}

// One stored pixel: blue, green, red and, for 4-byte pixels, alpha.
uint32_t ReadPixel(const uint8_t* p, size_t bytesPerPixel)
{
    const uint32_t alpha = bytesPerPixel == 4 ? p[3] : 255u;
    return uint32_t(p[2]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[0]) << 8 | alpha;
}

// A run of n stored pixels into decoded ones, in tight loops without a test per pixel;
// the caller has checked that n * bytesPerPixel bytes are there. A 32-bit load of blue,
// green, red, alpha is alpha << 24 | red << 16 | green << 8 | blue: rotated left by a
// byte it is the decoded pixel. 3-byte pixels go four at a time, from three 32-bit loads
// (b0 g0 r0 b1 | g1 r1 b2 g2 | r2 b3 g3 r3), the rest one by one.
void ConvertPixels(const uint8_t* src, uint32_t* dst, uint32_t n, size_t bytesPerPixel)
{
    if (bytesPerPixel == 4) {
        for (uint32_t x = 0; x < n; ++x) {
            const uint32_t v = Load32(src + size_t(x) * 4);
            dst[x] = v << 8 | v >> 24;
        }
        return;
    }
    uint32_t x = 0;
    for (; x + 4 <= n; x += 4, src += 12) {
        const uint32_t w0 = Load32(src), w1 = Load32(src + 4), w2 = Load32(src + 8);
        dst[x] = w0 << 8 | 0xFFu;
        dst[x + 1] = w1 << 16 | w0 >> 16 | 0xFFu;
        dst[x + 2] = w2 << 24 | w1 >> 8 | 0xFFu;
        dst[x + 3] = w2 | 0xFFu;
    }
    for (; x < n; ++x, src += 3) dst[x] = ReadPixel(src, 3);
}

TgaResult Decode(const uint8_t* data, size_t size, TgaImage& img)
{
    if (!data || size < kHeaderSize) return TgaResult::Truncated;

    const uint8_t idLength = data[0];
    const uint8_t colourMapType = data[1];
    const uint8_t imageType = data[2];
    const uint32_t width = ReadU16(data + 12);
    const uint32_t height = ReadU16(data + 14);
    const uint8_t depth = data[16];
    const bool topFirst = (data[17] & kDescTopFirst) != 0;
    const bool rightFirst = (data[17] & kDescRightFirst) != 0;

    if (colourMapType != 0) return TgaResult::BadHeader;
    if (imageType != kTypeTrueColour && imageType != kTypeRleTrueColour) return TgaResult::BadHeader;
    if (width == 0 || height == 0) return TgaResult::BadHeader;
    // With each side capped, width * height * 4 is at most 2^30 and cannot
    // overflow a 32-bit size_t.
    if (width > kTgaMaxDimension || height > kTgaMaxDimension) return TgaResult::TooLarge;

    const size_t bpp = depth == 32 ? 4 : 3; // bytes per stored pixel
    size_t pos = kHeaderSize;
    if (size - pos < idLength) return TgaResult::Truncated;
    pos += idLength;
    const size_t avail = size - pos;

    // Refuse files too short to possibly hold the image before allocating
    // for it. Uncompressed data has an exact size; run-length data needs at
    // least one packet (header byte plus one pixel) per 128 pixels of a row.
    // Computed in 64 bits: 16384 * 16384 * 4 does not fit in 32.
    uint64_t minBytes;
    if (imageType == kTypeTrueColour)
        minBytes = uint64_t(width) * height * bpp;
    else
        minBytes = uint64_t(height) * ((width + 127) / 128) * (1 + bpp);
    if (minBytes > avail) return TgaResult::Truncated;

    // Decoded into the caller's buffer, which keeps its memory when it is large enough.
    try {
        img.pixels.resize(size_t(width) * height);
    } catch (const std::bad_alloc&) {
        return TgaResult::NoMemory;
    }

    const uint8_t* src = data + pos;
    const uint8_t* const end = data + size;
    for (uint32_t r = 0; r < height; ++r) {
        const uint32_t destRow = topFirst ? r : height - 1 - r;
        uint32_t* row = img.pixels.data() + size_t(destRow) * width;

        if (imageType == kTypeTrueColour) {
            // Whole image size was checked above.
            ConvertPixels(src, row, width, bpp);
            src += size_t(width) * bpp;
            continue;
        }

        // Packets never carry over from one row to the next: each row starts
        // with a fresh packet, and a packet whose count runs past the end of
        // the row is an encoder error. Such files are refused rather than
        // clipped or wrapped into the next row.
        uint32_t x = 0;
        while (x < width) {
            if (src == end) return TgaResult::Truncated;
            const uint8_t b = *src++;
            const uint32_t count = (b & 0x7Fu) + 1;
            if (count > width - x) return TgaResult::BadPacket;
            const size_t left = size_t(end - src);
            if (b & 0x80) {
                if (left < bpp) return TgaResult::Truncated;
                std::fill_n(row + x, count, ReadPixel(src, bpp));
                src += bpp;
            } else {
                if (left / bpp < count) return TgaResult::Truncated;
                ConvertPixels(src, row + x, count, bpp);
                src += size_t(count) * bpp;
            }
            x += count;
        }
    }
    // A row stored right to left was decoded as it lies in the file: turned round.
    if (rightFirst) {
        for (uint32_t r = 0; r < height; ++r) {
            uint32_t* row = img.pixels.data() + size_t(r) * width;
            std::reverse(row, row + width);
        }
    }

    img.width = width;
    img.height = height;
    img.bitsPerPixel = depth;
    return TgaResult::Ok;
}

} // namespace

TgaResult DecodeTga(const uint8_t* data, size_t size, TgaImage& out)
{
    const TgaResult result = Decode(data, size, out);
    if (result != TgaResult::Ok) out = TgaImage{};
    return result;
}

} // namespace zyk::formats

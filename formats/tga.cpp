#include "formats/tga.h"

#include <new>
#include <utility>

namespace zyk::formats {
namespace {

constexpr size_t kHeaderSize = 18;
constexpr uint8_t kTypeTrueColour = 2;
constexpr uint8_t kTypeRleTrueColour = 10;
constexpr uint8_t kDescTopFirst = 0x20;

uint32_t ReadU16(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8;
}

// One stored pixel: blue, green, red and, for 4-byte pixels, alpha.
uint32_t ReadPixel(const uint8_t* p, size_t bytesPerPixel) {
    const uint32_t alpha = bytesPerPixel == 4 ? p[3] : 255u;
    return uint32_t(p[2]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[0]) << 8 | alpha;
}

TgaResult Decode(const uint8_t* data, size_t size, TgaImage& img) {
    if (!data || size < kHeaderSize)
        return TgaResult::Truncated;

    const uint8_t idLength = data[0];
    const uint8_t colourMapType = data[1];
    const uint8_t imageType = data[2];
    const uint32_t width = ReadU16(data + 12);
    const uint32_t height = ReadU16(data + 14);
    const uint8_t depth = data[16];
    const bool topFirst = (data[17] & kDescTopFirst) != 0;

    if (colourMapType != 0)
        return TgaResult::BadHeader;
    if (imageType != kTypeTrueColour && imageType != kTypeRleTrueColour)
        return TgaResult::BadHeader;
    if (width == 0 || height == 0)
        return TgaResult::BadHeader;
    // With each side capped, width * height * 4 is at most 2^30 and cannot
    // overflow a 32-bit size_t.
    if (width > kTgaMaxDimension || height > kTgaMaxDimension)
        return TgaResult::TooLarge;

    const size_t bpp = depth == 32 ? 4 : 3;  // bytes per stored pixel
    size_t pos = kHeaderSize;
    if (size - pos < idLength)
        return TgaResult::Truncated;
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
    if (minBytes > avail)
        return TgaResult::Truncated;

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
            for (uint32_t x = 0; x < width; ++x, src += bpp)
                row[x] = ReadPixel(src, bpp);
            continue;
        }

        // Packets never carry over from one row to the next: each row starts
        // with a fresh packet, and a packet whose count runs past the end of
        // the row is an encoder error. Such files are refused rather than
        // clipped or wrapped into the next row.
        uint32_t x = 0;
        while (x < width) {
            if (src == end)
                return TgaResult::Truncated;
            const uint8_t b = *src++;
            const uint32_t count = (b & 0x7Fu) + 1;
            if (count > width - x)
                return TgaResult::BadPacket;
            const size_t left = size_t(end - src);
            if (b & 0x80) {
                if (left < bpp)
                    return TgaResult::Truncated;
                const uint32_t px = ReadPixel(src, bpp);
                src += bpp;
                for (uint32_t i = 0; i < count; ++i)
                    row[x++] = px;
            } else {
                if (left / bpp < count)
                    return TgaResult::Truncated;
                for (uint32_t i = 0; i < count; ++i, src += bpp)
                    row[x++] = ReadPixel(src, bpp);
            }
        }
    }

    img.width = width;
    img.height = height;
    img.bitsPerPixel = depth;
    return TgaResult::Ok;
}

}  // namespace

TgaResult DecodeTga(const uint8_t* data, size_t size, TgaImage& out) {
    TgaImage img;
    const TgaResult result = Decode(data, size, img);
    if (result == TgaResult::Ok)
        out = std::move(img);
    else
        out = TgaImage{};
    return result;
}

}  // namespace zyk::formats

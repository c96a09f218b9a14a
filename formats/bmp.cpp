// CheckBmp: the file and info headers of a .bmp checked against each other and the file's size.
#include "formats/bmp.h"

namespace zyk::formats {
namespace {

// File header: "BM", file size, two reserved words, offset of the pixels.
constexpr size_t kFileHeaderSize = 14;
constexpr size_t kOffBits = 10;
constexpr size_t kInfo = kFileHeaderSize; // the info header follows directly

// Info header sizes: core (OS/2 1.x), info, V2, V3, V4, V5.
constexpr uint32_t kCoreHeader = 12;
constexpr uint32_t kInfoHeader = 40;
constexpr uint32_t kV5Header = 124;

constexpr uint32_t kRgb = 0;
constexpr uint32_t kRle8 = 1;
constexpr uint32_t kRle4 = 2;
constexpr uint32_t kBitfields = 3;

// Colour-space tags of the V4/V5 headers that point at profile data.
constexpr uint32_t kProfileLinked = 0x4C494E4B;   // 'LINK'
constexpr uint32_t kProfileEmbedded = 0x4D424544; // 'MBED'

uint32_t U16(const uint8_t* p) { return uint32_t(p[0]) | uint32_t(p[1]) << 8; }
uint32_t U32(const uint8_t* p) { return U16(p) | U16(p + 2) << 16; }

bool KnownHeaderSize(uint32_t s) { return s == 12 || s == 40 || s == 52 || s == 56 || s == 108 || s == 124; }

bool FormatConsistent(bool core, uint32_t bits, uint32_t compression)
{
    if (core) // the core header has no compression field and no 16/32 bpp
        return bits == 1 || bits == 4 || bits == 8 || bits == 24;
    switch (compression) {
    case kRgb: return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
    case kRle8: return bits == 8;
    case kRle4: return bits == 4;
    case kBitfields: return bits == 16 || bits == 32;
    default: return false; // JPEG, PNG, alpha bitfields and unknowns
    }
}

BmpResult Check(const uint8_t* data, size_t size, BmpInfo& info)
{
    if (!data || size < 2) return BmpResult::Truncated;
    if (data[0] != 'B' || data[1] != 'M') return BmpResult::BadSignature;
    if (size < kFileHeaderSize + 4) return BmpResult::Truncated;

    const uint32_t headerSize = U32(data + kInfo);
    if (!KnownHeaderSize(headerSize)) return BmpResult::BadHeader;
    const uint64_t headersEnd = kFileHeaderSize + uint64_t(headerSize);
    if (headersEnd > size) return BmpResult::Truncated;

    const bool core = headerSize == kCoreHeader;
    int64_t width, height;
    uint32_t planes, bits, compression = kRgb, sizeImage = 0, clrUsed = 0;
    if (core) {
        width = U16(data + kInfo + 4);
        height = U16(data + kInfo + 6);
        planes = U16(data + kInfo + 8);
        bits = U16(data + kInfo + 10);
    } else {
        width = int32_t(U32(data + kInfo + 4));
        height = int32_t(U32(data + kInfo + 8));
        planes = U16(data + kInfo + 12);
        bits = U16(data + kInfo + 14);
        compression = U32(data + kInfo + 16);
        sizeImage = U32(data + kInfo + 20);
        clrUsed = U32(data + kInfo + 32);
    }

    if (planes != 1) return BmpResult::BadHeader;
    if (!FormatConsistent(core, bits, compression)) return BmpResult::BadFormat;

    // 64-bit values: negating INT32_MIN is well defined here.
    const bool topDown = height < 0;
    const int64_t absHeight = topDown ? -height : height;
    if (width <= 0 || absHeight == 0 || width > kBmpMaxDimension || absHeight > kBmpMaxDimension)
        return BmpResult::BadDimensions;
    const bool rle = compression == kRle8 || compression == kRle4;
    if (topDown && rle) // compressed bitmaps are always stored bottom-up
        return BmpResult::BadFormat;

    // bfSize is not trusted (writers often get it wrong); the real size is.
    const uint32_t offBits = U32(data + kOffBits);
    if (offBits < headersEnd || offBits > size) return BmpResult::BadOffset;

    // An embedded or linked colour profile is addressed from the start of
    // the info header and must lie inside the file.
    if (headerSize == kV5Header) {
        const uint32_t csType = U32(data + kInfo + 56);
        const uint64_t profileAt = U32(data + kInfo + 112);
        const uint64_t profileSize = U32(data + kInfo + 116);
        if ((csType == kProfileLinked || csType == kProfileEmbedded) && profileSize != 0 &&
            kInfo + profileAt + profileSize > size)
            return BmpResult::BadOffset;
    }

    // Between the info header and the pixels: the three colour masks of a
    // plain info header with bitfields (later headers carry them inside),
    // then the palette. biClrUsed of 0 means the full 2^bpp palette for up
    // to 8 bpp and no palette above; a nonzero count is taken as given.
    uint64_t tableBytes = 0;
    if (headerSize == kInfoHeader && compression == kBitfields) tableBytes += 12;
    uint64_t entries = clrUsed;
    if (core || (entries == 0 && bits <= 8)) entries = bits <= 8 ? uint64_t(1) << bits : 0;
    tableBytes += entries * (core ? 3 : 4);
    if (headersEnd + tableBytes > offBits) return BmpResult::BadPalette;

    const uint64_t pixelBytesPresent = size - offBits;
    if (rle) {
        // Compressed data has no size implied by the dimensions; a stated
        // biSizeImage must fit, and without one the rest of the file is the
        // data and must not be empty.
        if (sizeImage != 0 ? sizeImage > pixelBytesPresent : pixelBytesPresent == 0) return BmpResult::Truncated;
    } else {
        // Rows are padded to 4 bytes. In 64 bits this cannot wrap: at most
        // 2^17 bytes a row times 2^15 rows, where 32 bits would already
        // overflow at 32768 x 32768 x 32 bpp.
        const uint64_t stride = (uint64_t(width) * bits + 31) / 32 * 4;
        if (stride * uint64_t(absHeight) > pixelBytesPresent) return BmpResult::Truncated;
    }

    info.width = uint32_t(width);
    info.height = uint32_t(absHeight);
    info.bitsPerPixel = bits;
    info.topDown = topDown;
    return BmpResult::Ok;
}

} // namespace

BmpResult CheckBmp(const uint8_t* data, size_t size, BmpInfo& out)
{
    BmpInfo info;
    const BmpResult result = Check(data, size, info);
    out = result == BmpResult::Ok ? info : BmpInfo{};
    return result;
}

} // namespace zyk::formats

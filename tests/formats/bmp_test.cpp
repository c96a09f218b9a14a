#include "formats/bmp.h"
#include "seeds.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <initializer_list>
#include <utility>
#include <vector>

using namespace zyk::formats;

namespace {

using Bytes = std::vector<uint8_t>;

// Field offsets from the start of the file (info header at 14).
constexpr size_t kOffBits = 10, kHeaderSize = 14, kWidth = 18, kHeight = 22, kPlanes = 26, kBits = 28,
                 kCompression = 30, kSizeImage = 34, kClrUsed = 46;

void Set16(Bytes& b, size_t at, uint32_t v)
{
    b[at] = uint8_t(v);
    b[at + 1] = uint8_t(v >> 8);
}
void Set32(Bytes& b, size_t at, uint32_t v)
{
    Set16(b, at, v & 0xFFFF);
    Set16(b, at + 2, v >> 16);
}
uint32_t Get32(const Bytes& b, size_t at)
{
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | uint32_t(b[at + 3]) << 24;
}

// A well-formed file: headers, full palette for <= 8 bpp, zeroed pixel rows.
Bytes MakeBmp(int32_t w, int32_t h, uint32_t bits, uint32_t headerSize = 40)
{
    const bool core = headerSize == 12;
    const size_t palette = (bits <= 8 ? size_t(1) << bits : 0) * (core ? 3 : 4);
    const size_t off = 14 + headerSize + palette;
    const size_t stride = (size_t(w) * bits + 31) / 32 * 4;
    Bytes b(off + stride * size_t(std::abs(h)), 0);
    b[0] = 'B';
    b[1] = 'M';
    Set32(b, 2, uint32_t(b.size()));
    Set32(b, kOffBits, uint32_t(off));
    Set32(b, kHeaderSize, headerSize);
    if (core) {
        Set16(b, 18, uint32_t(w));
        Set16(b, 20, uint32_t(h));
        Set16(b, 22, 1);
        Set16(b, 24, bits);
    } else {
        Set32(b, kWidth, uint32_t(w));
        Set32(b, kHeight, uint32_t(h));
        Set16(b, kPlanes, 1);
        Set16(b, kBits, bits);
    }
    return b;
}

BmpResult Check(const Bytes& b)
{
    WriteSeed("bmp", b.data(), b.size());
    BmpInfo info;
    return CheckBmp(b.data(), b.size(), info);
}

TEST(Bmp, AcceptsWellFormedFiles)
{
    BmpInfo info;
    Bytes b24 = MakeBmp(3, 2, 24); // 9-byte rows padded to 12
    ASSERT_EQ(b24.size(), 54u + 24u);
    ASSERT_EQ(CheckBmp(b24.data(), b24.size(), info), BmpResult::Ok);
    EXPECT_EQ(info.width, 3u);
    EXPECT_EQ(info.height, 2u);
    EXPECT_EQ(info.bitsPerPixel, 24u);
    EXPECT_FALSE(info.topDown);

    Bytes b8 = MakeBmp(5, 3, 8);
    ASSERT_EQ(CheckBmp(b8.data(), b8.size(), info), BmpResult::Ok);
    EXPECT_EQ(info.bitsPerPixel, 8u);

    Bytes down = MakeBmp(4, -7, 32);
    ASSERT_EQ(CheckBmp(down.data(), down.size(), info), BmpResult::Ok);
    EXPECT_EQ(info.height, 7u);
    EXPECT_TRUE(info.topDown);

    for (uint32_t bits : {1u, 4u, 16u}) EXPECT_EQ(Check(MakeBmp(9, 2, bits)), BmpResult::Ok) << bits;
    for (uint32_t hs : {52u, 56u, 108u, 124u}) EXPECT_EQ(Check(MakeBmp(2, 2, 8, hs)), BmpResult::Ok) << hs;
    EXPECT_EQ(Check(MakeBmp(3, 3, 8, 12)), BmpResult::Ok);
    EXPECT_EQ(Check(MakeBmp(3, 3, 24, 12)), BmpResult::Ok);

    // A smaller palette than 2^bpp, stated in biClrUsed.
    Bytes small = MakeBmp(2, 2, 8);
    Set32(small, kClrUsed, 16);
    Set32(small, kOffBits, 54 + 64);
    small.erase(small.begin() + 54 + 64, small.begin() + 54 + 1024);
    EXPECT_EQ(Check(small), BmpResult::Ok);
}

TEST(Bmp, EveryTruncationRefused)
{
    for (const Bytes& file : {MakeBmp(3, 2, 24), MakeBmp(5, 3, 8), MakeBmp(3, 3, 4, 12), MakeBmp(2, 2, 32, 124)}) {
        ASSERT_EQ(Check(file), BmpResult::Ok);
        for (size_t n = 0; n < file.size(); ++n) {
            Bytes prefix(file.begin(), file.begin() + n);
            BmpInfo info;
            info.width = 99;
            EXPECT_NE(CheckBmp(prefix.data(), n, info), BmpResult::Ok) << "prefix " << n;
            EXPECT_EQ(info.width, 0u);
        }
    }
    BmpInfo info;
    EXPECT_EQ(CheckBmp(nullptr, 0, info), BmpResult::Truncated);
}

TEST(Bmp, HeaderFieldsValidated)
{
    Bytes b = MakeBmp(2, 2, 24);
    b[1] = 'A';
    EXPECT_EQ(Check(b), BmpResult::BadSignature);

    for (uint32_t hs : {0u, 16u, 41u, 64u, 0xFFFFFFFFu}) {
        b = MakeBmp(2, 2, 24);
        Set32(b, kHeaderSize, hs);
        EXPECT_EQ(Check(b), BmpResult::BadHeader) << hs;
    }
    for (uint32_t planes : {0u, 2u}) {
        b = MakeBmp(2, 2, 24);
        Set16(b, kPlanes, planes);
        EXPECT_EQ(Check(b), BmpResult::BadHeader);
    }
    for (uint32_t bits : {0u, 2u, 3u, 15u, 48u}) {
        b = MakeBmp(2, 2, 24);
        Set16(b, kBits, bits);
        EXPECT_EQ(Check(b), BmpResult::BadFormat) << bits;
    }
    EXPECT_EQ(Check(MakeBmp(2, 2, 16, 12)), BmpResult::BadFormat);

    struct {
        uint32_t bits, compression;
    } mismatched[] = {{24, 1}, {4, 1}, {8, 2}, {24, 2}, {24, 3}, {8, 3}, {24, 4}, {24, 5}, {32, 6}};
    for (auto [bits, compression] : mismatched) {
        b = MakeBmp(2, 2, bits);
        Set32(b, kCompression, compression);
        EXPECT_EQ(Check(b), BmpResult::BadFormat) << bits << "/" << compression;
    }
    b = MakeBmp(2, -2, 8);
    Set32(b, kCompression, 1);
    EXPECT_EQ(Check(b), BmpResult::BadFormat) << "top-down RLE";
}

TEST(Bmp, DimensionsValidated)
{
    using Dims = std::pair<int32_t, int32_t>;
    for (auto [w, h] :
         std::initializer_list<Dims>{{0, 2}, {2, 0}, {-2, 2}, {32769, 1}, {1, 32769}, {1, -32769}, {1, INT32_MIN}}) {
        Bytes b = MakeBmp(1, 1, 24);
        Set32(b, kWidth, uint32_t(w));
        Set32(b, kHeight, uint32_t(h));
        EXPECT_EQ(Check(b), BmpResult::BadDimensions) << w << "x" << h;
    }
    Bytes core = MakeBmp(1, 1, 24, 12);
    Set16(core, 18, 0);
    EXPECT_EQ(Check(core), BmpResult::BadDimensions);
}

TEST(Bmp, PixelOffsetMustLieBetweenHeadersAndEnd)
{
    Bytes b = MakeBmp(2, 2, 24);
    for (uint32_t off : {0u, 14u, 53u, uint32_t(b.size()) + 1, 0xFFFFFFFFu}) {
        Set32(b, kOffBits, off);
        EXPECT_EQ(Check(b), BmpResult::BadOffset) << off;
    }
    // An offset past the real palette but leaving too few pixel bytes.
    b = MakeBmp(2, 2, 24);
    Set32(b, kOffBits, 55);
    EXPECT_EQ(Check(b), BmpResult::Truncated);
}

TEST(Bmp, PaletteAndMasksMustFitBeforePixels)
{
    Bytes b = MakeBmp(2, 2, 8);
    Set32(b, kOffBits, 54 + 1020); // room for 255 of the 256 entries
    EXPECT_EQ(Check(b), BmpResult::BadPalette);

    for (uint32_t used : {257u, 0x40000000u, 0xFFFFFFFFu}) {
        b = MakeBmp(2, 2, 8);
        Set32(b, kClrUsed, used);
        EXPECT_EQ(Check(b), BmpResult::BadPalette) << used;
    }
    b = MakeBmp(2, 2, 24); // optional table above 8 bpp must fit as well
    Set32(b, kClrUsed, 1);
    EXPECT_EQ(Check(b), BmpResult::BadPalette);

    Bytes core = MakeBmp(2, 2, 8, 12); // core palette entries are 3 bytes
    Set32(core, kOffBits, Get32(core, kOffBits) - 1);
    EXPECT_EQ(Check(core), BmpResult::BadPalette);

    // Bitfields with a plain info header: three masks follow the header.
    b = MakeBmp(2, 2, 32);
    Set32(b, kCompression, 3);
    EXPECT_EQ(Check(b), BmpResult::BadPalette);
    b.insert(b.begin() + 54, 12, 0);
    Set32(b, kOffBits, 66);
    EXPECT_EQ(Check(b), BmpResult::Ok);
    // Later headers carry the masks inside.
    b = MakeBmp(2, 2, 16, 108);
    Set32(b, kCompression, 3);
    EXPECT_EQ(Check(b), BmpResult::Ok);
}

TEST(Bmp, PixelArraySizeCannotWrap)
{
    // 32768 x 32768 x 32 bpp is exactly 2^32 bytes: zero in 32-bit arithmetic.
    Bytes b = MakeBmp(1, 1, 32);
    b.resize(54);
    Set32(b, kWidth, 32768);
    Set32(b, kHeight, 32768);
    EXPECT_EQ(Check(b), BmpResult::Truncated);
    Set32(b, kHeight, uint32_t(-32768));
    EXPECT_EQ(Check(b), BmpResult::Truncated);
}

TEST(Bmp, RleDataMustFit)
{
    Bytes b = MakeBmp(4, 4, 8); // 16 bytes after the palette
    Set32(b, kCompression, 1);
    EXPECT_EQ(Check(b), BmpResult::Ok); // biSizeImage 0: the rest of the file
    Set32(b, kSizeImage, 16);
    EXPECT_EQ(Check(b), BmpResult::Ok);
    Set32(b, kSizeImage, 17);
    EXPECT_EQ(Check(b), BmpResult::Truncated);
    Set32(b, kSizeImage, 0xFFFFFFFF);
    EXPECT_EQ(Check(b), BmpResult::Truncated);
    b.resize(b.size() - 16);
    Set32(b, kSizeImage, 0);
    EXPECT_EQ(Check(b), BmpResult::Truncated);
}

TEST(Bmp, V5ProfileMustLieInFile)
{
    Bytes b = MakeBmp(2, 2, 24, 124);
    const size_t csType = 14 + 56, profileAt = 14 + 112, profileSize = 14 + 116;
    Set32(b, profileAt, 124); // right after the header: the pixel rows
    Set32(b, profileSize, 16);
    EXPECT_EQ(Check(b), BmpResult::Ok); // not a profile colour space: ignored
    Set32(b, csType, 0x4D424544);       // embedded
    EXPECT_EQ(Check(b), BmpResult::Ok);
    Set32(b, profileSize, 17);
    EXPECT_EQ(Check(b), BmpResult::BadOffset);
    Set32(b, profileSize, 1);
    Set32(b, profileAt, 0xFFFFFFFF);
    EXPECT_EQ(Check(b), BmpResult::BadOffset);
}

} // namespace

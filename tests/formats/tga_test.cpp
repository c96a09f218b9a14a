#include "formats/tga.h"
#include "seeds.h"

#include <gtest/gtest.h>

#include <vector>

using namespace zyk::formats;

namespace {

using Bytes = std::vector<uint8_t>;

constexpr uint8_t kTopFirst = 0x20;
constexpr uint8_t kRightFirst = 0x10;

Bytes Header(uint8_t type, uint16_t w, uint16_t h, uint8_t depth, uint8_t desc, uint8_t idLength = 0,
             uint8_t colourMap = 0)
{
    Bytes b(18, 0);
    b[0] = idLength;
    b[1] = colourMap;
    b[2] = type;
    b[12] = uint8_t(w);
    b[13] = uint8_t(w >> 8);
    b[14] = uint8_t(h);
    b[15] = uint8_t(h >> 8);
    b[16] = depth;
    b[17] = desc;
    return b;
}

// Appends one stored pixel given as 0xRRGGBBAA: blue, green, red[, alpha].
void Put(Bytes& b, uint32_t rgba, bool withAlpha = false)
{
    b.push_back(uint8_t(rgba >> 8));
    b.push_back(uint8_t(rgba >> 16));
    b.push_back(uint8_t(rgba >> 24));
    if (withAlpha) b.push_back(uint8_t(rgba));
}

TgaResult Decode(const Bytes& b, TgaImage& img)
{
    WriteSeed("tga", b.data(), b.size());
    return DecodeTga(b.data(), b.size(), img);
}

// 2x2 picture, top row first: distinct bytes in every channel.
const std::vector<uint32_t> kPicture = {0x11223344, 0x55667788, 0x99AABBCC, 0xDDEEF000};

Bytes Uncompressed2x2(uint8_t desc, uint8_t depth = 24)
{
    Bytes b = Header(2, 2, 2, depth, desc);
    const bool alpha = depth == 32;
    for (int r = 0; r < 2; ++r) {
        for (int c = 0; c < 2; ++c) {
            const int row = (desc & kTopFirst) ? r : 1 - r, column = (desc & kRightFirst) ? 1 - c : c;
            Put(b, kPicture[size_t(row) * 2 + column], alpha);
        }
    }
    return b;
}

std::vector<uint32_t> Opaque(std::vector<uint32_t> v)
{
    for (auto& p : v) p |= 0xFF;
    return v;
}

TEST(Tga, Uncompressed24GetsOpaqueAlpha)
{
    TgaImage img;
    ASSERT_EQ(Decode(Uncompressed2x2(kTopFirst), img), TgaResult::Ok);
    EXPECT_EQ(img.width, 2u);
    EXPECT_EQ(img.height, 2u);
    EXPECT_EQ(img.bitsPerPixel, 24u);
    EXPECT_EQ(img.pixels, Opaque(kPicture));
}

// Rows of every length around the four-pixel groups of the 24-bit conversion, stored
// plainly, as raw run-length packets and at 32 bits, decoded into one reused image.
TEST(Tga, EveryPixelOfWideRows)
{
    TgaImage img;
    for (uint16_t w = 1; w <= 9; ++w) {
        std::vector<uint32_t> picture;
        for (uint32_t i = 0; i < uint32_t(w) * 2; ++i) picture.push_back(0x01020304u * (i + 1) ^ 0x80C0E0F0u);
        for (uint8_t depth : {24, 32}) {
            for (uint8_t type : {2, 10}) {
                Bytes b = Header(type, w, 2, depth, kTopFirst);
                for (int row = 0; row < 2; ++row) {
                    if (type == 10) b.push_back(uint8_t(w - 1));
                    for (int x = 0; x < w; ++x) Put(b, picture[size_t(row) * w + x], depth == 32);
                }
                ASSERT_EQ(Decode(b, img), TgaResult::Ok) << w;
                EXPECT_EQ(img.pixels, depth == 32 ? picture : Opaque(picture))
                    << "width " << w << ", depth " << int(depth) << ", type " << int(type);
            }
        }
    }
}

TEST(Tga, EveryRowAndColumnOrderGivesThePicture)
{
    // Bottom or top row first, left or right column first; the alpha-depth bits change
    // nothing.
    for (uint8_t desc : {0x00, 0x10, 0x20, 0x30, 0x08}) {
        TgaImage img;
        ASSERT_EQ(Decode(Uncompressed2x2(desc), img), TgaResult::Ok);
        EXPECT_EQ(img.pixels, Opaque(kPicture)) << int(desc);
    }
    // A run-length row right to left: a run of two, then one raw pixel.
    Bytes b = Header(10, 3, 1, 24, kTopFirst | kRightFirst);
    b.push_back(0x81);
    Put(b, 0x112233FF);
    b.push_back(0x00);
    Put(b, 0x445566FF);
    TgaImage img;
    ASSERT_EQ(Decode(b, img), TgaResult::Ok);
    EXPECT_EQ(img.pixels, (std::vector<uint32_t>{0x445566FF, 0x112233FF, 0x112233FF}));
}

TEST(Tga, Depth32KeepsAlphaOtherDepthsUseThreeBytes)
{
    TgaImage img;
    ASSERT_EQ(Decode(Uncompressed2x2(kTopFirst, 32), img), TgaResult::Ok);
    EXPECT_EQ(img.bitsPerPixel, 32u);
    EXPECT_EQ(img.pixels, kPicture);

    ASSERT_EQ(Decode(Uncompressed2x2(kTopFirst, 16), img), TgaResult::Ok);
    EXPECT_EQ(img.bitsPerPixel, 16u);
    EXPECT_EQ(img.pixels, Opaque(kPicture));
}

TEST(Tga, RunAndRawPackets)
{
    // One 7-pixel row: run of 4, then raw of 3.
    Bytes b = Header(10, 7, 1, 32, kTopFirst);
    b.push_back(0x83);
    Put(b, 0x01020304, true);
    b.push_back(0x02);
    Put(b, 0x0A0B0C0D, true);
    Put(b, 0x1A1B1C1D, true);
    Put(b, 0x2A2B2C2D, true);
    TgaImage img;
    ASSERT_EQ(Decode(b, img), TgaResult::Ok);
    EXPECT_EQ(img.pixels, (std::vector<uint32_t>{0x01020304, 0x01020304, 0x01020304, 0x01020304, 0x0A0B0C0D, 0x1A1B1C1D,
                                                 0x2A2B2C2D}));
}

Bytes Rle2x2BottomUp()
{
    // Bottom row is a run, top row two raw pixels.
    Bytes b = Header(10, 2, 2, 24, 0x00);
    b.push_back(0x81);
    Put(b, 0x99AABB00);
    b.push_back(0x01);
    Put(b, 0x11223300);
    Put(b, 0x55667700);
    return b;
}

TEST(Tga, RlePacketsStartAfreshEachRow)
{
    TgaImage img;
    ASSERT_EQ(Decode(Rle2x2BottomUp(), img), TgaResult::Ok);
    EXPECT_EQ(img.pixels, (std::vector<uint32_t>{0x112233FF, 0x556677FF, 0x99AABBFF, 0x99AABBFF}));

    // A run of 4 would cover both rows of a 2x2 image: refused, not wrapped.
    Bytes run = Header(10, 2, 2, 24, kTopFirst);
    run.push_back(0x83);
    Put(run, 0x11223300);
    run.resize(run.size() + 4); // long enough to hold a second row's packet
    EXPECT_EQ(Decode(run, img), TgaResult::BadPacket);
    EXPECT_TRUE(img.pixels.empty());

    // Raw packet of 3 in a 2-wide row, with its pixels all present.
    Bytes raw = Header(10, 2, 2, 24, kTopFirst);
    raw.push_back(0x02);
    for (int i = 0; i < 4; ++i) Put(raw, 0x11223300);
    EXPECT_EQ(Decode(raw, img), TgaResult::BadPacket);

    // Crossing the end of the last row is refused too.
    Bytes last = Header(10, 2, 2, 24, kTopFirst);
    last.push_back(0x81);
    Put(last, 0x11223300);
    last.push_back(0x82);
    Put(last, 0x11223300);
    EXPECT_EQ(Decode(last, img), TgaResult::BadPacket);
}

TEST(Tga, UnsupportedHeadersRefused)
{
    TgaImage img;
    Bytes mapped = Uncompressed2x2(kTopFirst);
    mapped[1] = 1;
    EXPECT_EQ(Decode(mapped, img), TgaResult::BadHeader);
    for (uint8_t type : {0, 1, 3, 9, 11, 0x82}) {
        Bytes b = Uncompressed2x2(kTopFirst);
        b[2] = type;
        EXPECT_EQ(Decode(b, img), TgaResult::BadHeader) << int(type);
    }
    EXPECT_EQ(Decode(Header(2, 0, 2, 24, 0), img), TgaResult::BadHeader);
    EXPECT_EQ(Decode(Header(10, 2, 0, 24, 0), img), TgaResult::BadHeader);
}

TEST(Tga, IdFieldSkipped)
{
    Bytes b = Header(2, 1, 1, 24, 0, 5);
    for (int i = 0; i < 5; ++i) b.push_back(0xEE);
    Put(b, 0x12345600);
    TgaImage img;
    ASSERT_EQ(Decode(b, img), TgaResult::Ok);
    EXPECT_EQ(img.pixels, std::vector<uint32_t>{0x123456FF});

    // The full 255-byte ID field is skipped; one short of it is truncation.
    Bytes longId = Header(2, 1, 1, 24, 0, 255);
    longId.resize(18 + 254);
    EXPECT_EQ(Decode(longId, img), TgaResult::Truncated);
}

TEST(Tga, EveryTruncationFailsCleanly)
{
    Bytes withId = Uncompressed2x2(kTopFirst);
    withId[0] = 3;
    withId.insert(withId.begin() + 18, {1, 2, 3});
    Bytes rleRaw = Header(10, 3, 1, 32, 0);
    rleRaw.push_back(0x02);
    for (int i = 0; i < 3; ++i) Put(rleRaw, 0x10203040 + i, true);

    for (const Bytes& file : {Uncompressed2x2(0), withId, Rle2x2BottomUp(), rleRaw}) {
        TgaImage img;
        ASSERT_EQ(Decode(file, img), TgaResult::Ok);
        for (size_t n = 0; n < file.size(); ++n) {
            TgaImage cut;
            cut.width = 7;
            cut.pixels.assign(3, 1);
            // An exact-size copy so that reading past the prefix is visible to
            // sanitizers and valgrind.
            Bytes prefix(file.begin(), file.begin() + n);
            EXPECT_EQ(DecodeTga(prefix.data(), n, cut), TgaResult::Truncated) << "prefix " << n;
            EXPECT_EQ(cut.width, 0u);
            EXPECT_TRUE(cut.pixels.empty());
        }
        // Trailing bytes (a footer, say) are ignored.
        Bytes longer = file;
        longer.insert(longer.end(), 26, 0xAB);
        TgaImage again;
        ASSERT_EQ(Decode(longer, again), TgaResult::Ok);
        EXPECT_EQ(again.pixels, img.pixels);
    }
    TgaImage img;
    EXPECT_EQ(DecodeTga(nullptr, 0, img), TgaResult::Truncated);
}

TEST(Tga, OversizeRefusedBeforeAllocating)
{
    TgaImage img;
    EXPECT_EQ(Decode(Header(2, 65535, 65535, 32, 0), img), TgaResult::TooLarge);
    EXPECT_EQ(Decode(Header(10, 16385, 1, 24, 0), img), TgaResult::TooLarge);
    EXPECT_EQ(Decode(Header(2, 1, 16385, 24, 0), img), TgaResult::TooLarge);
    // At the limit but without the data to fill it: refused from the header
    // alone, for both encodings.
    EXPECT_EQ(Decode(Header(2, 16384, 16384, 32, 0), img), TgaResult::Truncated);
    Bytes rle = Header(10, 16384, 16384, 32, 0);
    rle.push_back(0xFF);
    Put(rle, 0, true);
    EXPECT_EQ(Decode(rle, img), TgaResult::Truncated);

    Bytes wide = Header(10, 16384, 1, 24, 0);
    for (int i = 0; i < 128; ++i) {
        wide.push_back(0xFF);
        Put(wide, 0x01020300);
    }
    ASSERT_EQ(Decode(wide, img), TgaResult::Ok);
    EXPECT_EQ(img.pixels.size(), 16384u);
    EXPECT_EQ(img.pixels.back(), 0x010203FFu);
}

} // namespace

// The image module's own choices, without a device: channels packed into pixel formats,
// rows written into a surface's memory, texture sizes for a device's caps and the
// texture store's choice of format.
#include <gtest/gtest.h>

#include "image/pixels.h"
#include "image/texture.h"

#include <vector>

namespace {

DDPIXELFORMAT Rgb(DWORD bits, DWORD r, DWORD g, DWORD b, DWORD a = 0)
{
    DDPIXELFORMAT f = {};
    f.dwSize = sizeof f;
    f.dwFlags = DDPF_RGB | (a ? DDPF_ALPHAPIXELS : 0);
    f.dwRGBBitCount = bits;
    f.dwRBitMask = r;
    f.dwGBitMask = g;
    f.dwBBitMask = b;
    f.dwRGBAlphaBitMask = a;
    return f;
}

const DDPIXELFORMAT kR5G6B5 = Rgb(16, 0xF800, 0x7E0, 0x1F);
const DDPIXELFORMAT kX8R8G8B8 = Rgb(32, 0xFF0000, 0xFF00, 0xFF);
const DDPIXELFORMAT kA8R8G8B8 = Rgb(32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000);
const DDPIXELFORMAT kA4R4G4B4 = Rgb(16, 0xF00, 0xF0, 0xF, 0xF000);
const DDPIXELFORMAT kA1R5G5B5 = Rgb(16, 0x7C00, 0x3E0, 0x1F, 0x8000);

DDPIXELFORMAT Flagged(DWORD flags, DWORD bits, DWORD mask = 0, DWORD alpha = 0)
{
    DDPIXELFORMAT f = {};
    f.dwSize = sizeof f;
    f.dwFlags = flags;
    f.dwRGBBitCount = bits;
    f.dwLuminanceBitMask = mask;
    f.dwRGBAlphaBitMask = alpha;
    return f;
}

} // namespace

TEST(ImagePixels, ChannelsTakeTheirTopBitsOrAreWidened)
{
    using zyk::image::PackPixel;
    using zyk::image::PlaceChannel;
    EXPECT_EQ(PlaceChannel(0xFF, 0), 0u);
    EXPECT_EQ(PlaceChannel(0x84, 0x7E0), 0x21u << 5);
    EXPECT_EQ(PlaceChannel(0x80, 0x3FF00000), 0x200u << 20) << "10 bits from 8";
    EXPECT_EQ(PackPixel(kR5G6B5, 0xFF8408FF), 0xFC21u);
    EXPECT_EQ(PackPixel(kA8R8G8B8, 0x11223344), 0x44112233u);
    EXPECT_EQ(PackPixel(kX8R8G8B8, 0x11223344), 0x00112233u) << "no alpha without alpha pixels";
    // Grey level 77 red + 150 green + 29 blue in 256ths, and alpha beside it.
    EXPECT_EQ(PackPixel(Flagged(DDPF_LUMINANCE | DDPF_ALPHAPIXELS, 16, 0xFF, 0xFF00), 0xFF000080), 0x804Cu);
    EXPECT_EQ(PackPixel(Flagged(DDPF_ALPHA, 8), 0x12345678), 0x78u) << "an alpha-only format";
}

TEST(ImagePixels, RowsAreWrittenWholeWithinBothSizes)
{
    // A 3 x 2 image into a 24-bit 2 x 3 surface of pitch 8: the 2 x 2 that both cover.
    std::vector<BYTE> memory(8 * 3, 0xEE);
    DDSURFACEDESC2 locked = {};
    locked.dwWidth = 2;
    locked.dwHeight = 3;
    locked.lPitch = 8;
    locked.lpSurface = memory.data();
    const uint32_t image[6] = {0x010203FF, 0x040506FF, 0x070809FF, 0x0A0B0CFF, 0x0D0E0FFF, 0x101112FF};
    zyk::image::WritePixels(locked, Rgb(24, 0xFF0000, 0xFF00, 0xFF), image, 3, 2);
    const std::vector<BYTE> expected = {3,  2,  1,    6,    5,    4,    0xEE, 0xEE, 12,   11,   10,   15,
                                        14, 13, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE};
    EXPECT_EQ(memory, expected);
}

TEST(ImageTexture, SizesFollowTheCaps)
{
    using zyk::image::PowerOfTwoAtLeast;
    EXPECT_EQ(PowerOfTwoAtLeast(0), 1u);
    EXPECT_EQ(PowerOfTwoAtLeast(100), 128u);
    EXPECT_EQ(PowerOfTwoAtLeast(128), 128u);
    EXPECT_EQ(PowerOfTwoAtLeast(0x80000001u), 0x80000000u);

    D3DDEVICEDESC7 caps = {};
    DWORD w = 300, h = 3;
    zyk::image::FitTextureSize(caps, w, h);
    EXPECT_EQ(w, 256u) << "256 when the device names no greatest side";
    EXPECT_EQ(h, 3u);

    caps.dpcTriCaps.dwTextureCaps = D3DPTEXTURECAPS_POW2 | D3DPTEXTURECAPS_SQUAREONLY;
    caps.dwMinTextureWidth = caps.dwMinTextureHeight = 8;
    caps.dwMaxTextureWidth = caps.dwMaxTextureHeight = 1024;
    w = 100, h = 3;
    zyk::image::FitTextureSize(caps, w, h);
    EXPECT_EQ(w, 128u);
    EXPECT_EQ(h, 128u) << "the least side, then square";
}

TEST(ImageTexture, TheFirstOfferedFormatOfTheWishIsChosen)
{
    using zyk::image::ChooseFormat;
    using zyk::image::FormatWish;
    const DDPIXELFORMAT palette8 = Flagged(DDPF_RGB | DDPF_PALETTEINDEXED8, 8);
    const DDPIXELFORMAT a8l8 = Flagged(DDPF_LUMINANCE | DDPF_ALPHAPIXELS, 16, 0xFF, 0xFF00);
    const std::vector<DDPIXELFORMAT> offered = {a8l8, kR5G6B5, kX8R8G8B8, kA4R4G4B4, kA8R8G8B8, kA1R5G5B5, palette8};
    const auto chosen = [&](FormatWish wish) -> long {
        const DDPIXELFORMAT* f = ChooseFormat(offered, wish);
        return f ? f - offered.data() : -1;
    };
    EXPECT_EQ(chosen({32, false, false}), 2);
    EXPECT_EQ(chosen({32, true, false}), 4);
    EXPECT_EQ(chosen({16, false, false}), 1) << "not the luminance format of the same depth";
    EXPECT_EQ(chosen({16, true, false}), 5) << "not the 4-4-4-4 layout";
    EXPECT_EQ(chosen({24, false, false}), 1) << "no 24 bits offered: 16";
    EXPECT_EQ(chosen({8, false, true}), 6);

    // Without a palette format a palette image falls back to 16 bits.
    const std::vector<DDPIXELFORMAT> noPalette(offered.begin(), offered.end() - 1);
    EXPECT_EQ(ChooseFormat(noPalette, {8, true, true}), &noPalette[5]);
    EXPECT_EQ(ChooseFormat({kX8R8G8B8, kA4R4G4B4}, {16, true, false}), nullptr);
}

// Textures from bitmap and Targa files the tests write, read back by Lock.
#include "d3dx_device_fixture.h"

#include <cmath>

using namespace d3dxtest;

namespace {

const uint32_t kQuadrant[4] = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF};

uint32_t Quadrants(int x, int y, int w, int h) { return kQuadrant[(x >= w / 2) + 2 * (y >= h / 2)]; }

struct Loaded {
    HRESULT hr;
    IDirectDrawSurface7* surface;
    DWORD width, height, mipMaps;
    D3DX_SURFACEFORMAT format;
};

class D3DXTexture : public DeviceTest {
protected:
    void TearDown() override
    {
        if (last.surface) last.surface->Release();
        DeviceTest::TearDown();
    }
    // Loads as the engine's texture does: sizes and format to be chosen, no mip-maps.
    Loaded& Load(const std::string& path, DWORD width = D3DX_DEFAULT, DWORD height = D3DX_DEFAULT,
                 D3DX_SURFACEFORMAT format = D3DX_SF_UNKNOWN, DWORD* mipMaps = nullptr,
                 D3DX_FILTERTYPE filter = D3DX_FT_DEFAULT, DWORD flags = 0)
    {
        if (last.surface) last.surface->Release();
        last = {E_FAIL, reinterpret_cast<IDirectDrawSurface7*>(1), width, height, mipMaps ? *mipMaps : 0, format};
        last.hr =
            D3DXCreateTextureFromFile(device, flags ? &flags : nullptr, &last.width, &last.height, &last.format,
                                      nullptr, &last.surface, mipMaps ? &last.mipMaps : nullptr, path.c_str(), filter);
        return last;
    }
    // The quadrant colours at the centres of the quadrants of a w x h surface.
    void ExpectQuadrants(IDirectDrawSurface7* s, int w, int h)
    {
        EXPECT_TRUE(Near(PixelAt(s, w / 4, h / 4), kQuadrant[0]));
        EXPECT_TRUE(Near(PixelAt(s, 3 * w / 4, h / 4), kQuadrant[1]));
        EXPECT_TRUE(Near(PixelAt(s, w / 4, 3 * h / 4), kQuadrant[2]));
        EXPECT_TRUE(Near(PixelAt(s, 3 * w / 4, 3 * h / 4), kQuadrant[3]));
    }
    Loaded last = {S_OK, nullptr, 0, 0, 0, D3DX_SF_UNKNOWN};
};

} // namespace

TEST_F(D3DXTexture, BitmapsOfTwentyFourAndEightBitsLandPixelForPixel)
{
    const auto paint = [](int x, int y) { return Quadrants(x, y, 16, 8); };
    Loaded& t = Load(WriteTestFile("quad24.bmp", Bmp(16, 8, paint)));
    ASSERT_EQ(t.hr, S_OK);
    EXPECT_EQ(t.width, 16u);
    EXPECT_EQ(t.height, 8u);
    EXPECT_EQ(t.format, D3DX_SF_X8R8G8B8) << "the first opaque format Wine offers";
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 16; ++x) ASSERT_TRUE(Near(PixelAt(t.surface, x, y), paint(x, y), 0)) << x << "," << y;
    DDSURFACEDESC2 d = {};
    d.dwSize = sizeof d;
    ASSERT_EQ(t.surface->GetSurfaceDesc(&d), S_OK);
    EXPECT_TRUE(d.ddsCaps.dwCaps & DDSCAPS_TEXTURE);
    EXPECT_TRUE(d.ddsCaps.dwCaps2 & DDSCAPS2_TEXTUREMANAGE) << "a hardware device's texture is managed";

    const std::vector<uint32_t> palette = {0x000000, 0xFF8000, 0x0080FF};
    Loaded& p = Load(WriteTestFile("pal8.bmp", Bmp(
                                                   8, 8, [](int x, int y) { return (x + y) % 3; }, palette)));
    ASSERT_EQ(p.hr, S_OK);
    EXPECT_TRUE(Near(PixelAt(p.surface, 1, 0), 0xFF8000, 0));
    EXPECT_TRUE(Near(PixelAt(p.surface, 2, 0), 0x0080FF, 0));
    EXPECT_TRUE(Near(PixelAt(p.surface, 3, 0), 0x000000, 0));
    EXPECT_EQ(PixelAt(p.surface, 3, 0).a, 255);
}

TEST_F(D3DXTexture, TargaAlphaChoosesAFormatWithAlpha)
{
    // Left half see-through, right half half-covering.
    const auto paint = [](int x, int y) { return (x < 4 ? 0x00000000u : 0x80000000u) | Quadrants(x, y, 8, 8); };
    Loaded& t = Load(WriteTestFile("alpha32.tga", Tga(8, 8, 32, paint)));
    ASSERT_EQ(t.hr, S_OK);
    EXPECT_EQ(t.format, D3DX_SF_A8R8G8B8);
    EXPECT_EQ(PixelAt(t.surface, 1, 1).a, 0);
    EXPECT_NEAR(PixelAt(t.surface, 6, 1).a, 0x80, 1);
    EXPECT_TRUE(Near(PixelAt(t.surface, 6, 1), 0x00FF00, 0));
    EXPECT_TRUE(Near(PixelAt(t.surface, 1, 6), 0x0000FF, 0));

    // Opaque 24-bit Targa: no alpha needed.
    Loaded& o = Load(WriteTestFile("opaque24.tga", Tga(8, 8, 24, [](int x, int y) { return Quadrants(x, y, 8, 8); })));
    ASSERT_EQ(o.hr, S_OK);
    EXPECT_EQ(o.format, D3DX_SF_X8R8G8B8);
    ExpectQuadrants(o.surface, 8, 8);

    // The same file with an upper-case extension.
    Loaded& u = Load(WriteTestFile("UPPER.TGA", Tga(8, 8, 24, [](int x, int y) { return Quadrants(x, y, 8, 8); })));
    EXPECT_EQ(u.hr, S_OK);
}

TEST_F(D3DXTexture, SizesFollowTheDeviceAndTheRequest)
{
    D3DDEVICEDESC7 caps = {};
    ASSERT_EQ(device->GetCaps(&caps), S_OK);
    const std::string path =
        WriteTestFile("odd.bmp", Bmp(100, 60, [](int x, int y) { return Quadrants(x, y, 100, 60); }));
    Loaded& t = Load(path);
    ASSERT_EQ(t.hr, S_OK);
    if (caps.dpcTriCaps.dwTextureCaps & D3DPTEXTURECAPS_POW2) {
        EXPECT_EQ(t.width, 128u);
        EXPECT_EQ(t.height, 64u);
    } else {
        EXPECT_EQ(t.width, 100u);
    }
    ExpectQuadrants(t.surface, t.width, t.height);

    // A size asked for: the image stretched to it, with either filter.
    for (D3DX_FILTERTYPE filter : {D3DX_FT_POINT, D3DX_FT_LINEAR}) {
        Loaded& s = Load(path, 32, 16, D3DX_SF_UNKNOWN, nullptr, filter);
        ASSERT_EQ(s.hr, S_OK);
        EXPECT_EQ(s.width, 32u);
        EXPECT_EQ(s.height, 16u);
        ExpectQuadrants(s.surface, 32, 16);
    }
}

TEST_F(D3DXTexture, AFormatAskedForIsMadeWhenOffered)
{
    const std::string path = WriteTestFile("q565.bmp", Bmp(8, 8, [](int x, int y) { return Quadrants(x, y, 8, 8); }));
    Loaded& t = Load(path, D3DX_DEFAULT, D3DX_DEFAULT, D3DX_SF_R5G6B5);
    ASSERT_EQ(t.hr, S_OK);
    EXPECT_EQ(t.format, D3DX_SF_R5G6B5);
    DDSURFACEDESC2 d = {};
    d.dwSize = sizeof d;
    ASSERT_EQ(t.surface->GetSurfaceDesc(&d), S_OK);
    EXPECT_EQ(d.ddpfPixelFormat.dwRGBBitCount, 16u);
    EXPECT_EQ(d.ddpfPixelFormat.dwGBitMask, 0x7E0u);
    ExpectQuadrants(t.surface, 8, 8);

    // One the device lacks (Wine offers no palettes) or the layer does not write: its own choice.
    for (D3DX_SURFACEFORMAT f : {D3DX_SF_PALETTE8, D3DX_SF_DXT1, D3DX_SF_U8V8}) {
        Loaded& c = Load(path, D3DX_DEFAULT, D3DX_DEFAULT, f);
        ASSERT_EQ(c.hr, S_OK);
        EXPECT_EQ(c.format, D3DX_SF_X8R8G8B8);
    }
}

TEST_F(D3DXTexture, MipMapsAverageDownToOnePixel)
{
    const std::string path =
        WriteTestFile("mip.tga", Tga(16, 16, 24, [](int x, int y) { return Quadrants(x, y, 16, 16); }));
    DWORD levels = D3DX_DEFAULT;
    Loaded& t = Load(path, D3DX_DEFAULT, D3DX_DEFAULT, D3DX_SF_UNKNOWN, &levels);
    ASSERT_EQ(t.hr, S_OK);
    EXPECT_EQ(t.mipMaps, 5u);
    IDirectDrawSurface7* level = t.surface;
    level->AddRef();
    DWORD count = 1;
    for (;;) {
        DDSCAPS2 caps = {DDSCAPS_TEXTURE | DDSCAPS_MIPMAP};
        IDirectDrawSurface7* next = nullptr;
        if (FAILED(level->GetAttachedSurface(&caps, &next))) break;
        level->Release();
        level = next;
        ++count;
    }
    EXPECT_EQ(count, 5u);
    // 1 x 1: the mean of red, green, blue and white.
    EXPECT_TRUE(Near(PixelAt(level, 0, 0), 0x808080, 2));
    level->Release();

    levels = 2;
    EXPECT_EQ(Load(path, D3DX_DEFAULT, D3DX_DEFAULT, D3DX_SF_UNKNOWN, &levels).mipMaps, 2u);
    levels = D3DX_DEFAULT;
    Loaded& none = Load(path, D3DX_DEFAULT, D3DX_DEFAULT, D3DX_SF_UNKNOWN, &levels, D3DX_FT_DEFAULT,
                        D3DX_TEXTURE_NOMIPMAP | D3DX_TEXTURE_STAGE1);
    ASSERT_EQ(none.hr, S_OK);
    EXPECT_EQ(none.mipMaps, 1u);
    DDSURFACEDESC2 d = {};
    d.dwSize = sizeof d;
    ASSERT_EQ(none.surface->GetSurfaceDesc(&d), S_OK);
    EXPECT_EQ(d.dwTextureStage, 1u);
}

TEST_F(D3DXTexture, FilesThatCannotBeReadGiveTheirCodes)
{
    const Bytes good = Bmp(8, 8, [](int, int) { return 0x123456u; });
    const Bytes tga = Tga(8, 8, 24, [](int, int) { return 0x123456u; });
    Bytes colourMapped = tga;
    colourMapped[1] = 1;
    Bytes greyscale = tga;
    greyscale[2] = 3;
    const struct {
        const char* name;
        Bytes bytes;
        HRESULT expected;
    } cases[] = {
        {"truncated.bmp", Bytes(good.begin(), good.begin() + 100), D3DXERR_INVALIDFILEFORMAT},
        {"headeronly.bmp", Bytes(good.begin(), good.begin() + 20), D3DXERR_INVALIDFILEFORMAT},
        {"text.bmp", Bytes{'h', 'e', 'l', 'l', 'o'}, D3DXERR_UNSUPPORTEDFILEFORMAT},
        {"empty.bmp", Bytes{}, D3DXERR_UNSUPPORTEDFILEFORMAT},
        {"picture.png", Bytes{0x89, 'P', 'N', 'G', 13, 10, 26, 10}, D3DXERR_UNSUPPORTEDFILEFORMAT},
        {"truncated.tga", Bytes(tga.begin(), tga.begin() + 40), D3DXERR_INVALIDFILEFORMAT},
        {"short.tga", Bytes(tga.begin(), tga.begin() + 10), D3DXERR_INVALIDFILEFORMAT},
        {"mapped.tga", colourMapped, D3DXERR_UNSUPPORTEDFILEFORMAT},
        {"grey.tga", greyscale, D3DXERR_UNSUPPORTEDFILEFORMAT},
    };
    for (const auto& c : cases) {
        Loaded& t = Load(WriteTestFile(c.name, c.bytes), 7, 9, D3DX_SF_R5G6B5);
        EXPECT_EQ(t.hr, c.expected) << c.name;
        EXPECT_EQ(t.surface, nullptr) << c.name;
        EXPECT_EQ(t.width, 7u) << "nothing written back: " << c.name;
        EXPECT_EQ(t.format, D3DX_SF_R5G6B5) << c.name;
    }
    EXPECT_EQ(Load(WriteTestFile("x", {}) + "missing.bmp").hr, DDERR_NOTFOUND);
    // A bitmap is known by its contents, whatever it is called.
    EXPECT_EQ(Load(WriteTestFile("bitmap.dat", good)).hr, S_OK);
}

TEST_F(D3DXTexture, BadArgumentsAreRefused)
{
    const std::string path = WriteTestFile("args.bmp", Bmp(4, 4, [](int, int) { return 0u; }));
    IDirectDrawSurface7* s = reinterpret_cast<IDirectDrawSurface7*>(1);
    EXPECT_EQ(D3DXCreateTextureFromFile(nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &s, nullptr, path.c_str(),
                                        D3DX_FT_DEFAULT),
              D3DXERR_NULLPOINTER);
    EXPECT_EQ(s, nullptr);
    EXPECT_EQ(D3DXCreateTextureFromFile(device, nullptr, nullptr, nullptr, nullptr, nullptr, &s, nullptr, nullptr,
                                        D3DX_FT_DEFAULT),
              D3DXERR_NULLPOINTER);
    EXPECT_EQ(D3DXCreateTextureFromFile(device, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                        path.c_str(), D3DX_FT_DEFAULT),
              D3DXERR_NULLPOINTER);
    DWORD flags = 0x10000;
    EXPECT_EQ(D3DXCreateTextureFromFile(device, &flags, nullptr, nullptr, nullptr, nullptr, &s, nullptr, path.c_str(),
                                        D3DX_FT_DEFAULT),
              D3DXERR_INVALIDPARAMETER);
    EXPECT_EQ(D3DXCreateTextureFromFile(device, nullptr, nullptr, nullptr, nullptr, nullptr, &s, nullptr, path.c_str(),
                                        static_cast<D3DX_FILTERTYPE>(7)),
              D3DXERR_INVALIDPARAMETER);
    // Every in/out pointer may be NULL.
    ASSERT_EQ(D3DXCreateTextureFromFile(device, nullptr, nullptr, nullptr, nullptr, nullptr, &s, nullptr, path.c_str(),
                                        D3DX_FT_DEFAULT),
              S_OK);
    EXPECT_EQ(s->Release(), 0u);
}

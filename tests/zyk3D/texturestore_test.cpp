// The texture store on a real Direct3D 7 device: records, image loading from files the
// tests write and from a resource of this program, and the surfaces read back by Lock.
#include <gtest/gtest.h>
#include <d3dx.h>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>
#include "com/module.h"
#include "images.h"
#include "testkit.h"
#include "textureconverter.h"
#include "texturestore.h"

namespace {

using testkit::Bmp;
using testkit::Bytes;
using testkit::Colour;
using testkit::Paint;
using testkit::Put16;
using testkit::Put32;
using testkit::PutBgr;
using testkit::Tga24;
using testkit::TgaHeader;

Colour Quadrants(int x, int y, int w, int h)
{
    static const Colour k[4] = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF};
    return k[(x >= w / 2) + 2 * (y >= h / 2)];
}

std::string Folder()
{
    static const std::string dir = testkit::ProcessFolder("zyk_texturestore_");
    return dir;
}

void WriteFile(const std::string& name, const Bytes& bytes)
{
    FILE* f = fopen((Folder() + name).c_str(), "wb");
    ASSERT_NE(f, nullptr) << name;
    fwrite(bytes.data(), 1, bytes.size(), f);
    fclose(f);
}

size_t ListSize()
{
    size_t n = 0;
    for (CTextureContainer* r = TextureContainerList; r; r = r->next) ++n;
    return n;
}

DDSURFACEDESC2 Describe(IDirectDrawSurface7* s)
{
    DDSURFACEDESC2 d = {};
    d.dwSize = sizeof d;
    EXPECT_EQ(s->GetSurfaceDesc(&d), S_OK);
    return d;
}

// A channel of a pixel value scaled to 0..255 by its mask (255 for an absent alpha mask).
int Channel(DWORD v, DWORD mask, int absent = 0)
{
    if (!mask) return absent;
    int low = 0;
    while (!(mask >> low & 1)) ++low;
    const DWORD max = mask >> low;
    return int(((v & mask) >> low) * 255 / max);
}

struct Rgba {
    int r, g, b, a;
};

// The pixel at (x, y) of a 16- or 32-bit surface, read by Lock.
Rgba PixelAt(IDirectDrawSurface7* s, DWORD x, DWORD y)
{
    DDSURFACEDESC2 d = {};
    d.dwSize = sizeof d;
    Rgba out = {-1, -1, -1, -1};
    if (FAILED(s->Lock(nullptr, &d, DDLOCK_WAIT | DDLOCK_READONLY, nullptr))) return out;
    const DDPIXELFORMAT& pf = d.ddpfPixelFormat;
    const BYTE* row = static_cast<const BYTE*>(d.lpSurface) + y * d.lPitch;
    DWORD v = pf.dwRGBBitCount == 32 ? reinterpret_cast<const DWORD*>(row)[x] : reinterpret_cast<const WORD*>(row)[x];
    s->Unlock(nullptr);
    return {Channel(v, pf.dwRBitMask), Channel(v, pf.dwGBitMask), Channel(v, pf.dwBBitMask),
            Channel(v, pf.dwRGBAlphaBitMask, 255)};
}

// The colour matches within the precision of the surface's 5- or 8-bit channels.
void ExpectColour(const Rgba& p, Colour c, const char* where)
{
    EXPECT_NEAR(p.r, int(c >> 16 & 0xFF), 8) << where;
    EXPECT_NEAR(p.g, int(c >> 8 & 0xFF), 8) << where;
    EXPECT_NEAR(p.b, int(c & 0xFF), 8) << where;
}

HWND MakeWindow(int x)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "ZykTextureStoreTests";
    RegisterClassA(&wc);
    HWND hwnd = CreateWindowExA(0, wc.lpszClassName, "store", WS_OVERLAPPEDWINDOW, x, 40, 300, 300, nullptr, nullptr,
                                wc.hInstance, nullptr);
    ShowWindow(hwnd, SW_SHOWNORMAL);
    UpdateWindow(hwnd);
    return hwnd;
}

// One windowed context, made for the suite.
class TextureStore : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        ASSERT_EQ(D3DXInitialize(), S_OK);
        window_ = MakeWindow(40);
        ASSERT_EQ(D3DXCreateContext(D3DX_DEFAULT, 0, window_, 256, 256, &context_), S_OK);
        device_ = context_->GetD3DDevice();
    }
    static void TearDownTestSuite()
    {
        DestroyAllTextures();
        if (device_) device_->Release();
        if (context_) context_->Release();
        DestroyWindow(window_);
        D3DXUninitialize();
    }
    void SetUp() override
    {
        ASSERT_NE(device_, nullptr);
        DestroyAllTextures();
        SetTexturePath(Folder().c_str());
    }
    void TearDown() override
    {
        DestroyAllTextures();
        SetTexturePath(nullptr);
    }
    // Registers and restores a file; the record's surface.
    static IDirectDrawSurface7* Restored(const char* name, DWORD flags = 0)
    {
        EXPECT_EQ(CreateTextureFromFile(name, 0, flags), S_OK) << name;
        EXPECT_EQ(RestoreTexture(name, device_), S_OK) << name;
        return GetTextureSurface(name);
    }
    static inline HWND window_ = nullptr;
    static inline ID3DXContext* context_ = nullptr;
    static inline IDirect3DDevice7* device_ = nullptr;
};

TEST_F(TextureStore, SecondCreateOfANameInAnyCaseSharesTheRecord)
{
    WriteFile("brick.bmp", Bmp(8, 4, [](int, int) { return 0x808080u; }));
    ASSERT_EQ(CreateTextureFromFile("brick.bmp", 0, 0), S_OK);
    CTextureContainer* record = FindTexture("BRICK.bmp");
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->width, 8u);
    EXPECT_EQ(record->height, 4u);
    EXPECT_EQ(record->bitsPerPixel, 24u);
    EXPECT_NE(record->bitmap, nullptr);
    EXPECT_TRUE(record->pixels.empty());
    EXPECT_EQ(record->surface, nullptr); // surfaces come from restore

    EXPECT_EQ(CreateTextureFromFile("Brick.BMP", 1, 4), S_OK);
    EXPECT_EQ(ListSize(), 1u);
    EXPECT_EQ(record->uses, 2);
    EXPECT_EQ(record->stage, 0u);
    EXPECT_EQ(record->flags, 0u);
}

TEST_F(TextureStore, ImagesThatCannotBeLoadedLeaveNoRecord)
{
    const Bytes bmp = Bmp(2, 2, [](int, int) { return 0u; });
    WriteFile("wall.jpg", bmp);
    WriteFile("wall", bmp);
    for (const char* name : {"wall.jpg", "wall", "missing.bmp", "missing.tga"}) {
        EXPECT_EQ(CreateTextureFromFile(name, 0, 0), E_FAIL) << name;
        EXPECT_EQ(FindTexture(name), nullptr) << name;
    }
    EXPECT_EQ(ListSize(), 0u);

    // The load step tells a file it cannot read from one it cannot find.
    const std::pair<const char*, HRESULT> steps[] = {
        {"wall.jpg", E_NOTIMPL}, {"wall", E_NOTIMPL}, {"missing.jpg", DDERR_NOTFOUND}};
    for (auto [name, code] : steps) {
        CTextureContainer* record = new CTextureContainer(name, 0, 0);
        EXPECT_EQ(LoadImageData(record), code) << name;
        delete record;
    }
    EXPECT_EQ(TextureContainerList, nullptr);
}

TEST_F(TextureStore, NamesAndPathsThatDoNotFitAreRefused)
{
    EXPECT_EQ(CreateTextureFromFile(nullptr, 0, 0), E_INVALIDARG);
    EXPECT_EQ(CreateEmptyTexture(nullptr, 4, 4, 0, 0), E_INVALIDARG);
    // Names up to the platform's path limit (259 characters) are kept whole.
    SetTexturePath(nullptr);
    const std::string longest(255, 'n'), tooLong(256, 'n');
    EXPECT_EQ(CreateTextureFromFile((tooLong + ".bmp").c_str(), 0, 0), E_INVALIDARG);
    EXPECT_EQ(CreateEmptyTexture((tooLong + ".bmp").c_str(), 4, 4, 0, 0), E_INVALIDARG);
    EXPECT_EQ(AcquireTexture((tooLong + ".bmp").c_str(), 0, 0), nullptr);
    EXPECT_EQ(CreateTextureFromFile((longest + ".bmp").c_str(), 0, 0), E_FAIL); // fits, not on disk
    EXPECT_EQ(ListSize(), 0u);
    ASSERT_EQ(CreateEmptyTexture((longest + ".bmp").c_str(), 4, 4, 0, 0), S_OK);
    EXPECT_NE(FindTexture((longest + ".BMP").c_str()), nullptr);
    EXPECT_EQ(FindTexture((std::string(254, 'n') + ".bmp").c_str()), nullptr); // not cut to a shorter key

    // A folder and a name of 259 characters together fit; one more does not.
    const std::string folder(200, 'f');
    EXPECT_EQ(SetTexturePath(folder.c_str()), folder);
    EXPECT_EQ(CreateTextureFromFile((std::string(55, 'a') + ".bmp").c_str(), 0, 0), E_FAIL);
    EXPECT_EQ(CreateTextureFromFile((std::string(56, 'a') + ".bmp").c_str(), 0, 0), E_INVALIDARG);
    EXPECT_EQ(strlen(SetTexturePath(std::string(600, 'p').c_str())), 511u);
    EXPECT_EQ(ListSize(), 1u);
}

TEST_F(TextureStore, TargaFilesThatAreRefused)
{
    Bytes truncated = Tga24(4, 4, [](int, int) { return 0x123456u; });
    truncated.resize(truncated.size() - 5);
    Bytes greyscale = Tga24(2, 2, [](int, int) { return 0u; });
    greyscale[2] = 3;
    Bytes mapped = TgaHeader(2, 2, 2, 24, 0, 1);
    mapped.resize(mapped.size() + 12, 0);
    Bytes huge = TgaHeader(2, 60000, 60000, 24, 0); // claims 3600 million pixels
    huge.resize(huge.size() + 64, 0);
    Bytes longRun = TgaHeader(10, 4, 1, 24, 0); // one run of 5 pixels in a row of 4
    longRun.push_back(0x84);
    PutBgr(longRun, 0xFF0000);
    const std::pair<const char*, Bytes> files[] = {{"short.tga", truncated}, {"grey.tga", greyscale},
                                                   {"mapped.tga", mapped},   {"huge.tga", huge},
                                                   {"run.tga", longRun},     {"header.tga", Bytes(10, 0)}};
    for (const auto& [name, bytes] : files) {
        WriteFile(name, bytes);
        EXPECT_EQ(CreateTextureFromFile(name, 0, 0), E_FAIL) << name;
    }
    EXPECT_EQ(ListSize(), 0u);
}

TEST_F(TextureStore, TargaRowOrderPacketsAndAlpha)
{
    auto paint = [](int x, int y) { return Colour(0x102030 * (1 + x + 3 * y)); };
    WriteFile("up.tga", Tga24(3, 2, paint));
    WriteFile("down.tga", Tga24(3, 2, paint, true));
    ASSERT_EQ(CreateTextureFromFile("up.tga", 0, 0), S_OK);
    ASSERT_EQ(CreateTextureFromFile("down.tga", 0, 0), S_OK);
    const CTextureContainer* up = FindTexture("up.tga");
    EXPECT_EQ(up->pixels, FindTexture("down.tga")->pixels);
    ASSERT_EQ(up->pixels.size(), 6u);
    EXPECT_EQ(up->bitsPerPixel, 24u);
    for (int i = 0; i < 6; ++i) EXPECT_EQ(up->pixels[i], paint(i % 3, i / 3) << 8 | 0xFF) << i;

    // Run packet 0x83: one pixel four times. Raw packet 0x02: three pixels. 32 bits keep alpha.
    Bytes rle = TgaHeader(10, 4, 2, 32, 0x20);
    rle.push_back(0x83);
    for (uint8_t v : {0x00, 0x00, 0xFF, 0x40}) rle.push_back(v);
    rle.push_back(0x02);
    for (int i = 0; i < 3; ++i)
        for (uint8_t v : {uint8_t(i), uint8_t(0x10), uint8_t(0x20), uint8_t(0x80)}) rle.push_back(v);
    rle.push_back(0x80);
    for (uint8_t v : {0x01, 0x02, 0x03, 0x04}) rle.push_back(v);
    WriteFile("rle.tga", rle);
    ASSERT_EQ(CreateTextureFromFile("rle.tga", 0, 0), S_OK);
    const std::vector<uint32_t> expected = {0xFF000040, 0xFF000040, 0xFF000040, 0xFF000040,
                                            0x20100080, 0x20100180, 0x20100280, 0x03020104};
    EXPECT_EQ(FindTexture("rle.tga")->pixels, expected);
    EXPECT_FALSE(FindTexture("rle.tga")->hasAlpha);
}

TEST_F(TextureStore, RestoredTargaFollowsTheDeviceCapsAndColours)
{
    auto paint = [](int x, int y) { return Quadrants(x, y, 100, 60); };
    WriteFile("quad.tga", Tga24(100, 60, paint));
    D3DDEVICEDESC7 caps = {};
    ASSERT_EQ(device_->GetCaps(&caps), S_OK);
    const bool pow2 = caps.dpcTriCaps.dwTextureCaps & D3DPTEXTURECAPS_POW2;

    // 24 bits a pixel: no such format here, so the second search takes 16 bits without alpha.
    IDirectDrawSurface7* s = Restored("quad.tga");
    ASSERT_NE(s, nullptr);
    DDSURFACEDESC2 d = Describe(s);
    EXPECT_EQ(d.dwWidth, pow2 ? 128u : 100u);
    EXPECT_EQ(d.dwHeight, pow2 ? 64u : 60u);
    EXPECT_EQ(d.ddpfPixelFormat.dwRGBBitCount, 16u);
    EXPECT_EQ(d.ddpfPixelFormat.dwRGBAlphaBitMask, 0u);
    const DWORD w = d.dwWidth, h = d.dwHeight;
    ExpectColour(PixelAt(s, w / 4, h / 4), 0xFF0000, "top left");
    ExpectColour(PixelAt(s, 3 * w / 4, h / 4), 0x00FF00, "top right");
    ExpectColour(PixelAt(s, w / 4, 3 * h / 4), 0x0000FF, "bottom left");
    ExpectColour(PixelAt(s, 3 * w / 4, 3 * h / 4), 0xFFFFFF, "bottom right");

    // Preferring 32 bits gives exact channels.
    WriteFile("quad32.tga", Tga24(100, 60, paint));
    s = Restored("quad32.tga", TEXTUREFLAG_PREFER_32BIT);
    ASSERT_NE(s, nullptr);
    d = Describe(s);
    EXPECT_EQ(d.ddpfPixelFormat.dwRGBBitCount, 32u);
    const Rgba p = PixelAt(s, 3 * d.dwWidth / 4, d.dwHeight / 4);
    EXPECT_EQ(p.r, 0);
    EXPECT_EQ(p.g, 255);
    EXPECT_EQ(p.b, 0);
}

TEST_F(TextureStore, BitmapsReachTheSurfaceWithColourKeyedAlpha)
{
    WriteFile("tile.bmp", Bmp(8, 4, [](int x, int) { return x < 4 ? 0xFFFF00u : 0x00FFFFu; }));
    IDirectDrawSurface7* s = Restored("tile.bmp");
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(Describe(s).dwWidth, 8u);
    ExpectColour(PixelAt(s, 1, 1), 0xFFFF00, "left");
    ExpectColour(PixelAt(s, 6, 2), 0x00FFFF, "right");

    // A palette image with "white is transparent": a format with alpha, white gets none.
    WriteFile("keyed.bmp", Bmp(4, 4, [](int x, int) { return x < 2 ? 0u : 1u; }, {0xFFFFFF, 0xFF0000}));
    s = Restored("keyed.bmp", TEXTUREFLAG_WHITE_TRANSPARENT);
    ASSERT_NE(s, nullptr);
    ASSERT_NE(Describe(s).ddpfPixelFormat.dwRGBAlphaBitMask, 0u);
    const Rgba white = PixelAt(s, 0, 1), red = PixelAt(s, 3, 1);
    ExpectColour(white, 0xFFFFFF, "white");
    EXPECT_EQ(white.a, 0);
    ExpectColour(red, 0xFF0000, "red");
    EXPECT_EQ(red.a, 255);
}

TEST_F(TextureStore, ResourceBitmapWinsOverTheFileSystemWhateverTheExtension)
{
    IDirectDrawSurface7* s = Restored("stone.tga", TEXTUREFLAG_PREFER_32BIT);
    const CTextureContainer* record = FindTexture("stone.tga");
    ASSERT_NE(record, nullptr);
    EXPECT_NE(record->bitmap, nullptr);
    EXPECT_TRUE(record->pixels.empty());
    EXPECT_EQ(record->width, 4u);
    EXPECT_EQ(record->height, 2u);
    ASSERT_NE(s, nullptr);
    ExpectColour(PixelAt(s, 0, 0), 0xFF0000, "top row");
    ExpectColour(PixelAt(s, 3, 1), 0x0000FF, "bottom row");
}

TEST_F(TextureStore, NamesThatAreNotListed)
{
    EXPECT_EQ(RestoreTexture("nothing.bmp", device_), DDERR_NOTFOUND);
    EXPECT_EQ(InvalidateTexture("nothing.bmp"), DDERR_NOTFOUND);
    EXPECT_EQ(DestroyTexture("nothing.bmp"), S_OK);
    EXPECT_EQ(GetTextureSurface("nothing.bmp"), nullptr);
    EXPECT_EQ(FindTexture(nullptr), nullptr);
}

TEST_F(TextureStore, ARecordLivesUntilItsLastUserDestroysIt)
{
    WriteFile("shared.bmp", Bmp(4, 4, [](int, int) { return 0x00FF00u; }));
    ASSERT_EQ(CreateTextureFromFile("shared.bmp", 0, 0), S_OK);
    ASSERT_EQ(CreateTextureFromFile("shared.bmp", 0, 0), S_OK);
    ASSERT_EQ(RestoreAllTextures(device_), S_OK);
    EXPECT_EQ(DestroyTexture("shared.bmp"), S_OK);
    ASSERT_NE(FindTexture("shared.bmp"), nullptr);
    IDirectDrawSurface7* s = GetTextureSurface("shared.bmp");
    ASSERT_NE(s, nullptr);
    ExpectColour(PixelAt(s, 2, 2), 0x00FF00, "kept surface");

    // A user with a surface of its own shares the same record.
    CTextureContainer* owned = AcquireTexture("SHARED.bmp", 0, 0);
    EXPECT_EQ(owned, FindTexture("shared.bmp"));
    EXPECT_EQ(owned->uses, 2);
    EXPECT_EQ(DestroyTexture("shared.bmp"), S_OK);
    EXPECT_EQ(GetTextureSurface("shared.bmp"), s);
    EXPECT_EQ(DestroyTexture("shared.bmp"), S_OK);
    EXPECT_EQ(FindTexture("shared.bmp"), nullptr);
    EXPECT_EQ(DestroyTexture("shared.bmp"), S_OK);
}

TEST_F(TextureStore, RestoreRebuildsOnlySurfacesThatNeedIt)
{
    WriteFile("keep.bmp", Bmp(4, 4, [](int, int) { return 0x0000FFu; }));
    IDirectDrawSurface7* first = Restored("keep.bmp");
    ASSERT_NE(first, nullptr);
    first->AddRef(); // held, so that a rebuilt surface cannot reuse its address
    EXPECT_EQ(RestoreAllTextures(device_), S_OK);
    EXPECT_EQ(GetTextureSurface("keep.bmp"), first);

    EXPECT_EQ(InvalidateAllTextures(), S_OK);
    EXPECT_EQ(GetTextureSurface("keep.bmp"), nullptr);
    EXPECT_EQ(RestoreAllTextures(device_), S_OK);
    IDirectDrawSurface7* second = GetTextureSurface("keep.bmp");
    ASSERT_NE(second, nullptr);
    EXPECT_NE(second, first);
    ExpectColour(PixelAt(second, 1, 1), 0x0000FF, "rebuilt");
    first->Release();

    // A surface made for another device is rebuilt on the device asked for.
    HWND otherWindow = MakeWindow(360);
    ID3DXContext* other = nullptr;
    ASSERT_EQ(D3DXCreateContext(D3DX_DEFAULT, 0, otherWindow, 64, 64, &other), S_OK);
    IDirect3DDevice7* otherDevice = other->GetD3DDevice();
    second->AddRef();
    EXPECT_EQ(RestoreTexture("keep.bmp", otherDevice), S_OK);
    IDirectDrawSurface7* third = GetTextureSurface("keep.bmp");
    EXPECT_NE(third, second);
    EXPECT_EQ(FindTexture("keep.bmp")->device, otherDevice);
    EXPECT_EQ(RestoreTexture("keep.bmp", otherDevice), S_OK);
    EXPECT_EQ(GetTextureSurface("keep.bmp"), third);
    second->Release();
    EXPECT_EQ(RestoreTexture("keep.bmp", nullptr), E_INVALIDARG);
    EXPECT_EQ(GetTextureSurface("keep.bmp"), nullptr);
    otherDevice->Release();
    other->Release();
    DestroyWindow(otherWindow);
}

TEST_F(TextureStore, EmptyAndImagelessRecords)
{
    ASSERT_EQ(CreateEmptyTexture("empty", 100, 60, 0, TEXTUREFLAG_PREFER_32BIT | TEXTUREFLAG_ALPHA), S_OK);
    EXPECT_EQ(CreateEmptyTexture("EMPTY", 8, 8, 0, 0), E_FAIL);
    const CTextureContainer* record = FindTexture("empty");
    EXPECT_EQ(record->bitsPerPixel, 32u);
    EXPECT_TRUE(record->hasAlpha);
    ASSERT_EQ(RestoreTexture("empty", device_), S_OK);
    DDSURFACEDESC2 d = Describe(GetTextureSurface("empty"));
    EXPECT_EQ(d.ddpfPixelFormat.dwRGBBitCount, 32u);
    EXPECT_NE(d.ddpfPixelFormat.dwRGBAlphaBitMask, 0u);

    // Nothing to build a 0 x 0 record from: the restore fails and leaves no surface.
    ASSERT_EQ(CreateEmptyTexture("zero", 0, 0, 0, 0), S_OK);
    EXPECT_EQ(RestoreTexture("zero", device_), E_FAIL);
    EXPECT_EQ(GetTextureSurface("zero"), nullptr);

    // A surface its owner put in stays through restores on the device it belongs to.
    CTextureContainer* owned = AcquireTexture("owned.dds", 0, 0);
    ASSERT_NE(owned, nullptr);
    EXPECT_EQ(owned->uses, 1);
    IDirectDraw7* dd = context_->GetDD();
    DDSURFACEDESC2 sd = {};
    sd.dwSize = sizeof sd;
    sd.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
    sd.ddsCaps.dwCaps = DDSCAPS_TEXTURE | DDSCAPS_SYSTEMMEMORY;
    sd.dwWidth = sd.dwHeight = 16;
    ASSERT_EQ(dd->CreateSurface(&sd, &owned->surface, nullptr), S_OK);
    dd->Release();
    IDirectDrawSurface7* own = owned->surface;
    EXPECT_EQ(RestoreAllTextures(device_), S_OK);
    EXPECT_EQ(GetTextureSurface("owned.dds"), own);
    EXPECT_EQ(DestroyTexture("owned.dds"), S_OK);
    EXPECT_EQ(FindTexture("owned.dds"), nullptr);
}

TEST_F(TextureStore, HostileBitmapFilesFailCleanly)
{
    const Bytes good = Bmp(16, 16, [](int x, int y) { return Colour(x * 16 << 8 | y * 16); });
    Bytes truncated(good.begin(), good.begin() + good.size() / 2);
    Bytes badOffset = good;
    badOffset[10] = 0xFF, badOffset[11] = 0xFF; // pixels "at" 65535
    Bytes huge = good;
    huge[18] = 0x30, huge[19] = 0x75; // 30000 pixels wide
    Bytes rle = Bmp(
        4, 4, [](int, int) { return 0u; }, std::vector<Colour>(256, 0x808080));
    rle.resize(54 + 1024);
    rle[30] = 1; // RLE8: a delta far outside the image
    for (uint8_t v : {0x00, 0x02, 0xFF, 0xFF, 0x04, 0x01, 0x00, 0x01}) rle.push_back(v);
    const std::pair<const char*, Bytes> files[] = {
        {"short.bmp", truncated}, {"offset.bmp", badOffset}, {"huge.bmp", huge}, {"text.bmp", Bytes(200, 'x')}};
    for (const auto& [name, bytes] : files) {
        WriteFile(name, bytes);
        EXPECT_EQ(CreateTextureFromFile(name, 0, 0), E_FAIL) << name;
    }
    EXPECT_EQ(ListSize(), 0u);
    // A well-formed header with hostile compressed data is the platform decoder's to
    // refuse or clip; it must not take the process down.
    WriteFile("rle.bmp", rle);
    if (CreateTextureFromFile("rle.bmp", 0, 0) == S_OK) {
        EXPECT_EQ(RestoreTexture("rle.bmp", device_), S_OK);
    }
}

TEST_F(TextureStore, DestroyAllTexturesFreesEveryRecord)
{
    WriteFile("a.bmp", Bmp(2, 2, [](int, int) { return 0u; }));
    ASSERT_EQ(CreateTextureFromFile("a.bmp", 0, 0), S_OK);
    ASSERT_EQ(CreateTextureFromFile("a.bmp", 0, 0), S_OK);
    ASSERT_EQ(CreateEmptyTexture("b", 4, 4, 0, 0), S_OK);
    ASSERT_EQ(RestoreAllTextures(device_), S_OK);
    DestroyAllTextures();
    EXPECT_EQ(TextureContainerList, nullptr);
}

// Two apartments make, look up, restore and drop textures at once, each its own names: both
// finish, every record is found while its maker holds it, and none is left. A store that is
// not safe across apartments loses records or hangs here (the test then fails after a
// time-out).
TEST_F(TextureStore, TwoApartmentsAtOnce)
{
    WriteFile("shared.bmp", Bmp(4, 4, [](int, int) { return 0x406080u; }));
    struct Apartment {
        int index;
        LONG lost = 0;
        static DWORD WINAPI Run(void* p)
        {
            auto* self = static_cast<Apartment*>(p);
            CoInitialize(nullptr);
            std::vector<std::string> names;
            for (int i = 0; i < 32; ++i) names.push_back("a" + std::to_string(self->index) + "_" + std::to_string(i));
            for (const std::string& name : names) CreateEmptyTexture(name.c_str(), 4, 4, 0, 0);
            for (int i = 0; i < 5000; ++i) {
                const char* name = names[i % names.size()].c_str();
                DestroyTexture(name);
                if (FAILED(CreateEmptyTexture(name, 4, 4, 0, 0)) || !FindTexture(name)) ++self->lost;
                if (i % 100 == 0) {
                    CreateTextureFromFile("shared.bmp", 0, 0);
                    RestoreAllTextures(device_);
                    GetTextureSurface("shared.bmp");
                    InvalidateAllTextures();
                    DestroyTexture("shared.bmp");
                }
            }
            for (const std::string& name : names) DestroyTexture(name.c_str());
            CoUninitialize();
            return 0;
        }
    };
    Apartment apartments[2] = {{0}, {1}};
    HANDLE threads[2];
    for (int t = 0; t < 2; ++t) threads[t] = CreateThread(nullptr, 0, &Apartment::Run, &apartments[t], 0, nullptr);
    if (WaitForMultipleObjects(2, threads, TRUE, 300000) != WAIT_OBJECT_0) {
        ADD_FAILURE() << "the two apartments did not finish";
        fflush(stdout);
        TerminateProcess(GetCurrentProcess(), 1); // a thread that spins would keep the program alive
    }
    for (HANDLE h : threads) CloseHandle(h);
    EXPECT_EQ(apartments[0].lost, 0);
    EXPECT_EQ(apartments[1].lost, 0);
    EXPECT_EQ(ListSize(), 0u);
}

} // namespace

// The program is its own module: failures built from string ids read the table linked in.
int main(int argc, char** argv)
{
    zyk::com::ThisModule().Init(nullptr, 0, GetModuleHandleA(nullptr), GUID_NULL);
    testing::InitGoogleTest(&argc, argv);
    testkit::ComScope com;
    return RUN_ALL_TESTS();
}

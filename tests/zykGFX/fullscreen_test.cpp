// Display modes, full-screen flip chains and 8-bit palettes, in a Wine virtual desktop
// where the display mode really changes.
#include "gfx_fixture.h"

using gfx_test::Handle;
using gfx_test::New;
using gfx_test::Take;

namespace {

void ExpectScreen(int width, int height, int bits)
{
    DEVMODEA mode{};
    mode.dmSize = sizeof mode;
    ASSERT_TRUE(EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &mode));
    EXPECT_EQ(static_cast<int>(mode.dmPelsWidth), width);
    EXPECT_EQ(static_cast<int>(mode.dmPelsHeight), height);
    EXPECT_EQ(static_cast<int>(mode.dmBitsPerPel), bits);
}

struct ModeSize {
    DWORD width, height, bits;
};

HRESULT WINAPI CollectMode(DDSURFACEDESC2* d, void* context)
{
    static_cast<std::vector<ModeSize>*>(context)->push_back(
        {d->dwWidth, d->dwHeight, d->ddpfPixelFormat.dwRGBBitCount});
    return DDENUMRET_OK;
}

HRESULT WINAPI FindPrimary(IDirectDrawSurface7* s, DDSURFACEDESC2* d, void* context)
{
    auto** primary = static_cast<IDirectDrawSurface7**>(context);
    if ((d->ddsCaps.dwCaps & DDSCAPS_PRIMARYSURFACE) && !*primary)
        *primary = s;
    else
        s->Release();
    return DDENUMRET_OK;
}

IDirectDraw7* DirectDrawOf(IDevice* d)
{
    long handle = 0;
    d->get_DirectDrawPointer(&handle);
    return reinterpret_cast<IDirectDraw7*>(static_cast<LONG_PTR>(handle));
}

// The device's primary surface, found among the surfaces of its DirectDraw object.
IDirectDrawSurface7* PrimaryOf(IDevice* d)
{
    IDirectDrawSurface7* primary = nullptr;
    DirectDrawOf(d)->EnumSurfaces(DDENUMSURFACES_DOESEXIST | DDENUMSURFACES_ALL, nullptr, &primary, &FindPrimary);
    return primary;
}

// A device quick-set-up on a window, as a game does before it picks a mode.
struct Game {
    Game()
    {
        window = testkit::CreateTestWindow(320, 240, "zykGFX full screen");
        device = New<IDevice>(L"ZYKGFX.Device", IID_IDevice);
        device->put_Window(Handle(window));
        EXPECT_EQ(device->Initialise(0, 0, 0, 0, 1), S_OK);
    }
    ~Game()
    {
        device->Free();
        device->Release();
        DestroyWindow(window);
    }
    // The listed mode of that size, switched to.
    HRESULT ChangeTo(long width, long height, long bits)
    {
        IModes* modes = Take<IModes>(Get(&IDevice::get_Modes), IID_IModes);
        long count = 0;
        modes->get_Count(&count);
        HRESULT hr = E_INVALIDARG;
        for (long i = 1; i <= count && hr == E_INVALIDARG; ++i) {
            VARIANT v;
            VariantInit(&v);
            modes->Item(testkit::VarI4(i), &v);
            IMode* mode = Take<IMode>(V_DISPATCH(&v), IID_IMode);
            long w = 0, h = 0, b = 0;
            mode->get_Width(&w);
            mode->get_Height(&h);
            mode->get_Depth(&b);
            if (w == width && h == height && b == bits) hr = mode->Change();
            mode->Release();
        }
        modes->Release();
        return hr;
    }
    IDispatch* Get(HRESULT (STDMETHODCALLTYPE IDevice::*get)(IDispatch**))
    {
        IDispatch* d = nullptr;
        EXPECT_EQ((device->*get)(&d), S_OK);
        return d;
    }
    HWND window;
    IDevice* device;
};

} // namespace

TEST(DisplayModes, TheListIsDirectDrawsInKeyOrder)
{
    Game game;
    std::vector<ModeSize> own;
    ASSERT_EQ(DirectDrawOf(game.device)
                  ->EnumDisplayModes(DDEDM_REFRESHRATES | DDEDM_STANDARDVGAMODES, nullptr, &own, &CollectMode),
              S_OK);
    ASSERT_GE(own.size(), 10u);
    IModes* modes = Take<IModes>(game.Get(&IDevice::get_Modes), IID_IModes);
    long count = 0;
    modes->get_Count(&count);
    EXPECT_EQ(count, static_cast<long>(own.size()));
    auto expectMode = [&](const VARIANT& index, const ModeSize& m) {
        VARIANT v;
        VariantInit(&v);
        ASSERT_EQ(modes->Item(index, &v), S_OK);
        IMode* mode = Take<IMode>(V_DISPATCH(&v), IID_IMode);
        long w = 0, h = 0, b = 0;
        mode->get_Width(&w);
        mode->get_Height(&h);
        mode->get_Depth(&b);
        EXPECT_EQ(w, static_cast<long>(m.width));
        EXPECT_EQ(h, static_cast<long>(m.height));
        EXPECT_EQ(b, static_cast<long>(m.bits));
        mode->Release();
    };
    VARIANT first = testkit::VarBstr(L"Mode0");
    expectMode(first, own[0]);
    VariantClear(&first);
    expectMode(testkit::VarI4(1), own[9]); // "Mode9" is the greatest key
    // Re-listed when the window changes: the same keys.
    EXPECT_EQ(game.device->put_Window(Handle(game.window)), S_OK);
    modes->get_Count(&count);
    EXPECT_EQ(count, static_cast<long>(own.size()));
    modes->Release();
}

TEST(DisplayModes, ChangeAndRestore)
{
    ExpectScreen(1024, 768, 32);
    Game game;
    // The modes received the window when the device made them: Change can take it over.
    ASSERT_EQ(game.ChangeTo(640, 480, 32), S_OK) << testkit::Narrow(testkit::TakeError().description);
    ExpectScreen(640, 480, 32);
    IMode* current = Take<IMode>(game.Get(&IDevice::get_DisplayMode), IID_IMode);
    long width = 0, depth = 0;
    current->get_Width(&width);
    current->get_Depth(&depth);
    EXPECT_EQ(width, 640);
    EXPECT_EQ(depth, 32);
    current->Release();
    EXPECT_EQ(game.device->RestoreMode(), S_OK);
    ExpectScreen(1024, 768, 32);

    // A mode the display cannot take: the mode before stays.
    IMode* odd = New<IMode>(L"ZYKGFX.Mode", IID_IMode);
    ASSERT_EQ(odd->Change(), E_POINTER);
    gfx_test::ExpectFailure(L"ZYKGFX.Mode.1", IID_IMode, E_POINTER, "DirectDraw Not Initialised.");
    odd->put_DD(Handle(DirectDrawOf(game.device)));
    odd->put_Window(Handle(game.window));
    odd->put_Width(123);
    odd->put_Height(45);
    odd->put_Depth(32);
    EXPECT_TRUE(FAILED(odd->Change()));
    testkit::ClearError();
    ExpectScreen(1024, 768, 32);
    odd->Release();
}

TEST(FullScreen, EightBitPrimaryWithItsPalette)
{
    Game game;
    ASSERT_EQ(game.ChangeTo(640, 480, 8), S_OK) << testkit::Narrow(testkit::TakeError().description);
    ExpectScreen(640, 480, 8);
    ASSERT_EQ(game.device->Initialise(640, 480, 1, 0, 0), S_OK) << testkit::Narrow(testkit::TakeError().description);
    long back = 0;
    game.device->get_BackSurface(&back);
    ASSERT_NE(back, 0);
    DDSURFACEDESC2 desc{};
    desc.dwSize = sizeof desc;
    ASSERT_EQ(reinterpret_cast<IDirectDrawSurface7*>(static_cast<LONG_PTR>(back))->GetSurfaceDesc(&desc), S_OK);
    EXPECT_EQ(desc.dwWidth, 640u);
    EXPECT_EQ(desc.ddpfPixelFormat.dwRGBBitCount, 8u);
    EXPECT_TRUE(desc.ddsCaps.dwCaps & DDSCAPS_BACKBUFFER);

    // The palette object put a palette on the primary surface.
    IDirectDrawSurface7* primary = PrimaryOf(game.device);
    ASSERT_NE(primary, nullptr);
    IDirectDrawPalette* attached = nullptr;
    ASSERT_EQ(primary->GetPalette(&attached), S_OK);
    IPalette* palette = Take<IPalette>(game.Get(&IDevice::get_Palette), IID_IPalette);
    long count = 0;
    EXPECT_EQ(palette->get_Count(&count), S_OK);
    EXPECT_EQ(count, 256);
    EXPECT_EQ(palette->Update(), S_OK);
    attached->Release();

    // A palette loaded from a bitmap goes onto the primary surface.
    std::vector<DWORD> colours = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF, 0x123456};
    const std::string file = gfx_test::TempFile("zykgfx_palette8.bmp", gfx_test::BmpIndexed(2, 2, 8, colours, 5));
    BSTR name = SysAllocString(testkit::Widen(file).c_str());
    ASSERT_EQ(palette->Load(name), S_OK) << testkit::Narrow(testkit::TakeError().description);
    SysFreeString(name);
    ASSERT_EQ(primary->GetPalette(&attached), S_OK);
    PALETTEENTRY entries[5] = {};
    ASSERT_EQ(attached->GetEntries(0, 0, 5, entries), S_OK);
    EXPECT_EQ(entries[1].peRed, 0xFF);
    EXPECT_EQ(entries[3].peBlue, 0xFF);
    EXPECT_EQ(entries[4].peRed, 0x12);
    EXPECT_EQ(entries[4].peGreen, 0x34);
    EXPECT_EQ(entries[4].peBlue, 0x56);

    // A colour's puts change its entry, which Update writes to the DirectDraw palette.
    VARIANT item;
    VariantInit(&item);
    ASSERT_EQ(palette->Item(testkit::VarI4(5), &item), S_OK); // entry 4
    IColour* colour = Take<IColour>(V_DISPATCH(&item), IID_IColour);
    long red = 0;
    colour->get_Red(&red);
    EXPECT_EQ(red, 0x12);
    colour->put_Red(0xAB);
    colour->put_Green(0x1CD); // the low byte
    colour->put_Blue(0xEF);
    colour->put_Reserved(1);
    ASSERT_EQ(attached->GetEntries(0, 4, 1, entries), S_OK);
    EXPECT_EQ(entries[0].peRed, 0x12); // not written before Update
    ASSERT_EQ(palette->Update(), S_OK);
    ASSERT_EQ(attached->GetEntries(0, 4, 1, entries), S_OK);
    EXPECT_EQ(entries[0].peRed, 0xAB);
    EXPECT_EQ(entries[0].peGreen, 0xCD);
    EXPECT_EQ(entries[0].peBlue, 0xEF);
    EXPECT_EQ(entries[0].peFlags & PC_RESERVED, PC_RESERVED);
    colour->Release();
    attached->Release();
    palette->Release();

    EXPECT_EQ(game.device->Clear(4, 0, 0, 0, 0), S_OK);
    EXPECT_EQ(game.device->Flip(1), S_OK) << testkit::Narrow(testkit::TakeError().description);
    primary->Release();
    EXPECT_EQ(game.device->Free(), S_OK);
    ExpectScreen(1024, 768, 32);
}

TEST(FullScreen, FlipShowsTheDrawnFrame)
{
    Game game;
    ASSERT_EQ(game.ChangeTo(640, 480, 32), S_OK);
    ASSERT_EQ(game.device->Initialise(640, 480, 1, 0, 0), S_OK) << testkit::Narrow(testkit::TakeError().description);
    IObjects* objects = Take<IObjects>(game.Get(&IDevice::get_Objects), IID_IObjects);
    ASSERT_NE(objects, nullptr);
    const std::string file =
        gfx_test::TempFile("zykgfx_green.bmp", gfx_test::Bmp24(8, 8, [](int, int) { return 0x00FF00u; }));
    BSTR name = SysAllocString(testkit::Widen(file).c_str());
    IDispatch* d = nullptr;
    ASSERT_EQ(objects->get_Add(name, 0, 0, 0, &d), S_OK);
    SysFreeString(name);
    IObject* green = Take<IObject>(d, IID_IObject);

    ASSERT_EQ(game.device->Clear(0x0000FF, 0, 0, 0, 0), S_OK); // red
    ASSERT_EQ(green->Draw(100, 100, 0, 0, 0, 0, 0, 0, 0, 0, 0), S_OK);
    ASSERT_EQ(game.device->Flip(1), S_OK) << testkit::Narrow(testkit::TakeError().description);
    IDirectDrawSurface7* primary = PrimaryOf(game.device);
    ASSERT_NE(primary, nullptr);
    EXPECT_EQ(gfx_test::PixelAt(primary, 10, 10), 0xFF0000u);
    EXPECT_EQ(gfx_test::PixelAt(primary, 104, 104), 0x00FF00u);
    primary->Release();
    green->Release();
    objects->Release();
    EXPECT_EQ(game.device->Free(), S_OK);
    ExpectScreen(1024, 768, 32);
}

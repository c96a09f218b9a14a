// Capabilities, hardware identification, memory figures and the DirectX version, each
// against what the platform itself answers.
#include "gfx_fixture.h"
#include <algorithm>

using gfx_test::ExpectFailure;
using gfx_test::ExpectText;
using gfx_test::Handle;
using gfx_test::New;

TEST(Caps, WithoutADirectDrawObject)
{
    ICaps* caps = New<ICaps>(L"ZYKGFX.Caps", IID_ICaps);
    ASSERT_NE(caps, nullptr);
    long v = -1;
    EXPECT_EQ(caps->get_Accelerator(&v), E_FAIL);
    ExpectFailure(L"ZYKGFX.Caps.1", IID_ICaps, E_FAIL, "Failed to Obtain Capabilities.");
    EXPECT_EQ(caps->get_DMA(&v), E_FAIL);
    ExpectFailure(L"ZYKGFX.Caps.1", IID_ICaps, E_FAIL, "Failed to obtain Capabilities.");
    EXPECT_EQ(caps->get_Overlays(&v), E_FAIL);
    ExpectFailure(L"ZYKGFX.Caps.1", IID_ICaps, E_FAIL, "Failed to Obtain Capabilities.");
    caps->Release();
}

TEST(Caps, TheDriversOwnBits)
{
    gfx_test::OwnDirectDraw own;
    DDCAPS c{};
    c.dwSize = sizeof c;
    ASSERT_EQ(own.dd->GetCaps(&c, nullptr), S_OK);
    ICaps* caps = New<ICaps>(L"ZYKGFX.Caps", IID_ICaps);
    ASSERT_NE(caps, nullptr);
    ASSERT_EQ(caps->put_DD(Handle(own.dd)), S_OK);
    struct Row {
        HRESULT (STDMETHODCALLTYPE ICaps::*get)(long*);
        bool expected;
    } rows[] = {
        {&ICaps::get_Accelerator, (c.dwCaps & DDCAPS_3D) != 0},
        {&ICaps::get_Certified, (c.dwCaps2 & DDCAPS2_CERTIFIED) != 0},
        {&ICaps::get_DMA, (c.dwCaps & DDCAPS_CANBLTSYSMEM) != 0},
        {&ICaps::get_AsyncBlits, (c.dwSVBCaps & DDCAPS_BLTQUEUE) != 0},
        {&ICaps::get_PageLocking, (c.dwCaps2 & DDCAPS2_NOPAGELOCKREQUIRED) == 0},
        {&ICaps::get_RenderInWindow, (c.dwCaps2 & DDCAPS2_CANRENDERWINDOWED) != 0},
        {&ICaps::get_Overlays, (c.dwCaps & DDCAPS_OVERLAY) && c.dwCurrVisibleOverlays != c.dwMaxVisibleOverlays},
        {&ICaps::get_Rotation, (c.dwFXCaps & DDFXCAPS_BLTROTATION) != 0},
    };
    for (const Row& row : rows) {
        long v = -1;
        EXPECT_EQ((caps->*row.get)(&v), S_OK);
        EXPECT_EQ(v, row.expected ? 1 : 0); // 1, never -1
    }
    caps->Release();
}

TEST(Hardware, TheHostAdaptersIdentifier)
{
    gfx_test::OwnDirectDraw own;
    DDDEVICEIDENTIFIER2 id{};
    ASSERT_EQ(own.dd->GetDeviceIdentifier(&id, DDGDI_GETHOSTIDENTIFIER), S_OK);
    IHardware* h = New<IHardware>(L"ZYKGFX.Hardware", IID_IHardware);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(h->put_DD(0), E_FAIL);
    ExpectFailure(L"ZYKGFX.Hardware.1", IID_IHardware, E_FAIL, "Unable to Identify Device.");
    ASSERT_EQ(h->put_DD(Handle(own.dd)), S_OK);
    BSTR driver = nullptr;
    EXPECT_EQ(h->get_Driver(&driver), S_OK);
    EXPECT_EQ(std::wstring(driver), testkit::Widen(id.szDriver));
    SysFreeString(driver);
    long v = -1;
    h->get_Revision(&v);
    EXPECT_EQ(static_cast<DWORD>(v), id.dwRevision);
    h->get_QLLevel(&v);
    EXPECT_EQ(static_cast<DWORD>(v), id.dwWHQLLevel);
    VARIANT r;
    VariantInit(&r);
    EXPECT_EQ(h->get_Board(&r), S_OK);
    EXPECT_EQ(V_VT(&r), VT_I4);
    EXPECT_EQ(static_cast<DWORD>(V_I4(&r)), id.dwSubSysId);
    // Vendors outside the table (Wine gives 0) come back as numbers.
    EXPECT_EQ(h->get_Manufacturer(&r), S_OK);
    EXPECT_EQ(V_VT(&r), VT_I4);
    EXPECT_EQ(static_cast<DWORD>(V_I4(&r)), id.dwVendorId);
    EXPECT_EQ(h->get_Device(&r), S_OK);
    EXPECT_EQ(V_VT(&r), VT_I4);
    EXPECT_EQ(static_cast<DWORD>(V_I4(&r)), id.dwDeviceId);
    h->Release();
}

TEST(Memory, TextureAndVideoMemoryFigures)
{
    ITextureMemory* t = New<ITextureMemory>(L"ZYKGFX.TextureMemory", IID_ITextureMemory);
    IVideoMemory* m = New<IVideoMemory>(L"ZYKGFX.VideoMemory", IID_IVideoMemory);
    ASSERT_NE(t, nullptr);
    ASSERT_NE(m, nullptr);
    long v = -1;
    EXPECT_EQ(t->get_Total(&v), E_POINTER);
    ExpectText(L"ZYKGFX.TextureMemory.1", IID_ITextureMemory,
               "Description:\tDDx\nReason:\tNot Initialised.\n\nModule:\t\tCTextureMemory\nFunction:\tget_Total");
    EXPECT_EQ(t->get_Free(&v), E_POINTER);
    ExpectText(L"ZYKGFX.TextureMemory.1", IID_ITextureMemory,
               "Description:\tDDx\nReason:\tNot Initialised.\n\nModule:\t\tCTextureMemory\nFunction:\tget_Free");
    // Without its DirectDraw object the video memory is a failure, not 0 with S_OK.
    EXPECT_EQ(m->get_Total(&v), E_POINTER);
    ExpectFailure(L"ZYKGFX.VideoMemory.1", IID_IVideoMemory, E_POINTER, "DirectDraw Not Initialised.");

    // The platform's figures, as a 32-bit figure holds them (Wine gives more than 2 GB).
    auto figure = [](DWORD bytes) { return static_cast<long>(std::min<DWORD>(bytes, 0x7FFFFFFF)); };
    gfx_test::OwnDirectDraw own;
    DDSCAPS2 textures{};
    textures.dwCaps = DDSCAPS_TEXTURE;
    DWORD total = 0, available = 0;
    ASSERT_EQ(own.dd->GetAvailableVidMem(&textures, &total, &available), S_OK);
    ASSERT_EQ(t->put_DD(Handle(own.dd)), S_OK);
    EXPECT_EQ(t->get_Total(&v), S_OK);
    EXPECT_EQ(v, figure(total));
    EXPECT_EQ(t->get_Free(&v), S_OK);
    EXPECT_EQ(v, figure(available));

    DDCAPS c{};
    c.dwSize = sizeof c;
    ASSERT_EQ(own.dd->GetCaps(&c, nullptr), S_OK);
    ASSERT_EQ(m->put_DD(Handle(own.dd)), S_OK);
    EXPECT_EQ(m->get_Total(&v), S_OK);
    EXPECT_EQ(v, figure(c.dwVidMemTotal));
    EXPECT_EQ(m->get_Free(&v), S_OK);
    EXPECT_EQ(v, figure(c.dwVidMemFree));
    t->Release();
    m->Release();
}

namespace {

// The DirectDraw object of a host with more video memory than a 32-bit figure holds: it
// answers its caps and its available memory, and nothing else.
struct LargeMemory : IDirectDraw7 {
    DWORD total = 0, free = 0;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override
    {
        *out = iid == IID_IUnknown || iid == IID_IDirectDraw7 ? this : nullptr;
        return *out ? S_OK : E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE GetCaps(DDCAPS* caps, DDCAPS*) override
    {
        caps->dwVidMemTotal = total;
        caps->dwVidMemFree = free;
        return DD_OK;
    }
    HRESULT STDMETHODCALLTYPE GetAvailableVidMem(DDSCAPS2*, DWORD* t, DWORD* f) override
    {
        *t = total;
        *f = free;
        return DD_OK;
    }
#define UNUSED(name, ...)                                                                                              \
    HRESULT STDMETHODCALLTYPE name(__VA_ARGS__) override { return E_NOTIMPL; }
    UNUSED(Compact)
    UNUSED(CreateClipper, DWORD, IDirectDrawClipper**, IUnknown*)
    UNUSED(CreatePalette, DWORD, PALETTEENTRY*, IDirectDrawPalette**, IUnknown*)
    UNUSED(CreateSurface, DDSURFACEDESC2*, IDirectDrawSurface7**, IUnknown*)
    UNUSED(DuplicateSurface, IDirectDrawSurface7*, IDirectDrawSurface7**)
    UNUSED(EnumDisplayModes, DWORD, DDSURFACEDESC2*, void*, LPDDENUMMODESCALLBACK2)
    UNUSED(EnumSurfaces, DWORD, DDSURFACEDESC2*, void*, LPDDENUMSURFACESCALLBACK7)
    UNUSED(FlipToGDISurface)
    UNUSED(GetDisplayMode, DDSURFACEDESC2*)
    UNUSED(GetFourCCCodes, DWORD*, DWORD*)
    UNUSED(GetGDISurface, IDirectDrawSurface7**)
    UNUSED(GetMonitorFrequency, DWORD*)
    UNUSED(GetScanLine, DWORD*)
    UNUSED(GetVerticalBlankStatus, WINBOOL*)
    UNUSED(Initialize, GUID*)
    UNUSED(RestoreDisplayMode)
    UNUSED(SetCooperativeLevel, HWND, DWORD)
    UNUSED(SetDisplayMode, DWORD, DWORD, DWORD, DWORD, DWORD)
    UNUSED(WaitForVerticalBlank, DWORD, HANDLE)
    UNUSED(GetSurfaceFromDC, HDC, IDirectDrawSurface7**)
    UNUSED(RestoreAllSurfaces)
    UNUSED(TestCooperativeLevel)
    UNUSED(GetDeviceIdentifier, DDDEVICEIDENTIFIER2*, DWORD)
    UNUSED(StartModeTest, SIZE*, DWORD, DWORD)
    UNUSED(EvaluateMode, DWORD, DWORD*)
#undef UNUSED
};

} // namespace

// Figures over 0x7FFFFFFF read 0x7FFFFFFF; the figure itself below that.
TEST(Memory, FiguresOverTwoGigabytes)
{
    ITextureMemory* t = New<ITextureMemory>(L"ZYKGFX.TextureMemory", IID_ITextureMemory);
    IVideoMemory* m = New<IVideoMemory>(L"ZYKGFX.VideoMemory", IID_IVideoMemory);
    ASSERT_NE(t, nullptr);
    ASSERT_NE(m, nullptr);
    LargeMemory dd;
    ASSERT_EQ(t->put_DD(Handle(&dd)), S_OK);
    ASSERT_EQ(m->put_DD(Handle(&dd)), S_OK);
    struct Case {
        DWORD total, free;
        long readTotal, readFree;
    } cases[] = {
        {0xFFCFFFFF, 0xFF3FFFFF, 0x7FFFFFFF, 0x7FFFFFFF},
        {0x80000000, 0x7FFFFFFF, 0x7FFFFFFF, 0x7FFFFFFF},
        {0x7FFFFFFF, 0x7FFFFFFE, 0x7FFFFFFF, 0x7FFFFFFE},
    };
    for (const Case& c : cases) {
        dd.total = c.total;
        dd.free = c.free;
        long total = 0, free = 0;
        EXPECT_EQ(m->get_Total(&total), S_OK);
        EXPECT_EQ(m->get_Free(&free), S_OK);
        EXPECT_EQ(total, c.readTotal);
        EXPECT_EQ(free, c.readFree);
        total = free = 0;
        EXPECT_EQ(t->get_Total(&total), S_OK);
        EXPECT_EQ(t->get_Free(&free), S_OK);
        EXPECT_EQ(total, c.readTotal);
        EXPECT_EQ(free, c.readFree);
    }
    t->Release();
    m->Release();
}

TEST(Version, DirectXSixAsTheProbeSeesIt)
{
    IVersion* v = New<IVersion>(L"ZYKGFX.Version", IID_IVersion);
    ASSERT_NE(v, nullptr);
    testkit::DebugCapture capture;
    long major = 0, minor = -1;
    EXPECT_EQ(v->get_Major(&major), S_OK);
    EXPECT_EQ(v->get_Minor(&minor), S_OK);
    EXPECT_EQ(major, 6);
    EXPECT_EQ(minor, 0);
    EXPECT_FALSE(capture.Contains("Couldn't"));
    v->Release();
}

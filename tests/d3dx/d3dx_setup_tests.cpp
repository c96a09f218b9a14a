// Start and stop, devices, video modes and surface formats of the D3DX layer.
#include <gtest/gtest.h>

#include <d3dx.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {

// Starts the layer for a suite (a start costs Wine about a second) and stops it.
struct Started : ::testing::Test {
    static void SetUpTestSuite() { ASSERT_EQ(D3DXInitialize(), S_OK); }
    static void TearDownTestSuite() { EXPECT_EQ(D3DXUninitialize(), S_OK); }
    void SetUp() override { ASSERT_GT(D3DXGetDeviceCount(), 0u) << "the layer did not start"; }
};

std::vector<D3DX_SURFACEFORMAT> Formats(DWORD device, DWORD classes, const D3DX_VIDMODE* mode = nullptr)
{
    std::vector<D3DX_SURFACEFORMAT> out;
    for (DWORD i = 0;; ++i) {
        D3DX_SURFACEFORMAT f = D3DX_SF_UNKNOWN;
        HRESULT hr = D3DXGetSurfaceFormat(device, mode, classes, i, &f);
        if (hr == D3DXERR_NOMATCHFOUND) break;
        EXPECT_EQ(hr, S_OK) << "format " << i;
        if (hr != S_OK || i > 64) break;
        out.push_back(f);
    }
    return out;
}

bool Has(const std::vector<D3DX_SURFACEFORMAT>& list, D3DX_SURFACEFORMAT f)
{
    return std::find(list.begin(), list.end(), f) != list.end();
}

int Rank(DWORD level)
{
    const DWORD order[] = {D3DX_HWLEVEL_TL, D3DX_HWLEVEL_RASTER, D3DX_HWLEVEL_2D, D3DX_HWLEVEL_REFERENCE,
                           D3DX_HWLEVEL_NULL};
    for (int i = 0; i < 5; ++i)
        if (order[i] == level) return i;
    return -1;
}

} // namespace

TEST(D3DXStart, CallsBeforeStartAreRefused)
{
    EXPECT_EQ(D3DXGetDeviceCount(), 0u);
    D3DX_DEVICEDESC desc;
    EXPECT_EQ(D3DXGetDeviceDescription(0, &desc), D3DXERR_D3DXNOTSTARTEDYET);
    D3DX_VIDMODE mode;
    EXPECT_EQ(D3DXGetCurrentVideoMode(0, &mode), D3DXERR_D3DXNOTSTARTEDYET);
    EXPECT_EQ(D3DXGetVideoMode(0, 0, 0, &mode), D3DXERR_D3DXNOTSTARTEDYET);
    EXPECT_EQ(D3DXGetMaxNumVideoModes(0, 0), 0u);
    D3DX_SURFACEFORMAT f;
    EXPECT_EQ(D3DXGetSurfaceFormat(0, nullptr, D3DX_SC_COLORTEXTURE, 0, &f), D3DXERR_D3DXNOTSTARTEDYET);
    D3DDEVICEDESC7 caps;
    EXPECT_EQ(D3DXGetDeviceCaps(0, nullptr, &caps, nullptr, nullptr), D3DXERR_D3DXNOTSTARTEDYET);
    ID3DXContext* ctx = reinterpret_cast<ID3DXContext*>(1);
    EXPECT_EQ(D3DXCreateContext(0, 0, GetDesktopWindow(), 0, 0, &ctx), D3DXERR_D3DXNOTSTARTEDYET);
    EXPECT_EQ(ctx, nullptr);
}

TEST(D3DXStart, StartsAndStopsAreCountedAndStopNeverGoesBelowZero)
{
    EXPECT_EQ(D3DXUninitialize(), S_OK);
    EXPECT_EQ(D3DXUninitialize(), S_OK);
    EXPECT_EQ(D3DXGetDeviceCount(), 0u);

    ASSERT_EQ(D3DXInitialize(), S_OK);
    ASSERT_EQ(D3DXInitialize(), S_OK);
    const DWORD count = D3DXGetDeviceCount();
    EXPECT_GE(count, 1u);
    EXPECT_EQ(D3DXUninitialize(), S_OK);
    EXPECT_EQ(D3DXGetDeviceCount(), count) << "one start is still open";
    EXPECT_EQ(D3DXUninitialize(), S_OK);
    EXPECT_EQ(D3DXGetDeviceCount(), 0u);
    D3DX_DEVICEDESC desc;
    EXPECT_EQ(D3DXGetDeviceDescription(0, &desc), D3DXERR_D3DXNOTSTARTEDYET);

    // The extra stops above left no debt: one start is enough again.
    ASSERT_EQ(D3DXInitialize(), S_OK);
    EXPECT_EQ(D3DXGetDeviceCount(), count);
    EXPECT_EQ(D3DXGetDeviceDescription(0, &desc), S_OK);
    EXPECT_EQ(D3DXUninitialize(), S_OK);
    EXPECT_EQ(D3DXGetDeviceCount(), 0u);
}

using D3DXDevices = Started;

TEST_F(D3DXDevices, DescriptionsAreCompleteAndOrderedBestFirst)
{
    const DWORD count = D3DXGetDeviceCount();
    ASSERT_GE(count, 1u);
    std::vector<D3DX_DEVICEDESC> all(count);
    for (DWORD i = 0; i < count; ++i) {
        D3DX_DEVICEDESC& d = all[i];
        memset(&d, 0xCC, sizeof(d));
        ASSERT_EQ(D3DXGetDeviceDescription(i, &d), S_OK) << i;
        EXPECT_EQ(d.deviceIndex, i);
        EXPECT_GE(Rank(d.hwLevel), 0) << "level " << static_cast<long>(d.hwLevel);
        EXPECT_FALSE(IsEqualGUID(d.d3dDeviceID, GUID_NULL));
        const char* end = static_cast<const char*>(memchr(d.driverDesc, 0, sizeof(d.driverDesc)));
        ASSERT_NE(end, nullptr) << "driverDesc is not terminated";
        std::string text(d.driverDesc);
        EXPECT_NE(text.find(" ("), std::string::npos) << text;
        EXPECT_EQ(text.back(), ')') << text;
        if (i > 0 && IsEqualGUID(all[i - 1].ddDeviceID, d.ddDeviceID)) {
            EXPECT_LE(Rank(all[i - 1].hwLevel), Rank(d.hwLevel)) << "device " << i;
        }
    }
    // Device 0 is the primary display driver's best device.
    EXPECT_TRUE(IsEqualGUID(all[0].ddDeviceID, GUID_NULL));
    EXPECT_TRUE(all[0].onPrimary);
    EXPECT_NE(all[0].monitor, nullptr);

    D3DX_DEVICEDESC best;
    ASSERT_EQ(D3DXGetDeviceDescription(D3DX_DEFAULT, &best), S_OK);
    EXPECT_EQ(best.deviceIndex, 0u);
    EXPECT_STREQ(best.driverDesc, all[0].driverDesc);
    ASSERT_EQ(D3DXGetDeviceDescription(D3DX_HWLEVEL_HIGHEST, &best), S_OK);
    EXPECT_EQ(best.deviceIndex, 0u);

    // A level as index names the first device of that level.
    for (DWORD level :
         {D3DX_HWLEVEL_TL, D3DX_HWLEVEL_RASTER, D3DX_HWLEVEL_2D, D3DX_HWLEVEL_REFERENCE, D3DX_HWLEVEL_NULL}) {
        DWORD first = D3DX_DEFAULT;
        for (DWORD i = 0; i < count && first == D3DX_DEFAULT; ++i)
            if (all[i].hwLevel == level) first = i;
        D3DX_DEVICEDESC d;
        HRESULT hr = D3DXGetDeviceDescription(level, &d);
        if (first == D3DX_DEFAULT) {
            EXPECT_EQ(hr, D3DXERR_INVALIDD3DXDEVICEINDEX);
        } else {
            ASSERT_EQ(hr, S_OK);
            EXPECT_EQ(d.deviceIndex, first);
        }
    }
}

TEST_F(D3DXDevices, WineListsItsThreeDevicesOnThePrimaryDisplayFirst)
{
    // DirectDraw HAL with T&L HAL, HAL and RGB, then the same again for the
    // named adapter.
    ASSERT_GE(D3DXGetDeviceCount(), 3u);
    const DWORD levels[] = {D3DX_HWLEVEL_TL, D3DX_HWLEVEL_RASTER, D3DX_HWLEVEL_2D};
    const GUID* guids[] = {&IID_IDirect3DTnLHalDevice, &IID_IDirect3DHALDevice, &IID_IDirect3DRGBDevice};
    for (DWORD i = 0; i < 3; ++i) {
        D3DX_DEVICEDESC d;
        ASSERT_EQ(D3DXGetDeviceDescription(i, &d), S_OK);
        EXPECT_EQ(d.hwLevel, levels[i]) << i;
        EXPECT_TRUE(IsEqualGUID(d.d3dDeviceID, *guids[i])) << i;
        EXPECT_EQ(std::string(d.driverDesc).rfind("DirectDraw HAL (", 0), 0u) << d.driverDesc;
    }
}

TEST_F(D3DXDevices, BadArgumentsAreRefused)
{
    D3DX_DEVICEDESC d;
    EXPECT_EQ(D3DXGetDeviceDescription(0, nullptr), D3DXERR_NULLPOINTER);
    EXPECT_EQ(D3DXGetDeviceDescription(D3DXGetDeviceCount(), &d), D3DXERR_INVALIDD3DXDEVICEINDEX);
    EXPECT_EQ(D3DXGetDeviceDescription(0x7FFFFFFF, &d), D3DXERR_INVALIDD3DXDEVICEINDEX);
    EXPECT_EQ(D3DXGetDeviceCaps(0, nullptr, nullptr, nullptr, nullptr), D3DXERR_NULLPOINTER);
    D3DDEVICEDESC7 caps;
    EXPECT_EQ(D3DXGetDeviceCaps(99, nullptr, &caps, nullptr, nullptr), D3DXERR_INVALIDD3DXDEVICEINDEX);
}

TEST_F(D3DXDevices, CapsAreTheDevicesAndDirectDrawsOwn)
{
    D3DX_DEVICEDESC d;
    ASSERT_EQ(D3DXGetDeviceDescription(0, &d), S_OK);
    D3DDEVICEDESC7 caps = {};
    DDCAPS hal = {}, hel = {};
    ASSERT_EQ(D3DXGetDeviceCaps(0, nullptr, &caps, &hal, &hel), S_OK);
    EXPECT_TRUE(IsEqualGUID(caps.deviceGUID, d.d3dDeviceID));
    EXPECT_NE(caps.dwDeviceRenderBitDepth, 0u);
    EXPECT_EQ(hal.dwSize, sizeof(DDCAPS));
    EXPECT_NE(hal.dwCaps, 0u);
}

using D3DXModes = Started;

TEST_F(D3DXModes, CurrentModeIsTheDisplays)
{
    D3DX_VIDMODE m;
    memset(&m, 0xCC, sizeof(m));
    ASSERT_EQ(D3DXGetCurrentVideoMode(0, &m), S_OK);
    HDC screen = GetDC(nullptr);
    const DWORD bpp = static_cast<DWORD>(GetDeviceCaps(screen, BITSPIXEL));
    ReleaseDC(nullptr, screen);
    EXPECT_EQ(m.width, static_cast<DWORD>(GetSystemMetrics(SM_CXSCREEN)));
    EXPECT_EQ(m.height, static_cast<DWORD>(GetSystemMetrics(SM_CYSCREEN)));
    EXPECT_EQ(m.bpp, bpp);
    EXPECT_EQ(m.flags, 0u);

    EXPECT_EQ(D3DXGetCurrentVideoMode(0, nullptr), D3DXERR_NULLPOINTER);
    EXPECT_EQ(D3DXGetCurrentVideoMode(D3DXGetDeviceCount(), &m), D3DXERR_INVALIDD3DXDEVICEINDEX);
}

TEST_F(D3DXModes, ModeListHoldsTheCurrentModeAndEndsCleanly)
{
    D3DX_VIDMODE current;
    ASSERT_EQ(D3DXGetCurrentVideoMode(0, &current), S_OK);
    const DWORD n = D3DXGetMaxNumVideoModes(0, 0);
    ASSERT_GE(n, 1u);
    EXPECT_GE(D3DXGetMaxNumVideoModes(0, D3DX_GVM_REFRESHRATE), n);
    bool found = false;
    for (DWORD i = 0; i < n; ++i) {
        D3DX_VIDMODE m;
        ASSERT_EQ(D3DXGetVideoMode(0, 0, i, &m), S_OK);
        EXPECT_GE(m.bpp, 16u) << "the device renders at 16 bits and more";
        found |= m.width == current.width && m.height == current.height && m.bpp == current.bpp;
    }
    EXPECT_TRUE(found);
    D3DX_VIDMODE m;
    EXPECT_EQ(D3DXGetVideoMode(0, 0, n, &m), D3DXERR_NOMATCHFOUND);
    EXPECT_EQ(D3DXGetVideoMode(0, 0x80, 0, &m), D3DXERR_INVALIDPARAMETER);
    EXPECT_EQ(D3DXGetVideoMode(0, 0, 0, nullptr), D3DXERR_NULLPOINTER);
    EXPECT_EQ(D3DXGetMaxNumVideoModes(D3DXGetDeviceCount(), 0), 0u);
}

using D3DXSurfaceFormats = Started;

TEST_F(D3DXSurfaceFormats, RenderTargetFollowsTheModeDepth)
{
    D3DX_VIDMODE current;
    ASSERT_EQ(D3DXGetCurrentVideoMode(0, &current), S_OK);
    if (current.bpp == 32) {
        EXPECT_EQ(Formats(0, D3DX_SC_RENDERTARGET), std::vector<D3DX_SURFACEFORMAT>{D3DX_SF_X8R8G8B8});
    }
    D3DDEVICEDESC7 caps;
    ASSERT_EQ(D3DXGetDeviceCaps(0, nullptr, &caps, nullptr, nullptr), S_OK);
    D3DX_VIDMODE mode = current;
    mode.bpp = 16;
    if (caps.dwDeviceRenderBitDepth & DDBD_16 && current.bpp != 16) {
        EXPECT_EQ(Formats(0, D3DX_SC_RENDERTARGET, &mode),
                  (std::vector<D3DX_SURFACEFORMAT>{D3DX_SF_R5G6B5, D3DX_SF_R5G5B5}));
    }
    mode.bpp = 8;
    if (!(caps.dwDeviceRenderBitDepth & DDBD_8)) {
        EXPECT_TRUE(Formats(0, D3DX_SC_RENDERTARGET, &mode).empty());
    }
}

TEST_F(D3DXSurfaceFormats, ClassesListTheirOwnFormatsOnce)
{
    const auto depth = Formats(0, D3DX_SC_DEPTHBUFFER);
    const auto color = Formats(0, D3DX_SC_COLORTEXTURE);
    const auto bump = Formats(0, D3DX_SC_BUMPMAP);
    ASSERT_FALSE(depth.empty());
    ASSERT_FALSE(color.empty());
    for (auto f : depth) EXPECT_TRUE(f >= D3DX_SF_Z16S0 && f < D3DX_SF_DEPTHMAX) << f;
    for (auto f : color) EXPECT_TRUE(f > D3DX_SF_UNKNOWN && f < D3DX_SF_TEXTUREMAX) << f;
    for (auto f : bump) EXPECT_TRUE(f == D3DX_SF_U8V8 || f == D3DX_SF_U5V5L6 || f == D3DX_SF_U8V8L8) << f;
    for (auto f : color) EXPECT_FALSE(f == D3DX_SF_U8V8 || f == D3DX_SF_U5V5L6 || f == D3DX_SF_U8V8L8) << f;
    for (const auto* list : {&depth, &color, &bump})
        for (auto f : *list) EXPECT_EQ(std::count(list->begin(), list->end(), f), 1) << f;

    // Or'ed classes: render target, depth, colour texture, bump, in that order.
    auto all = Formats(0, D3DX_SC_RENDERTARGET | D3DX_SC_DEPTHBUFFER | D3DX_SC_COLORTEXTURE | D3DX_SC_BUMPMAP);
    auto expected = Formats(0, D3DX_SC_RENDERTARGET);
    for (const auto* list : {&depth, &color, &bump})
        for (auto f : *list)
            if (!Has(expected, f)) expected.push_back(f);
    EXPECT_EQ(all, expected);

    // What Wine's devices offer.
    EXPECT_TRUE(Has(depth, D3DX_SF_Z16S0));
    EXPECT_TRUE(Has(depth, D3DX_SF_S8Z24));
    for (auto f : {D3DX_SF_A8R8G8B8, D3DX_SF_X8R8G8B8, D3DX_SF_R5G6B5, D3DX_SF_R5G5B5, D3DX_SF_A1R5G5B5,
                   D3DX_SF_A4R4G4B4, D3DX_SF_DXT1, D3DX_SF_DXT3, D3DX_SF_DXT5})
        EXPECT_TRUE(Has(color, f)) << f;
    EXPECT_TRUE(Has(bump, D3DX_SF_U8V8));
}

TEST_F(D3DXSurfaceFormats, BadArgumentsAreRefused)
{
    D3DX_SURFACEFORMAT f;
    EXPECT_EQ(D3DXGetSurfaceFormat(0, nullptr, D3DX_SC_DEPTHBUFFER, 0, nullptr), D3DXERR_NULLPOINTER);
    EXPECT_EQ(D3DXGetSurfaceFormat(0, nullptr, 0, 0, &f), D3DXERR_INVALIDPARAMETER);
    EXPECT_EQ(D3DXGetSurfaceFormat(0, nullptr, 0x10, 0, &f), D3DXERR_INVALIDPARAMETER);
    EXPECT_EQ(D3DXGetSurfaceFormat(D3DXGetDeviceCount(), nullptr, D3DX_SC_DEPTHBUFFER, 0, &f),
              D3DXERR_INVALIDD3DXDEVICEINDEX);
    EXPECT_EQ(D3DXGetSurfaceFormat(0, nullptr, D3DX_SC_DEPTHBUFFER, 1000, &f), D3DXERR_NOMATCHFOUND);
}

// Every listed format must make a real surface of its class through its
// DirectDraw pixel format.
TEST_F(D3DXSurfaceFormats, ListedFormatsMakeSurfaces)
{
    IDirectDraw7* dd = nullptr;
    ASSERT_EQ(DirectDrawCreateEx(nullptr, reinterpret_cast<void**>(&dd), IID_IDirectDraw7, nullptr), S_OK);
    ASSERT_EQ(dd->SetCooperativeLevel(nullptr, DDSCL_NORMAL), S_OK);
    auto make = [&](D3DX_SURFACEFORMAT f, DWORD caps) {
        DDSURFACEDESC2 sd = {};
        sd.dwSize = sizeof(sd);
        sd.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT;
        sd.dwWidth = sd.dwHeight = 16;
        sd.ddsCaps.dwCaps = caps;
        EXPECT_EQ(D3DXMakeDDPixelFormat(f, &sd.ddpfPixelFormat), S_OK);
        IDirectDrawSurface7* s = nullptr;
        HRESULT hr = dd->CreateSurface(&sd, &s, nullptr);
        EXPECT_EQ(hr, S_OK) << "format " << f;
        if (!s) return;
        DDSURFACEDESC2 back = {};
        back.dwSize = sizeof(back);
        EXPECT_EQ(s->GetSurfaceDesc(&back), S_OK);
        EXPECT_EQ(D3DXMakeSurfaceFormat(&back.ddpfPixelFormat), f) << "format " << f;
        s->Release();
    };
    for (auto f : Formats(0, D3DX_SC_COLORTEXTURE | D3DX_SC_BUMPMAP)) make(f, DDSCAPS_TEXTURE);
    for (auto f : Formats(0, D3DX_SC_DEPTHBUFFER)) make(f, DDSCAPS_ZBUFFER);
    dd->Release();
}

TEST(D3DXPixelFormats, EveryFormatRoundTripsAndUnknownsAreRefused)
{
    std::vector<D3DX_SURFACEFORMAT> all;
    for (int f = D3DX_SF_R8G8B8; f < D3DX_SF_TEXTUREMAX; ++f) all.push_back(static_cast<D3DX_SURFACEFORMAT>(f));
    for (int f = D3DX_SF_Z16S0; f < D3DX_SF_DEPTHMAX; ++f) all.push_back(static_cast<D3DX_SURFACEFORMAT>(f));
    for (auto f : all) {
        DDPIXELFORMAT pf;
        ASSERT_EQ(D3DXMakeDDPixelFormat(f, &pf), S_OK) << f;
        EXPECT_EQ(pf.dwSize, sizeof(pf));
        EXPECT_EQ(D3DXMakeSurfaceFormat(&pf), f) << f;
    }
    DDPIXELFORMAT pf;
    EXPECT_EQ(D3DXMakeDDPixelFormat(D3DX_SF_UNKNOWN, &pf), D3DXERR_INVALIDPARAMETER);
    EXPECT_EQ(D3DXMakeDDPixelFormat(D3DX_SF_TEXTUREMAX, &pf), D3DXERR_INVALIDPARAMETER);
    EXPECT_EQ(D3DXMakeDDPixelFormat(D3DX_SF_DEPTHMAX, &pf), D3DXERR_INVALIDPARAMETER);
    EXPECT_EQ(D3DXMakeDDPixelFormat(D3DX_SF_X8R8G8B8, nullptr), D3DXERR_NULLPOINTER);
    EXPECT_EQ(D3DXMakeSurfaceFormat(nullptr), D3DX_SF_UNKNOWN);

    // Formats the platform reports in its own way.
    DDPIXELFORMAT z24in32 = {sizeof(z24in32), DDPF_ZBUFFER};
    z24in32.dwZBufferBitDepth = 32;
    z24in32.dwZBitMask = 0xFFFFFF;
    EXPECT_EQ(D3DXMakeSurfaceFormat(&z24in32), D3DX_SF_Z32S0);
    DDPIXELFORMAT z24 = z24in32;
    z24.dwZBufferBitDepth = 24;
    EXPECT_EQ(D3DXMakeSurfaceFormat(&z24), D3DX_SF_UNKNOWN);
    DDPIXELFORMAT dxt2 = {sizeof(dxt2), DDPF_FOURCC, MAKEFOURCC('D', 'X', 'T', '2')};
    EXPECT_EQ(D3DXMakeSurfaceFormat(&dxt2), D3DX_SF_UNKNOWN);
    DDPIXELFORMAT alphaMaskNoFlag;
    ASSERT_EQ(D3DXMakeDDPixelFormat(D3DX_SF_A8R8G8B8, &alphaMaskNoFlag), S_OK);
    alphaMaskNoFlag.dwFlags = DDPF_RGB; // the mask without DDPF_ALPHAPIXELS means nothing
    EXPECT_EQ(D3DXMakeSurfaceFormat(&alphaMaskNoFlag), D3DX_SF_X8R8G8B8);
}

TEST(D3DXErrorString, NamesCodesAndCutsToTheBuffer)
{
    char text[64];
    ASSERT_EQ(D3DXGetErrorString(D3DXERR_NOMATCHFOUND, sizeof(text), text), S_OK);
    EXPECT_STREQ(text, "D3DXERR_NOMATCHFOUND");
    ASSERT_EQ(D3DXGetErrorString(DDERR_SURFACELOST, sizeof(text), text), S_OK);
    EXPECT_STREQ(text, "DDERR_SURFACELOST");
    ASSERT_EQ(D3DXGetErrorString(static_cast<HRESULT>(0x80001234), sizeof(text), text), S_OK);
    EXPECT_STREQ(text, "0x80001234");
    memset(text, 'x', sizeof(text));
    ASSERT_EQ(D3DXGetErrorString(D3DXERR_NOMEMORY, 6, text), S_OK);
    EXPECT_STREQ(text, "D3DXE");
    EXPECT_EQ(D3DXGetErrorString(S_OK, 0, text), D3DXERR_INVALIDPARAMETER);
    EXPECT_EQ(D3DXGetErrorString(S_OK, 8, nullptr), D3DXERR_NULLPOINTER);
}

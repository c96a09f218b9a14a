// The display device on a window: set-up, clear, flip read back from the screen, the
// sub-objects, Free, and the references on the DirectDraw object it hands down.
#include "gfx_fixture.h"

using gfx_test::ExpectFailure;
using gfx_test::Handle;
using gfx_test::New;
using gfx_test::Take;
using gfx_test::WindowedDevice;

namespace {

const wchar_t kSource[] = L"ZYKGFX.Device.1";

IDirectDrawSurface7* BackOf(IDevice* d)
{
    long back = 0;
    d->get_BackSurface(&back);
    return reinterpret_cast<IDirectDrawSurface7*>(static_cast<LONG_PTR>(back));
}

void SurfaceSize(IDirectDrawSurface7* s, DWORD& width, DWORD& height)
{
    DDSURFACEDESC2 desc{};
    desc.dwSize = sizeof desc;
    ASSERT_EQ(s->GetSurfaceDesc(&desc), S_OK);
    width = desc.dwWidth;
    height = desc.dwHeight;
}

} // namespace

TEST(Device, MembersThatNeedTheSetUp)
{
    IDevice* d = New<IDevice>(L"ZYKGFX.Device", IID_IDevice);
    ASSERT_NE(d, nullptr);
    IDispatch* out = reinterpret_cast<IDispatch*>(1);
    EXPECT_EQ(d->get_Modes(&out), E_POINTER);
    EXPECT_EQ(out, nullptr);
    ExpectFailure(kSource, IID_IDevice, E_POINTER, "Modes Not Initialised.");
    EXPECT_EQ(d->get_Objects(&out), E_POINTER);
    ExpectFailure(kSource, IID_IDevice, E_POINTER, "Objects Not Initialised.");
    EXPECT_EQ(d->get_Hardware(&out), E_POINTER);
    ExpectFailure(kSource, IID_IDevice, E_POINTER, "Failed to obtain Hardware Interface.");
    EXPECT_EQ(d->get_DisplayMode(&out), E_POINTER);
    ExpectFailure(kSource, IID_IDevice, E_POINTER, "Failed to obtain Mode Interface.");
    EXPECT_EQ(d->Clear(0, 0, 0, 0, 0), E_POINTER);
    ExpectFailure(kSource, IID_IDevice, E_POINTER, "BackSurface Not Initialised.");
    EXPECT_EQ(d->Flip(1), E_POINTER);
    ExpectFailure(kSource, IID_IDevice, E_POINTER, "Primary Surface Not Initialised.");
    EXPECT_EQ(d->WaitVBL(vbl_Begin), E_POINTER);
    ExpectFailure(kSource, IID_IDevice, E_POINTER, "DirectDraw Not Initialised.");
    EXPECT_EQ(d->RestoreMode(), E_POINTER);
    ExpectFailure(kSource, IID_IDevice, E_POINTER, "Direct Draw Not Initialised.");
    long frequency = 7;
    EXPECT_EQ(d->get_MonitorFreq(&frequency), E_FAIL);
    EXPECT_EQ(frequency, 0);
    ExpectFailure(kSource, IID_IDevice, E_FAIL, "Failed to Obtain Monitor Frequency.");

    // Name and description are written once.
    BSTR a = SysAllocString(L"first"), b = SysAllocString(L"second"), got = nullptr;
    EXPECT_EQ(d->put_Name(a), S_OK);
    EXPECT_EQ(d->put_Name(b), S_OK);
    d->get_Name(&got);
    EXPECT_STREQ(got, L"first");
    SysFreeString(got);
    EXPECT_EQ(d->put_Description(b), S_OK);
    EXPECT_EQ(d->put_Description(a), S_OK);
    d->get_Description(&got);
    EXPECT_STREQ(got, L"second");
    SysFreeString(got);
    SysFreeString(a);
    SysFreeString(b);
    EXPECT_EQ(d->Free(), S_OK);
    d->get_Name(&got);
    EXPECT_STREQ(got, L"");
    SysFreeString(got);
    d->Release();
}

TEST(Device, QuickSetUpMakesTheSubObjectsAndNoSurface)
{
    IDevice* d = New<IDevice>(L"ZYKGFX.Device", IID_IDevice);
    ASSERT_NE(d, nullptr);
    ASSERT_EQ(d->Initialise(0, 0, 0, 0, 1), S_OK);
    long dd = 0, back = 1;
    EXPECT_EQ(d->get_DirectDrawPointer(&dd), S_OK);
    EXPECT_NE(dd, 0);
    EXPECT_EQ(d->get_BackSurface(&back), S_OK);
    EXPECT_EQ(back, 0);
    using Getter = HRESULT (STDMETHODCALLTYPE IDevice::*)(IDispatch**);
    const Getter getters[] = {&IDevice::get_Modes,         &IDevice::get_Objects,     &IDevice::get_Caps,
                              &IDevice::get_TextureMemory, &IDevice::get_VideoMemory, &IDevice::get_Hardware,
                              &IDevice::get_DisplayMode,   &IDevice::get_Palette};
    for (auto get : getters) {
        IDispatch* sub = nullptr;
        EXPECT_EQ((d->*get)(&sub), S_OK);
        ASSERT_NE(sub, nullptr);
        sub->Release();
    }
    // The current mode, depth included.
    IMode* mode = nullptr;
    IDispatch* m = nullptr;
    ASSERT_EQ(d->get_DisplayMode(&m), S_OK);
    mode = Take<IMode>(m, IID_IMode);
    ASSERT_NE(mode, nullptr);
    DEVMODEA screen{};
    screen.dmSize = sizeof screen;
    ASSERT_TRUE(EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &screen));
    long width = 0, height = 0, depth = 0;
    mode->get_Width(&width);
    mode->get_Height(&height);
    mode->get_Depth(&depth);
    EXPECT_EQ(width, static_cast<long>(screen.dmPelsWidth));
    EXPECT_EQ(height, static_cast<long>(screen.dmPelsHeight));
    EXPECT_EQ(depth, static_cast<long>(screen.dmBitsPerPel));
    mode->Release();

    // After Free: Modes are gone, Hardware stays.
    EXPECT_EQ(d->Free(), S_OK);
    IDispatch* sub = nullptr;
    EXPECT_EQ(d->get_Modes(&sub), E_POINTER);
    ExpectFailure(kSource, IID_IDevice, E_POINTER, "Modes Not Initialised.");
    EXPECT_EQ(d->get_Hardware(&sub), S_OK);
    if (sub) sub->Release();
    d->Release();
}

TEST(Device, ClearAndFlipShowOnTheScreen)
{
    WindowedDevice w(160, 120);
    ASSERT_EQ(w.initialised, S_OK) << testkit::Narrow(testkit::TakeError().description);
    // Width and Height 0 take the window's client area.
    DWORD width = 0, height = 0;
    SurfaceSize(BackOf(w.device), width, height);
    EXPECT_EQ(width, 160u);
    EXPECT_EQ(height, 120u);

    // 0x0000FF is red (0x00BBGGRR); the right half green from x 80.
    ASSERT_EQ(w.device->Clear(0x0000FF, 0, 0, 0, 0), S_OK);
    ASSERT_EQ(w.device->Clear(0x00FF00, 80, 0, 0, 0), S_OK);
    EXPECT_EQ(gfx_test::PixelAt(BackOf(w.device), 10, 10), 0xFF0000u);
    EXPECT_EQ(gfx_test::PixelAt(BackOf(w.device), 120, 100), 0x00FF00u);
    auto flip = [&] { w.device->Flip(1); };
    flip();
    EXPECT_TRUE(testkit::ScreenShows(w.window, 10, 10, {255, 0, 0}, flip));
    EXPECT_TRUE(testkit::ScreenShows(w.window, 150, 110, {0, 255, 0}, flip));

    // A second Initialise without Free: the primary surface exists.
    EXPECT_EQ(w.device->Initialise(0, 0, 0, 0, 0), E_POINTER);
    ExpectFailure(kSource, IID_IDevice, E_POINTER, "CreatePrimarySurface Function Failed.");

    EXPECT_EQ(w.device->WaitVBL(vbl_Begin), S_OK);
    long frequency = -1;
    IDirectDraw7* dd = nullptr;
    long handle = 0;
    w.device->get_DirectDrawPointer(&handle);
    dd = reinterpret_cast<IDirectDraw7*>(static_cast<LONG_PTR>(handle));
    DWORD own = 0;
    HRESULT expected = dd->GetMonitorFrequency(&own);
    EXPECT_EQ(w.device->get_MonitorFreq(&frequency), expected);
    EXPECT_EQ(frequency, SUCCEEDED(expected) ? static_cast<long>(own) : 0);
    testkit::ClearError();
}

TEST(Device, FlipOneToOneOrStretched)
{
    WindowedDevice w(160, 120, 40, 30);
    ASSERT_EQ(w.initialised, S_OK) << testkit::Narrow(testkit::TakeError().description);
    ASSERT_EQ(w.device->Clear(0xFF0000, 0, 0, 0, 0), S_OK); // blue
    // The 40 x 30 surface 1:1 at the top-left of the client area, then over all of it.
    auto oneToOne = [&] { w.device->Flip(0); };
    oneToOne();
    EXPECT_TRUE(testkit::ScreenShows(w.window, 5, 5, {0, 0, 255}, oneToOne));
    EXPECT_TRUE(testkit::ScreenShows(w.window, 39, 29, {0, 0, 255}, oneToOne));
    testkit::Rgb outside;
    ASSERT_TRUE(testkit::ReadScreenPixel(w.window, 100, 80, outside));
    EXPECT_FALSE(outside.r == 0 && outside.g == 0 && outside.b == 255);
    auto stretched = [&] { w.device->Flip(1); };
    stretched();
    EXPECT_TRUE(testkit::ScreenShows(w.window, 150, 110, {0, 0, 255}, stretched));
}

TEST(Device, HoldersKeepTheirOwnReferenceOnTheDirectDrawObject)
{
    gfx_test::OwnDirectDraw own;
    ASSERT_NE(own.dd, nullptr);
    const ULONG alone = gfx_test::Refs(own.dd);
    HWND window = testkit::CreateTestWindow(64, 48);
    IDevice* d = New<IDevice>(L"ZYKGFX.Device", IID_IDevice);
    ASSERT_NE(d, nullptr);
    d->put_Window(Handle(window));
    ASSERT_EQ(d->put_DirectDrawPointer(Handle(own.dd)), S_OK);
    // The device and each of its sub-objects keep one.
    EXPECT_GT(gfx_test::Refs(own.dd), alone + 1);

    IDispatch* c = nullptr;
    ASSERT_EQ(d->get_Caps(&c), S_OK);
    ICaps* caps = Take<ICaps>(c, IID_ICaps);
    ASSERT_NE(caps, nullptr);
    long accelerator = -1;
    EXPECT_EQ(caps->get_Accelerator(&accelerator), S_OK);
    d->Release();
    // The caps object outlives the device; it let go of its reference with the device and
    // no longer reaches the DirectDraw object the device handed it.
    EXPECT_EQ(gfx_test::Refs(own.dd), alone);
    EXPECT_EQ(caps->get_Accelerator(&accelerator), E_FAIL);
    ExpectFailure(L"ZYKGFX.Caps.1", IID_ICaps, E_FAIL, "Failed to Obtain Capabilities.");
    caps->Release();
    EXPECT_EQ(gfx_test::Refs(own.dd), alone);
    DestroyWindow(window);
}

TEST(Device, ObjectsLeaveTheCallersApartmentAsTheyFoundIt)
{
    for (int round = 0; round < 2; ++round) {
        IDevice* d = New<IDevice>(L"ZYKGFX.Device", IID_IDevice);
        ASSERT_NE(d, nullptr);
        EXPECT_EQ(d->Initialise(0, 0, 0, 0, 1), S_OK);
        EXPECT_EQ(d->Free(), S_OK);
        EXPECT_EQ(d->Free(), S_OK);
        d->Release();
        IDevices* list = New<IDevices>(L"ZYKGFX.Devices", IID_IDevices);
        ASSERT_NE(list, nullptr);
        testkit::DebugCapture capture;
        list->Release();
        EXPECT_TRUE(capture.Contains("ZYK: (INFO) Device Clean Up.\n"));
    }
    // The test thread's apartment is still there: initialising it again only counts.
    HRESULT hr = CoInitialize(nullptr);
    EXPECT_EQ(hr, S_FALSE);
    if (SUCCEEDED(hr)) CoUninitialize();
}

TEST(Device, WindowedSurfacesFor3D)
{
    HWND window = testkit::CreateTestWindow(64, 48);
    IDevice* d = New<IDevice>(L"ZYKGFX.Device", IID_IDevice);
    ASSERT_NE(d, nullptr);
    d->put_Window(Handle(window));
    ASSERT_EQ(d->Initialise(0, 0, 0, 1, 0), S_OK) << testkit::Narrow(testkit::TakeError().description);
    DDSURFACEDESC2 desc{};
    desc.dwSize = sizeof desc;
    ASSERT_EQ(BackOf(d)->GetSurfaceDesc(&desc), S_OK);
    EXPECT_TRUE(desc.ddsCaps.dwCaps & DDSCAPS_3DDEVICE);
    EXPECT_EQ(d->Clear(0, 0, 0, 0, 0), S_OK);
    EXPECT_EQ(d->Flip(1), S_OK);
    d->Free();
    d->Release();
    DestroyWindow(window);
}

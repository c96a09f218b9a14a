// Full-screen devices in a virtual desktop, where the display mode really changes:
// Free gives the display back in the mode it had before Initialise.
#include "testkit.h"
#include "zyk3D.h"

namespace {

IDevice3D* NewDevice()
{
    IDevice3D* d = nullptr;
    EXPECT_EQ(testkit::CreateByProgId(L"zyk3D.Device3D", IID_IDevice3D, reinterpret_cast<void**>(&d)), S_OK);
    return d;
}

void ExpectScreen(int width, int height)
{
    DEVMODEA mode{};
    mode.dmSize = sizeof mode;
    ASSERT_TRUE(EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &mode));
    EXPECT_EQ(static_cast<int>(mode.dmPelsWidth), width);
    EXPECT_EQ(static_cast<int>(mode.dmPelsHeight), height);
}

} // namespace

TEST(DisplayMode, FreeRestoresTheModeOfBeforeInitialise)
{
    ExpectScreen(1024, 768);
    HWND window = testkit::CreateTestWindow(320, 240, "zyk full screen");
    IDevice3D* d = NewDevice();
    for (int round = 0; round < 2; ++round) {
        d->put_Window(static_cast<long>(reinterpret_cast<LONG_PTR>(window)));
        ASSERT_EQ(d->Initialise(0, 640, 480, VARIANT_TRUE, 1), S_OK)
            << testkit::Narrow(testkit::TakeError().description);
        ExpectScreen(640, 480);
        EXPECT_EQ(d->Clear(1, 0, 0, 1), S_OK);
        EXPECT_EQ(d->Render(), S_OK);
        EXPECT_EQ(d->Update(), S_OK);
        EXPECT_EQ(d->Resize(100, 100), static_cast<HRESULT>(0xC8770BCF)); // full screen cannot resize
        EXPECT_EQ(testkit::TakeError().description, L"Resize Failed.");
        EXPECT_EQ(d->Free(), S_OK);
        ExpectScreen(1024, 768);
    }

    // A second Initialise on a full-screen device gives the mode back before it starts again.
    d->put_Window(static_cast<long>(reinterpret_cast<LONG_PTR>(window)));
    ASSERT_EQ(d->Initialise(0, 640, 480, VARIANT_TRUE, 1), S_OK);
    ASSERT_EQ(d->Initialise(0, 320, 240, VARIANT_FALSE, 0), S_OK);
    ExpectScreen(1024, 768);
    EXPECT_EQ(d->Clear(0, 1, 0, 1), S_OK);
    EXPECT_EQ(d->Update(), S_OK);
    d->Release();
    DestroyWindow(window);
}

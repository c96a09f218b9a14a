// The Devices control: what every control does (control_conformance.h), and what is its own:
// hosted, it lists the adapters, names its window and shows its icon on the screen; the
// stock properties a client puts are the ones it keeps.
#include "gfx_fixture.h"
#include "control_conformance.h"

INSTANTIATE_TEST_SUITE_P(zykGFX, ControlConformance,
                         testing::Values(testkit::ControlServer{
                             L"zykGFX.dll",
                             {{L"ZYKGFX.Devices", &CLSID_Devices, &IID_IDevices, &DIID__IDevicesEvents, 131473,
                               testkit::Drawing::Icon, 0x0060C8u}}}));

TEST(DevicesControl, HostedListsTheAdaptersAndShowsItsIcon)
{
    testkit::AtlHost atl;
    ASSERT_TRUE(atl.ready);
    HWND parent = testkit::CreateTestWindow(200, 150, "zykGFX control host");
    testkit::HostedControl hosted(atl, parent, L"ZYKGFX.Devices", 64, 64);
    auto devices = hosted.control.As<IDevices>(IID_IDevices);
    ASSERT_TRUE(devices);
    ASSERT_NE(hosted.window, nullptr);
    long count = 0, handle = 0;
    EXPECT_EQ(devices->get_Count(&count), S_OK);
    EXPECT_GE(count, 1);
    EXPECT_EQ(devices->get_Window(&handle), S_OK);
    EXPECT_EQ(reinterpret_cast<HWND>(static_cast<LONG_PTR>(handle)), hosted.window);

    // Drawn: the icon at its top-left, the window's colour around it.
    auto redraw = [&] { RedrawWindow(hosted.window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW); };
    EXPECT_TRUE(testkit::ScreenShows(hosted.window, 16, 12, {0, 96, 200}, redraw, 2));
    const COLORREF window = GetSysColor(COLOR_WINDOW);
    EXPECT_TRUE(testkit::ScreenShows(hosted.window, 50, 50, {GetRValue(window), GetGValue(window), GetBValue(window)},
                                     redraw, 2));

    devices.Reset();
    hosted.Close();
    EXPECT_RELEASED(hosted.control);
    DestroyWindow(parent);
}

TEST(DevicesControl, PersistsTheStockPropertiesPut)
{
    auto a = testkit::Make<IDevices>(L"ZYKGFX.Devices", IID_IDevices);
    ASSERT_TRUE(a);
    auto save = a.As<IPersistStreamInit>(IID_IPersistStreamInit);
    ASSERT_TRUE(save);
    ASSERT_EQ(save->InitNew(), S_OK);
    EXPECT_EQ(a->put_BorderColor(0x123456), S_OK);
    EXPECT_EQ(save->IsDirty(), S_OK);
    EXPECT_EQ(a->put_BorderStyle(1), S_OK);
    zyk::com::Ptr<IStream> stream;
    ASSERT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, stream.Out()), S_OK);
    ASSERT_EQ(save->Save(stream.Get(), TRUE), S_OK);
    save.Reset();
    EXPECT_RELEASED(a);

    auto b = testkit::Make<IDevices>(L"ZYKGFX.Devices", IID_IDevices);
    ASSERT_TRUE(b);
    const LARGE_INTEGER zero{};
    stream->Seek(zero, STREAM_SEEK_SET, nullptr);
    ASSERT_EQ(b.As<IPersistStreamInit>(IID_IPersistStreamInit)->Load(stream.Get()), S_OK);
    OLE_COLOR colour = 0;
    long style = 0;
    EXPECT_EQ(b->get_BorderColor(&colour), S_OK);
    EXPECT_EQ(b->get_BorderStyle(&style), S_OK);
    EXPECT_EQ(colour, 0x123456u);
    EXPECT_EQ(style, 1);
    EXPECT_RELEASED(b);
}

// The Devices control: what every control does (control_conformance.h), and what is its own:
// hosted, it names its window and is still the list, empty until the module handle is put.
#include "control_conformance.h"
#include "zykINPUT.h"

INSTANTIATE_TEST_SUITE_P(zykINPUT, ControlConformance,
                         testing::Values(testkit::ControlServer{
                             L"zykINPUT.dll",
                             {{L"ZYKInput.Devices", &CLSID_Devices, &IID_IDevices, &DIID__IDevicesEvents, 131473,
                               testkit::Drawing::Placeholder}}}));

TEST(InputDevicesControl, HostedItIsStillTheList)
{
    testkit::AtlHost atl;
    ASSERT_TRUE(atl.ready);
    HWND parent = testkit::CreateTestWindow(200, 150, "zykINPUT control host");
    testkit::HostedControl hosted(atl, parent, L"ZYKInput.Devices", 120, 80);
    auto devices = hosted.control.As<IDevices>(IID_IDevices);
    ASSERT_TRUE(devices);
    ASSERT_NE(hosted.window, nullptr);
    long handle = 0;
    EXPECT_EQ(devices->get_Window(&handle), S_OK);
    EXPECT_EQ(reinterpret_cast<HWND>(static_cast<LONG_PTR>(handle)), hosted.window);

    long count = -1;
    EXPECT_EQ(devices->get_Count(&count), S_OK);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(devices->put_hInstance(static_cast<long>(reinterpret_cast<LONG_PTR>(GetModuleHandleW(nullptr)))), S_OK);
    EXPECT_EQ(devices->get_Count(&count), S_OK);
    EXPECT_GE(count, 1);

    devices.Reset();
    hosted.Close();
    EXPECT_RELEASED(hosted.control);
    DestroyWindow(parent);
}

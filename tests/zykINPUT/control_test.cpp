// The Devices control in the platform's container (AtlAxWin), also after the server was
// unloaded and loaded again, drawn for a container, and its events bound.
#include "testkit.h"
#include "atlhost.h"
#include "events.h"
#include "zykINPUT.h"

TEST(InputDevicesControl, HostedByAtlAxWinAsARealChildWindow)
{
    testkit::AtlHost atl;
    ASSERT_TRUE(atl.ready);
    HWND parent = testkit::CreateTestWindow(200, 150, "zykINPUT control host");
    HWND host = CreateWindowExW(0, L"AtlAxWin", L"ZYKInput.Devices", WS_CHILD | WS_VISIBLE, 10, 10, 120, 80, parent,
                                nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(host, nullptr);
    testkit::PumpMessages();
    IUnknown* u = nullptr;
    ASSERT_EQ(atl.getControl(host, &u), S_OK);
    ASSERT_NE(u, nullptr);
    IDevices* devices = nullptr;
    ASSERT_EQ(u->QueryInterface(IID_IDevices, reinterpret_cast<void**>(&devices)), S_OK);

    // The control's own window: a visible child of the host, filling it.
    HWND control = GetWindow(host, GW_CHILD);
    ASSERT_NE(control, nullptr);
    long handle = 0;
    EXPECT_EQ(devices->get_Window(&handle), S_OK);
    EXPECT_EQ(reinterpret_cast<HWND>(static_cast<LONG_PTR>(handle)), control);
    EXPECT_EQ(GetParent(control), host);
    EXPECT_TRUE(IsWindowVisible(control));
    RECT r;
    GetClientRect(control, &r);
    EXPECT_EQ(r.right, 120);
    EXPECT_EQ(r.bottom, 80);

    // Hosted, it is still the list: empty until the module handle is put, then filled.
    long count = -1;
    EXPECT_EQ(devices->get_Count(&count), S_OK);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(devices->put_hInstance(static_cast<long>(reinterpret_cast<LONG_PTR>(GetModuleHandleW(nullptr)))), S_OK);
    EXPECT_EQ(devices->get_Count(&count), S_OK);
    EXPECT_GE(count, 1);

    devices->Release();
    u->Release();
    DestroyWindow(host);
    EXPECT_FALSE(IsWindow(control));
    DestroyWindow(parent);
    testkit::PumpMessages();
}

TEST(InputDevicesControl, DrawsItsPlaceholderIntoTheBoundsGiven)
{
    IViewObject* view = testkit::Create<IViewObject>(L"ZYKInput.Devices", IID_IViewObject);
    ASSERT_NE(view, nullptr);
    const DWORD fill = 0x00336699u;
    testkit::Canvas canvas(200, 120, fill);
    ASSERT_TRUE(canvas.Ready());
    RECTL bounds{20, 10, 180, 110};
    ASSERT_EQ(view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, canvas.Dc(), &bounds, nullptr, nullptr, 0),
              S_OK);

    // A rectangle in the DC's pen and brush (black outline, white inside) over the bounds,
    // nothing outside them.
    EXPECT_EQ(canvas.At(20, 10) & 0xFFFFFF, 0x000000u);
    EXPECT_EQ(canvas.At(179, 109) & 0xFFFFFF, 0x000000u);
    EXPECT_EQ(canvas.At(100, 10) & 0xFFFFFF, 0x000000u);
    EXPECT_EQ(canvas.At(25, 15) & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_EQ(canvas.At(175, 105) & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_EQ(canvas.At(10, 5), fill);
    EXPECT_EQ(canvas.At(190, 115), fill);

    // The name, centred on the baseline at the middle: dark pixels just above the centre
    // row, on both sides of the middle column, none far from the text.
    int left = 0, right = 0;
    for (int y = 45; y < 60; ++y)
        for (int x = 21; x < 179; ++x)
            if ((canvas.At(x, y) & 0xFFFFFF) != 0xFFFFFFu) (x < 100 ? left : right)++;
    EXPECT_GT(left, 10);
    EXPECT_GT(right, 10);
    int below = 0;
    for (int y = 80; y < 108; ++y)
        for (int x = 21; x < 179; ++x)
            if ((canvas.At(x, y) & 0xFFFFFF) != 0xFFFFFFu) ++below;
    EXPECT_EQ(below, 0);
    view->Release();
}

// Runs in a fresh process, where nothing else holds the server.
TEST(InputDevicesControlReload, Child)
{
    if (!GetEnvironmentVariableA("ZYK_RELOAD_CHILD", nullptr, 0)) GTEST_SKIP() << "runs in a child";
    testkit::ExpectControlsAfterReloads(L"zykINPUT.dll", {L"ZYKInput.Devices"}, 3);
}

TEST(InputDevicesControl, GetsItsWindowAfterTheServerWasUnloadedAndLoadedAgain)
{
    EXPECT_EQ(testkit::RunCopy("zyk_input_reload.exe", "InputDevicesControlReload.Child", "ZYK_RELOAD_CHILD", "1", {}),
              0)
        << "the child failed (its output is above)";
}

TEST(InputDevicesControl, EventsBindAsAFormsWithEventsDoes)
{
    IUnknown* u = testkit::Create<IUnknown>(L"ZYKInput.Devices", IID_IUnknown);
    ASSERT_NE(u, nullptr);
    testkit::ExpectEventsBind(u);
    u->Release();
}

// One controller: the platform's keyboard and mouse, their capabilities and state, the
// stored type, and the error a device that cannot be created gives.
#include "testkit.h"
#include "zykINPUT.h"

namespace {

long Module() { return static_cast<long>(reinterpret_cast<LONG_PTR>(GetModuleHandleW(nullptr))); }

// The device filed under name in a list filled with this program's module handle; from a
// list given, or from a list of its own.
IDevice* Item(IDevices* list, const wchar_t* name)
{
    VARIANT key = testkit::VarBstr(name), out;
    VariantInit(&out);
    IDevice* device = nullptr;
    if (list->Item(key, &out) == S_OK) device = testkit::As<IDevice>(V_DISPATCH(&out), IID_IDevice);
    VariantClear(&key);
    return device;
}

struct Listed {
    explicit Listed(const wchar_t* name) : list(testkit::Create<IDevices>(L"ZYKInput.Devices", IID_IDevices))
    {
        if (!list) return;
        list->put_hInstance(Module());
        device = Item(list, name);
    }
    ~Listed()
    {
        if (device) device->Release();
        if (list) list->Release();
    }
    IDevices* list = nullptr;
    IDevice* device = nullptr;
};

long Handle(HWND w) { return static_cast<long>(reinterpret_cast<LONG_PTR>(w)); }

} // namespace

TEST(InputDevice, TypePutFilesATraditionalJoystickAsTwo)
{
    IDevice* device = testkit::Create<IDevice>(L"ZYKInput.Device", IID_IDevice);
    ASSERT_NE(device, nullptr);
    Device_Types type{};
    device->put_Type(static_cast<Device_Types>(0x204));
    device->get_Type(&type);
    EXPECT_EQ(type, 2);
    device->put_Type(static_cast<Device_Types>(0x404));
    device->get_Type(&type);
    EXPECT_EQ(type, 0x404);
    device->put_Type(dt_Mouse);
    device->get_Type(&type);
    EXPECT_EQ(type, 258);
    device->Release();
}

TEST(InputDevice, KeyboardIdentityCapabilitiesAndState)
{
    Listed listed(L"Keyboard");
    IDevice* keyboard = listed.device;
    ASSERT_NE(keyboard, nullptr);
    HWND window = testkit::CreateTestWindow(64, 64, "zykINPUT keyboard");
    keyboard->put_Window(Handle(window));
    Device_Types type{};
    EXPECT_EQ(keyboard->get_Type(&type), S_OK);
    EXPECT_EQ(type, dt_Keyboard);
    short attached = -5;
    EXPECT_EQ(keyboard->get_Attached(&attached), S_OK);
    EXPECT_EQ(attached, 1);
    long buttons = 0, axes = -1, revision = 0;
    EXPECT_EQ(keyboard->get_Buttons(&buttons), S_OK);
    EXPECT_GT(buttons, 100);
    EXPECT_EQ(keyboard->get_Axes(&axes), S_OK);
    EXPECT_EQ(axes, 0);
    EXPECT_EQ(keyboard->get_HW_Revision(&revision), S_OK);

    // Nothing is read from a keyboard, and its axes and buttons are not told.
    EXPECT_EQ(keyboard->Read(), S_OK);
    long x = 1234;
    EXPECT_EQ(keyboard->get_X(&x), S_OK);
    EXPECT_EQ(x, 1234);
    short pressed = 7;
    EXPECT_EQ(keyboard->get_ButtonPressed(0, &pressed), S_OK);
    EXPECT_EQ(pressed, 0);
    Mouse_Types mouseType = mt_TrackBall;
    EXPECT_EQ(keyboard->get_MouseType(&mouseType), S_OK);
    EXPECT_EQ(mouseType, mt_TrackBall);

    // Closed, the device is made again by the next member that needs it.
    EXPECT_EQ(keyboard->Close(), S_OK);
    EXPECT_EQ(keyboard->Close(), S_OK);
    EXPECT_EQ(keyboard->get_Attached(&attached), S_OK);
    EXPECT_EQ(keyboard->RunControlPanel(), S_OK);
    long stored = 0;
    keyboard->get_Window(&stored);
    EXPECT_EQ(stored, Handle(window));
    EXPECT_EQ(keyboard->get_Attached(&attached), S_OK);
    DestroyWindow(window);
}

TEST(InputDevice, ExclusiveMouseFailsAcquireOutOfTheForegroundThenAnswersFromTheSameDevice)
{
    Listed listed(L"Mouse");
    IDevice* mouse = listed.device;
    ASSERT_NE(mouse, nullptr);
    // A window that never came to the foreground.
    HWND window = CreateWindowExA(0, "STATIC", "hidden", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    mouse->put_Window(Handle(window));
    short attached = -5;
    EXPECT_EQ(mouse->get_Attached(&attached), E_FAIL);
    EXPECT_EQ(mouse->get_Attached(&attached), S_OK);
    EXPECT_EQ(attached, 1);
    long axes = 0, buttons = 0;
    EXPECT_EQ(mouse->get_Axes(&axes), S_OK);
    EXPECT_EQ(axes, 3);
    EXPECT_EQ(mouse->get_Buttons(&buttons), S_OK);
    EXPECT_GE(buttons, 3);
    // Not acquired: nothing to read.
    EXPECT_EQ(mouse->Read(), E_FAIL);
    DestroyWindow(window);
}

TEST(InputDevice, MouseMovementIsReadAfterSendInput)
{
    Listed listed(L"Mouse");
    IDevice* mouse = listed.device;
    ASSERT_NE(mouse, nullptr);
    HWND window = testkit::CreateTestWindow(160, 120, "zykINPUT mouse");
    SetForegroundWindow(window);
    testkit::PumpMessages();
    mouse->put_Window(Handle(window));
    short attached = 0;
    ASSERT_EQ(mouse->get_Attached(&attached), S_OK) << "the exclusive mouse needs the window in the foreground";
    EXPECT_EQ(mouse->Read(), S_OK); // clears what moved before

    INPUT move{};
    move.type = INPUT_MOUSE;
    move.mi.dx = 25;
    move.mi.dy = -10;
    move.mi.dwFlags = MOUSEEVENTF_MOVE;
    ASSERT_EQ(SendInput(1, &move, sizeof move), 1u);
    ASSERT_EQ(mouse->Read(), S_OK);
    long x = 0, y = 0, z = 99;
    EXPECT_EQ(mouse->get_X(&x), S_OK);
    EXPECT_EQ(mouse->get_Y(&y), S_OK);
    EXPECT_EQ(mouse->get_Z(&z), S_OK);
    EXPECT_GT(x, 0);
    EXPECT_LT(y, 0);
    EXPECT_EQ(z, 0);
    // The getters keep the last state read.
    long again = 0;
    mouse->get_X(&again);
    EXPECT_EQ(again, x);
    short pressed = 5;
    EXPECT_EQ(mouse->get_ButtonPressed(0, &pressed), S_OK);
    EXPECT_EQ(pressed, 0);
    EXPECT_EQ(mouse->get_ButtonPressed(4, &pressed), S_OK); // past the four buttons read
    EXPECT_EQ(pressed, 0);
    EXPECT_EQ(mouse->get_ButtonPressed(-1, &pressed), S_OK);
    EXPECT_EQ(pressed, 0);
    mouse->Close();
    DestroyWindow(window);
}

TEST(InputDevice, ADeviceThatCannotBeCreatedSaysWhy)
{
    IDevice* device = testkit::Create<IDevice>(L"ZYKInput.Device", IID_IDevice);
    ASSERT_NE(device, nullptr);
    device->put_hInstance(static_cast<long>(reinterpret_cast<LONG_PTR>(GetModuleHandleW(nullptr))));
    GUID unknown = {0x12345678, 0x1234, 0x1234, {1, 2, 3, 4, 5, 6, 7, 8}};
    device->put_GUID(static_cast<long>(reinterpret_cast<LONG_PTR>(&unknown)));
    testkit::ClearError();
    long buttons = 0;
    EXPECT_EQ(device->get_Buttons(&buttons), E_FAIL);
    testkit::ExpectError(L"ZYKInput.Device.1", IID_IDevice, L"CreateDevice: Device Not Registered.");
    EXPECT_EQ(device->Read(), E_FAIL);
    EXPECT_EQ(device->RunControlPanel(), E_FAIL);

    // Through IDispatch the client sees the same text.
    EXCEPINFO excep{};
    VARIANT out;
    VariantInit(&out);
    EXPECT_EQ(testkit::DispGet(device, L"Axes", &out, &excep), DISP_E_EXCEPTION);
    EXPECT_STREQ(excep.bstrDescription ? excep.bstrDescription : L"", L"CreateDevice: Device Not Registered.");
    testkit::FreeExcepInfo(excep);
    device->Release();
}

TEST(InputDevice, ADeviceWithoutAModuleHandleIsNotCreated)
{
    IDevice* device = testkit::Create<IDevice>(L"ZYKInput.Device", IID_IDevice);
    ASSERT_NE(device, nullptr);
    short attached = 3;
    EXPECT_EQ(device->get_Attached(&attached), E_FAIL);
    EXPECT_EQ(attached, 3);
    EXPECT_EQ(device->put_GUID(0), E_POINTER);
    device->Release();
}

// A device that a client holds keeps working once its list has listed again (a new device
// filed under its name) or has been released, as the one listed last does.
TEST(InputDevice, OutlivesANewListingAndItsList)
{
    HWND window = testkit::CreateTestWindow(64, 64, "zykINPUT held");
    SetForegroundWindow(window);
    testkit::PumpMessages();
    IDevices* list = testkit::Create<IDevices>(L"ZYKInput.Devices", IID_IDevices);
    ASSERT_NE(list, nullptr);
    list->put_hInstance(Module());
    IDevice* relisted = Item(list, L"Keyboard");
    IDevice* mouse = Item(list, L"Mouse");
    list->put_hInstance(Module());
    IDevice* fresh = Item(list, L"Keyboard");
    ASSERT_TRUE(relisted && mouse && fresh);
    EXPECT_NE(fresh, relisted);
    list->Release();
    for (IDevice* device : {relisted, mouse, fresh}) {
        device->put_Window(Handle(window));
        short attached = 0;
        long buttons = 0;
        testkit::ClearError();
        EXPECT_EQ(device->get_Attached(&attached), S_OK);
        EXPECT_EQ(attached, 1);
        EXPECT_EQ(device->get_Buttons(&buttons), S_OK);
        EXPECT_GE(buttons, 3);
        EXPECT_EQ(device->Read(), S_OK);
        EXPECT_FALSE(testkit::TakeError().present);
        device->Release();
    }
    DestroyWindow(window);
}

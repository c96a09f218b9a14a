// A joystick as the client sees it, run against this folder's own dinput.dll, whose one
// joystick (and, when asked, one force-feedback device) reports the state the test scripts.
#include "testkit.h"
#include "zykINPUT.h"
#include "script.h"
#include <cstring>

namespace {

long Handle(HWND w) { return static_cast<long>(reinterpret_cast<LONG_PTR>(w)); }
long Module() { return static_cast<long>(reinterpret_cast<LONG_PTR>(GetModuleHandleW(nullptr))); }

std::wstring Text(BSTR b)
{
    std::wstring s = b ? b : L"";
    SysFreeString(b);
    return s;
}

// The folder's dinput.dll, loaded before the server is: the server's own imports are
// looked for from the server's folder, and a module of that name already loaded is used.
bool ScriptedDirectInputLoaded()
{
    static HMODULE module = LoadLibraryW(L"dinput.dll");
    if (!module) return false;
    wchar_t own[MAX_PATH] = {}, program[MAX_PATH] = {};
    GetModuleFileNameW(module, own, MAX_PATH);
    GetModuleFileNameW(nullptr, program, MAX_PATH);
    const std::wstring a = own, b = program;
    return a.substr(0, a.find_last_of(L'\\')) == b.substr(0, b.find_last_of(L'\\'));
}

class Joystick : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(ScriptedDirectInputLoaded()) << "the program's folder holds the scripted dinput.dll";
        script = scripted::Open(&section);
        ASSERT_NE(script, nullptr);
        std::memset(script, 0, sizeof *script);
        script->axes = 3;
        script->buttons = 10;
        script->revision = 7;
        script->state.lX = -250;
        script->state.lY = 700;
        script->state.lZ = 12;
        script->state.rgbButtons[0] = 0x80;
        script->state.rgbButtons[3] = 0x81;
        script->state.rgbButtons[31] = 0x80;
        script->state.rgbButtons[32] = 0x80; // beyond the 32 buttons of the record read
        window = testkit::CreateTestWindow(64, 64, "zykINPUT joystick");
    }
    void TearDown() override
    {
        if (window) DestroyWindow(window);
        if (script) UnmapViewOfFile(script);
        if (section) CloseHandle(section);
    }

    // The list filled with this program's module handle.
    IDevices* List()
    {
        IDevices* list = testkit::Create<IDevices>(L"ZYKInput.Devices", IID_IDevices);
        if (list) list->put_hInstance(Module());
        return list;
    }

    IDevice* At(IDevices* list, long position)
    {
        VARIANT out;
        VariantInit(&out);
        if (list->Item(testkit::VarI4(position), &out) != S_OK) return nullptr;
        return testkit::As<IDevice>(V_DISPATCH(&out), IID_IDevice);
    }

    IDevice* Named(IDevices* list, const wchar_t* name)
    {
        VARIANT key = testkit::VarBstr(name), out;
        VariantInit(&out);
        const HRESULT hr = list->Item(key, &out);
        VariantClear(&key);
        return hr == S_OK ? testkit::As<IDevice>(V_DISPATCH(&out), IID_IDevice) : nullptr;
    }

    HANDLE section = nullptr;
    scripted::Script* script = nullptr;
    HWND window = nullptr;
};

} // namespace

TEST_F(Joystick, TheOneJoystickIsListedWithItsNameTypeAndCapabilities)
{
    IDevices* list = List();
    ASSERT_NE(list, nullptr);
    long count = 0;
    EXPECT_EQ(list->get_Count(&count), S_OK);
    ASSERT_EQ(count, 1);
    IDevice* stick = At(list, 1);
    ASSERT_NE(stick, nullptr);
    BSTR name = nullptr, product = nullptr;
    EXPECT_EQ(stick->get_Name(&name), S_OK);
    EXPECT_EQ(Text(name), L"Scripted Joystick");
    EXPECT_EQ(stick->get_ProductName(&product), S_OK);
    EXPECT_EQ(Text(product), L"Zykware Scripted Controller");
    Device_Types type{};
    EXPECT_EQ(stick->get_Type(&type), S_OK);
    EXPECT_EQ(type, dt_Joystick); // a traditional joystick is filed as 2

    stick->put_Window(Handle(window));
    short attached = 0;
    EXPECT_EQ(stick->get_Attached(&attached), S_OK);
    EXPECT_EQ(attached, 1);
    long axes = 0, buttons = 0, revision = 0;
    EXPECT_EQ(stick->get_Axes(&axes), S_OK);
    EXPECT_EQ(axes, 3);
    EXPECT_EQ(stick->get_Buttons(&buttons), S_OK);
    EXPECT_EQ(buttons, 10);
    EXPECT_EQ(stick->get_HW_Revision(&revision), S_OK);
    EXPECT_EQ(revision, 7);
    // The set-up gives the X axis its range.
    EXPECT_EQ(script->rangeMin, -1000);
    EXPECT_EQ(script->rangeMax, 1000);

    // By name as well.
    VARIANT key = testkit::VarBstr(L"Scripted Joystick"), out;
    VariantInit(&out);
    EXPECT_EQ(list->Item(key, &out), S_OK);
    VariantClear(&out);
    VariantClear(&key);
    stick->Release();
    list->Release();
}

TEST_F(Joystick, ReadPollsAndKeepsTheStateUntilTheNextRead)
{
    IDevices* list = List();
    ASSERT_NE(list, nullptr);
    IDevice* stick = At(list, 1);
    ASSERT_NE(stick, nullptr);
    stick->put_Window(Handle(window));

    ASSERT_EQ(stick->Read(), S_OK);
    EXPECT_EQ(script->polls, 1);
    long x = 0, y = 0, z = 0;
    EXPECT_EQ(stick->get_X(&x), S_OK);
    EXPECT_EQ(stick->get_Y(&y), S_OK);
    EXPECT_EQ(stick->get_Z(&z), S_OK);
    EXPECT_EQ(x, -250);
    EXPECT_EQ(y, 700);
    EXPECT_EQ(z, 12);
    auto pressed = [&](long n) {
        short p = -1;
        EXPECT_EQ(stick->get_ButtonPressed(n, &p), S_OK);
        return p;
    };
    EXPECT_EQ(pressed(0), 1);
    EXPECT_EQ(pressed(1), 0);
    EXPECT_EQ(pressed(2), 0);
    EXPECT_EQ(pressed(3), 1);
    EXPECT_EQ(pressed(31), 1);
    EXPECT_EQ(pressed(32), 0); // the record read holds 32 buttons
    EXPECT_EQ(pressed(-1), 0);
    EXPECT_EQ(pressed(1000000), 0);

    // A new state shows only after the next Read.
    script->state.lX = 1000;
    script->state.lY = -1000;
    script->state.lZ = 0;
    script->state.rgbButtons[0] = 0;
    script->state.rgbButtons[1] = 0x80;
    stick->get_X(&x);
    EXPECT_EQ(x, -250);
    EXPECT_EQ(pressed(0), 1);
    ASSERT_EQ(stick->Read(), S_OK);
    EXPECT_EQ(script->polls, 2);
    stick->get_X(&x);
    stick->get_Y(&y);
    stick->get_Z(&z);
    EXPECT_EQ(x, 1000);
    EXPECT_EQ(y, -1000);
    EXPECT_EQ(z, 0);
    EXPECT_EQ(pressed(0), 0);
    EXPECT_EQ(pressed(1), 1);

    // Closed, the next Read makes and sets up the device again.
    EXPECT_EQ(stick->Close(), S_OK);
    script->state.lX = 5;
    EXPECT_EQ(stick->Read(), S_OK);
    stick->get_X(&x);
    EXPECT_EQ(x, 5);
    stick->Release();
    list->Release();
}

TEST_F(Joystick, ThroughIDispatch)
{
    IDevices* list = List();
    ASSERT_NE(list, nullptr);
    VARIANT item;
    VariantInit(&item);
    ASSERT_EQ(testkit::DispCall(list, L"Item", {testkit::VarI4(1)}, &item), S_OK);
    ASSERT_EQ(V_VT(&item), VT_DISPATCH);
    IDispatch* d = V_DISPATCH(&item);
    VARIANT v;
    VariantInit(&v);
    ASSERT_EQ(testkit::DispGet(d, L"Name", &v), S_OK);
    ASSERT_EQ(V_VT(&v), VT_BSTR);
    EXPECT_STREQ(V_BSTR(&v), L"Scripted Joystick");
    VariantClear(&v);
    ASSERT_EQ(testkit::DispGet(d, L"Type", &v), S_OK);
    EXPECT_EQ(V_I4(&v), 2);
    EXPECT_EQ(testkit::DispPut(d, L"Window", testkit::VarI4(Handle(window))), S_OK);
    ASSERT_EQ(testkit::DispGet(d, L"Axes", &v), S_OK);
    EXPECT_EQ(V_I4(&v), 3);
    ASSERT_EQ(testkit::DispGet(d, L"Buttons", &v), S_OK);
    EXPECT_EQ(V_I4(&v), 10);

    ASSERT_EQ(testkit::DispCall(d, L"Read", {}), S_OK);
    ASSERT_EQ(testkit::DispGet(d, L"X", &v), S_OK);
    EXPECT_EQ(V_VT(&v), VT_I4);
    EXPECT_EQ(V_I4(&v), -250);
    ASSERT_EQ(testkit::DispGet(d, L"Y", &v), S_OK);
    EXPECT_EQ(V_I4(&v), 700);
    ASSERT_EQ(testkit::DispGet(d, L"Z", &v), S_OK);
    EXPECT_EQ(V_I4(&v), 12);
    ASSERT_EQ(testkit::DispCall(d, L"ButtonPressed", {testkit::VarI4(3)}, &v, nullptr,
                                DISPATCH_METHOD | DISPATCH_PROPERTYGET),
              S_OK);
    EXPECT_EQ(V_VT(&v), VT_I2);
    EXPECT_EQ(V_I2(&v), 1);
    ASSERT_EQ(testkit::DispCall(d, L"ButtonPressed", {testkit::VarI4(2)}, &v, nullptr,
                                DISPATCH_METHOD | DISPATCH_PROPERTYGET),
              S_OK);
    EXPECT_EQ(V_I2(&v), 0);
    VariantClear(&item);
    list->Release();
}

TEST_F(Joystick, WithoutAWindowItIsNotAcquiredUntilOneIsPut)
{
    IDevices* list = List();
    ASSERT_NE(list, nullptr);
    IDevice* stick = At(list, 1);
    ASSERT_NE(stick, nullptr);
    // The exclusive level needs a window: the set-up fails, the device stays made.
    long axes = 0;
    EXPECT_EQ(stick->get_Axes(&axes), E_FAIL);
    EXPECT_EQ(stick->get_Axes(&axes), S_OK);
    EXPECT_EQ(axes, 3);
    EXPECT_EQ(stick->Read(), E_FAIL);
    long x = 99;
    stick->get_X(&x);
    EXPECT_EQ(x, 0);
    // With a window, the Read that finds the device unacquired sets it up again and fails;
    // the next one reads.
    stick->put_Window(Handle(window));
    EXPECT_EQ(stick->Read(), E_FAIL);
    EXPECT_EQ(stick->Read(), S_OK);
    stick->get_X(&x);
    EXPECT_EQ(x, -250);
    stick->Release();
    list->Release();
}

TEST_F(Joystick, AReadThatLosesTheDeviceFailsAndTheNextOneReads)
{
    IDevices* list = List();
    ASSERT_NE(list, nullptr);
    IDevice* stick = At(list, 1);
    ASSERT_NE(stick, nullptr);
    stick->put_Window(Handle(window));
    ASSERT_EQ(stick->Read(), S_OK);
    script->state.lX = 333;
    script->loseInput = 1;
    EXPECT_EQ(stick->Read(), E_FAIL);
    long x = 0;
    stick->get_X(&x);
    EXPECT_EQ(x, -250); // the failed Read leaves the last state
    EXPECT_EQ(stick->Read(), S_OK);
    stick->get_X(&x);
    EXPECT_EQ(x, 333);
    stick->Release();
    list->Release();
}

TEST_F(Joystick, AForceFeedbackDeviceIsListedBesideTheJoystickAndReadsNothing)
{
    script->forceFeedback = 1;
    IDevices* list = List();
    ASSERT_NE(list, nullptr);
    long count = 0;
    list->get_Count(&count);
    ASSERT_EQ(count, 2);
    IDevice* stick = Named(list, L"Scripted Joystick");
    ASSERT_NE(stick, nullptr);
    stick->Release();
    IDevice* wheel = Named(list, L"Scripted Wheel");
    ASSERT_NE(wheel, nullptr);
    Device_Types type{};
    wheel->get_Type(&type);
    EXPECT_EQ(type, dt_ForceFeedback);
    wheel->put_Window(Handle(window));
    SetForegroundWindow(window);
    testkit::PumpMessages();
    long buttons = 0;
    EXPECT_EQ(wheel->get_Buttons(&buttons), S_OK);
    EXPECT_EQ(buttons, 10);
    EXPECT_EQ(wheel->Read(), S_OK);
    EXPECT_EQ(script->polls, 0);
    long x = 4321;
    EXPECT_EQ(wheel->get_X(&x), S_OK);
    EXPECT_EQ(x, 4321); // its axes are not told
    short pressed = 9;
    EXPECT_EQ(wheel->get_ButtonPressed(0, &pressed), S_OK);
    EXPECT_EQ(pressed, 0);
    wheel->Release();
    list->Release();
}

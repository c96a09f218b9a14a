// CInputDevice: one DirectInput device.
#pragma once
#include "input.h"
#include "com/object.h"
#include "com/ptr.h"

// One DirectInput device: its identity, given by the list, and the device itself,
// created and set up for its kind by the first member that needs it and polled by Read.
// The device is made from what the list handed over (its module handle and instance id),
// on a DirectInput object of its own: it needs nothing of the list once it is filled.
class CInputDevice : public zyk::com::CoClass<IDevice, &IID_IDevice, &CLSID_Device> {
public:
    CInputDevice();
    ~CInputDevice() override;

    HRESULT STDMETHODCALLTYPE Close() override;
    HRESULT STDMETHODCALLTYPE RunControlPanel() override;
    HRESULT STDMETHODCALLTYPE get_Type(Device_Types* out) override;
    HRESULT STDMETHODCALLTYPE put_Type(Device_Types type) override;
    HRESULT STDMETHODCALLTYPE get_Name(BSTR* out) override;
    HRESULT STDMETHODCALLTYPE put_Name(BSTR name) override;
    HRESULT STDMETHODCALLTYPE get_Attached(short* out) override;
    HRESULT STDMETHODCALLTYPE put_hInstance(long instance) override;
    HRESULT STDMETHODCALLTYPE put_GUID(long guid) override;
    HRESULT STDMETHODCALLTYPE get_Buttons(long* out) override;
    HRESULT STDMETHODCALLTYPE get_Axes(long* out) override;
    HRESULT STDMETHODCALLTYPE get_HW_Revision(long* out) override;
    HRESULT STDMETHODCALLTYPE get_ProductName(BSTR* out) override;
    HRESULT STDMETHODCALLTYPE put_ProductName(BSTR name) override;
    HRESULT STDMETHODCALLTYPE get_MouseType(Mouse_Types* out) override;
    HRESULT STDMETHODCALLTYPE get_JoystickType(Joystick_Types* out) override;
    HRESULT STDMETHODCALLTYPE get_KeyboardType(Keyboard_Types* out) override;
    HRESULT STDMETHODCALLTYPE Read() override;
    HRESULT STDMETHODCALLTYPE get_X(long* out) override;
    HRESULT STDMETHODCALLTYPE get_Y(long* out) override;
    HRESULT STDMETHODCALLTYPE get_Z(long* out) override;
    HRESULT STDMETHODCALLTYPE get_ButtonPressed(long number, short* out) override;
    HRESULT STDMETHODCALLTYPE get_Window(long* out) override;
    HRESULT STDMETHODCALLTYPE put_Window(long window) override;

private:
    bool EnsureDirectInput();
    bool EnsureDevice();
    bool SetUp();
    bool SetUpMouse();
    bool SetUpJoystick();
    bool SetUpKeyboard();
    bool SetUpForceFeedback();
    void ReleaseDevice();
    HRESULT Capabilities(DIDEVCAPS& caps);
    HRESULT CapsFigure(DWORD DIDEVCAPS::*field, long* out);
    bool ReadJoystick();
    HRESULT Axis(LONG DIMOUSESTATE::*mouse, LONG DIJOYSTATE::*joystick, long* out) const;

    zyk::com::Bstr name_, productName_;
    long type_ = 0;
    GUID guid_{};
    HANDLE notification_ = nullptr;
    HINSTANCE instance_ = nullptr;
    HWND window_ = nullptr;
    IDirectInputA* directInput_ = nullptr;
    IDirectInputDeviceA* device_ = nullptr;
    IDirectInputDevice2A* polling_ = nullptr;
    DIMOUSESTATE mouse_{};
    DIJOYSTATE joystick_{};
};

// CInputDevice: the DirectInput device made and set up for its kind, its caps, Read, and the axes and buttons read.
#include "device.h"
#include "com/trace.h"
#include <cstring>

using input::Kind;
using input::KindOf;

namespace {

struct CodeText {
    HRESULT code;
    const wchar_t* text;
};

// The failures of device creation that the client is told about.
const CodeText kCreateDeviceTexts[] = {
    {E_NOINTERFACE, L"CreateDevice: No Interface."},     {REGDB_E_CLASSNOTREG, L"CreateDevice: Device Not Registered."},
    {E_OUTOFMEMORY, L"CreateDevice: Out of Memory."},    {DIERR_NOTINITIALIZED, L"CreateDevice: Not Initialised."},
    {E_INVALIDARG, L"CreateDevice: Invalid Parameter."},
};

// Publishes the text of a device creation that failed with hr, when it has one.
void PublishCreateFailure(HRESULT hr)
{
    for (const CodeText& row : kCreateDeviceTexts)
        if (row.code == hr) zyk::com::PublishError(CLSID_Device, IID_IDevice, row.text, hr);
}

// The number of button bytes of each state record as its data format fills it.
constexpr long kMouseButtons = sizeof(DIMOUSESTATE::rgbButtons);
constexpr long kJoystickButtons = sizeof(DIJOYSTATE::rgbButtons);

} // namespace

CInputDevice::CInputDevice() = default;

CInputDevice::~CInputDevice()
{
    Close();
    if (directInput_) directInput_->Release();
    if (notification_) CloseHandle(notification_);
}

bool CInputDevice::EnsureDirectInput()
{
    if (directInput_) return true;
    HRESULT hr = DirectInputCreateA(instance_, 0x0700, &directInput_, nullptr);
    if (FAILED(hr)) {
        directInput_ = nullptr;
        ZYK_TRACE("Error: %lx\n", static_cast<unsigned long>(hr));
        return false;
    }
    return true;
}

bool CInputDevice::EnsureDevice()
{
    if (!EnsureDirectInput()) return false;
    if (device_) return true;
    HRESULT hr = directInput_->CreateDevice(guid_, &device_, nullptr);
    if (FAILED(hr) || !device_) {
        device_ = nullptr;
        ZYK_TRACE("Error: %lx\n", static_cast<unsigned long>(hr));
        PublishCreateFailure(hr);
        return false;
    }
    return SetUp();
}

bool CInputDevice::SetUp()
{
    switch (KindOf(type_)) {
    case Kind::Mouse: return SetUpMouse();
    case Kind::Joystick: return SetUpJoystick();
    case Kind::Keyboard: return SetUpKeyboard();
    case Kind::ForceFeedback: return SetUpForceFeedback();
    case Kind::None: break;
    }
    return true;
}

bool CInputDevice::SetUpMouse()
{
    if (FAILED(device_->SetDataFormat(&c_dfDIMouse))) return false;
    if (FAILED(device_->SetCooperativeLevel(window_, DISCL_EXCLUSIVE | DISCL_FOREGROUND))) return false;
    if (!notification_) notification_ = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    if (!notification_) return false;
    if (FAILED(device_->SetEventNotification(notification_))) return false;
    return SUCCEEDED(device_->Acquire());
}

bool CInputDevice::SetUpJoystick()
{
    ZYK_TRACE("Initialising Joystick.\n");
    HRESULT hr = device_->SetDataFormat(&c_dfDIJoystick);
    if (FAILED(hr)) {
        ZYK_TRACE("SetDataFormat. %lx\n", static_cast<unsigned long>(hr));
        return false;
    }
    hr = device_->SetCooperativeLevel(window_, DISCL_EXCLUSIVE | DISCL_BACKGROUND);
    if (FAILED(hr)) {
        if (hr == E_HANDLE)
            ZYK_TRACE("SetCooperativeLevel: Handle Invalid.\n");
        else if (hr == DIERR_NOTINITIALIZED)
            ZYK_TRACE("SetCooperativeLevel: Not Initialised.\n");
        else if (hr == E_INVALIDARG)
            ZYK_TRACE("SetCooperativeLevel: Invalid Parameter.\n");
        return false;
    }
    // The X axis runs from -1000 to 1000; the others keep the driver's range.
    DIPROPRANGE range{};
    range.diph.dwSize = sizeof(DIPROPRANGE);
    range.diph.dwHeaderSize = sizeof(DIPROPHEADER);
    range.diph.dwObj = 0;
    range.diph.dwHow = DIPH_BYOFFSET;
    range.lMin = -1000;
    range.lMax = 1000;
    hr = device_->SetProperty(DIPROP_RANGE, &range.diph);
    if (FAILED(hr)) {
        ZYK_TRACE("SetProperty. %lx\n", static_cast<unsigned long>(hr));
        return false;
    }
    if (polling_) {
        polling_->Release();
        polling_ = nullptr;
    }
    hr = device_->QueryInterface(IID_IDirectInputDevice2A, reinterpret_cast<void**>(&polling_));
    if (FAILED(hr)) {
        polling_ = nullptr;
        ZYK_TRACE("QueryInterface. %lx\n", static_cast<unsigned long>(hr));
        return false;
    }
    hr = device_->Acquire();
    if (FAILED(hr)) {
        if (hr == DIERR_OTHERAPPHASPRIO)
            ZYK_TRACE("Acquire. Other App Has Priority. %lx\n", static_cast<unsigned long>(hr));
        else if (hr == DIERR_NOTINITIALIZED)
            ZYK_TRACE("Acquire. Not Initialised. %lx\n", static_cast<unsigned long>(hr));
        else if (hr == E_INVALIDARG)
            ZYK_TRACE("Acquire. Invalid Parameter. %lx\n", static_cast<unsigned long>(hr));
        return false;
    }
    return true;
}

bool CInputDevice::SetUpKeyboard()
{
    if (FAILED(device_->SetDataFormat(&c_dfDIKeyboard))) return false;
    if (FAILED(device_->SetCooperativeLevel(window_, DISCL_NONEXCLUSIVE | DISCL_FOREGROUND))) return false;
    return SUCCEEDED(device_->Acquire());
}

bool CInputDevice::SetUpForceFeedback()
{
    IDirectInputDevice7A* device7 = nullptr;
    if (FAILED(device_->QueryInterface(IID_IDirectInputDevice7A, reinterpret_cast<void**>(&device7))) || !device7)
        return false;
    device_->Release();
    device_ = device7;
    if (FAILED(device_->SetCooperativeLevel(window_, DISCL_EXCLUSIVE | DISCL_FOREGROUND))) return false;
    if (FAILED(device_->SetDataFormat(&c_dfDIJoystick))) return false;
    DIPROPDWORD autocenter{};
    autocenter.diph.dwSize = sizeof(DIPROPDWORD);
    autocenter.diph.dwHeaderSize = sizeof(DIPROPHEADER);
    autocenter.diph.dwObj = 0;
    autocenter.diph.dwHow = DIPH_DEVICE;
    autocenter.dwData = DIPROPAUTOCENTER_OFF;
    if (FAILED(device_->SetProperty(DIPROP_AUTOCENTER, &autocenter.diph))) return false;
    return SUCCEEDED(device_->Acquire());
}

// Forgets the device and what was taken from it; the DirectInput object stays.
void CInputDevice::ReleaseDevice()
{
    if (polling_) {
        polling_->Release();
        polling_ = nullptr;
    }
    if (device_) {
        device_->SetEventNotification(nullptr);
        device_->Release();
        device_ = nullptr;
    }
}

HRESULT CInputDevice::Close()
{
    return Member([&] {
        if (device_) device_->Unacquire();
        ReleaseDevice();
        return S_OK;
    });
}

HRESULT CInputDevice::RunControlPanel()
{
    return Member([&]() -> HRESULT {
        if (!window_) window_ = GetActiveWindow();
        if (!EnsureDirectInput() || !EnsureDevice()) return E_FAIL;
        HRESULT result = S_OK;
        if (FAILED(device_->RunControlPanel(window_, 0))) {
            zyk::com::DebugOut("RunControlPanel Failed.\n");
            result = E_FAIL;
        } else {
            zyk::com::DebugOut("RunControlPanel Succeeded.\n");
        }
        ReleaseDevice();
        directInput_->Release();
        directInput_ = nullptr;
        return result;
    });
}

HRESULT CInputDevice::get_Type(Device_Types* out) { return Get(static_cast<Device_Types>(type_), out); }

HRESULT CInputDevice::put_Type(Device_Types type)
{
    return Member([&] {
        type_ = input::StoredType(type);
        return S_OK;
    });
}

HRESULT CInputDevice::get_Name(BSTR* out) { return Get(name_, out); }

HRESULT CInputDevice::put_Name(BSTR name) { return Put(name_, name); }

HRESULT CInputDevice::get_ProductName(BSTR* out) { return Get(productName_, out); }

HRESULT CInputDevice::put_ProductName(BSTR name) { return Put(productName_, name); }

HRESULT CInputDevice::put_hInstance(long instance)
{
    return Member([&] {
        instance_ = zyk::com::FromHandle<HINSTANCE__>(instance);
        return S_OK;
    });
}

// The address of a 16-byte instance id, copied at once; 0 leaves the id as it was.
HRESULT CInputDevice::put_GUID(long guid)
{
    return Member([&]() -> HRESULT {
        const GUID* source = zyk::com::FromHandle<const GUID>(guid);
        if (!source) return E_POINTER;
        std::memcpy(&guid_, source, sizeof guid_);
        return S_OK;
    });
}

HRESULT CInputDevice::Capabilities(DIDEVCAPS& caps)
{
    if (!EnsureDirectInput() || !EnsureDevice()) return E_FAIL;
    std::memset(&caps, 0, sizeof caps);
    caps.dwSize = sizeof(DIDEVCAPS);
    HRESULT hr = device_->GetCapabilities(&caps);
    if (FAILED(hr)) return hr;
    return S_OK;
}

HRESULT CInputDevice::get_Attached(short* out)
{
    return Member([&]() -> HRESULT {
        if (!out) return E_POINTER;
        DIDEVCAPS caps;
        HRESULT hr = Capabilities(caps);
        if (FAILED(hr)) {
            if (hr != E_FAIL) ZYK_TRACE("Capabilities Failed: %lx\n", static_cast<unsigned long>(hr));
            return E_FAIL;
        }
        *out = (caps.dwFlags & DIDC_ATTACHED) ? 1 : 0;
        return S_OK;
    });
}

// A figure of the device's capabilities: E_FAIL when they cannot be read.
HRESULT CInputDevice::CapsFigure(DWORD DIDEVCAPS::*field, long* out)
{
    return Member([&]() -> HRESULT {
        if (!out) return E_POINTER;
        DIDEVCAPS caps;
        if (FAILED(Capabilities(caps))) return E_FAIL;
        *out = static_cast<long>(caps.*field);
        return S_OK;
    });
}

HRESULT CInputDevice::get_Buttons(long* out) { return CapsFigure(&DIDEVCAPS::dwButtons, out); }

HRESULT CInputDevice::get_Axes(long* out) { return CapsFigure(&DIDEVCAPS::dwAxes, out); }

HRESULT CInputDevice::get_HW_Revision(long* out) { return CapsFigure(&DIDEVCAPS::dwHardwareRevision, out); }

// The kinds of mouse, joystick and keyboard are not told: the caller's value is kept.
HRESULT CInputDevice::get_MouseType(Mouse_Types*)
{
    return Member([] { return S_OK; });
}

HRESULT CInputDevice::get_JoystickType(Joystick_Types*)
{
    return Member([] { return S_OK; });
}

HRESULT CInputDevice::get_KeyboardType(Keyboard_Types*)
{
    return Member([] { return S_OK; });
}

bool CInputDevice::ReadJoystick()
{
    if (!device_) return false;
    if (polling_) {
        HRESULT hr = polling_->Poll();
        if (hr == DIERR_NOTACQUIRED)
            ZYK_TRACE("Poll: Not Acquired.\n");
        else if (hr == DIERR_NOTINITIALIZED)
            ZYK_TRACE("Poll: Not Initialised.\n");
        else if (hr == DIERR_INPUTLOST)
            ZYK_TRACE("Poll: Input Lost.\n");
    }
    DIJOYSTATE state;
    HRESULT hr = device_->GetDeviceState(sizeof(DIJOYSTATE), &state);
    if (hr == DI_OK) {
        joystick_ = state;
        return true;
    }
    if (hr == E_PENDING) {
        ZYK_TRACE("GetDeviceState: Pending.\n");
    } else if (hr == DIERR_NOTACQUIRED || hr == DIERR_INPUTLOST) {
        ZYK_TRACE("%s", hr == DIERR_NOTACQUIRED ? "GetDeviceState: Not Acquired - Attempting to Acquire: "
                                                : "GetDeviceState: Input Lost.\n");
        [[maybe_unused]] const bool reacquired = SetUpJoystick();
        ZYK_TRACE("%s", reacquired ? "Succeeded.\n" : "Failed.\n");
    } else if (hr == DIERR_NOTINITIALIZED) {
        ZYK_TRACE("GetDeviceState: Not Initialised.\n");
    } else if (hr == E_INVALIDARG) {
        ZYK_TRACE("GetDeviceState: Invalid Parameter.\n");
    }
    return false;
}

HRESULT CInputDevice::Read()
{
    return Member([&]() -> HRESULT {
        if (!device_) EnsureDevice();
        switch (KindOf(type_)) {
        case Kind::Mouse: {
            if (!device_) return E_FAIL;
            // The size of the record that c_dfDIMouse fills: three axes, four buttons.
            DIMOUSESTATE state;
            if (FAILED(device_->GetDeviceState(sizeof(DIMOUSESTATE), &state))) return E_FAIL;
            mouse_ = state;
            return S_OK;
        }
        case Kind::Joystick: return ReadJoystick() ? S_OK : E_FAIL;
        case Kind::Keyboard:
        case Kind::ForceFeedback: return S_OK;
        case Kind::None: break;
        }
        return E_FAIL;
    });
}

HRESULT CInputDevice::Axis(LONG DIMOUSESTATE::*mouse, LONG DIJOYSTATE::*joystick, long* out) const
{
    if (!out) return E_POINTER;
    switch (KindOf(type_)) {
    case Kind::Mouse: *out = mouse_.*mouse; break;
    case Kind::Joystick: *out = joystick_.*joystick; break;
    default: break;
    }
    return S_OK;
}

HRESULT CInputDevice::get_X(long* out)
{
    return Member([&] { return Axis(&DIMOUSESTATE::lX, &DIJOYSTATE::lX, out); });
}

HRESULT CInputDevice::get_Y(long* out)
{
    return Member([&] { return Axis(&DIMOUSESTATE::lY, &DIJOYSTATE::lY, out); });
}

HRESULT CInputDevice::get_Z(long* out)
{
    return Member([&] { return Axis(&DIMOUSESTATE::lZ, &DIJOYSTATE::lZ, out); });
}

// 1 when button number (0-based) was down in the last state read; a number the state
// record does not hold yields 0.
HRESULT CInputDevice::get_ButtonPressed(long number, short* out)
{
    return Member([&]() -> HRESULT {
        if (!out) return E_POINTER;
        *out = 0;
        switch (KindOf(type_)) {
        case Kind::Mouse:
            if (number >= 0 && number < kMouseButtons && (mouse_.rgbButtons[number] & 0x80)) *out = 1;
            break;
        case Kind::Joystick:
            if (number >= 0 && number < kJoystickButtons && (joystick_.rgbButtons[number] & 0x80)) *out = 1;
            break;
        default: break;
        }
        return S_OK;
    });
}

HRESULT CInputDevice::get_Window(long* out) { return Get(zyk::com::ToHandle(window_), out); }

HRESULT CInputDevice::put_Window(long window)
{
    return Member([&] {
        window_ = zyk::com::FromHandle<HWND__>(window);
        return S_OK;
    });
}

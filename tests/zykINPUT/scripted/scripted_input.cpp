#include "scripted_input.h"
#include "scripted_device.h"
#include <cstring>

namespace {

HANDLE g_section = nullptr;
scripted::Script* g_script = nullptr;

void Fill(DIDEVICEINSTANCEA& d, const GUID& guid, DWORD type, const char* name)
{
    std::memset(&d, 0, sizeof d);
    d.dwSize = sizeof d;
    d.guidInstance = guid;
    d.guidProduct = guid;
    d.dwDevType = type;
    lstrcpynA(d.tszInstanceName, name, MAX_PATH);
    lstrcpynA(d.tszProductName, scripted::kProductName, MAX_PATH);
}

} // namespace

HRESULT ScriptedInput::QueryInterface(REFIID iid, void** out)
{
    if (!out) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IDirectInputA || iid == IID_IDirectInput2A || iid == IID_IDirectInput7A) {
        *out = static_cast<IDirectInput7A*>(this);
        AddRef();
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

ULONG ScriptedInput::Release()
{
    const LONG left = InterlockedDecrement(&refs_);
    if (left == 0) delete this;
    return left;
}

bool ScriptedInput::Listed(REFGUID guid) const
{
    return guid == scripted::kJoystick || (script_->forceFeedback && guid == scripted::kForceFeedback);
}

HRESULT ScriptedInput::CreateDevice(REFGUID guid, LPDIRECTINPUTDEVICEA* out, LPUNKNOWN outer)
{
    if (!out) return E_POINTER;
    *out = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    if (!Listed(guid)) return DIERR_DEVICENOTREG;
    *out = new ScriptedDevice(script_, guid == scripted::kForceFeedback);
    return DI_OK;
}

HRESULT ScriptedInput::CreateDeviceEx(REFGUID guid, REFIID iid, LPVOID* out, LPUNKNOWN outer)
{
    if (!out) return E_POINTER;
    *out = nullptr;
    IDirectInputDeviceA* device = nullptr;
    HRESULT hr = CreateDevice(guid, &device, outer);
    if (FAILED(hr)) return hr;
    hr = device->QueryInterface(iid, out);
    device->Release();
    return hr;
}

HRESULT ScriptedInput::EnumDevices(DWORD type, LPDIENUMDEVICESCALLBACKA callback, LPVOID context, DWORD flags)
{
    if (!callback) return DIERR_INVALIDPARAM;
    if (type != 0 && type != DIDEVTYPE_JOYSTICK) return DI_OK;
    DIDEVICEINSTANCEA d;
    if (!(flags & DIEDFL_FORCEFEEDBACK)) {
        Fill(d, scripted::kJoystick, DIDEVTYPE_JOYSTICK | (DIDEVTYPEJOYSTICK_TRADITIONAL << 8),
             scripted::kJoystickName);
        if (callback(&d, context) == DIENUM_STOP) return DI_OK;
    }
    if (script_->forceFeedback) {
        Fill(d, scripted::kForceFeedback, DIDEVTYPE_JOYSTICK, scripted::kForceFeedbackName);
        callback(&d, context);
    }
    return DI_OK;
}

HRESULT ScriptedInput::GetDeviceStatus(REFGUID guid) { return Listed(guid) ? DI_OK : DIERR_DEVICENOTREG; }

extern "C" HRESULT WINAPI DirectInputCreateA(HINSTANCE instance, DWORD version, LPDIRECTINPUTA* out, LPUNKNOWN outer)
{
    if (!out) return E_POINTER;
    *out = nullptr;
    if (!instance) return DIERR_INVALIDPARAM;
    if (version > 0x0700) return DIERR_OLDDIRECTINPUTVERSION;
    if (outer) return CLASS_E_NOAGGREGATION;
    if (!g_script) g_script = scripted::Open(&g_section);
    if (!g_script) return E_OUTOFMEMORY;
    *out = new ScriptedInput(g_script);
    return DI_OK;
}

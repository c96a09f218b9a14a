#include "scripted_device.h"
#include <algorithm>
#include <cstring>

namespace {

// The property ids are small numbers passed in place of a GUID's address.
bool Is(REFGUID property, LPCGUID id) { return &property == id; }

} // namespace

HRESULT ScriptedDevice::QueryInterface(REFIID iid, void** out)
{
    if (!out) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IDirectInputDeviceA || iid == IID_IDirectInputDevice2A ||
        iid == IID_IDirectInputDevice7A) {
        *out = static_cast<IDirectInputDevice7A*>(this);
        AddRef();
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

ULONG ScriptedDevice::Release()
{
    const LONG left = InterlockedDecrement(&refs_);
    if (left == 0) delete this;
    return left;
}

HRESULT ScriptedDevice::GetCapabilities(LPDIDEVCAPS caps)
{
    if (!caps) return E_POINTER;
    if (caps->dwSize != sizeof(DIDEVCAPS) && caps->dwSize != sizeof(DIDEVCAPS_DX3)) return DIERR_INVALIDPARAM;
    const DWORD size = caps->dwSize;
    std::memset(caps, 0, size);
    caps->dwSize = size;
    caps->dwFlags = DIDC_ATTACHED | DIDC_POLLEDDEVICE | (forceFeedback_ ? DIDC_FORCEFEEDBACK : 0);
    caps->dwDevType = forceFeedback_ ? DIDEVTYPE_JOYSTICK : DIDEVTYPE_JOYSTICK | (DIDEVTYPEJOYSTICK_TRADITIONAL << 8);
    caps->dwAxes = script_->axes;
    caps->dwButtons = script_->buttons;
    if (size == sizeof(DIDEVCAPS)) caps->dwHardwareRevision = script_->revision;
    return DI_OK;
}

HRESULT ScriptedDevice::SetProperty(REFGUID property, LPCDIPROPHEADER header)
{
    if (!header) return E_POINTER;
    if (Is(property, &DIPROP_RANGE)) {
        if (header->dwSize != sizeof(DIPROPRANGE) || header->dwHeaderSize != sizeof(DIPROPHEADER))
            return DIERR_INVALIDPARAM;
        const auto* range = reinterpret_cast<const DIPROPRANGE*>(header);
        if (range->lMin >= range->lMax) return DIERR_INVALIDPARAM;
        if (header->dwHow == DIPH_BYOFFSET && header->dwObj == DIJOFS_X) {
            script_->rangeMin = range->lMin;
            script_->rangeMax = range->lMax;
        }
        return DI_OK;
    }
    if (Is(property, &DIPROP_AUTOCENTER)) {
        if (header->dwSize != sizeof(DIPROPDWORD) || header->dwHow != DIPH_DEVICE) return DIERR_INVALIDPARAM;
        return forceFeedback_ ? DI_OK : DIERR_UNSUPPORTED;
    }
    return DIERR_UNSUPPORTED;
}

HRESULT ScriptedDevice::Acquire()
{
    if (!dataSize_) return DIERR_INVALIDPARAM;
    if (acquired_) return S_FALSE;
    acquired_ = true;
    return DI_OK;
}

HRESULT ScriptedDevice::Unacquire()
{
    if (!acquired_) return DI_NOEFFECT;
    acquired_ = false;
    return DI_OK;
}

HRESULT ScriptedDevice::Poll()
{
    if (!acquired_) return DIERR_NOTACQUIRED;
    InterlockedIncrement(&script_->polls);
    return DI_OK;
}

// The joystick formats lay their fields out as DIJOYSTATE2 begins.
HRESULT ScriptedDevice::GetDeviceState(DWORD size, LPVOID data)
{
    if (!data) return E_POINTER;
    if (!acquired_) return DIERR_NOTACQUIRED;
    if (size != dataSize_) return DIERR_INVALIDPARAM;
    if (script_->loseInput > 0) {
        --script_->loseInput;
        acquired_ = false;
        return DIERR_INPUTLOST;
    }
    std::memset(data, 0, size);
    std::memcpy(data, &script_->state, std::min<DWORD>(size, sizeof(DIJOYSTATE2)));
    return DI_OK;
}

HRESULT ScriptedDevice::SetDataFormat(LPCDIDATAFORMAT format)
{
    if (!format) return E_POINTER;
    if (acquired_) return DIERR_ACQUIRED;
    if (format->dwSize != sizeof(DIDATAFORMAT) || !format->dwDataSize) return DIERR_INVALIDPARAM;
    dataSize_ = format->dwDataSize;
    return DI_OK;
}

HRESULT ScriptedDevice::SetCooperativeLevel(HWND window, DWORD flags)
{
    const DWORD share = flags & (DISCL_EXCLUSIVE | DISCL_NONEXCLUSIVE);
    const DWORD focus = flags & (DISCL_FOREGROUND | DISCL_BACKGROUND);
    if (share == 0 || share == (DISCL_EXCLUSIVE | DISCL_NONEXCLUSIVE)) return DIERR_INVALIDPARAM;
    if (focus == 0 || focus == (DISCL_FOREGROUND | DISCL_BACKGROUND)) return DIERR_INVALIDPARAM;
    const bool needsWindow = share == DISCL_EXCLUSIVE || focus == DISCL_FOREGROUND;
    if (needsWindow && !IsWindow(window)) return E_HANDLE;
    if (window && !IsWindow(window)) return E_HANDLE;
    return DI_OK;
}

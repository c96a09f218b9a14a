// CInputDevices: the collection of the machine's input devices.
#pragma once
#include "input.h"
#include "com/collection.h"
#include "com/control.h"

// The controllers that DirectInput reports, one Device each, filed under the device's
// instance name; listed by each put of hInstance. Also an ActiveX control that draws a
// placeholder.
class CInputDevices : public zyk::com::Control<IDevices, &IID_IDevices, &CLSID_Devices, &DIID__IDevicesEvents> {
public:
    CInputDevices() = default;
    ~CInputDevices() override;

    HRESULT STDMETHODCALLTYPE get__NewEnum(IUnknown** out) override;
    HRESULT STDMETHODCALLTYPE Item(VARIANT index, VARIANT* out) override;
    HRESULT STDMETHODCALLTYPE get_Window(long* out) override;
    HRESULT STDMETHODCALLTYPE get_Count(long* out) override;
    HRESULT STDMETHODCALLTYPE get_hInstance(long* out) override;
    HRESULT STDMETHODCALLTYPE put_hInstance(long instance) override;

protected:
    HRESULT OnDraw(HDC dc, const RECT& bounds) override;
    LRESULT OnReflected(UINT msg, WPARAM wparam, LPARAM lparam, bool& handled) override;

private:
    void Enumerate();
    static BOOL CALLBACK EnumCallback(LPCDIDEVICEINSTANCEA instance, void* context);

    // The devices stand on their own, as a list of adapters does: one that a client holds
    // keeps working after a new listing replaced it or the list itself went.
    zyk::com::NamedMap<IDevice> items_;
    long instance_ = 0;
    IDirectInputA* directInput_ = nullptr;
};

// CInputDevices: one Device filed for each controller that DirectInput enumerates, and the control's drawing.
#include "devices.h"
#include "com/create.h"

using zyk::com::Bstr;

CInputDevices::~CInputDevices()
{
    items_.Clear();
    if (directInput_) directInput_->Release();
}

HRESULT CInputDevices::get__NewEnum(IUnknown** out)
{
    return Member([&] { return items_.NewEnum(out); });
}

HRESULT CInputDevices::Item(VARIANT index, VARIANT* out)
{
    return Member([&] { return items_.Item(index, out); });
}

HRESULT CInputDevices::get_Window(long* out)
{
    return Member([&] { return GetWindowHandle(out); });
}

HRESULT CInputDevices::get_Count(long* out)
{
    return Member([&] { return items_.GetCount(out); });
}

HRESULT CInputDevices::get_hInstance(long* out) { return Get(instance_, out); }

HRESULT CInputDevices::put_hInstance(long instance)
{
    return Member([&] {
        instance_ = instance;
        Enumerate();
        return S_OK;
    });
}

// Lists every device into the map; a failure leaves the list as it was.
void CInputDevices::Enumerate()
{
    IDirectInputA* created = nullptr;
    if (FAILED(DirectInputCreateA(zyk::com::FromHandle<HINSTANCE__>(instance_), 0x0700, &created, nullptr)) || !created)
        return;
    if (directInput_) directInput_->Release();
    directInput_ = created;
    directInput_->EnumDevices(0, &EnumCallback, this, DIEDFL_ALLDEVICES);
}

BOOL CALLBACK CInputDevices::EnumCallback(LPCDIDEVICEINSTANCEA instance, void* context)
{
    auto* self = static_cast<CInputDevices*>(context);
    auto* device = reinterpret_cast<IDevice*>(CreateComObject(CLSID_Device, IID_IDevice));
    if (!device) return DIENUM_STOP;
    Bstr name = Bstr::FromAnsi(instance->tszInstanceName);
    Bstr product = Bstr::FromAnsi(instance->tszProductName);
    device->put_Name(name.Get());
    device->put_ProductName(product.Get());
    device->put_hInstance(self->instance_);
    device->put_GUID(zyk::com::ToHandle(&instance->guidInstance));
    device->put_Type(static_cast<Device_Types>(instance->dwDevType));
    BOOL result = DIENUM_CONTINUE;
    try {
        self->items_.Put(name.Get(), device);
    } catch (...) {
        result = DIENUM_STOP;
    }
    device->Release();
    return result;
}

// A rectangle over the bounds and the control's name at their centre.
HRESULT CInputDevices::OnDraw(HDC dc, const RECT& bounds)
{
    Rectangle(dc, bounds.left, bounds.top, bounds.right, bounds.bottom);
    static const char kText[] = "ATL 3.0 : Devices";
    SetTextAlign(dc, TA_CENTER | TA_BASELINE);
    TextOutA(dc, (bounds.left + bounds.right) / 2, (bounds.top + bounds.bottom) / 2, kText, sizeof kText - 1);
    return S_OK;
}

// A notification reflected to the control goes on as the plain message it was.
LRESULT CInputDevices::OnReflected(UINT msg, WPARAM wparam, LPARAM lparam, bool& handled)
{
    handled = true;
    return DefWindowProcW(ControlWindow(), msg - OCM__BASE, wparam, lparam);
}

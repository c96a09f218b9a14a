// CGfxDevices: the collection of the machine's DirectDraw drivers.
#pragma once
#include "gfx.h"
#include "com/collection.h"
#include "com/control.h"
#include "com/create.h"

// The DirectDraw drivers of the machine, one Device each, filed under the driver's name;
// listed once, when the list is made. A device stands on its own: one that a client took
// from the list keeps working after the list is gone. Also an ActiveX control that shows
// an icon.
class CGfxDevices : public zyk::com::Control<IDevices, &IID_IDevices, &CLSID_Devices, &DIID__IDevicesEvents> {
public:
    CGfxDevices();
    ~CGfxDevices() override;

    HRESULT STDMETHODCALLTYPE Item(VARIANT index, VARIANT* out) override
    {
        return Member([&] { return items_.Item(index, out); });
    }
    HRESULT STDMETHODCALLTYPE get__NewEnum(IUnknown** out) override
    {
        return Member([&] { return items_.NewEnum(out); });
    }
    HRESULT STDMETHODCALLTYPE put_BorderColor(OLE_COLOR colour) override
    {
        return Member([&] { return PutBorderColor(colour); });
    }
    HRESULT STDMETHODCALLTYPE get_BorderColor(OLE_COLOR* out) override
    {
        return Member([&] { return GetBorderColor(out); });
    }
    HRESULT STDMETHODCALLTYPE put_BorderStyle(long style) override
    {
        return Member([&] { return PutBorderStyle(style); });
    }
    HRESULT STDMETHODCALLTYPE get_BorderStyle(long* out) override
    {
        return Member([&] { return GetBorderStyle(out); });
    }
    HRESULT STDMETHODCALLTYPE get_Window(long* out) override
    {
        return Member([&] { return GetWindowHandle(out); });
    }
    HRESULT STDMETHODCALLTYPE get_Count(long* out) override
    {
        return Member([&] { return items_.GetCount(out); });
    }
    HRESULT STDMETHODCALLTYPE get_Version(IDispatch** out) override;
    HRESULT STDMETHODCALLTYPE get_Machine(BSTR* out) override { return Get(machine_, out); }
    HRESULT STDMETHODCALLTYPE put_Machine(BSTR name) override;

protected:
    HRESULT OnDraw(HDC dc, const RECT& bounds) override;

private:
    void EnumerateDevices();
    static BOOL WINAPI DDEnumCallbackEx(GUID* guid, LPSTR description, LPSTR name, void* context, HMONITOR);
    static BOOL WINAPI DDEnumCallback(GUID* guid, LPSTR description, LPSTR name, void* context);

    zyk::com::Apartment apartment_;
    zyk::com::NamedMap<IDevice> items_; // ties none of its devices
    zyk::com::Ptr<IVersion> version_;
    zyk::com::Bstr machine_;
    HICON icon_ = nullptr;
};

// CHardware: the display adapter of a DirectDraw object.
#pragma once
#include "gfx.h"
#include "com/object.h"

// The display adapter that a DirectDraw object drives (the host adapter of an add-on 3D
// board), identified once when the object is handed down. What it identified stays after
// the device lets it go.
class CHardware : public zyk::com::CoClass<IHardware, &IID_IHardware, &CLSID_Hardware> {
public:
    HRESULT STDMETHODCALLTYPE get_Revision(long* out) override { return Get(revision_, out); }
    HRESULT STDMETHODCALLTYPE get_Board(VARIANT* out) override;
    HRESULT STDMETHODCALLTYPE get_Manufacturer(VARIANT* out) override;
    HRESULT STDMETHODCALLTYPE get_Device(VARIANT* out) override;
    HRESULT STDMETHODCALLTYPE get_Driver(BSTR* out) override { return Get(driver_, out); }
    HRESULT STDMETHODCALLTYPE put_DD(long dd) override;
    HRESULT STDMETHODCALLTYPE get_QLLevel(long* out) override { return Get(whqlLevel_, out); }

private:
    void Identify();

    zyk::com::Handed<IDirectDraw7> dd_{OwnTie()};
    DWORD whqlLevel_ = 0, revision_ = 0, subSysId_ = 0, deviceId_ = 0, vendorId_ = 0;
    zyk::com::Bstr driver_;
};

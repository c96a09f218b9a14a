#pragma once
#include "gfx.h"
#include "com/collection.h"
#include "com/object.h"

// The display modes of a DirectDraw device, filed as Mode0, Mode1, ... in the order
// DirectDraw reports them (each refresh rate on its own).
class CModes : public zyk::com::CoClass<CModes, IModes, &IID_IModes, &CLSID_Modes> {
public:
    CModes();
    ~CModes() override;

    HRESULT STDMETHODCALLTYPE get__NewEnum(IUnknown** out) override { return items_.NewEnum(out); }
    HRESULT STDMETHODCALLTYPE Item(VARIANT index, VARIANT* out) override { return items_.Item(index, out); }
    HRESULT STDMETHODCALLTYPE put_DD(long dd) override;
    HRESULT STDMETHODCALLTYPE get_Count(long* out) override { return items_.GetCount(out); }
    HRESULT STDMETHODCALLTYPE put_Window(long window) override;

private:
    void EnumerateModes();
    static HRESULT WINAPI EnumModesCallback(DDSURFACEDESC2* desc, void* context);

    bool comInitialised_ = false;
    zyk::com::NamedMap<IMode> items_;
    zyk::com::Ptr<IDirectDraw7> dd_;
    long window_ = 0;
    long next_ = 0;   // number of the next key during an enumeration
};

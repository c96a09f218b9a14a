#pragma once
#include "gfx.h"
#include "com/collection.h"
#include "com/object.h"
#include "bitmap.h"

// The palette of the device's primary surface: its 256 entries and the DirectDraw palette.
class CPalette : public zyk::com::CoClass<CPalette, IPalette, &IID_IPalette, &CLSID_Palette> {
public:
    CPalette();
    ~CPalette() override;

    HRESULT STDMETHODCALLTYPE Item(VARIANT index, VARIANT* out) override { return colours_.Item(index, out); }
    HRESULT STDMETHODCALLTYPE get__NewEnum(IUnknown** out) override { return colours_.NewEnum(out); }
    HRESULT STDMETHODCALLTYPE put_Surface(long surface) override;
    HRESULT STDMETHODCALLTYPE get_Count(long* out) override;
    HRESULT STDMETHODCALLTYPE put_DD(long dd) override;
    HRESULT STDMETHODCALLTYPE Update() override;
    HRESULT STDMETHODCALLTYPE Load(BSTR filename) override;

private:
    zyk::com::Ptr<IDirectDrawPalette> palette_;
    DWORD caps_ = 0;
    PALETTEENTRY entries_[256];
    zyk::com::NamedMap<IColour> colours_;
    zyk::com::Ptr<IDirectDraw7> dd_;
    zyk::com::Ptr<IDirectDrawSurface7> surface_;
};

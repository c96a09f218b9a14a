#pragma once
#include "gfx.h"
#include "com/collection.h"
#include "com/object.h"
#include "bitmap.h"

// The palette of the device's primary surface: its 256 entries, the DirectDraw palette and
// the collection of its colours. Once the device lets it go, every member that needs the
// device's DirectDraw object or surface answers "DirectDraw Not Initialised.".
class CPalette : public zyk::com::Collection<CPalette, IPalette, &IID_IPalette, &CLSID_Palette, IColour> {
public:
    CPalette();

    HRESULT STDMETHODCALLTYPE put_Surface(long surface) override;
    HRESULT STDMETHODCALLTYPE get_Count(long* out) override;
    HRESULT STDMETHODCALLTYPE put_DD(long dd) override;
    HRESULT STDMETHODCALLTYPE Update() override;
    HRESULT STDMETHODCALLTYPE Load(BSTR filename) override;

private:
    void NeedDevice() const;

    zyk::com::Ptr<IDirectDrawPalette> palette_;
    DWORD caps_ = 0;
    PALETTEENTRY entries_[256];
    zyk::com::Handed<IDirectDraw7> dd_{OwnTie()};
    zyk::com::Handed<IDirectDrawSurface7> surface_{OwnTie()};
};

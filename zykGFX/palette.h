// CPalette: the palette of a device's primary surface.
#pragma once
#include "gfx.h"
#include "com/collection.h"
#include "com/object.h"
#include "bitmap.h"
#include "colour.h"

// The palette of the device's primary surface: its 256 entries, the DirectDraw palette and
// the collection of its colours. Once the device lets it go, every member that needs the
// device's DirectDraw object or surface answers "DirectDraw Not Initialised.".
//
// The colours are the 256 entries, one Colour each, made with the palette. Entry i is filed
// under the three-digit number 255 - i ("255" for entry 0, "000" for entry 255), so that in
// the list's descending key order position i + 1 is entry i: Item(1) and the first colour
// For Each gives are entry 0.
class CPalette : public zyk::com::Collection<IPalette, &IID_IPalette, &CLSID_Palette, IColour> {
public:
    CPalette();

    HRESULT STDMETHODCALLTYPE put_Surface(long surface) override;
    HRESULT STDMETHODCALLTYPE get_Count(long* out) override;
    HRESULT STDMETHODCALLTYPE put_DD(long dd) override;
    HRESULT STDMETHODCALLTYPE Update() override;
    HRESULT STDMETHODCALLTYPE Load(BSTR filename) override;

private:
    void NeedDevice() const;
    void MakeColours();
    // The entries as the colours now have them.
    PALETTEENTRY* ColourEntries();
    // The entries given to the colours.
    void ShowEntries();

    zyk::com::Kept<IDirectDrawPalette> palette_{OwnTie()}; // made by, or attached to what, the device handed
    DWORD caps_ = 0;
    PALETTEENTRY entries_[256];
    CGfxColour* colours_[256] = {}; // entry i's colour, on which items_ holds the reference
    zyk::com::Handed<IDirectDraw7> dd_{OwnTie()};
    zyk::com::Handed<IDirectDrawSurface7> surface_{OwnTie()};
};

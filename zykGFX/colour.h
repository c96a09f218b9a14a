// CGfxColour: one palette entry.
#pragma once
#include "gfx.h"
#include "com/object.h"

// One palette entry: red, green, blue and the entry's flags. A colour of a palette's list is
// that palette's entry: the palette gives it the entry's values and reads its values back
// when it writes the entries to DirectDraw. A colour a client still holds once its palette
// is gone keeps the values it had, as a colour of its own.
class CGfxColour : public zyk::com::CoClass<IColour, &IID_IColour, &CLSID_Colour> {
public:
    HRESULT STDMETHODCALLTYPE get_Red(long* out) override { return Get(entry_.peRed, out); }
    HRESULT STDMETHODCALLTYPE put_Red(long v) override { return Store(entry_.peRed, v); }
    HRESULT STDMETHODCALLTYPE get_Green(long* out) override { return Get(entry_.peGreen, out); }
    HRESULT STDMETHODCALLTYPE put_Green(long v) override { return Store(entry_.peGreen, v); }
    HRESULT STDMETHODCALLTYPE get_Blue(long* out) override { return Get(entry_.peBlue, out); }
    HRESULT STDMETHODCALLTYPE put_Blue(long v) override { return Store(entry_.peBlue, v); }
    HRESULT STDMETHODCALLTYPE get_Reserved(long* out) override { return Get(entry_.peFlags & 1, out); }
    HRESULT STDMETHODCALLTYPE put_Reserved(long v) override
    {
        return Put(entry_.peFlags, v ? entry_.peFlags | 1 : entry_.peFlags & ~1);
    }
    HRESULT STDMETHODCALLTYPE get_Flags(long* out) override { return Get(entry_.peFlags, out); }

    // The entry, as the palette that made the colour reads and sets it.
    const PALETTEENTRY& Entry() const { return entry_; }
    void SetEntry(const PALETTEENTRY& entry) { entry_ = entry; }

private:
    // The low byte of the value: 300 stores 44.
    HRESULT Store(BYTE& field, long v) { return Put(field, v & 0xFF); }

    PALETTEENTRY entry_{0, 0, 0, PC_EXPLICIT | PC_NOCOLLAPSE};
};

// CDrives: the collection of the machine's logical drives.
#pragma once
#include "system.h"
#include "com/collection.h"

// The logical drives of the machine, one Drive each, filed under its letter (the highest
// letter first); listed once, when the list is made. Also an ActiveX control that shows
// an icon. A drive needs nothing of the list: one that a client took from it goes on
// working after the list is gone, so the map ties none of them.
class CDrives : public sys::Control<IDrives, &IID_IDrives, &CLSID_Drives, &DIID__IDrivesEvents> {
public:
    CDrives();

    HRESULT STDMETHODCALLTYPE get__NewEnum(IUnknown** out) override
    {
        return Member([&] { return items_.NewEnum(out); });
    }
    HRESULT STDMETHODCALLTYPE Item(VARIANT index, VARIANT* out) override
    {
        return Member([&] { return items_.Item(index, out); });
    }
    HRESULT STDMETHODCALLTYPE get_Count(long* out) override
    {
        return Member([&] { return items_.GetCount(out); });
    }

private:
    zyk::com::NamedMap<IDrive> items_;
};

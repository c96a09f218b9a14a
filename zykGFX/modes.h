// CModes: the collection of a device's display modes.
#pragma once
#include "gfx.h"
#include "com/collection.h"
#include "com/create.h"
#include "com/object.h"

// The display modes of a DirectDraw device, filed as Mode0, Mode1, ... in the order
// DirectDraw reports them (each refresh rate on its own). A new enumeration lets the modes
// of the one before go.
class CModes : public zyk::com::Collection<IModes, &IID_IModes, &CLSID_Modes, IMode> {
public:
    ~CModes() override;

    HRESULT STDMETHODCALLTYPE put_DD(long dd) override;
    HRESULT STDMETHODCALLTYPE put_Window(long window) override;

private:
    void EnumerateModes();
    static HRESULT WINAPI EnumModesCallback(DDSURFACEDESC2* desc, void* context);

    zyk::com::Apartment apartment_;
    zyk::com::Handed<IDirectDraw7> dd_{OwnTie()};
    long window_ = 0;
    long next_ = 0; // number of the next key during an enumeration
};

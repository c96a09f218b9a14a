// CTextures: the collection of a scene's textures.
#pragma once
#include "zyk3D.h"
#include "com/collection.h"
#include "com/create.h"
#include "com/object.h"
#include "com/ptr.h"
#include "com/tie.h"
#include <d3d.h>

// The scene's textures, filed under the image file each was loaded from ("Unnamed" for
// one added without an image), and the TextureCaps child that describes the device.
class CTextures : public zyk::com::Collection<ITextures, &IID_ITextures, &CLSID_Textures, ITexture> {
public:
    CTextures();
    ~CTextures() override;

    HRESULT STDMETHODCALLTYPE get_LoadFile(BSTR filename, IDispatch** out) override;
    HRESULT STDMETHODCALLTYPE put_Device(long device) override;
    HRESULT STDMETHODCALLTYPE get_Caps(IDispatch** out) override;
    HRESULT STDMETHODCALLTYPE Free() override;
    HRESULT STDMETHODCALLTYPE put_DirectDraw(long) override
    {
        return Member([] {});
    }
    HRESULT STDMETHODCALLTYPE Load(long f) override;
    HRESULT STDMETHODCALLTYPE Save(long f) override;
    HRESULT STDMETHODCALLTYPE get_Add(IDispatch** out) override;

private:
    zyk::com::Ptr<ITexture> Make();
    // The body of Free, which destruction runs too.
    void FreeResources();

    zyk::com::Apartment apartment_;
    // The device, handed to every texture made; void once the collection is let go.
    zyk::com::Handed<IDirect3DDevice7> device_{OwnTie()};
    zyk::com::Ptr<ITextureCaps> caps_;
    zyk::com::Tie capsTie_; // the caps' tie under the collection, cut when they are released
};

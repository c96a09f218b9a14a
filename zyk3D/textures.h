#pragma once
#include "zyk3D.h"
#include "com/collection.h"
#include "com/object.h"
#include "com/ptr.h"
#include <d3d.h>

// The scene's textures, filed under the image file each was loaded from ("Unnamed" for
// one added without an image), and the TextureCaps child that describes the device.
class CTextures : public zyk::com::CoClass<CTextures, ITextures, &IID_ITextures, &CLSID_Textures> {
public:
    CTextures();
    ~CTextures() override;

    HRESULT STDMETHODCALLTYPE get__NewEnum(IUnknown** out) override { return items_.NewEnum(out); }
    HRESULT STDMETHODCALLTYPE Item(VARIANT index, VARIANT* out) override { return items_.Item(index, out); }
    HRESULT STDMETHODCALLTYPE get_Count(long* out) override { return items_.GetCount(out); }
    HRESULT STDMETHODCALLTYPE Remove(VARIANT index) override { return items_.Remove(index); }
    HRESULT STDMETHODCALLTYPE get_LoadFile(BSTR filename, IDispatch** out) override;
    HRESULT STDMETHODCALLTYPE put_Device(long device) override;
    HRESULT STDMETHODCALLTYPE get_Caps(IDispatch** out) override;
    HRESULT STDMETHODCALLTYPE Free() override;
    HRESULT STDMETHODCALLTYPE put_DirectDraw(long) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE Load(long f) override;
    HRESULT STDMETHODCALLTYPE Save(long f) override;
    HRESULT STDMETHODCALLTYPE get_Add(IDispatch** out) override;
    HRESULT STDMETHODCALLTYPE Clear() override { return items_.Clear(); }

private:
    zyk::com::Ptr<ITexture> Make();

    bool comInitialised_ = false;
    long device_ = 0;   // the raw IDirect3DDevice7 pointer, handed to every texture made
    zyk::com::Ptr<ITextureCaps> caps_;
    zyk::com::NamedMap<ITexture> items_;
};

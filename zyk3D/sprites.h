#pragma once
#include "zyk3D.h"
#include "com/collection.h"
#include "com/object.h"
#include "com/ptr.h"

// The device's sprites, filed under the names the client gives them and drawn in key order
// last in every frame, with the z-buffer off.
class CSprites : public zyk::com::CoClass<CSprites, ISprites, &IID_ISprites, &CLSID_Sprites> {
public:
    CSprites();
    ~CSprites() override;

    HRESULT STDMETHODCALLTYPE get__NewEnum(IUnknown** out) override { return items_.NewEnum(out); }
    HRESULT STDMETHODCALLTYPE Item(VARIANT index, VARIANT* out) override { return items_.Item(index, out); }
    HRESULT STDMETHODCALLTYPE get_Count(long* out) override { return items_.GetCount(out); }
    HRESULT STDMETHODCALLTYPE Remove(VARIANT index) override { return items_.Remove(index); }
    // Stored for the sprites made later; a device taken away (0) is taken from every sprite.
    HRESULT STDMETHODCALLTYPE put_Device(long device) override;
    HRESULT STDMETHODCALLTYPE Render() override;
    HRESULT STDMETHODCALLTYPE get_Add(BSTR name, float transparent, float rotation, float scale,
                                      IDispatch** out) override;

private:
    bool comInitialised_ = false;
    bool started_ = false;   // D3DX started for the sprites
    zyk::com::NamedMap<ISprite> items_;
    long device_ = 0;        // the raw IDirect3DDevice7 pointer
};

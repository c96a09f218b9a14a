// CSprites: the collection of a device's sprites.
#pragma once
#include "zyk3D.h"
#include "com/collection.h"
#include "com/create.h"
#include "com/object.h"
#include "com/ptr.h"
#include "com/tie.h"
#include <d3d.h>

// The device's sprites, filed under the names the client gives them and drawn in key order
// last in every frame, with the z-buffer off.
class CSprites : public zyk::com::Collection<ISprites, &IID_ISprites, &CLSID_Sprites, ISprite> {
public:
    CSprites();
    ~CSprites() override;

    // Stored for the sprites made later; sprites already made keep what they were given.
    HRESULT STDMETHODCALLTYPE put_Device(long device) override
    {
        return Member([&] { device_.Take(device); });
    }
    HRESULT STDMETHODCALLTYPE Render() override;
    HRESULT STDMETHODCALLTYPE get_Add(BSTR name, float transparent, float rotation, float scale,
                                      IDispatch** out) override;

private:
    zyk::com::Apartment apartment_;
    bool started_ = false; // D3DX started for the sprites
    // The device, handed to every sprite Add makes; void once the collection is let go.
    zyk::com::Handed<IDirect3DDevice7> device_{OwnTie()};
};

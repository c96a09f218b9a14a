// CSprites: Add, and Render of every sprite with the z-buffer off.
#include "sprites.h"
#include "com/create.h"
#include "errormaps.h"
#include "checks.h"
#include "com/failure.h"
#include "com/handed.h"
#include "com/trace.h"
#include <d3dx.h>

using zyk::com::Ptr;

CSprites::CSprites() { started_ = SUCCEEDED(D3DXInitialize()); }

CSprites::~CSprites()
{
    items_.Clear();
    if (started_) D3DXUninitialize();
}

HRESULT CSprites::get_Add(BSTR name, float transparent, float rotation, float scale, IDispatch** out)
{
    return Member([&]() -> HRESULT {
        if (out) *out = nullptr;
        if (!(transparent >= 0.0f && transparent <= 1.0f))
            throw failure(E_FAIL, "Transparency Setting Must be between 0.0 and 1.0.");
        RequireOut(out);
        Ptr<ISprite> sprite =
            Ptr<ISprite>::Adopt(CreateChild<ISprite>(CLSID_Sprite, IID_ISprite, "Sprite Not Registered."));
        sprite->put_Device(device_.Handle());
        sprite->put_Transparent(transparent);
        sprite->put_Rotation(rotation);
        sprite->put_Name(name);
        sprite->put_ScaleFactor(scale);
        items_.Put(name, sprite.Get());
        return zyk::com::HandOutCode(sprite, out);
    });
}

HRESULT CSprites::Render()
{
    return Member([&] {
        if (!device_) throw failure(E_POINTER, "Device Not Initialised.");
        if (items_.Count() == 0) return;
        IDirect3DDevice7* device = device_.Get();
        // The sprites turn lighting, fog, culling and the z-buffer off and bind their own
        // textures: everything they change is put back afterwards, so that the next
        // frame's models are drawn as the client set the device up.
        DWORD saved = 0;
        if (FAILED(device->CreateStateBlock(D3DSBT_ALL, &saved))) saved = 0;
        Ptr<IDirectDrawSurface7> texture;
        if (FAILED(device->GetTexture(0, texture.Out()))) texture.Detach(); // a failed get gives no reference
        D3DXPrepareDeviceForSprite(device, FALSE);
        HRESULT failed = S_OK;
        items_.ForEach([&](const std::wstring&, ISprite* s) {
            if (FAILED(failed)) return;
            HRESULT hr = s->Render();
            if (FAILED(hr)) failed = hr;
        });
        if (saved) {
            device->ApplyStateBlock(saved);
            device->DeleteStateBlock(saved);
        }
        device->SetTexture(0, texture.Get());
        if (FAILED(failed)) throw failure(failed, "Sprite Failed to Render.");
    });
}

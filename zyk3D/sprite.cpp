// CSprite: its corners, transparency, texture, Render on the screen and Free.
#include "sprite.h"
#include "com/create.h"
#include "errormaps.h"
#include "checks.h"
#include "com/failure.h"
#include "com/handed.h"
#include "com/trace.h"
#include <d3dx.h>

using zyk::com::DebugOut;
using zyk::com::Ptr;

namespace {

Ptr<IPosition> MakePosition()
{
    IUnknown* p = CreateComObject(CLSID_Position, IID_IPosition);
    if (!p) throw failure(E_POINTER, "Failed to initialise Position.");
    return Ptr<IPosition>::Adopt(reinterpret_cast<IPosition*>(p));
}

// 0 to 1 inclusive; NaN is outside.
bool IsAlpha(float v) { return v >= 0.0f && v <= 1.0f; }

} // namespace

CSprite::CSprite()
{
    name_ = zyk::com::Bstr(L"");
    Member([&] {
        position_ = MakePosition();
        topLeft_ = MakePosition();
        topRight_ = MakePosition();
        bottomLeft_ = MakePosition();
        bottomRight_ = MakePosition();
    });
}

CSprite::~CSprite() { FreeResources(); }

HRESULT CSprite::Corner(const Ptr<IPosition>& corner, IDispatch** out)
{
    return Member([&] {
        RequireOut(out);
        zyk::com::HandOut(corner, out, "Position Not Initialised.");
    });
}

HRESULT CSprite::put_Transparent(float value)
{
    return Member([&] {
        if (!IsAlpha(value)) throw failure(E_FAIL, "Transparency Setting must be between 0.0 amd 1.0.");
        transparent_ = value;
    });
}

HRESULT CSprite::put_Name(BSTR name)
{
    return Member([&] {
        DebugOut("ZYK: Setting Sprite Name --> \n");
        return name_.Assign(name ? name : zyk::com::Bstr(L"").Get());
    });
}

HRESULT CSprite::put_Enabled(VARIANT_BOOL enabled)
{
    return Member([&] {
        enabled_ = enabled != 0;
        DebugOut(enabled_ ? "ZYK: Sprite --> Enabled.\n" : "ZYK: Sprite --> Disabled.\n");
    });
}

HRESULT CSprite::get_Texture(IDispatch** out)
{
    return Member([&] {
        RequireOut(out);
        zyk::com::HandOut(texture_, out, "Texture Has Not Been Assigned.");
    });
}

HRESULT CSprite::put_Texture(IDispatch* texture)
{
    return Member([&] {
        DebugOut("ZYK: Setting Sprite Texture --> \n");
        // Only a texture of this engine can be drawn; anything else is refused.
        Ptr<ITexture> t;
        if (texture && FAILED(texture->QueryInterface(IID_ITexture, reinterpret_cast<void**>(t.Out()))))
            throw failure(E_INVALIDARG, IDS_INVALIDPARAMETER);
        texture_ = t;
    });
}

HRESULT CSprite::Render()
{
    return Member([&]() -> HRESULT {
        if (!enabled_) return S_OK;
        if (!device_) {
            DebugOut("ZYK: (ERROR) Device Not Initialised.\n");
            throw failure(E_POINTER, "Device Not Initialised.");
        }
        if (!position_) throw failure(E_POINTER, "Position Not Initialised.");
        D3DXVECTOR3 point{};
        position_->get_X(&point.x);
        position_->get_Y(&point.y);
        position_->get_Z(&point.z);
        long handle = 0;
        if (texture_) texture_->get_Handle(&handle);
        IDirectDrawSurface7* surface = zyk::com::FromHandle<IDirectDrawSurface7>(handle);
        HRESULT hr =
            D3DXDrawSpriteSimple(surface, device_.Get(), &point, transparent_, scale_, rotation_, nullptr, nullptr);
        if (FAILED(hr)) {
            ZYK_TRACE("D3DXDrawSpriteSimple Failed. (Error Code=%lx).\n", static_cast<unsigned long>(hr));
            switch (hr) {
            case E_INVALIDARG:
                DebugOut("ZYK: (ERROR) D3DXDrawSprite3D Failed (Invalid Parameters).\n");
                throw failure(hr, IDS_INVALIDPARAMETER);
            case DDERR_INVALIDOBJECT:
                DebugOut("ZYK: (ERROR) D3DXDrawSprite3D Failed (Invalid Object).\n");
                throw failure(hr, IDS_INVALIDOBJECT);
            case D3DXERR_NULLPOINTER:
                DebugOut("ZYK: (ERROR) D3DXDrawSprite3D Failed (Null Pointer).\n");
                throw failure(hr, IDS_NULLPOINTER);
            default:
                DebugOut("ZYK: (ERROR) D3DXDrawSprite3D Failed (Unknown Error).\n");
                throw failure(hr, IDS_UNKNOWNERROR);
            }
        }
        return S_OK;
    });
}

HRESULT CSprite::Free()
{
    return Member([&] { FreeResources(); });
}

void CSprite::FreeResources()
{
    DebugOut("ZYK: Freeing Sprite Resources.\n");
    texture_.Reset();
    device_.Reset();
    position_.Reset();
    topLeft_.Reset();
    topRight_.Reset();
    bottomLeft_.Reset();
    bottomRight_.Reset();
}

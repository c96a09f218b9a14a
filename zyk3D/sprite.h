// CSprite: a texture drawn flat on the screen.
#pragma once
#include "zyk3D.h"
#include "com/create.h"
#include "com/object.h"
#include "com/ptr.h"
#include "com/tie.h"
#include <d3d.h>

// A texture drawn flat on the screen at a point, with a transparency, a scale and a
// rotation. The four corner points are kept for the client; drawing does not use them.
class CSprite : public zyk::com::CoClass<ISprite, &IID_ISprite, &CLSID_Sprite> {
public:
    CSprite();
    ~CSprite() override;

    HRESULT STDMETHODCALLTYPE get_Transparent(float* out) override { return Get(transparent_, out); }
    HRESULT STDMETHODCALLTYPE put_Transparent(float value) override;
    HRESULT STDMETHODCALLTYPE put_Device(long device) override
    {
        return Member([&] { device_.Take(device); });
    }
    HRESULT STDMETHODCALLTYPE get_ScaleFactor(float* out) override { return Get(scale_, out); }
    HRESULT STDMETHODCALLTYPE put_ScaleFactor(float value) override { return Put(scale_, value); }
    HRESULT STDMETHODCALLTYPE get_Rotation(float* out) override { return Get(rotation_, out); }
    HRESULT STDMETHODCALLTYPE put_Rotation(float value) override { return Put(rotation_, value); }
    HRESULT STDMETHODCALLTYPE Render() override;
    HRESULT STDMETHODCALLTYPE get_Name(BSTR* out) override { return Get(name_, out); }
    HRESULT STDMETHODCALLTYPE put_Name(BSTR name) override;
    HRESULT STDMETHODCALLTYPE get_Enabled(VARIANT_BOOL* out) override { return Get(enabled_ ? 1 : 0, out); }
    HRESULT STDMETHODCALLTYPE put_Enabled(VARIANT_BOOL enabled) override;
    HRESULT STDMETHODCALLTYPE get_Position(IDispatch** out) override { return Corner(position_, out); }
    HRESULT STDMETHODCALLTYPE get_Texture(IDispatch** out) override;
    HRESULT STDMETHODCALLTYPE put_Texture(IDispatch* texture) override;
    HRESULT STDMETHODCALLTYPE get_TopLeft(IDispatch** out) override { return Corner(topLeft_, out); }
    HRESULT STDMETHODCALLTYPE get_TopRight(IDispatch** out) override { return Corner(topRight_, out); }
    HRESULT STDMETHODCALLTYPE get_BottomLeft(IDispatch** out) override { return Corner(bottomLeft_, out); }
    HRESULT STDMETHODCALLTYPE get_BottomRight(IDispatch** out) override { return Corner(bottomRight_, out); }
    HRESULT STDMETHODCALLTYPE Free() override;

private:
    HRESULT Corner(const zyk::com::Ptr<IPosition>& corner, IDispatch** out);
    // The body of Free, which destruction runs too.
    void FreeResources();

    zyk::com::Apartment apartment_;
    zyk::com::Ptr<IPosition> position_, topLeft_, topRight_, bottomLeft_, bottomRight_;
    zyk::com::Ptr<ITexture> texture_;
    zyk::com::Bstr name_;
    float rotation_ = 0.0f;
    float scale_ = 1.0f;
    float transparent_ = 1.0f;
    // The device its collection handed down, not referenced; void once the sprite is let go.
    zyk::com::Handed<IDirect3DDevice7> device_{OwnTie()};
    bool enabled_ = true; // a new sprite is drawn
};

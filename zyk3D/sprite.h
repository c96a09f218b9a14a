#pragma once
#include "zyk3D.h"
#include "com/object.h"
#include "com/ptr.h"
#include <d3d.h>

// A texture drawn flat on the screen at a point, with a transparency, a scale and a
// rotation. The four corner points are kept for the client; drawing does not use them.
class CSprite : public zyk::com::CoClass<CSprite, ISprite, &IID_ISprite, &CLSID_Sprite> {
public:
    CSprite();
    ~CSprite() override;

    HRESULT STDMETHODCALLTYPE get_Transparent(float* out) override { return zyk::com::CopyOut(transparent_, out); }
    HRESULT STDMETHODCALLTYPE put_Transparent(float value) override;
    HRESULT STDMETHODCALLTYPE put_Device(long device) override
    {
        device_ = zyk::com::FromHandle<IDirect3DDevice7>(device);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_ScaleFactor(float* out) override { return zyk::com::CopyOut(scale_, out); }
    HRESULT STDMETHODCALLTYPE put_ScaleFactor(float v) override { scale_ = v; return S_OK; }
    HRESULT STDMETHODCALLTYPE get_Rotation(float* out) override { return zyk::com::CopyOut(rotation_, out); }
    HRESULT STDMETHODCALLTYPE put_Rotation(float v) override { rotation_ = v; return S_OK; }
    HRESULT STDMETHODCALLTYPE Render() override;
    HRESULT STDMETHODCALLTYPE get_Name(BSTR* out) override { return name_.CopyTo(out); }
    HRESULT STDMETHODCALLTYPE put_Name(BSTR name) override;
    HRESULT STDMETHODCALLTYPE get_Enabled(VARIANT_BOOL* out) override { return zyk::com::CopyOut(enabled_ ? 1 : 0, out); }
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
    static HRESULT Corner(const zyk::com::Ptr<IPosition>& p, IDispatch** out);

    bool comInitialised_ = false;
    zyk::com::Ptr<IPosition> position_, topLeft_, topRight_, bottomLeft_, bottomRight_;
    zyk::com::Ptr<ITexture> texture_;
    zyk::com::Bstr name_;
    float rotation_ = 0.0f;
    float scale_ = 1.0f;
    float transparent_ = 1.0f;
    IDirect3DDevice7* device_ = nullptr;   // borrowed from the owner of the device
    bool enabled_ = true;                  // a new sprite is drawn
};

// CSimpleObject: one ready-made shape.
#pragma once
#include "zyk3D.h"
#include "com/create.h"
#include "com/object.h"
#include "com/ptr.h"
#include "com/tie.h"
#include <d3d.h>

struct ID3DXSimpleShape;

// One ready-made D3DX shape. The sizes are stored by their setters and take effect when
// Type is put, which makes the shape; Render draws it with whatever world matrix and
// material the device holds, after applying the texture when there is one. The shape holds
// the device it was made on: it is kept on the object's tie, so that it goes before that
// device does, and a new device handed down gets the same shape made again on it.
class CSimpleObject : public zyk::com::CoClass<ISimpleObject, &IID_ISimpleObject, &CLSID_SimpleObject> {
public:
    CSimpleObject();
    ~CSimpleObject() override;

    HRESULT STDMETHODCALLTYPE get_Type(SimpleObjectTypes* out) override { return Get(type_, out); }
    HRESULT STDMETHODCALLTYPE put_Type(SimpleObjectTypes type) override;
    HRESULT STDMETHODCALLTYPE get_width(float* out) override { return Get(width_, out); }
    HRESULT STDMETHODCALLTYPE put_width(float value) override { return Put(width_, value); }
    HRESULT STDMETHODCALLTYPE get_Height(float* out) override { return Get(height_, out); }
    HRESULT STDMETHODCALLTYPE put_Height(float value) override { return Put(height_, value); }
    HRESULT STDMETHODCALLTYPE get_Depth(float* out) override { return Get(depth_, out); }
    HRESULT STDMETHODCALLTYPE put_Depth(float value) override { return Put(depth_, value); }
    HRESULT STDMETHODCALLTYPE put_Device(long device) override;
    HRESULT STDMETHODCALLTYPE put_Direct3D(long d3d) override
    {
        return Member([&] { direct3d_.Take(d3d); });
    }
    HRESULT STDMETHODCALLTYPE get_Sides(long* out) override { return Get(sides_, out); }
    HRESULT STDMETHODCALLTYPE put_Sides(long value) override { return Put(sides_, value); }
    HRESULT STDMETHODCALLTYPE Render() override;
    HRESULT STDMETHODCALLTYPE get_InnerRadius(float* out) override { return Get(innerRadius_, out); }
    HRESULT STDMETHODCALLTYPE put_InnerRadius(float value) override { return Put(innerRadius_, value); }
    HRESULT STDMETHODCALLTYPE get_OuterRadius(float* out) override { return Get(outerRadius_, out); }
    HRESULT STDMETHODCALLTYPE put_OuterRadius(float value) override { return Put(outerRadius_, value); }
    HRESULT STDMETHODCALLTYPE get_Texture(IDispatch** out) override;
    HRESULT STDMETHODCALLTYPE put_Texture(IDispatch* texture) override;
    HRESULT STDMETHODCALLTYPE Free() override;

private:
    // The type and sizes a shape is made of: those of the last Type put.
    struct Sizes {
        SimpleObjectTypes type = sot_None;
        float width = 0.0f, height = 0.0f, depth = 0.0f, innerRadius = 0.0f, outerRadius = 0.0f;
        long sides = 0;
    };
    // Makes the shape of sizes on the device; D3DX's result (E_INVALIDARG for no such type).
    HRESULT MakeShape(const Sizes& sizes, IDirect3DDevice7* device);
    void ReleaseShape();
    // The body of Free, which destruction runs too.
    void FreeResources();
    // The shape, while the device it was made on is still the object's: a shape of a
    // device the object was let go from is released here.
    ID3DXSimpleShape* Shape();

    zyk::com::Apartment apartment_;
    zyk::com::Kept<ID3DXSimpleShape> shape_{OwnTie()};
    Sizes made_; // what the shape was made of; type sot_None while none was made
    SimpleObjectTypes type_ = sot_None;
    float depth_ = 0.0f, height_ = 0.0f, width_ = 0.0f;
    float innerRadius_ = 1.0f, outerRadius_ = 5.0f;
    long sides_ = 0;
    // What the collection handed down, not referenced; void once the object is let go.
    zyk::com::Handed<IDirect3DDevice7> device_{OwnTie()};
    zyk::com::Handed<IDirect3D7> direct3d_{OwnTie()}; // stored only
    zyk::com::Ptr<ITexture> texture_;
};

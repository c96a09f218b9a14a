#pragma once
#include "zyk3D.h"
#include "com/object.h"
#include "com/ptr.h"
#include <d3d.h>

struct ID3DXSimpleShape;

// One ready-made D3DX shape. The sizes are stored by their setters and take effect when
// Type is put, which makes the shape; Render draws it with whatever world matrix and
// material the device holds, after applying the texture when there is one.
class CSimpleObject
    : public zyk::com::CoClass<CSimpleObject, ISimpleObject, &IID_ISimpleObject, &CLSID_SimpleObject> {
public:
    CSimpleObject();
    ~CSimpleObject() override;

    HRESULT STDMETHODCALLTYPE get_Type(SimpleObjectTypes* out) override { return zyk::com::CopyOut(type_, out); }
    HRESULT STDMETHODCALLTYPE put_Type(SimpleObjectTypes type) override;
    HRESULT STDMETHODCALLTYPE get_width(float* out) override { return zyk::com::CopyOut(width_, out); }
    HRESULT STDMETHODCALLTYPE put_width(float v) override { width_ = v; return S_OK; }
    HRESULT STDMETHODCALLTYPE get_Height(float* out) override { return zyk::com::CopyOut(height_, out); }
    HRESULT STDMETHODCALLTYPE put_Height(float v) override { height_ = v; return S_OK; }
    HRESULT STDMETHODCALLTYPE get_Depth(float* out) override { return zyk::com::CopyOut(depth_, out); }
    HRESULT STDMETHODCALLTYPE put_Depth(float v) override { depth_ = v; return S_OK; }
    HRESULT STDMETHODCALLTYPE put_Device(long device) override
    {
        // The shape was made on the device it had: another device, or none, drops it.
        IDirect3DDevice7* next = zyk::com::FromHandle<IDirect3DDevice7>(device);
        if (next != device_) ReleaseShape();
        device_ = next;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE put_Direct3D(long d3d) override { direct3d_ = d3d; return S_OK; }
    HRESULT STDMETHODCALLTYPE get_Sides(long* out) override { return zyk::com::CopyOut(sides_, out); }
    HRESULT STDMETHODCALLTYPE put_Sides(long v) override { sides_ = v; return S_OK; }
    HRESULT STDMETHODCALLTYPE Render() override;
    HRESULT STDMETHODCALLTYPE get_InnerRadius(float* out) override { return zyk::com::CopyOut(innerRadius_, out); }
    HRESULT STDMETHODCALLTYPE put_InnerRadius(float v) override { innerRadius_ = v; return S_OK; }
    HRESULT STDMETHODCALLTYPE get_OuterRadius(float* out) override { return zyk::com::CopyOut(outerRadius_, out); }
    HRESULT STDMETHODCALLTYPE put_OuterRadius(float v) override { outerRadius_ = v; return S_OK; }
    HRESULT STDMETHODCALLTYPE get_Texture(IDispatch** out) override;
    HRESULT STDMETHODCALLTYPE put_Texture(IDispatch* texture) override;
    HRESULT STDMETHODCALLTYPE Free() override;

private:
    void ReleaseShape();

    bool comInitialised_ = false;
    ID3DXSimpleShape* shape_ = nullptr;   // one reference
    SimpleObjectTypes type_ = sot_None;
    float depth_ = 0.0f, height_ = 0.0f, width_ = 0.0f;
    float innerRadius_ = 1.0f, outerRadius_ = 5.0f;
    long sides_ = 0;
    IDirect3DDevice7* device_ = nullptr;   // borrowed from the owner of the device
    long direct3d_ = 0;                    // stored only
    zyk::com::Ptr<ITexture> texture_;
};

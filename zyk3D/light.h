// CLight: one light of the scene.
#pragma once
#include "zyk3D.h"
#include "com/create.h"
#include "com/object.h"
#include "com/ptr.h"
#include <d3d.h>

// One Direct3D 7 light. Its values live in plain fields and in Colour and Position
// children; Update builds the device's light record from them and sends it under the
// light's index. Whether the light is on is the device's own state, never stored here.
class CLight : public zyk::com::CoClass<ILight, &IID_ILight, &CLSID_Light> {
public:
    CLight();
    ~CLight() override;

    HRESULT STDMETHODCALLTYPE get_Colour(IDispatch** out) override { return Child(colour_.Get(), out); }
    HRESULT STDMETHODCALLTYPE get_Type(LightTypes* out) override { return Get(type_, out); }
    HRESULT STDMETHODCALLTYPE put_Type(LightTypes type) override { return Put(type_, type); }
    HRESULT STDMETHODCALLTYPE put_Direct3D(long d3d) override
    {
        return Member([&] { direct3d_.Take(d3d); });
    }
    HRESULT STDMETHODCALLTYPE put_Device(long device) override
    {
        return Member([&] { device_.Take(device); });
    }
    HRESULT STDMETHODCALLTYPE Update() override;
    HRESULT STDMETHODCALLTYPE get_ID(long* out) override { return Get(id_, out); }
    HRESULT STDMETHODCALLTYPE put_ID(long id) override { return Put(id_, id); }
    HRESULT STDMETHODCALLTYPE get_Position(IDispatch** out) override { return Child(position_.Get(), out); }
    HRESULT STDMETHODCALLTYPE get_Direction(IDispatch** out) override { return Child(direction_.Get(), out); }
    HRESULT STDMETHODCALLTYPE get_Diffuse(IDispatch** out) override { return Child(diffuse_.Get(), out); }
    HRESULT STDMETHODCALLTYPE get_Ambient(IDispatch** out) override { return Child(ambient_.Get(), out); }
    HRESULT STDMETHODCALLTYPE get_Specular(IDispatch** out) override { return Child(specular_.Get(), out); }
    HRESULT STDMETHODCALLTYPE get_ConstAttenuation(float* out) override { return Get(constAttenuation_, out); }
    HRESULT STDMETHODCALLTYPE put_ConstAttenuation(float value) override { return Put(constAttenuation_, value); }
    HRESULT STDMETHODCALLTYPE get_LinearAttenuation(float* out) override { return Get(linearAttenuation_, out); }
    HRESULT STDMETHODCALLTYPE put_LinearAttenuation(float value) override { return Put(linearAttenuation_, value); }
    HRESULT STDMETHODCALLTYPE get_QuadraticAttenuation(float* out) override { return Get(quadraticAttenuation_, out); }
    HRESULT STDMETHODCALLTYPE put_QuadraticAttenuation(float value) override
    {
        return Put(quadraticAttenuation_, value);
    }
    HRESULT STDMETHODCALLTYPE get_InnerCone(float* out) override { return Get(innerCone_, out); }
    HRESULT STDMETHODCALLTYPE put_InnerCone(float value) override;
    HRESULT STDMETHODCALLTYPE get_OuterCone(float* out) override { return Get(outerCone_, out); }
    HRESULT STDMETHODCALLTYPE put_OuterCone(float value) override;
    HRESULT STDMETHODCALLTYPE get_FallOff(float* out) override { return Get(fallOff_, out); }
    HRESULT STDMETHODCALLTYPE put_FallOff(float value) override { return Put(fallOff_, value); }
    HRESULT STDMETHODCALLTYPE get_Range(float* out) override { return Get(range_, out); }
    HRESULT STDMETHODCALLTYPE put_Range(float value) override;
    HRESULT STDMETHODCALLTYPE get_Name(BSTR* out) override { return Get(name_, out); }
    HRESULT STDMETHODCALLTYPE put_Name(BSTR name) override;
    HRESULT STDMETHODCALLTYPE get_Enabled(VARIANT_BOOL* out) override;
    HRESULT STDMETHODCALLTYPE put_Enabled(VARIANT_BOOL flag) override;
    HRESULT STDMETHODCALLTYPE Free() override;
    HRESULT STDMETHODCALLTYPE Load(long f) override;
    HRESULT STDMETHODCALLTYPE Save(long f) override;

private:
    HRESULT Child(IUnknown* child, IDispatch** out);
    void RequireDevice() const;
    void ReleaseChildren();
    // The body of Free, which destruction runs too.
    void FreeResources();
    void TraceRecord() const;

    zyk::com::Apartment apartment_;
    zyk::com::Bstr name_;
    zyk::com::Ptr<IColour> colour_, diffuse_, specular_, ambient_;
    zyk::com::Ptr<IPosition> position_, direction_;
    LightTypes type_ = lt_Point;
    // What the collection handed down, not referenced; void once the light is let go.
    zyk::com::Handed<IDirect3D7> direct3d_{OwnTie()}; // stored only
    zyk::com::Handed<IDirect3DDevice7> device_{OwnTie()};
    D3DLIGHT7 record_{};
    float constAttenuation_ = 0.0f;
    float linearAttenuation_ = 0.0f;
    float quadraticAttenuation_ = 0.0f;
    float innerCone_ = 0.5f;
    float outerCone_ = 1.0f;
    float fallOff_ = 1.0f;
    float range_;
    long id_ = 0;
};

namespace light {

// sqrt(FLT_MAX) in single precision: the greatest range of a light.
float MaximumRange();

} // namespace light

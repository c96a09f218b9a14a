// CMaterial: the material of an object.
#pragma once
#include "zyk3D.h"
#include "com/create.h"
#include "com/object.h"
#include "com/ptr.h"
#include "com/tie.h"
#include <d3d.h>

// The surface colours of one object: five Colour children and a specular power, sent to
// the device as its current material by Update.
class CMaterial : public zyk::com::CoClass<IMaterial, &IID_IMaterial, &CLSID_Material> {
public:
    CMaterial();
    ~CMaterial() override;

    HRESULT STDMETHODCALLTYPE get_Ambient(IDispatch** out) override;
    HRESULT STDMETHODCALLTYPE get_Colour(IDispatch** out) override;
    HRESULT STDMETHODCALLTYPE get_Diffuse(IDispatch** out) override;
    HRESULT STDMETHODCALLTYPE get_Emissive(IDispatch** out) override;
    HRESULT STDMETHODCALLTYPE get_Handle(long* out) override { return Get(handle_, out); }
    HRESULT STDMETHODCALLTYPE get_Power(float* out) override { return Get(power_, out); }
    HRESULT STDMETHODCALLTYPE put_Power(float value) override { return Put(power_, value); }
    HRESULT STDMETHODCALLTYPE get_Specular(IDispatch** out) override;
    HRESULT STDMETHODCALLTYPE put_Device(long device) override;
    HRESULT STDMETHODCALLTYPE put_Direct3D(long d3d) override
    {
        return Member([&] { direct3D_.Take(d3d); });
    }
    HRESULT STDMETHODCALLTYPE Apply() override;
    HRESULT STDMETHODCALLTYPE Update() override;
    HRESULT STDMETHODCALLTYPE Load(long f) override;
    HRESULT STDMETHODCALLTYPE Save(long f) override;

private:
    // The children, in the order they are made, saved, loaded and released.
    enum Slot { kAmbient, kColour, kDiffuse, kEmissive, kSpecular, kSlots };

    HRESULT Child(Slot slot, IDispatch** out);

    zyk::com::Apartment apartment_;
    // What the owning object handed down, not referenced; void once the material is let go.
    zyk::com::Handed<IDirect3D7> direct3D_{OwnTie()}; // stored only
    long handle_ = 0;
    zyk::com::Handed<IDirect3DDevice7> device_{OwnTie()};
    float power_ = 0.0f;
    zyk::com::Ptr<IColour> children_[kSlots];
};

// CFog: the fog of a device.
#pragma once
#include "zyk3D.h"
#include "com/create.h"
#include "com/object.h"
#include "com/ptr.h"
#include "com/tie.h"
#include <d3d.h>

// The fog render states of the device, with a Colour child for the fog colour. Only the
// device, the colour and the last mode set live here; everything else is read back from
// the device.
class CFog : public zyk::com::CoClass<IFog, &IID_IFog, &CLSID_Fog> {
public:
    CFog();
    ~CFog() override;

    HRESULT STDMETHODCALLTYPE get_Colour(IDispatch** out) override;
    HRESULT STDMETHODCALLTYPE get_Density(float* out) override;
    HRESULT STDMETHODCALLTYPE put_Density(float value) override;
    HRESULT STDMETHODCALLTYPE get_Enabled(VARIANT_BOOL* out) override;
    HRESULT STDMETHODCALLTYPE put_Enabled(VARIANT_BOOL flag) override;
    HRESULT STDMETHODCALLTYPE get_EndPosition(float* out) override;
    HRESULT STDMETHODCALLTYPE put_EndPosition(float value) override;
    HRESULT STDMETHODCALLTYPE get_Mode(FogModes* out) override;
    HRESULT STDMETHODCALLTYPE put_Mode(FogModes mode) override;
    HRESULT STDMETHODCALLTYPE get_StartingPos(float* out) override;
    HRESULT STDMETHODCALLTYPE put_StartingPos(float value) override;
    HRESULT STDMETHODCALLTYPE put_Device(long device) override;
    HRESULT STDMETHODCALLTYPE get_RangeBased(VARIANT_BOOL* out) override;
    HRESULT STDMETHODCALLTYPE put_RangeBased(VARIANT_BOOL flag) override;
    HRESULT STDMETHODCALLTYPE Update() override;
    HRESULT STDMETHODCALLTYPE Load(long f) override;
    HRESULT STDMETHODCALLTYPE Save(long f) override;

private:
    // Records "Device Not Initialised." when there is no device; true when there is one.
    bool CheckDevice() const;
    // CheckDevice, then "Fog unavailable." as the failure when there is no device.
    void RequireDevice() const;
    void RequireLinear(bool linear, const char* refused) const;
    float GetFloat(D3DRENDERSTATETYPE state, const char* failed) const;
    void SetFloat(D3DRENDERSTATETYPE state, float value, const char* failed) const;

    zyk::com::Apartment apartment_;
    FogModes mode_ = fm_None;
    zyk::com::Ptr<IColour> colour_;
    // The device Device3D handed down, not referenced; void once the fog is let go.
    zyk::com::Handed<IDirect3DDevice7> device_{OwnTie()};
};

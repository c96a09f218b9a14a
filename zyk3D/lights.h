// CLights: the collection of a device's lights.
#pragma once
#include "zyk3D.h"
#include "com/collection.h"
#include "com/create.h"
#include "com/object.h"
#include "com/tie.h"
#include <d3d.h>

// The lights of a device, filed as Light0, Light1, ...: each new light takes the smallest
// number no light in the collection has, as its key and as its index on the device.
class CLights : public zyk::com::Collection<ILights, &IID_ILights, &CLSID_Lights, ILight> {
public:
    ~CLights() override;

    HRESULT STDMETHODCALLTYPE Remove(VARIANT index) override;
    HRESULT STDMETHODCALLTYPE put_Device(long device) override
    {
        return Member([&] { device_.Take(device); });
    }
    HRESULT STDMETHODCALLTYPE get_Max(long* out) override;
    HRESULT STDMETHODCALLTYPE put_Direct3D(long d3d) override
    {
        return Member([&] { direct3d_.Take(d3d); });
    }
    HRESULT STDMETHODCALLTYPE get_Add(LightTypes type, float x, float y, float z, float red, float green, float blue,
                                      float alpha, float fallOff, float innerCone, float outerCone, float range,
                                      IDispatch** out) override;
    HRESULT STDMETHODCALLTYPE Clear() override;
    HRESULT STDMETHODCALLTYPE Load(long f) override;
    HRESULT STDMETHODCALLTYPE Save(long f) override;

private:
    void SwitchOff(ILight* light) const;

    zyk::com::Apartment apartment_;
    // What the device handed down, for the caps and every new light; void once the
    // collection is let go. Lights already made keep what they were given.
    zyk::com::Handed<IDirect3D7> direct3d_{OwnTie()};
    zyk::com::Handed<IDirect3DDevice7> device_{OwnTie()};
};

#pragma once
#include "zyk3D.h"
#include "com/collection.h"
#include "com/object.h"

// The lights of a device, filed as Light0, Light1, ...: each new light takes the smallest
// number no light in the collection has, as its key and as its index on the device.
class CLights : public zyk::com::CoClass<CLights, ILights, &IID_ILights, &CLSID_Lights> {
public:
    CLights();
    ~CLights() override;

    HRESULT STDMETHODCALLTYPE get__NewEnum(IUnknown** out) override { return items_.NewEnum(out); }
    HRESULT STDMETHODCALLTYPE Item(VARIANT index, VARIANT* out) override { return items_.Item(index, out); }
    HRESULT STDMETHODCALLTYPE get_Count(long* out) override { return items_.GetCount(out); }
    HRESULT STDMETHODCALLTYPE Remove(VARIANT index) override;
    HRESULT STDMETHODCALLTYPE put_Device(long device) override;
    HRESULT STDMETHODCALLTYPE get_Max(long* out) override;
    HRESULT STDMETHODCALLTYPE put_Direct3D(long d3d) override
    {
        direct3d_ = d3d;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_Add(LightTypes type, float x, float y, float z, float red, float green, float blue,
                                      float alpha, float fallOff, float innerCone, float outerCone, float range,
                                      IDispatch** out) override;
    HRESULT STDMETHODCALLTYPE Clear() override;
    HRESULT STDMETHODCALLTYPE Load(long f) override;
    HRESULT STDMETHODCALLTYPE Save(long f) override;

private:
    void SwitchOff(ILight* light) const;

    bool comInitialised_ = false;
    zyk::com::NamedMap<ILight> items_;
    long direct3d_ = 0;   // the raw IDirect3D7 pointer, handed to every light Add makes
    long device_ = 0;     // the raw IDirect3DDevice7 pointer, for the caps and every new light
};

#pragma once
#include "zyk3D.h"
#include "com/collection.h"
#include "com/object.h"
#include "com/ptr.h"

// The objects of a device, filed under the names the client gives them and drawn in key
// order once a frame.
class CObjects : public zyk::com::CoClass<CObjects, IObjects, &IID_IObjects, &CLSID_Objects> {
public:
    CObjects();
    ~CObjects() override;

    HRESULT STDMETHODCALLTYPE get__NewEnum(IUnknown** out) override { return items_.NewEnum(out); }
    HRESULT STDMETHODCALLTYPE Item(VARIANT index, VARIANT* out) override { return items_.Item(index, out); }
    HRESULT STDMETHODCALLTYPE get_Count(long* out) override { return items_.GetCount(out); }
    HRESULT STDMETHODCALLTYPE Remove(VARIANT index) override { return items_.Remove(index); }
    HRESULT STDMETHODCALLTYPE Clear() override { return items_.Clear(); }
    HRESULT STDMETHODCALLTYPE get_Add(BSTR name, VARIANT_BOOL visible, IDispatch** out) override;
    HRESULT STDMETHODCALLTYPE get_LoadFile(BSTR filename, BSTR name, VARIANT_BOOL visible, IDispatch** out) override;
    // Stored for the objects made later; objects already made keep what they were given,
    // but a device taken away (0) is taken from them too, so that none goes on drawing
    // with a released device.
    HRESULT STDMETHODCALLTYPE put_Device(long device) override;
    HRESULT STDMETHODCALLTYPE put_Direct3D(long d3d) override
    {
        direct3d_ = d3d;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Render() override;
    HRESULT STDMETHODCALLTYPE Load(long f) override;
    HRESULT STDMETHODCALLTYPE Save(long f) override;

private:
    // Makes an object, files it under name and hands it the collection's pointers.
    zyk::com::Ptr<IObject> Make(BSTR name, VARIANT_BOOL visible);

    bool comInitialised_ = false;
    zyk::com::NamedMap<IObject> items_;
    long device_ = 0;     // the raw IDirect3DDevice7 pointer
    long direct3d_ = 0;   // the raw IDirect3D7 pointer
};

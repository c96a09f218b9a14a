// CObjects: the collection of a device's objects.
#pragma once
#include "zyk3D.h"
#include "com/collection.h"
#include "com/create.h"
#include "com/object.h"
#include "com/ptr.h"
#include "com/tie.h"
#include <d3d.h>

// The objects of a device, filed under the names the client gives them and drawn in key
// order once a frame.
class CObjects : public zyk::com::Collection<IObjects, &IID_IObjects, &CLSID_Objects, IObject> {
public:
    ~CObjects() override;

    HRESULT STDMETHODCALLTYPE get_Add(BSTR name, VARIANT_BOOL visible, IDispatch** out) override;
    HRESULT STDMETHODCALLTYPE get_LoadFile(BSTR filename, BSTR name, VARIANT_BOOL visible, IDispatch** out) override;
    // Stored for the objects made later; objects already made keep what they were given.
    HRESULT STDMETHODCALLTYPE put_Device(long device) override
    {
        return Member([&] { device_.Take(device); });
    }
    HRESULT STDMETHODCALLTYPE put_Direct3D(long d3d) override
    {
        return Member([&] { direct3d_.Take(d3d); });
    }
    HRESULT STDMETHODCALLTYPE Render() override;
    HRESULT STDMETHODCALLTYPE Load(long f) override;
    HRESULT STDMETHODCALLTYPE Save(long f) override;

private:
    // Makes an object, files it under name and hands it the collection's pointers.
    zyk::com::Ptr<IObject> Make(BSTR name, VARIANT_BOOL visible);

    zyk::com::Apartment apartment_;
    // What the device handed down, not referenced; void once the collection is let go.
    zyk::com::Handed<IDirect3DDevice7> device_{OwnTie()};
    zyk::com::Handed<IDirect3D7> direct3d_{OwnTie()};
};

// CSimpleObjects: the collection of a device's ready-made shapes.
#pragma once
#include "zyk3D.h"
#include "com/collection.h"
#include "com/create.h"
#include "com/object.h"
#include "com/ptr.h"
#include "com/tie.h"
#include <d3d.h>

// The device's ready-made shapes, filed under the names the client gives them and drawn
// in key order once a frame.
class CSimpleObjects
    : public zyk::com::Collection<ISimpleObjects, &IID_ISimpleObjects, &CLSID_SimpleObjects, ISimpleObject> {
public:
    CSimpleObjects();
    ~CSimpleObjects() override;

    // Stored for the shapes made later; shapes already made keep what they were given.
    HRESULT STDMETHODCALLTYPE put_Device(long device) override
    {
        return Member([&] { device_.Take(device); });
    }
    HRESULT STDMETHODCALLTYPE put_Direct3D(long d3d) override
    {
        return Member([&] { direct3d_.Take(d3d); });
    }
    HRESULT STDMETHODCALLTYPE get_AddBox(BSTR name, float width, float height, float depth, IDispatch** out) override;
    HRESULT STDMETHODCALLTYPE get_AddPolygon(BSTR name, float width, long sides, IDispatch** out) override;
    HRESULT STDMETHODCALLTYPE get_AddCylinder(BSTR name, float height, float baseRadius, float topRadius,
                                              IDispatch** out) override;
    HRESULT STDMETHODCALLTYPE get_AddSphere(BSTR name, float width, IDispatch** out) override;
    HRESULT STDMETHODCALLTYPE get_AddTeapot(BSTR name, IDispatch** out) override;
    HRESULT STDMETHODCALLTYPE get_AddTorus(BSTR name, long sides, float innerRadius, float outerRadius,
                                           IDispatch** out) override;
    HRESULT STDMETHODCALLTYPE Render() override;

private:
    // Makes a shape, files it under name, hands it the collection's pointers, lets sizes
    // put its sizes and then puts its type (whose refusal leaves a shapeless member).
    template <class Sizes>
    HRESULT Add(BSTR name, SimpleObjectTypes type, IDispatch** out, Sizes&& sizes);

    zyk::com::Apartment apartment_;
    bool started_ = false; // D3DX started for the shapes
    // What the device handed down, not referenced; void once the collection is let go.
    zyk::com::Handed<IDirect3DDevice7> device_{OwnTie()};
    zyk::com::Handed<IDirect3D7> direct3d_{OwnTie()};
};

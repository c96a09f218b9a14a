#pragma once
#include "zyk3D.h"
#include "com/collection.h"
#include "com/object.h"
#include "com/ptr.h"

// The device's ready-made shapes, filed under the names the client gives them and drawn
// in key order once a frame.
class CSimpleObjects
    : public zyk::com::CoClass<CSimpleObjects, ISimpleObjects, &IID_ISimpleObjects, &CLSID_SimpleObjects> {
public:
    CSimpleObjects();
    ~CSimpleObjects() override;

    HRESULT STDMETHODCALLTYPE get__NewEnum(IUnknown** out) override { return items_.NewEnum(out); }
    HRESULT STDMETHODCALLTYPE Item(VARIANT index, VARIANT* out) override { return items_.Item(index, out); }
    HRESULT STDMETHODCALLTYPE get_Count(long* out) override { return items_.GetCount(out); }
    HRESULT STDMETHODCALLTYPE Remove(VARIANT index) override { return items_.Remove(index); }
    // Stored for the shapes made later; a device taken away (0) is taken from every shape.
    HRESULT STDMETHODCALLTYPE put_Device(long device) override;
    HRESULT STDMETHODCALLTYPE put_Direct3D(long d3d) override { direct3d_ = d3d; return S_OK; }
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

    bool comInitialised_ = false;
    bool started_ = false;   // D3DX started for the shapes
    zyk::com::NamedMap<ISimpleObject> items_;
    long device_ = 0;     // the raw IDirect3DDevice7 pointer
    long direct3d_ = 0;   // the raw IDirect3D7 pointer
};

// CSimpleObject: the D3DX shape that Type makes, its texture, Render and Free.
#include "simpleobject.h"
#include "com/create.h"
#include "errormaps.h"
#include "checks.h"
#include "com/failure.h"
#include "com/handed.h"
#include "com/trace.h"
#include <d3dx.h>

using zyk::com::DebugOut;
using zyk::com::Ptr;

namespace {

// What D3DX or the device answered when a shape was made or drawn.
struct ShapeFailure {
    HRESULT code;
    const char* trace;
    UINT id;
};
const ShapeFailure kShapeFailures[] = {
    {D3DXERR_NOMEMORY, "Out of Memory.\n", 101},
    {D3DXERR_NULLPOINTER, "Null Pointer.\n", 112},
    {D3DXERR_INVALIDPARAMETER, "Invalid Parameter.\n", 102},
    {D3DERR_INVALIDVERTEXFORMAT, "Invalid Vertex Format.\n", 132},
    {D3DERR_VBUF_CREATE_FAILED, "VBuf Creation Failed.\n", 131},
    {D3DERR_VERTEXBUFFERLOCKED, "Vertex Buffer Locked.\n", 134},
    {D3DERR_INVALIDRAMPTEXTURE, "Invalid Ramp Texture.\n", 137},
    {D3DERR_INVALIDPRIMITIVETYPE, "Invalid Primitive Type.\n", 136},
    {D3DERR_INVALIDVERTEXTYPE, "Invalid Vertex Type.\n", 135},
    {DDERR_INVALIDOBJECT, "Invalid Object.\n", 103},
    {CLASS_E_NOAGGREGATION, "No Aggregation.\n", 133},
    {E_OUTOFMEMORY, "Out of Memory.\n", 101},
    {E_INVALIDARG, "Invalid Parameters.\n", 102},
    {DDERR_WASSTILLDRAWING, "Was Still Drawing.\n", 106},
};

[[noreturn]] void ThrowShapeFailure(HRESULT hr, bool drawing)
{
    for (const ShapeFailure& f : kShapeFailures) {
        if (f.code != hr) continue;
        if (drawing && hr == D3DERR_VERTEXBUFFERLOCKED)
            DebugOut("Vertex Buffer is Locked.\n");
        else
            DebugOut("%s", f.trace);
        throw failure(hr, f.id);
    }
    DebugOut("Unknown Error.\n");
    throw failure(hr, IDS_UNKNOWNERROR);
}

} // namespace

CSimpleObject::CSimpleObject()
{
    DebugOut("ZYK: Initialising Simple Object --> ");
    DebugOut("Succeeded.\n");
}

CSimpleObject::~CSimpleObject() { FreeResources(); }

void CSimpleObject::ReleaseShape() { shape_.Reset(); }

ID3DXSimpleShape* CSimpleObject::Shape()
{
    if (!device_) ReleaseShape();
    return shape_.Get();
}

HRESULT CSimpleObject::put_Device(long device)
{
    return Member([&] {
        // The shape was made on the device it had: another device, or none, drops it.
        IDirect3DDevice7* next = zyk::com::FromHandle<IDirect3DDevice7>(device);
        if (next != device_.Get()) ReleaseShape();
        device_.Take(device);
    });
}

HRESULT CSimpleObject::put_Type(SimpleObjectTypes type)
{
    return Member([&] {
        type_ = type;
        ReleaseShape();
        // A device never handed down makes no shape: D3DX is not asked without one.
        IDirect3DDevice7* device = device_.Get();
        if (!device) throw failure(E_POINTER, "Device Not Initialised.");
        const DWORD def = D3DX_DEFAULT;
        HRESULT hr;
        switch (type) {
        case sot_Box:
            DebugOut("ZYK: Creating Simple Box --> ");
            hr = D3DXCreateBox(device, width_, height_, depth_, def, shape_.Out());
            break;
        case sot_Cylinder:
            DebugOut("ZYK: Creating Simple Cylinder --> ");
            hr = D3DXCreateCylinder(device, innerRadius_, outerRadius_, height_, def, def, def, shape_.Out());
            break;
        case sot_Polygon:
            DebugOut("ZYK: Creating Simple Polygon --> ");
            hr = D3DXCreatePolygon(device, width_, static_cast<DWORD>(sides_), def, shape_.Out());
            break;
        case sot_Sphere:
            DebugOut("ZYK: Creating Simple Sphere --> ");
            hr = D3DXCreateSphere(device, width_, def, def, 1, shape_.Out());
            break;
        case sot_Teapot:
            DebugOut("ZYK: Creating Simple Teapot --> ");
            hr = D3DXCreateTeapot(device, def, shape_.Out());
            break;
        case sot_Torus:
            DebugOut("ZYK: Creating Simple Torus --> ");
            hr =
                D3DXCreateTorus(device, innerRadius_, outerRadius_, static_cast<DWORD>(sides_), def, def, shape_.Out());
            break;
        default:
            // No shape of that type: nothing is made.
            DebugOut("Unknown Error.\n");
            throw failure(E_INVALIDARG, IDS_UNKNOWNERROR);
        }
        if (FAILED(hr)) {
            shape_.Detach(); // a failed creation gives no shape
            ThrowShapeFailure(hr, false);
        }
        DebugOut("Succeeded.\n");
        if (auto vb = Ptr<IDirect3DVertexBuffer7>::Adopt(shape_->GetVB())) {
            DebugOut("ZYK: Optimizing Simple Object --> ");
            DebugOut(SUCCEEDED(vb->Optimize(device, 0)) ? "Succeeded.\n" : "Failed.\n");
        }
    });
}

HRESULT CSimpleObject::Render()
{
    return Member([&] {
        ID3DXSimpleShape* shape = Shape();
        if (!shape) throw failure(E_POINTER, "SimpleObject Not Initialised.");
        if (texture_) texture_->Apply();
        HRESULT hr = shape->Draw();
        if (FAILED(hr)) {
            DebugOut("ZYK: (ERROR) SimpleObject Draw --> ");
            ThrowShapeFailure(hr, true);
        }
    });
}

HRESULT CSimpleObject::get_Texture(IDispatch** out)
{
    return Member([&] {
        RequireOut(out);
        zyk::com::HandOut(texture_, out, "Texture Has Not Been Assigned.");
    });
}

HRESULT CSimpleObject::put_Texture(IDispatch* texture)
{
    return Member([&] {
        DebugOut("ZYK: Setting Texture for Simple Object.\n");
        // Only a texture of this engine can be applied; anything else is refused.
        Ptr<ITexture> t;
        if (texture && FAILED(texture->QueryInterface(IID_ITexture, reinterpret_cast<void**>(t.Out()))))
            throw failure(E_INVALIDARG, IDS_INVALIDPARAMETER);
        texture_ = t;
    });
}

HRESULT CSimpleObject::Free()
{
    return Member([&] { FreeResources(); });
}

void CSimpleObject::FreeResources()
{
    DebugOut("ZYK: Freeing Simple Object Resources.\n");
    type_ = sot_None;
    width_ = height_ = depth_ = innerRadius_ = outerRadius_ = 0.0f;
    sides_ = 0;
    texture_.Reset();
    ReleaseShape();
}

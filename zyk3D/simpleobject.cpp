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
        // The shape was made on the device it had: another device, or none, drops it, and
        // a device handed down after the shape went gets it made again.
        IDirect3DDevice7* next = zyk::com::FromHandle<IDirect3DDevice7>(device);
        if (next != device_.Get()) ReleaseShape();
        device_.Take(device);
        if (!shape_ && made_.type != sot_None && device_ && FAILED(MakeShape(made_, device_.Get())))
            DebugOut("ZYK: (ERROR) Simple Object Not Made Again.\n");
    });
}

HRESULT CSimpleObject::MakeShape(const Sizes& s, IDirect3DDevice7* device)
{
    const DWORD def = D3DX_DEFAULT;
    Ptr<ID3DXSimpleShape> shape;
    HRESULT hr;
    switch (s.type) {
    case sot_Box:
        DebugOut("ZYK: Creating Simple Box --> ");
        hr = D3DXCreateBox(device, s.width, s.height, s.depth, def, shape.Out());
        break;
    case sot_Cylinder:
        DebugOut("ZYK: Creating Simple Cylinder --> ");
        hr = D3DXCreateCylinder(device, s.innerRadius, s.outerRadius, s.height, def, def, def, shape.Out());
        break;
    case sot_Polygon:
        DebugOut("ZYK: Creating Simple Polygon --> ");
        hr = D3DXCreatePolygon(device, s.width, static_cast<DWORD>(s.sides), def, shape.Out());
        break;
    case sot_Sphere:
        DebugOut("ZYK: Creating Simple Sphere --> ");
        hr = D3DXCreateSphere(device, s.width, def, def, 1, shape.Out());
        break;
    case sot_Teapot:
        DebugOut("ZYK: Creating Simple Teapot --> ");
        hr = D3DXCreateTeapot(device, def, shape.Out());
        break;
    case sot_Torus:
        DebugOut("ZYK: Creating Simple Torus --> ");
        hr = D3DXCreateTorus(device, s.innerRadius, s.outerRadius, static_cast<DWORD>(s.sides), def, def, shape.Out());
        break;
    default: return E_INVALIDARG;
    }
    if (FAILED(hr)) {
        shape.Detach(); // a failed creation gives no shape
        return hr;
    }
    DebugOut("Succeeded.\n");
    if (auto vb = Ptr<IDirect3DVertexBuffer7>::Adopt(shape->GetVB())) {
        DebugOut("ZYK: Optimizing Simple Object --> ");
        DebugOut(SUCCEEDED(vb->Optimize(device, 0)) ? "Succeeded.\n" : "Failed.\n");
    }
    shape_.Set(shape);
    return S_OK;
}

HRESULT CSimpleObject::put_Type(SimpleObjectTypes type)
{
    return Member([&] {
        type_ = type;
        ReleaseShape();
        made_ = Sizes{};
        // A device never handed down makes no shape: D3DX is not asked without one.
        IDirect3DDevice7* device = device_.Get();
        if (!device) throw failure(E_POINTER, "Device Not Initialised.");
        if (type < sot_Box || type > sot_Torus) {
            // No shape of that type: nothing is made.
            DebugOut("Unknown Error.\n");
            throw failure(E_INVALIDARG, IDS_UNKNOWNERROR);
        }
        const Sizes sizes{type, width_, height_, depth_, innerRadius_, outerRadius_, sides_};
        HRESULT hr = MakeShape(sizes, device);
        if (FAILED(hr)) ThrowShapeFailure(hr, false);
        made_ = sizes;
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
    made_ = Sizes{};
    texture_.Reset();
    ReleaseShape();
}

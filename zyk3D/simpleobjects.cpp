// CSimpleObjects: the Add members of each shape, and Render of every shape.
#include "simpleobjects.h"
#include "com/create.h"
#include "errormaps.h"
#include "checks.h"
#include "com/failure.h"
#include "com/handed.h"
#include "com/trace.h"
#include <d3dx.h>

using zyk::com::Ptr;

CSimpleObjects::CSimpleObjects() { started_ = SUCCEEDED(D3DXInitialize()); }

CSimpleObjects::~CSimpleObjects()
{
    items_.Clear();
    if (started_) D3DXUninitialize();
}

template <class Sizes>
HRESULT CSimpleObjects::Add(BSTR name, SimpleObjectTypes type, IDispatch** out, Sizes&& sizes)
{
    return Member([&]() -> HRESULT {
        RequireOut(out);
        *out = nullptr;
        Ptr<ISimpleObject> shape = Ptr<ISimpleObject>::Adopt(
            CreateChild<ISimpleObject>(CLSID_SimpleObject, IID_ISimpleObject, "SimpleObject Not Registered."));
        items_.Put(name, shape.Get());
        shape->put_Device(device_.Handle());
        shape->put_Direct3D(direct3d_.Handle());
        sizes(shape.Get());
        shape->put_Type(type);
        return zyk::com::HandOutCode(shape, out);
    });
}

HRESULT CSimpleObjects::get_AddBox(BSTR name, float width, float height, float depth, IDispatch** out)
{
    return Add(name, sot_Box, out, [&](ISimpleObject* s) {
        s->put_width(width);
        s->put_Height(height);
        s->put_Depth(depth);
    });
}

HRESULT CSimpleObjects::get_AddPolygon(BSTR name, float width, long sides, IDispatch** out)
{
    return Add(name, sot_Polygon, out, [&](ISimpleObject* s) {
        s->put_width(width);
        s->put_Sides(sides);
    });
}

HRESULT CSimpleObjects::get_AddCylinder(BSTR name, float height, float baseRadius, float topRadius, IDispatch** out)
{
    return Add(name, sot_Cylinder, out, [&](ISimpleObject* s) {
        s->put_Height(height);
        s->put_InnerRadius(baseRadius);
        s->put_OuterRadius(topRadius);
    });
}

HRESULT CSimpleObjects::get_AddSphere(BSTR name, float width, IDispatch** out)
{
    return Add(name, sot_Sphere, out, [&](ISimpleObject* s) { s->put_width(width); });
}

HRESULT CSimpleObjects::get_AddTeapot(BSTR name, IDispatch** out)
{
    return Add(name, sot_Teapot, out, [](ISimpleObject*) {});
}

HRESULT CSimpleObjects::get_AddTorus(BSTR name, long sides, float innerRadius, float outerRadius, IDispatch** out)
{
    return Add(name, sot_Torus, out, [&](ISimpleObject* s) {
        s->put_Sides(sides);
        s->put_InnerRadius(innerRadius);
        s->put_OuterRadius(outerRadius);
    });
}

HRESULT CSimpleObjects::Render()
{
    return Member([&] {
        if (!device_) throw failure(E_POINTER, "Device Not Initialised.");
        items_.ForEach([](const std::wstring&, ISimpleObject* o) { o->Render(); });
    });
}

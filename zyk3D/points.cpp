// CPoints: Add, Render as one textured triangle, and Move, Scale and Rotate of every point.
#include "points.h"
#include "com/create.h"
#include "errormaps.h"
#include "com/failure.h"
#include "com/handed.h"
#include "com/ptr.h"
#include "com/trace.h"
#include <d3d.h>
#include <string>

using zyk::com::Ptr;

namespace {

// A refused DrawPrimitive.
const CodeText kDrawPrimitive[] = {
    {D3DERR_INVALIDPRIMITIVETYPE, 136},   {D3DERR_INVALIDVERTEXTYPE, 135}, {D3DERR_INVALIDRAMPTEXTURE, 137},
    {E_INVALIDARG, IDS_INVALIDPARAMETER}, {DDERR_OUTOFVIDEOMEMORY, 153},   {DDERR_WASSTILLDRAWING, 106},
};

// The D3DVERTEX layout: position, normal, one pair of texture coordinates.
struct Vertex {
    float x, y, z;
    float nx, ny, nz;
    float tu, tv;
};
static_assert(sizeof(Vertex) == 32);

constexpr DWORD kVertexFormat = 0x112; // D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1
constexpr size_t kMaxGathered = 256;

Ptr<IPosition> PositionOf(IPoint* point)
{
    Ptr<IDispatch> d;
    if (FAILED(point->get_Position(d.Out()))) return {};
    return d.As<IPosition>(IID_IPosition);
}

} // namespace

CPoints::~CPoints() { items_.Clear(); }

HRESULT CPoints::get_Add(float x, float y, float z, IDispatch** out)
{
    return Member([&]() -> HRESULT {
        if (out) *out = nullptr;
        if (!out) throw failure(E_POINTER, IDS_NULLPOINTER);

        // COM for the calling thread while the point is made; the point keeps its own.
        zyk::com::Apartment com;

        Ptr<IPoint> point = Ptr<IPoint>::Adopt(CreateChild<IPoint>(CLSID_Point, IID_IPoint, "Point Not Registered."));
        // The first free number: the count before the insert while no point has been
        // removed, and never the key of a point that is still in the collection.
        const std::wstring key = items_.FreeKey(L"Point");
        items_.Put(key.c_str(), point.Get());
        ZYK_TRACE("Point Name --> '%ls'\n", key.c_str());

        if (Ptr<IPosition> p = PositionOf(point.Get())) {
            p->put_X(x);
            p->put_Y(y);
            p->put_Z(z);
        }
        return zyk::com::HandOutCode(point, out);
    });
}

// Three points make one triangle, from the greatest key down; any other number draws
// nothing. The fill mode is taken and not used.
HRESULT CPoints::Render(long)
{
    return Member([&] {
        if (!device_) throw failure(E_POINTER, "Device Not Initialised.");

        D3DVECTOR gathered[kMaxGathered];
        size_t count = 0;
        items_.ForEach([&](const std::wstring&, IPoint* point) {
            if (count == kMaxGathered) return;
            Ptr<IPosition> p = PositionOf(point);
            if (!p) return;
            D3DVECTOR& v = gathered[count++];
            v.x = v.y = v.z = 0.0f;
            p->get_X(&v.x);
            p->get_Y(&v.y);
            p->get_Z(&v.z);
        });
        if (count != 3) return;

        const float uv[3][2] = {{0.0f, 0.0f}, {1.0f, 0.0f}, {0.0f, 1.0f}};
        Vertex vertices[3];
        for (size_t i = 0; i < 3; ++i)
            vertices[i] = {gathered[i].x, gathered[i].y, gathered[i].z, 0.0f, 0.0f, 1.0f, uv[i][0], uv[i][1]};

        HRESULT hr = device_->DrawPrimitive(D3DPT_TRIANGLELIST, kVertexFormat, vertices, 3, 0);
        if (FAILED(hr)) {
            ZYK_TRACE("DrawPrimitive Failed. (Error Code=%lx).\n", static_cast<unsigned long>(hr));
            throw failure(hr, LookupText(kDrawPrimitive, hr));
        }
    });
}

// Calls one member on every point in key order; the points' results are not looked at.
template <class Call>
HRESULT CPoints::ForEachPoint(Call call)
{
    return Member([&] { items_.ForEach([&](const std::wstring&, IPoint* point) { call(point); }); });
}

HRESULT CPoints::Rotate(float x, float y, float z)
{
    return ForEachPoint([&](IPoint* p) { p->Rotate(x, y, z); });
}

HRESULT CPoints::Move(float x, float y, float z)
{
    return ForEachPoint([&](IPoint* p) { p->Move(x, y, z); });
}

HRESULT CPoints::Scale(float x, float y, float z)
{
    return ForEachPoint([&](IPoint* p) { p->Scale(x, y, z); });
}

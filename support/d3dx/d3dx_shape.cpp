// The simple shapes: a mesh of d3dx_geometry.cpp in a vertex buffer of the caller's
// device, drawn as an indexed triangle list.
#include "d3dx.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <new>

using namespace d3dx_detail;

const IID IID_ID3DXSimpleShape = {0x5d3e8a41, 0x2c7b, 0x4f19, {0x9e, 0x60, 0xb1, 0xa4, 0xd2, 0xc8, 0xf3, 0x75}};

namespace {

constexpr DWORD kMaxTexCoords = 8;
constexpr DWORD kMaxVertices = 0xFFFF;

class SimpleShape final : public Counted<ID3DXSimpleShape, &IID_ID3DXSimpleShape> {
public:
    SimpleShape(IDirect3DDevice7* device, IDirect3DVertexBuffer7* vb, DWORD vertexCount, std::vector<WORD> indices)
        : device_(device), vb_(vb), vertexCount_(vertexCount), indices_(std::move(indices))
    {
        device_->AddRef();
        vb_->AddRef();
    }

    IDirect3DVertexBuffer7* STDMETHODCALLTYPE GetVB() override
    {
        vb_->AddRef();
        return vb_;
    }
    DWORD STDMETHODCALLTYPE GetIndices(const WORD** ppIndices) override
    {
        if (ppIndices) *ppIndices = indices_.data();
        return static_cast<DWORD>(indices_.size());
    }
    HRESULT STDMETHODCALLTYPE Draw() override
    {
        if (indices_.empty()) return S_OK;
        return device_->DrawIndexedPrimitiveVB(D3DPT_TRIANGLELIST, vb_, 0, vertexCount_, indices_.data(),
                                               static_cast<DWORD>(indices_.size()), 0);
    }

private:
    ~SimpleShape()
    {
        vb_->Release();
        device_->Release();
    }

    IDirect3DDevice7* device_;
    IDirect3DVertexBuffer7* vb_;
    DWORD vertexCount_;
    std::vector<WORD> indices_;
};

bool GoodSize(float v) { return std::isfinite(v) && v >= 0.0f; }

// A count: D3DX_DEFAULT gives the default, else it must lie in [least, most].
bool Count(DWORD given, DWORD fallback, DWORD least, DWORD most, DWORD* out)
{
    *out = given == D3DX_DEFAULT ? fallback : given;
    return *out >= least && *out <= most;
}

bool TexCoords(DWORD given, DWORD* out) { return Count(given, 1, 0, kMaxTexCoords, out); }

// The mesh in a vertex buffer of the device, as a shape.
HRESULT MakeShape(IDirect3DDevice7* device, const Mesh& mesh, DWORD texCoords, ID3DXSimpleShape** ppShape)
{
    if (mesh.vertices.empty() || mesh.vertices.size() > kMaxVertices) return D3DXERR_INVALIDPARAMETER;
    D3DDEVICEDESC7 caps = {};
    HRESULT hr = device->GetCaps(&caps);
    if (FAILED(hr)) return hr;
    IDirect3D7* d3d = nullptr;
    hr = device->GetDirect3D(&d3d);
    if (FAILED(hr)) return hr;

    D3DVERTEXBUFFERDESC desc = {};
    desc.dwSize = sizeof(desc);
    // Hardware transform reads buffers in video memory; everything else in system memory.
    desc.dwCaps = (caps.dwDevCaps & D3DDEVCAPS_HWTRANSFORMANDLIGHT) ? 0 : D3DVBCAPS_SYSTEMMEMORY;
    desc.dwFVF = D3DFVF_XYZ | D3DFVF_NORMAL | (texCoords << D3DFVF_TEXCOUNT_SHIFT);
    desc.dwNumVertices = static_cast<DWORD>(mesh.vertices.size());
    IDirect3DVertexBuffer7* vb = nullptr;
    hr = d3d->CreateVertexBuffer(&desc, &vb, 0);
    d3d->Release();
    if (FAILED(hr)) return hr;

    void* data = nullptr;
    DWORD size = 0;
    hr = vb->Lock(DDLOCK_WAIT | DDLOCK_WRITEONLY, &data, &size);
    if (FAILED(hr)) {
        vb->Release();
        return hr;
    }
    BYTE* out = static_cast<BYTE*>(data);
    for (const MeshVertex& v : mesh.vertices) {
        memcpy(out, &v, 6 * sizeof(float));
        out += 6 * sizeof(float);
        for (DWORD t = 0; t < texCoords; ++t) {
            memcpy(out, &v.u, 2 * sizeof(float));
            out += 2 * sizeof(float);
        }
    }
    vb->Unlock();

    SimpleShape* shape = new (std::nothrow) SimpleShape(device, vb, desc.dwNumVertices, mesh.indices);
    vb->Release();
    if (!shape) return D3DXERR_NOMEMORY;
    *ppShape = shape;
    return S_OK;
}

// Checks the pointers, builds the mesh with build() and makes the shape.
template <class Build>
HRESULT Create(IDirect3DDevice7* device, DWORD numTexCoords, ID3DXSimpleShape** ppShape, bool argsOk, uint64_t vertices,
               Build build)
{
    if (!ppShape) return D3DXERR_NULLPOINTER;
    *ppShape = nullptr;
    if (!device) return D3DXERR_NULLPOINTER;
    DWORD texCoords = 0;
    if (!argsOk || !TexCoords(numTexCoords, &texCoords) || vertices > kMaxVertices) return D3DXERR_INVALIDPARAMETER;
    try {
        Mesh mesh;
        mesh.vertices.reserve(static_cast<size_t>(vertices));
        build(mesh);
        return MakeShape(device, mesh, texCoords, ppShape);
    } catch (const std::bad_alloc&) {
        return D3DXERR_NOMEMORY;
    }
}

// Vertices of a lathe of rows profile points and segments around.
uint64_t LatheVertices(uint64_t rows, DWORD segments) { return rows * (uint64_t(segments) + 1); }

} // namespace

HRESULT D3DXCreateBox(IDirect3DDevice7* pDevice, float width, float height, float depth, DWORD numTexCoords,
                      ID3DXSimpleShape** ppShape)
{
    const bool ok = GoodSize(width) && GoodSize(height) && GoodSize(depth);
    return Create(pDevice, numTexCoords, ppShape, ok, 24, [&](Mesh& m) { BuildBox(m, width, height, depth); });
}

HRESULT D3DXCreateCylinder(IDirect3DDevice7* pDevice, float baseRadius, float topRadius, float height, DWORD numSlices,
                           DWORD numStacks, DWORD numTexCoords, ID3DXSimpleShape** ppShape)
{
    DWORD slices = 0, stacks = 0;
    const bool ok = GoodSize(baseRadius) && GoodSize(topRadius) && GoodSize(height) &&
                    Count(numSlices, 16, 3, kMaxVertices, &slices) && Count(numStacks, 1, 1, kMaxVertices, &stacks);
    const size_t vertices = ok ? LatheVertices(uint64_t(stacks) + 5, slices) : 0;
    return Create(pDevice, numTexCoords, ppShape, ok, vertices,
                  [&](Mesh& m) { BuildCylinder(m, baseRadius, topRadius, height, slices, stacks); });
}

HRESULT D3DXCreatePolygon(IDirect3DDevice7* pDevice, float sideSize, DWORD numSides, DWORD numTexCoords,
                          ID3DXSimpleShape** ppShape)
{
    const bool ok = GoodSize(sideSize) && numSides >= 3 && numSides < kMaxVertices;
    return Create(pDevice, numTexCoords, ppShape, ok, ok ? size_t(numSides) + 1 : 0,
                  [&](Mesh& m) { BuildPolygon(m, sideSize, numSides); });
}

HRESULT D3DXCreateSphere(IDirect3DDevice7* pDevice, float radius, DWORD numSlices, DWORD numStacks, DWORD numTexCoords,
                         ID3DXSimpleShape** ppShape)
{
    DWORD slices = 0, stacks = 0;
    const bool ok = GoodSize(radius) && Count(numSlices, 16, 3, kMaxVertices, &slices) &&
                    Count(numStacks, 16, 2, kMaxVertices, &stacks);
    const size_t vertices = ok ? LatheVertices(uint64_t(stacks) + 1, slices) : 0;
    return Create(pDevice, numTexCoords, ppShape, ok, vertices,
                  [&](Mesh& m) { BuildSphere(m, radius, slices, stacks); });
}

HRESULT D3DXCreateTeapot(IDirect3DDevice7* pDevice, DWORD numTexCoords, ID3DXSimpleShape** ppShape)
{
    return Create(pDevice, numTexCoords, ppShape, true, 2000, [](Mesh& m) { BuildTeapot(m); });
}

HRESULT D3DXCreateTorus(IDirect3DDevice7* pDevice, float innerRadius, float outerRadius, DWORD numSides, DWORD numRings,
                        DWORD numTexCoords, ID3DXSimpleShape** ppShape)
{
    DWORD sides = 0, rings = 0;
    const bool ok = GoodSize(innerRadius) && GoodSize(outerRadius) && innerRadius < outerRadius &&
                    Count(numSides, 8, 3, kMaxVertices, &sides) && Count(numRings, 16, 3, kMaxVertices, &rings);
    const size_t vertices = ok ? LatheVertices(uint64_t(sides) + 1, rings) : 0;
    return Create(pDevice, numTexCoords, ppShape, ok, vertices,
                  [&](Mesh& m) { BuildTorus(m, innerRadius, outerRadius, sides, rings); });
}

// CXFileObject: a node's geometry, materials, normals and matrix, its children, and its draw.
#include "xfileobject.h"
#include "devicestate.h"
#include "texturestore.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <new>

namespace {

constexpr DWORD kVertexFormat = D3DFVF_VERTEX; // 0x112: position, normal, one uv pair

D3DMATRIX Identity()
{
    D3DMATRIX m;
    memset(&m, 0, sizeof m);
    m._11 = m._22 = m._33 = m._44 = 1.0f;
    return m;
}

D3DMATERIAL7 WhiteMaterial()
{
    D3DMATERIAL7 m;
    memset(&m, 0, sizeof m);
    m.diffuse.r = m.diffuse.g = m.diffuse.b = m.diffuse.a = 1.0f;
    m.ambient.r = m.ambient.g = m.ambient.b = m.ambient.a = 1.0f;
    return m;
}

} // namespace

D3DMATRIX MultiplyXFileMatrices(const D3DMATRIX& a, const D3DMATRIX& b)
{
    const float* x = &a._11;
    const float* y = &b._11;
    D3DMATRIX r;
    float* out = &r._11;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) {
            float s = 0;
            for (int k = 0; k < 4; ++k) s += x[i * 4 + k] * y[k * 4 + j];
            out[i * 4 + j] = s;
        }
    return r;
}

namespace {

struct Vec {
    float x, y, z;
};
Vec Sub(const Vec& a, const Vec& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
Vec Cross(const Vec& a, const Vec& b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
float Length(const Vec& v) { return std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z); }
Vec Position(const D3DVERTEX& v) { return {v.x, v.y, v.z}; }

} // namespace

const DWORD* SkipXFileFaces(const DWORD* faceData, DWORD k)
{
    for (DWORD f = 0; f < k; ++f) faceData += 1 + faceData[0];
    return faceData;
}

DWORD CountXFileIndices(const DWORD* faceData, DWORD numFaces)
{
    uint64_t total = 0;
    for (DWORD f = 0; f < numFaces; ++f) {
        const DWORD n = faceData[0];
        if (n >= 3) total += uint64_t(n - 2) * 3;
        faceData += 1 + n;
    }
    return total > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<DWORD>(total);
}

CXFileObject::CXFileObject(const char* nodeName)
    : next(nullptr), child(nullptr), matrix(Identity()), isMesh(FALSE), numVertices(0), vertices(nullptr),
      numIndices(0), indices(nullptr), numMaterials(0), hasAlpha(FALSE)
{
    lstrcpynA(name, nodeName ? nodeName : "", sizeof name);
    memset(materials, 0, sizeof materials);
    materials[0].material = WhiteMaterial();
}

CXFileObject::~CXFileObject()
{
    delete child;
    child = nullptr;
    // The sibling chain is deleted in a loop: a chain of any length costs no stack.
    CXFileObject* sibling = next;
    next = nullptr;
    while (sibling) {
        CXFileObject* after = sibling->next;
        sibling->next = nullptr;
        delete sibling;
        sibling = after;
    }
    for (XFileMaterialSlot& slot : materials) {
        if (slot.holdsTexture) DestroyTexture(slot.textureName);
        slot.holdsTexture = FALSE;
    }
    delete[] vertices;
    vertices = nullptr;
    delete[] indices;
    indices = nullptr;
}

HRESULT CXFileObject::SetMeshGeometry(const float* positions, DWORD vertexCount, const DWORD* faceData, DWORD numFaces)
{
    delete[] vertices;
    vertices = nullptr;
    numVertices = 0;
    delete[] indices;
    indices = nullptr;
    numIndices = 0;
    for (XFileMaterialSlot& slot : materials) slot.indexCount = 0;
    numMaterials = 0;
    isMesh = TRUE;

    if (vertexCount) {
        vertices = new (std::nothrow) D3DVERTEX[vertexCount];
        if (!vertices) return E_OUTOFMEMORY;
        memset(vertices, 0, sizeof(D3DVERTEX) * vertexCount);
        for (DWORD i = 0; i < vertexCount; ++i) {
            vertices[i].x = positions[3 * i];
            vertices[i].y = positions[3 * i + 1];
            vertices[i].z = positions[3 * i + 2];
        }
        numVertices = vertexCount;
    }
    const DWORD count = faceData ? CountXFileIndices(faceData, numFaces) : 0;
    if (count) {
        indices = new (std::nothrow) WORD[count];
        if (!indices) return E_OUTOFMEMORY;
        numIndices = count;
    }
    return S_OK;
}

DWORD CXFileObject::UsedIndices() const
{
    DWORD used = 0;
    for (const XFileMaterialSlot& slot : materials) used += slot.indexCount;
    return used;
}

HRESULT CXFileObject::AddFace(DWORD slot, const DWORD* faceData, DWORD numFaces)
{
    if (slot >= kXFileMaxMaterials || !faceData) return S_OK;
    if (numMaterials < slot + 1) numMaterials = slot + 1;

    // Where the slot's run ends, and what follows it (runs of higher slots).
    DWORD end = 0;
    for (DWORD s = 0; s <= slot; ++s) end += materials[s].indexCount;
    DWORD used = UsedIndices();

    const DWORD* face = faceData;
    for (DWORD f = 0; f < numFaces; ++f, face += 1 + face[0]) {
        const DWORD n = face[0];
        const DWORD* ids = face + 1;
        if (n < 3) continue;
        bool inside = true;
        for (DWORD j = 0; j < n && inside; ++j) inside = ids[j] < numVertices;
        if (!inside) continue;
        const uint64_t need = uint64_t(n - 2) * 3;
        if (!indices || need > numIndices - used) continue;
        // Make room after the slot's run when higher slots already have theirs.
        if (used > end) memmove(indices + end + need, indices + end, (used - end) * sizeof(WORD));
        WORD* out = indices + end;
        for (DWORD j = 2; j < n; ++j) {
            *out++ = static_cast<WORD>(ids[0]);
            *out++ = static_cast<WORD>(ids[j - 1]);
            *out++ = static_cast<WORD>(ids[j]);
        }
        end += static_cast<DWORD>(need);
        used += static_cast<DWORD>(need);
        materials[slot].indexCount += static_cast<DWORD>(need);
    }
    return S_OK;
}

HRESULT CXFileObject::SetMaterialData(DWORD slot, const D3DMATERIAL7& material, const char* textureName)
{
    if (slot >= kXFileMaxMaterials) return S_OK;
    XFileMaterialSlot& s = materials[slot];
    // The texture is registered before the old use is dropped, so that a slot given the
    // same name again never lets the record go in between.
    BOOL holds = FALSE;
    if (textureName && *textureName) holds = SUCCEEDED(CreateTextureFromFile(textureName, 0, 0));
    if (s.holdsTexture) DestroyTexture(s.textureName);
    s.material = material;
    lstrcpynA(s.textureName, textureName ? textureName : "", sizeof s.textureName);
    s.holdsTexture = holds;
    if (material.diffuse.a < 1.0f) hasAlpha = TRUE;
    return S_OK;
}

HRESULT CXFileObject::SetNormals(const float* normals)
{
    if (!vertices || !normals) return E_FAIL;
    for (DWORD i = 0; i < numVertices; ++i) {
        vertices[i].nx = normals[3 * i];
        vertices[i].ny = normals[3 * i + 1];
        vertices[i].nz = normals[3 * i + 2];
    }
    return S_OK;
}

HRESULT CXFileObject::SetTextureCoords(const float* coords)
{
    if (!vertices || !coords) return E_FAIL;
    for (DWORD i = 0; i < numVertices; ++i) {
        vertices[i].tu = coords[2 * i];
        vertices[i].tv = coords[2 * i + 1];
    }
    return S_OK;
}

HRESULT CXFileObject::SetMatrix(const float* m)
{
    if (!m) return E_INVALIDARG;
    memcpy(&matrix, m, sizeof matrix);
    return S_OK;
}

HRESULT CXFileObject::ComputeNormals()
{
    if (!vertices) return S_OK;
    Vec* sums = new (std::nothrow) Vec[numVertices];
    if (!sums) return E_OUTOFMEMORY;
    for (DWORD i = 0; i < numVertices; ++i) sums[i] = {0, 0, 0};

    const DWORD used = UsedIndices();
    for (DWORD t = 0; t + 2 < used; t += 3) {
        const WORD i0 = indices[t], i1 = indices[t + 1], i2 = indices[t + 2];
        const Vec p0 = Position(vertices[i0]), p1 = Position(vertices[i1]), p2 = Position(vertices[i2]);
        const Vec n = Cross(Sub(p1, p0), Sub(p2, p1));
        const float len = Length(n);
        if (!(len > 0) || !std::isfinite(len)) continue; // a degenerate triangle adds nothing
        for (WORD i : {i0, i1, i2}) {
            sums[i].x += n.x / len;
            sums[i].y += n.y / len;
            sums[i].z += n.z / len;
        }
    }
    for (DWORD i = 0; i < numVertices; ++i) {
        Vec n = sums[i];
        float len = Length(n);
        if (!(len >= 0.1f) || !std::isfinite(len)) {
            n = {0, 0, 1};
            len = 1;
        }
        vertices[i].nx = n.x / len;
        vertices[i].ny = n.y / len;
        vertices[i].nz = n.z / len;
    }
    delete[] sums;
    return S_OK;
}

HRESULT CXFileObject::AddChild(CXFileObject* node)
{
    if (!node) return E_INVALIDARG;
    if (!child) {
        child = node;
        return S_OK;
    }
    return child->AddNext(node);
}

HRESULT CXFileObject::AddNext(CXFileObject* node)
{
    if (!node) return E_INVALIDARG;
    CXFileObject* last = this;
    while (last->next) last = last->next;
    last->next = node;
    return S_OK;
}

HRESULT CXFileObject::GetMeshGeometry(D3DVERTEX** vertexList, DWORD* vertexCount, WORD** indexList, DWORD* indexCount)
{
    if (vertexList) *vertexList = vertices;
    if (vertexCount) *vertexCount = numVertices;
    if (indexList) *indexList = indices;
    if (indexCount) *indexCount = numIndices;
    return S_OK;
}

void CXFileObject::RenderMesh(DeviceState& state, BOOL alphaPass)
{
    WORD* run = indices;
    for (DWORD s = 0; s < numMaterials && s < kXFileMaxMaterials; ++s) {
        XFileMaterialSlot& slot = materials[s];
        if (!slot.indexCount) continue;
        if (!hasAlpha == !alphaPass) {
            if (slot.textureName[0]) {
                if (FAILED(state.SetTexture(HoldTextureSurface(slot.textureName).Get())))
                    OutputDebugStringA("ZYK: (ERROR) Failed to Set Texture for X-File.\n");
            }
            state.SetMaterial(slot.material);
            if (FAILED(state.DrawIndexed(D3DPT_TRIANGLELIST, kVertexFormat, vertices, numVertices, run, slot.indexCount,
                                         0)))
                OutputDebugStringA("ZYK: X-File Rendering --> (Error) DrawIndexedPrimitive Failed.");
        }
        run += slot.indexCount;
    }
}

void CXFileObject::Render(DeviceState& state, BOOL alphaPass)
{
    // Siblings in a loop, children by recursion: the stack grows with the nesting only.
    for (CXFileObject* node = this; node; node = node->next) {
        if (node->isMesh) {
            node->RenderMesh(state, alphaPass);
        } else if (node->child) {
            const D3DMATRIX saved = state.World();
            state.SetWorld(MultiplyXFileMatrices(node->matrix, saved));
            node->child->Render(state, alphaPass);
            state.SetWorld(saved);
        }
    }
}

// CXFile: Load of a .x file through the DirectX file API into a node tree, Render, and the queries on its nodes.
#include "xfile.h"
#include "xfiletemplates.h"
#include "devicestate.h"
#include "texturestore.h"
#include "com/error.h"
#include "com/ptr.h"
#include "com/trace.h"
#include "formats/xdata.h"

#include <cstring>
#include <new>
#include <vector>

using zyk::com::DebugOut;
using zyk::com::Ptr;
namespace fmt = zyk::formats;

namespace {

constexpr char kRootName[] = "D3DFile_Root";
constexpr size_t kTextureNameMax = 127; // characters of a TextureFilename kept

void Trace(const char* text) { OutputDebugStringA(text); }

// Runs step inside a fault frame of its own, with C++ exceptions caught too: true when
// it ran to its end. The file API and the data it hands out come from an untrusted
// file, so a fault in either is caught where it happens and the load goes on.
template <class Step>
bool Protected(Step&& step)
{
    bool finished = false;
    auto body = [&]() {
        try {
            step();
            finished = true;
        } catch (...) {}
    };
    const DWORD fault = zyk::com::RunWithFaultFrame(body);
    return fault == 0 && finished;
}

bool IsType(const GUID* type, const GUID& wanted) { return type && IsEqualGUID(*type, wanted); }

// The object's name in an 80-byte buffer.
bool ReadName(IDirectXFileData* object, char (&name)[kXFileNameSize])
{
    memset(name, 0, sizeof name);
    DWORD size = sizeof name;
    if (FAILED(object->GetName(name, &size))) return false;
    name[sizeof name - 1] = 0;
    return true;
}

// The object's whole data block.
bool ReadData(IDirectXFileData* object, const void*& data, DWORD& size)
{
    void* p = nullptr;
    size = 0;
    if (FAILED(object->GetData(nullptr, &size, &p))) return false;
    data = p;
    if (!p) size = 0;
    return true;
}

// The next child of an object as a data object, or as a reference resolved to one. S_OK
// with the child (a child that is neither leaves both empty); DXFILEERR_NOMOREOBJECTS when
// the children have run out. Any other failure is the file API giving up on the walk (it
// walks only so many children of an object): that is not the end of the children, and the
// load fails with it.
HRESULT NextChild(IDirectXFileData* parent, Ptr<IDirectXFileData>& data, Ptr<IDirectXFileDataReference>& reference)
{
    data.Reset();
    reference.Reset();
    Ptr<IDirectXFileObject> child;
    const HRESULT hr = parent->GetNextObject(child.Out());
    if (FAILED(hr)) return hr;
    if (!child) return DXFILEERR_NOMOREOBJECTS;
    data = child.As<IDirectXFileData>(IID_IDirectXFileData);
    if (!data) reference = child.As<IDirectXFileDataReference>(IID_IDirectXFileDataReference);
    return S_OK;
}

// Where a walk over children ended: S_OK at their end, else the failure that ended it.
HRESULT WalkEnd(HRESULT next) { return next == DXFILEERR_NOMOREOBJECTS ? S_OK : next; }

// FrameTransformMatrix data: the file's right-handed transform made left-handed.
void StoreFrameMatrix(CXFileObject* node, const void* data, DWORD size)
{
    if (size != fmt::kXMatrixSize) return;
    float m[16];
    const uint8_t* p = static_cast<const uint8_t*>(data);
    for (int i = 0; i < 16; ++i) m[i] = fmt::XF32(p + 4 * i);
    for (int i : {2, 6, 8, 9, 14}) m[i] *= -1.0f; // _13, _23, _31, _32, _43
    node->SetMatrix(m);
}

// The face array of a mesh record as the node operations read it, in DWORDs. The
// block that GetData hands out is DWORD-aligned; a copy is made when it is not.
struct FaceArray {
    const DWORD* faces = nullptr;
    std::vector<DWORD> copy;

    bool Take(const fmt::XMeshRecord& mesh)
    {
        if (reinterpret_cast<uintptr_t>(mesh.faces) % alignof(DWORD) == 0) {
            faces = reinterpret_cast<const DWORD*>(mesh.faces);
            return true;
        }
        copy.resize(mesh.faceBytes / sizeof(DWORD));
        memcpy(copy.data(), mesh.faces, copy.size() * sizeof(DWORD));
        faces = copy.data();
        return true;
    }
};

// count floats at p: the block itself when it is aligned for them (as GetData's blocks
// are), else a copy in spare.
const float* FloatsAt(const uint8_t* p, size_t count, std::vector<float>& spare)
{
    if (reinterpret_cast<uintptr_t>(p) % alignof(float) == 0) return reinterpret_cast<const float*>(p);
    spare.resize(count);
    for (size_t i = 0; i < count; ++i) spare[i] = fmt::XF32(p + 4 * i);
    return spare.data();
}

// Faces of a material list into their slots: slot m takes, in file order, the faces
// whose material index is m. Indices of 16 and above, or not below the list's material
// count, name no slot and their faces are dropped.
void AssignFaces(CXFileObject* node, const fmt::XMaterialListRecord& list, const DWORD* faces, DWORD faceCount)
{
    if (list.materialCount == 1 || list.faceIndexCount != faceCount) {
        node->AddFace(0, faces, faceCount);
        return;
    }
    std::vector<const DWORD*> starts(faceCount);
    const DWORD* face = faces;
    for (DWORD f = 0; f < faceCount; ++f, face += 1 + face[0]) starts[f] = face;
    const DWORD slots = list.materialCount < kXFileMaxMaterials ? list.materialCount : kXFileMaxMaterials;
    for (DWORD m = 0; m < slots; ++m)
        for (DWORD f = 0; f < faceCount; ++f)
            if (fmt::XU32(list.faceIndexes + 4 * f) == m) node->AddFace(m, starts[f], 1);
}

// The steps of one load, keeping the file API's interfaces.
struct Loading {
    Ptr<IDirectXFile> file;
    Ptr<IDirectXFileEnumObject> objects;
};

// The file API's enumerator of a file. A name that is not a file is not handed to it (it
// keeps memory of every file it cannot open): that gives the code it would have given.
HRESULT Enumerate(Loading& l, const char* path)
{
    const DWORD attributes = GetFileAttributesA(path);
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) return DXFILEERR_FILENOTFOUND;
    return l.file->CreateEnumObject(const_cast<char*>(path), DXFILELOAD_FROMFILE, l.objects.Out());
}

HRESULT OpenFile(Loading& l, const char* filename)
{
    Trace("ZYK: Enumerating object --> '");
    Trace(filename);
    Trace("' --> ");
    HRESULT hr = Enumerate(l, filename);
    if (SUCCEEDED(hr)) {
        Trace("Succeeded.\n");
        return hr;
    }
    Trace("Failed.\n");
    Trace("ZYK: Enumerating object in Media Path --> ");
    char path[512] = {};
    char media[kSdkMediaPathSize] = {};
    GetSdkMediaPath(media);
    const size_t a = strlen(media), b = strlen(filename);
    if (a + b < sizeof path) {
        memcpy(path, media, a);
        memcpy(path + a, filename, b + 1);
        Trace(path);
        Trace(" --> ");
        hr = Enumerate(l, path);
    } else {
        Trace(" --> "); // the joined name does not fit: the first attempt's code stands
    }
    Trace(SUCCEEDED(hr) ? "Succeeded.\n" : "Failed.\n");
    return hr;
}

HRESULT FrameInto(IDirectXFileData* object, CXFileObject* parent, HRESULT& walk);
HRESULT MeshInto(IDirectXFileData* object, CXFileObject* parent, HRESULT& walk);
HRESULT MaterialListInto(IDirectXFileData* list, CXFileObject* node, HRESULT& walk);
HRESULT MaterialInto(IDirectXFileData* object, CXFileObject* node, DWORD slot, HRESULT& walk);

// One top-level data object into the root; S_OK, or the failure of a walk over children
// inside it.
HRESULT ParseTopLevel(IDirectXFileData* object, CXFileObject* root)
{
    HRESULT walk = S_OK;
    Trace("ZYK: Analysing Type of Data in File --> ");
    if (!object) {
        Trace("(Error) No Pointer.");
        return S_OK;
    }
    const bool parsed = Protected([&] {
        const GUID* type = nullptr;
        const HRESULT hr = object->GetType(&type);
        if (FAILED(hr)) {
            if (hr == DXFILEERR_BADVALUE) Trace("(Error) Bad Value.");
            return;
        }
        if (IsType(type, xfiletid::Frame)) {
            Trace("Frame.\n");
            FrameInto(object, root, walk);
        } else if (IsType(type, xfiletid::Mesh)) {
            Trace("Mesh.");
            MeshInto(object, root, walk);
        }
    });
    if (!parsed) Trace("(Error) Exception.");
    Trace("\n");
    if (!Protected([&] { object->Release(); })) Trace("ZYK: Release caused Exception.\n");
    return walk;
}

} // namespace

CXFile::CXFile() : root_(nullptr) {}

CXFile::~CXFile() { delete root_; }

HRESULT CXFile::Load(const char* filename)
{
    delete root_;
    root_ = nullptr;
    if (!filename) return E_INVALIDARG;

    Loading l;
    Trace("ZYK: Creating File Object --> ");
    if (FAILED(DirectXFileCreate(l.file.Out())) || !l.file) {
        Trace("Failed.\n");
        return E_FAIL;
    }
    Trace("Succeeded.\n");

    Trace("ZYK: Registering Retained Mode Templates --> ");
    if (FAILED(l.file->RegisterTemplates(const_cast<char*>(XFileTemplates), XFileTemplatesSize))) {
        Trace("Failed.\n");
        return E_FAIL;
    }
    Trace("Succeeded.\n");

    HRESULT hr = OpenFile(l, filename);
    if (FAILED(hr)) return hr;

    Trace("ZYK: Creating Root Object --> ");
    CXFileObject* root = new (std::nothrow) CXFileObject(kRootName);
    if (!root) {
        Trace("Failed.\n");
    } else {
        Trace("Succeeded.\n");
        Trace("ZYK: Parsing Meshes/Frames.\n");
        HRESULT last = S_OK;
        for (;;) {
            IDirectXFileData* object = nullptr;
            HRESULT next = E_FAIL;
            if (!Protected([&] { next = l.objects->GetNextDataObject(&object); })) next = E_FAIL;
            if (FAILED(next)) {
                last = next;
                break;
            }
            const HRESULT walk = ParseTopLevel(object, root);
            if (FAILED(walk)) {
                last = walk;
                break;
            }
        }
        if (last == DXFILEERR_NOMOREOBJECTS) {
            hr = S_OK;
            root_ = root;
        } else {
            delete root;
            hr = last;
        }
    }
    Trace("ZYK: Completed Enumeration of X File.\n");
    return hr;
}

namespace {

// The steps of a load, as ParseXFileFrame and the others; walk takes the failure of a walk
// over children, which ends the step (what it made is dropped) and every step above it.
HRESULT FrameInto(IDirectXFileData* object, CXFileObject* parent, HRESULT& walk)
{
    char name[kXFileNameSize];
    if (!ReadName(object, name)) return E_FAIL;
    DebugOut("\t(Info) Frame Name --> '%s'\n", name);
    CXFileObject* node = new (std::nothrow) CXFileObject(name);
    if (!node) return E_OUTOFMEMORY;

    Ptr<IDirectXFileData> child;
    Ptr<IDirectXFileDataReference> reference;
    HRESULT next = DXFILEERR_NOMOREOBJECTS;
    while (SUCCEEDED(walk) && (next = NextChild(object, child, reference)) == S_OK) {
        if (!child) continue; // a reference: frames take their children inline only
        const GUID* type = nullptr;
        if (FAILED(child->GetType(&type))) continue;
        if (IsType(type, xfiletid::Frame)) {
            FrameInto(child.Get(), node, walk);
        } else if (IsType(type, xfiletid::Mesh)) {
            MeshInto(child.Get(), node, walk);
        } else if (IsType(type, xfiletid::FrameTransformMatrix)) {
            const void* data = nullptr;
            DWORD size = 0;
            if (!ReadData(child.Get(), data, size)) {
                delete node; // the frame is given up
                return S_OK;
            }
            StoreFrameMatrix(node, data, size);
        }
    }
    if (SUCCEEDED(walk)) walk = WalkEnd(next);
    if (FAILED(walk)) {
        delete node;
        return walk;
    }
    parent->AddChild(node);
    return S_OK;
}

HRESULT MeshInto(IDirectXFileData* object, CXFileObject* parent, HRESULT& walk)
{
    char name[kXFileNameSize];
    if (!ReadName(object, name)) return E_FAIL;
    DebugOut("\t(Info) Mesh Name --> '%s'\n", name);
    const void* data = nullptr;
    DWORD size = 0;
    if (!ReadData(object, data, size)) return E_FAIL;

    fmt::XMeshRecord mesh;
    if (!fmt::ReadXMesh(data, size, mesh)) return E_FAIL; // counts that do not fit the data
    FaceArray faces;
    faces.Take(mesh);
    std::vector<float> spare;
    const float* positions = FloatsAt(mesh.positions, size_t(mesh.vertexCount) * 3, spare);

    CXFileObject* node = new (std::nothrow) CXFileObject(name);
    if (!node) return E_OUTOFMEMORY;
    node->SetMeshGeometry(positions, mesh.vertexCount, faces.faces, mesh.faceCount);

    bool materialList = false, normals = false;
    Ptr<IDirectXFileData> child;
    Ptr<IDirectXFileDataReference> reference;
    HRESULT next = DXFILEERR_NOMOREOBJECTS;
    while (SUCCEEDED(walk) && (next = NextChild(object, child, reference)) == S_OK) {
        if (!child) continue;
        const GUID* type = nullptr;
        if (FAILED(child->GetType(&type))) continue;
        const void* childData = nullptr;
        DWORD childSize = 0;
        if (!ReadData(child.Get(), childData, childSize)) {
            delete node; // the mesh is given up
            return S_OK;
        }
        if (IsType(type, xfiletid::MeshMaterialList)) {
            fmt::XMaterialListRecord list;
            // The first list assigns the faces; a later one would assign them twice.
            if (materialList || !fmt::ReadXMaterialList(childData, childSize, list)) continue;
            AssignFaces(node, list, faces.faces, mesh.faceCount);
            MaterialListInto(child.Get(), node, walk);
            materialList = true;
        } else if (IsType(type, xfiletid::MeshNormals)) {
            fmt::XArrayRecord array;
            if (fmt::ReadXArray(childData, childSize, fmt::kXNormalSize, array) && array.count == mesh.vertexCount) {
                node->SetNormals(FloatsAt(array.items, size_t(array.count) * 3, spare));
                normals = true;
            }
        } else if (IsType(type, xfiletid::MeshTextureCoords)) {
            fmt::XArrayRecord array;
            if (fmt::ReadXArray(childData, childSize, fmt::kXTextureCoordSize, array) &&
                array.count == mesh.vertexCount)
                node->SetTextureCoords(FloatsAt(array.items, size_t(array.count) * 2, spare));
        }
    }
    if (SUCCEEDED(walk)) walk = WalkEnd(next);
    if (FAILED(walk)) {
        delete node;
        return walk;
    }
    if (!materialList) node->AddFace(0, faces.faces, mesh.faceCount);
    if (!normals) node->ComputeNormals();
    parent->AddChild(node);
    return S_OK;
}

HRESULT MaterialListInto(IDirectXFileData* list, CXFileObject* node, HRESULT& walk)
{
    DWORD slot = 0;
    Ptr<IDirectXFileData> child;
    Ptr<IDirectXFileDataReference> reference;
    HRESULT next = DXFILEERR_NOMOREOBJECTS;
    while (SUCCEEDED(walk) && (next = NextChild(list, child, reference)) == S_OK) {
        Ptr<IDirectXFileData> material = child;
        if (!material && reference) {
            if (FAILED(reference->Resolve(material.Out()))) material.Reset();
        }
        if (!material) continue;
        const GUID* type = nullptr;
        if (FAILED(material->GetType(&type)) || !IsType(type, xfiletid::Material)) continue;
        MaterialInto(material.Get(), node, slot, walk);
        ++slot;
    }
    if (SUCCEEDED(walk)) walk = WalkEnd(next);
    return walk;
}

HRESULT MaterialInto(IDirectXFileData* object, CXFileObject* node, DWORD slot, HRESULT& walk)
{
    const void* data = nullptr;
    DWORD size = 0;
    fmt::XMaterialRecord record;
    if (!ReadData(object, data, size) || !fmt::ReadXMaterial(data, size, record)) return S_OK;

    D3DMATERIAL7 m;
    memset(&m, 0, sizeof m);
    m.diffuse.r = m.ambient.r = record.faceColor[0];
    m.diffuse.g = m.ambient.g = record.faceColor[1];
    m.diffuse.b = m.ambient.b = record.faceColor[2];
    m.diffuse.a = m.ambient.a = record.faceColor[3];
    m.power = record.power;
    m.specular.r = record.specular[0];
    m.specular.g = record.specular[1];
    m.specular.b = record.specular[2];
    m.emissive.r = record.emissive[0];
    m.emissive.g = record.emissive[1];
    m.emissive.b = record.emissive[2];

    // Only the first child is looked at for the texture file name.
    char texture[kTextureNameMax + 1] = {};
    Ptr<IDirectXFileData> child;
    Ptr<IDirectXFileDataReference> reference;
    const HRESULT first = NextChild(object, child, reference);
    walk = WalkEnd(first);
    if (FAILED(walk)) return walk;
    if (first == S_OK && child) {
        const GUID* type = nullptr;
        if (SUCCEEDED(child->GetType(&type)) && IsType(type, xfiletid::TextureFilename)) {
            const void* nameData = nullptr;
            DWORD nameSize = 0;
            if (!ReadData(child.Get(), nameData, nameSize)) return S_OK;
            const char* text = nullptr;
            if (nameSize >= sizeof text) memcpy(&text, nameData, sizeof text);
            if (text) lstrcpynA(texture, text, sizeof texture);
        }
    }
    node->SetMaterialData(slot, m, texture);
    return S_OK;
}

} // namespace

HRESULT ParseXFileFrame(IDirectXFileData* object, CXFileObject* parent)
{
    HRESULT walk = S_OK;
    const HRESULT hr = FrameInto(object, parent, walk);
    return FAILED(walk) ? walk : hr;
}

HRESULT ParseXFileMesh(IDirectXFileData* object, CXFileObject* parent)
{
    HRESULT walk = S_OK;
    const HRESULT hr = MeshInto(object, parent, walk);
    return FAILED(walk) ? walk : hr;
}

HRESULT ParseXFileMaterialList(IDirectXFileData* list, CXFileObject* node)
{
    HRESULT walk = S_OK;
    return MaterialListInto(list, node, walk);
}

HRESULT ParseXFileMaterial(IDirectXFileData* object, CXFileObject* node, DWORD slot)
{
    HRESULT walk = S_OK;
    const HRESULT hr = MaterialInto(object, node, slot, walk);
    return FAILED(walk) ? walk : hr;
}

HRESULT CXFile::Render(IDirect3DDevice7* device)
{
    if (!root_ || !device) return S_OK;

    // The states are held and sent only when a draw needs them, so a pass that draws
    // nothing, and a run of models that put back the same values, send nothing.
    DeviceStateScope state(device);
    const D3DMATERIAL7 material = state->Material();
    const zyk::com::Ptr<IDirectDrawSurface7> texture(state->Texture());
    const D3DMATRIX world = state->World();
    const DWORD blend = state->RenderState(D3DRENDERSTATE_ALPHABLENDENABLE, 0);
    const DWORD source = state->RenderState(D3DRENDERSTATE_SRCBLEND, D3DBLEND_ONE);
    const DWORD destination = state->RenderState(D3DRENDERSTATE_DESTBLEND, D3DBLEND_ZERO);

    root_->Render(*state, FALSE);
    state->SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, TRUE);
    state->SetRenderState(D3DRENDERSTATE_SRCBLEND, D3DBLEND_SRCALPHA);
    state->SetRenderState(D3DRENDERSTATE_DESTBLEND, D3DBLEND_INVSRCALPHA);
    root_->Render(*state, TRUE);

    state->SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, blend);
    state->SetRenderState(D3DRENDERSTATE_SRCBLEND, source);
    state->SetRenderState(D3DRENDERSTATE_DESTBLEND, destination);
    state->SetWorld(world);
    state->SetTexture(texture.Get());
    state->SetMaterial(material);
    return S_OK;
}

namespace {

// Walks node, its subtree and its following siblings under the parent's matrix; true
// when the callback asked to stop.
bool Walk(CXFileObject* node, const D3DMATRIX& parent, XFileEnumCallback callback, void* context)
{
    for (; node; node = node->next) {
        D3DMATRIX m = MultiplyXFileMatrices(node->matrix, parent);
        if (callback(node, &m, context) == 1) return true;
        if (node->child && Walk(node->child, m, callback, context)) return true;
    }
    return false;
}

// Calls fn for every node of the tree in walk order.
template <class Fn>
void ForEachNode(CXFileObject* root, Fn&& fn)
{
    if (!root) return;
    D3DMATRIX identity;
    memset(&identity, 0, sizeof identity);
    identity._11 = identity._22 = identity._33 = identity._44 = 1.0f;
    auto call = [](CXFileObject* node, D3DMATRIX*, void* context) -> BOOL {
        return (*static_cast<Fn*>(context))(node) ? 1 : 0;
    };
    Walk(root, identity, call, &fn);
}

} // namespace

HRESULT CXFile::EnumObjects(XFileEnumCallback callback, const D3DMATRIX* start, void* context)
{
    if (!callback) return E_INVALIDARG;
    if (!root_) return S_OK;
    D3DMATRIX m;
    if (start) {
        m = *start;
    } else {
        memset(&m, 0, sizeof m);
        m._11 = m._22 = m._33 = m._44 = 1.0f;
    }
    Walk(root_, m, callback, context);
    return S_OK;
}

CXFileObject* CXFile::FindObject(const char* name)
{
    if (!name) return root_;
    CXFileObject* found = nullptr;
    ForEachNode(root_, [&](CXFileObject* node) {
        if (lstrcmpiA(node->name, name) != 0) return false;
        found = node;
        return true;
    });
    return found;
}

HRESULT CXFile::GetMeshVertices(const char* name, D3DVERTEX** vertices, DWORD* count)
{
    CXFileObject* node = FindObject(name);
    if (!node) return E_FAIL;
    return node->GetMeshGeometry(vertices, count, nullptr, nullptr);
}

HRESULT CXFile::GetMeshIndices(const char* name, WORD** indices, DWORD* count)
{
    CXFileObject* node = FindObject(name);
    if (!node) return E_FAIL;
    return node->GetMeshGeometry(nullptr, nullptr, indices, count);
}

HRESULT CXFile::Scale(float factor)
{
    ForEachNode(root_, [&](CXFileObject* node) {
        for (DWORD i = 0; node->isMesh && i < node->numVertices; ++i) {
            node->vertices[i].x *= factor;
            node->vertices[i].y *= factor;
            node->vertices[i].z *= factor;
        }
        return false;
    });
    return S_OK;
}

HRESULT CXFile::Translate(float x, float y, float z)
{
    ForEachNode(root_, [&](CXFileObject* node) {
        for (DWORD i = 0; node->isMesh && i < node->numVertices; ++i) {
            node->vertices[i].x += x;
            node->vertices[i].y += y;
            node->vertices[i].z += z;
        }
        return false;
    });
    return S_OK;
}

// A model loaded from a DirectX `.x` file: a tree of CXFileObject nodes under a root
// named "D3DFile_Root", read through the platform's DirectX file API, and drawn on a
// Direct3D 7 device in two passes (opaque nodes, then alpha-blended ones).
//
//   CXFile* model = new (std::nothrow) CXFile;
//   HRESULT hr = model->Load("ship.x");   // S_OK, or the file API's code; see Load
//   model->Render(device);                // inside the device's scene
//   delete model;
//
// Every step of a load writes a line to the debugger output.
#pragma once
#include <windows.h>
#include <ddraw.h>
#include <d3d.h>
#include <dxfile.h>
#include "xfileobject.h"

// Called for each node of a walk with the node's matrix composed with those of the
// frames above it (and the start matrix); returning 1 stops the walk.
typedef BOOL (*XFileEnumCallback)(CXFileObject* node, D3DMATRIX* matrix, void* context);

class CXFile {
public:
    CXFile();
    ~CXFile();
    CXFile(const CXFile&) = delete;
    CXFile& operator=(const CXFile&) = delete;

    // Loads the file (tried as named, then under the DirectX SDK's media folder),
    // replacing the tree held. S_OK; E_FAIL when the file API cannot be created or set
    // up; the file API's code when the file cannot be opened, its parse ends in an
    // error, or it fails a walk over the children of an object otherwise than by their
    // end (nothing is kept then). Frames, meshes and materials that cannot be read are
    // left out and the rest still loads; a damaged file never faults.
    HRESULT Load(const char* filename);
    // Draws the model (S_OK, also without a tree). Leaves the device's material, stage-0
    // texture, world matrix, ALPHABLENDENABLE, SRCBLEND and DESTBLEND as it found them.
    HRESULT Render(IDirect3DDevice7* device);

    // Walks the tree depth first (node, its children, its following siblings). start
    // may be NULL for identity. S_OK, also when the callback stopped the walk.
    HRESULT EnumObjects(XFileEnumCallback callback, const D3DMATRIX* start, void* context);
    // The root for a NULL name, else the first node in walk order whose name equals
    // name ignoring case, or NULL.
    CXFileObject* FindObject(const char* name);
    // The vertex or index array of the named node (the node's own, not a copy); E_FAIL
    // when no node has that name.
    HRESULT GetMeshVertices(const char* name, D3DVERTEX** vertices, DWORD* count);
    HRESULT GetMeshIndices(const char* name, WORD** indices, DWORD* count);
    // Every mesh vertex position multiplied by factor, or moved by (x, y, z); normals
    // stay as they are.
    HRESULT Scale(float factor);
    HRESULT Translate(float x, float y, float z);

    CXFileObject* Root() const { return root_; }

private:
    CXFileObject* root_;
};

// The steps of a load, each adding what it reads to the parent node. Each returns
// S_OK when it left out what it could not read, E_FAIL when the object gives no name or
// (mesh) no data, and the file API's code when a walk over children inside it failed
// otherwise than by their end (DXFILEERR_NOMOREOBJECTS): the step then adds nothing.
HRESULT ParseXFileFrame(IDirectXFileData* object, CXFileObject* parent);
HRESULT ParseXFileMesh(IDirectXFileData* object, CXFileObject* parent);
HRESULT ParseXFileMaterialList(IDirectXFileData* list, CXFileObject* node);
HRESULT ParseXFileMaterial(IDirectXFileData* object, CXFileObject* node, DWORD slot);

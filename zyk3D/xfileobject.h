// A node of a loaded `.x` model: a frame (a transform over its children) or a mesh (its
// vertices, a 16-bit triangle-list index list split into runs by material, and up to 16
// materials). A node owns its first child and its next sibling, and with them the whole
// subtree and the rest of the sibling chain.
#pragma once
#include <windows.h>
#include <ddraw.h>
#include <d3d.h>

class DeviceState;

// Material slots a mesh node holds; faces given to a higher slot are dropped.
constexpr DWORD kXFileMaxMaterials = 16;
// Characters of a node name or a slot's texture name, with the terminating NUL.
constexpr size_t kXFileNameSize = 80;

struct XFileMaterialSlot {
    D3DMATERIAL7 material;
    char textureName[kXFileNameSize]; // "" when the material has no texture
    DWORD indexCount;                 // indices in this slot's run of the index list
    // The slot holds one use of the texture store's record of textureName, taken when
    // the material was set and dropped when it is replaced or the node is deleted.
    BOOL holdsTexture;
};

class CXFileObject {
public:
    // A node named name (cut at 79 characters; NULL gives ""), with an identity matrix,
    // no geometry and slot 0 set to the white default material.
    explicit CXFileObject(const char* name);
    // Deletes the subtree and the following siblings, drops the texture uses the slots
    // hold and frees the arrays.
    ~CXFileObject();
    CXFileObject(const CXFileObject&) = delete;
    CXFileObject& operator=(const CXFileObject&) = delete;

    // Mesh geometry: numVertices vertices at the positions (x, y, z each; normals and
    // texture coordinates zero) and room for the fanned triangles of the numFaces faces
    // at faceData (see CountXFileIndices). The faces themselves are added with AddFace.
    // Replaces earlier geometry and empties every slot's run. E_OUTOFMEMORY leaves the
    // node without the array that could not be made.
    HRESULT SetMeshGeometry(const float* positions, DWORD numVertices, const DWORD* faceData, DWORD numFaces);
    // Fans numFaces faces from faceData into the run of slot: face (i0 .. in-1) gives the
    // triangles (i0, ij-1, ij) for j = 2 .. n-1, each index kept as its low 16 bits.
    // Faces of fewer than three indices, faces naming a vertex the mesh does not have,
    // slots of 16 and above, and faces the index list has no room left for are dropped.
    // Runs stay in slot order whatever order the slots are filled in.
    HRESULT AddFace(DWORD slot, const DWORD* faceData, DWORD numFaces);
    // Stores the material and texture name (cut at 79 characters) of slot (below 16
    // only) and registers the texture with the store; a diffuse alpha below 1.0 marks
    // the node as drawn in the blended pass.
    HRESULT SetMaterialData(DWORD slot, const D3DMATERIAL7& material, const char* textureName);
    // numVertices normals (nx, ny, nz each) or texture coordinate pairs (tu, tv) copied
    // into the vertices.
    HRESULT SetNormals(const float* normals);
    HRESULT SetTextureCoords(const float* coords);
    // The frame transform: 16 floats, row-major (_11 .. _44).
    HRESULT SetMatrix(const float* matrix);
    // Vertex normals from the triangles of the index list: the normalised sum of the
    // normals of the triangles that use the vertex; (0, 0, 1) where that sum is shorter
    // than 0.1 or not finite.
    HRESULT ComputeNormals();
    // node becomes the last child of this node, or the last sibling after it.
    HRESULT AddChild(CXFileObject* node);
    HRESULT AddNext(CXFileObject* node);
    // The node's arrays and counts; each out pointer may be NULL.
    HRESULT GetMeshGeometry(D3DVERTEX** vertices, DWORD* vertexCount, WORD** indexList, DWORD* indexCount);
    const char* GetName() const { return name; }

    // Draws this node, its subtree and its following siblings for one pass: mesh nodes
    // whose hasAlpha equals alphaPass, under the frame matrices composed with the world
    // matrix in force.
    void Render(DeviceState& state, BOOL alphaPass);

    char name[kXFileNameSize];
    CXFileObject* next;
    CXFileObject* child;
    D3DMATRIX matrix;
    BOOL isMesh;
    DWORD numVertices;
    D3DVERTEX* vertices;
    DWORD numIndices; // capacity of indices
    WORD* indices;
    DWORD numMaterials; // one more than the highest slot faces were added to
    XFileMaterialSlot materials[kXFileMaxMaterials];
    BOOL hasAlpha;

private:
    void RenderMesh(DeviceState& state, BOOL alphaPass);
    DWORD UsedIndices() const;
};

// first x then in row-vector order (element (i, j) = sum over k of first(i, k) x
// then(k, j)): first's transform applies before then's.
D3DMATRIX MultiplyXFileMatrices(const D3DMATRIX& first, const D3DMATRIX& then);

// The face at position k of a face array (each face: a count n, then n indices). The
// array must hold k complete faces.
const DWORD* SkipXFileFaces(const DWORD* faceData, DWORD k);
// Triangle-list indices that fanning numFaces faces gives: (n - 2) x 3 for each face of
// three or more indices. The array must hold numFaces complete faces.
DWORD CountXFileIndices(const DWORD* faceData, DWORD numFaces);

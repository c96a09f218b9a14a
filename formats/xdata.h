// Data records of DirectX `.x` file objects, as the file API hands them out: one block
// of packed little-endian 32-bit fields per object, laid out by the object's template.
//
// The readers take the block and the size that came with it and check every count
// against the bytes actually present before anything is read: a record whose counts
// do not fit its block is refused. They never read outside the block, never allocate
// and never throw. Nothing here needs the block to be aligned.
#pragma once

#include <cstddef>
#include <cstdint>

namespace zyk::formats {

// Mesh: nVertices, nVertices x (x, y, z) floats, nFaces, then nFaces faces, each a
// count n followed by n vertex indices.
struct XMeshRecord {
    uint32_t vertexCount = 0;
    const uint8_t* positions = nullptr; // vertexCount x 12 bytes
    uint32_t faceCount = 0;
    const uint8_t* faces = nullptr; // the face array
    size_t faceBytes = 0;           // its size in bytes
    // Triangle-list indices that fanning every face gives: (n - 2) x 3 for each face
    // of three or more indices. At most 3/4 of the block's size, so never overflows.
    size_t triangleIndexCount = 0;
};

// MeshMaterialList: nMaterials, nFaceIndexes, nFaceIndexes material indices.
struct XMaterialListRecord {
    uint32_t materialCount = 0;
    uint32_t faceIndexCount = 0;
    const uint8_t* faceIndexes = nullptr; // faceIndexCount x 4 bytes
};

// A count followed by that many items of a fixed size: the normals of MeshNormals
// (12 bytes each; what follows them is not looked at) and the coordinates of
// MeshTextureCoords (8 bytes each).
struct XArrayRecord {
    uint32_t count = 0;
    const uint8_t* items = nullptr;
};

// Material: faceColor RGBA, power, specularColor RGB, emissiveColor RGB.
struct XMaterialRecord {
    float faceColor[4] = {};
    float power = 0;
    float specular[3] = {};
    float emissive[3] = {};
};

inline constexpr size_t kXMaterialSize = 44;
inline constexpr size_t kXMatrixSize = 64;
inline constexpr size_t kXNormalSize = 12;
inline constexpr size_t kXTextureCoordSize = 8;

// Each returns false, leaving `out` at its defaults, when the block is null or does not
// hold what its counts say.
bool ReadXMesh(const void* data, size_t size, XMeshRecord& out);
bool ReadXMaterialList(const void* data, size_t size, XMaterialListRecord& out);
bool ReadXArray(const void* data, size_t size, size_t itemSize, XArrayRecord& out);
// Takes the first 44 bytes; more is allowed (a material's optional members follow).
bool ReadXMaterial(const void* data, size_t size, XMaterialRecord& out);

// Little-endian field reads at a byte address.
uint32_t XU32(const uint8_t* p);
float XF32(const uint8_t* p);

} // namespace zyk::formats

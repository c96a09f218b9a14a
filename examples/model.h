// The sample model that the game and the benchmarks write for themselves: a box in two
// materials, and a fin above it on a frame of its own nested inside the box's frame.
#pragma once
#include <string>
#include <vector>

namespace sample {

// Where the model's outer frame puts it: this far along x.
constexpr float kShipOffsetX = -1.8f;

struct ModelVertex {
    float x, y, z, nx, ny, nz, tu, tv; // the D3DVERTEX layout
};

struct ModelMaterial {
    float r, g, b, a; // face colour (diffuse and ambient)
    float power;
    const char* name;
};

// One mesh: vertices, triangle indices grouped by material, and each material's share.
struct ModelMesh {
    const char* name;
    float offsetY; // the translation of the mesh's own frame
    std::vector<ModelVertex> vertices;
    std::vector<std::vector<int>> faces; // polygons, as the file lists them
    std::vector<int> faceMaterials;
    std::vector<ModelMaterial> materials;
};

std::vector<ModelMesh> SampleMeshes();

// The model in the text form of the .x format.
std::string SampleModelText();
bool WriteSampleModel(const char* path);

// The triangles of a mesh's material, fanned from its polygons as the engine draws them.
std::vector<unsigned short> TrianglesOf(const ModelMesh& mesh, int material);

} // namespace sample

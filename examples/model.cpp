// The sample model's meshes, written as a .x text file, and the triangles of each material.
#include "model.h"
#include <cstdio>

namespace sample {

namespace {

// A box of 24 vertices (four a side, so each side has its own normal).
ModelMesh Box()
{
    ModelMesh m{"HullMesh", 0.0f, {}, {}, {}, {}};
    const float s = 1.0f;
    struct Side {
        float nx, ny, nz;
        float corners[4][3];
    } const sides[] = {
        {0, 0, -1, {{-s, -s, -s}, {-s, s, -s}, {s, s, -s}, {s, -s, -s}}},
        {0, 0, 1, {{s, -s, s}, {s, s, s}, {-s, s, s}, {-s, -s, s}}},
        {-1, 0, 0, {{-s, -s, s}, {-s, s, s}, {-s, s, -s}, {-s, -s, -s}}},
        {1, 0, 0, {{s, -s, -s}, {s, s, -s}, {s, s, s}, {s, -s, s}}},
        {0, 1, 0, {{-s, s, -s}, {-s, s, s}, {s, s, s}, {s, s, -s}}},
        {0, -1, 0, {{-s, -s, s}, {-s, -s, -s}, {s, -s, -s}, {s, -s, s}}},
    };
    int side = 0;
    for (const Side& f : sides) {
        std::vector<int> face;
        for (const auto& c : f.corners) {
            face.push_back(static_cast<int>(m.vertices.size()));
            m.vertices.push_back({c[0], c[1], c[2], f.nx, f.ny, f.nz, 0, 0});
        }
        m.faces.push_back(face);
        // Front, back, top and bottom orange; the two ends blue.
        m.faceMaterials.push_back(side == 2 || side == 3 ? 1 : 0);
        ++side;
    }
    m.materials = {{1.0f, 0.5f, 0.1f, 1.0f, 20.0f, "Hull"}, {0.2f, 0.4f, 1.0f, 1.0f, 10.0f, "Ends"}};
    return m;
}

// A four-sided pyramid, its normals left for the engine to compute.
ModelMesh Fin()
{
    ModelMesh m{"FinMesh", 1.0f, {}, {}, {}, {}};
    const float h = 0.8f, w = 0.5f;
    m.vertices = {{0, h, 0, 0, 0, 0, 0, 0},
                  {-w, 0, -w, 0, 0, 0, 0, 0},
                  {-w, 0, w, 0, 0, 0, 0, 0},
                  {w, 0, w, 0, 0, 0, 0, 0},
                  {w, 0, -w, 0, 0, 0, 0, 0}};
    m.faces = {{0, 4, 1}, {0, 1, 2}, {0, 2, 3}, {0, 3, 4}};
    m.faceMaterials = {0, 0, 0, 0};
    m.materials = {{0.3f, 0.9f, 0.3f, 1.0f, 5.0f, "Fin"}};
    return m;
}

void Append(std::string& out, const char* format, double a = 0, double b = 0, double c = 0, double d = 0)
{
    char line[256];
    snprintf(line, sizeof line, format, a, b, c, d);
    out += line;
}

// The count and the polygons of a mesh, as the Mesh and MeshNormals templates list them.
void WriteFaces(std::string& out, const ModelMesh& m, const char* indent)
{
    out += indent;
    Append(out, "%.0f;\n", static_cast<double>(m.faces.size()));
    for (size_t i = 0; i < m.faces.size(); ++i) {
        out += indent;
        Append(out, "%.0f;", static_cast<double>(m.faces[i].size()));
        for (size_t k = 0; k < m.faces[i].size(); ++k) {
            Append(out, "%.0f", m.faces[i][k]);
            out += k + 1 < m.faces[i].size() ? "," : ";";
        }
        out += i + 1 < m.faces.size() ? ",\n" : ";\n";
    }
}

// The count and one vector a vertex: its position, or its normal.
void WriteVectors(std::string& out, const ModelMesh& m, const char* indent, bool normals)
{
    out += indent;
    Append(out, "%.0f;\n", static_cast<double>(m.vertices.size()));
    for (size_t i = 0; i < m.vertices.size(); ++i) {
        const ModelVertex& v = m.vertices[i];
        out += indent;
        if (normals)
            Append(out, "%.6f;%.6f;%.6f;", v.nx, v.ny, v.nz);
        else
            Append(out, "%.6f;%.6f;%.6f;", v.x, v.y, v.z);
        out += i + 1 < m.vertices.size() ? ",\n" : ";\n";
    }
}

void WriteMesh(std::string& out, const ModelMesh& m, bool normals)
{
    out += "Mesh ";
    out += m.name;
    out += " {\n";
    WriteVectors(out, m, " ", false);
    WriteFaces(out, m, " ");
    out += " MeshMaterialList {\n";
    Append(out, "  %.0f;\n  %.0f;\n  ", static_cast<double>(m.materials.size()), static_cast<double>(m.faces.size()));
    for (size_t i = 0; i < m.faceMaterials.size(); ++i) {
        Append(out, "%.0f", m.faceMaterials[i]);
        out += i + 1 < m.faceMaterials.size() ? "," : ";;\n";
    }
    for (const ModelMaterial& mat : m.materials) {
        out += "  Material ";
        out += mat.name;
        out += " {\n";
        Append(out, "   %.6f;%.6f;%.6f;%.6f;;\n", mat.r, mat.g, mat.b, mat.a);
        Append(out, "   %.6f;\n   1.000000;1.000000;1.000000;;\n   0.000000;0.000000;0.000000;;\n  }\n", mat.power);
    }
    out += " }\n";
    if (normals) {
        out += " MeshNormals {\n";
        WriteVectors(out, m, "  ", true);
        WriteFaces(out, m, "  ");
        out += " }\n";
    }
    out += "}\n";
}

// A translation; the loader leaves _41 and _42 as they are.
void WriteMatrix(std::string& out, float x, float y)
{
    out += " FrameTransformMatrix {\n  1.000000,0.000000,0.000000,0.000000,0.000000,1.000000,0.000000,0.000000,\n";
    Append(out, "  0.000000,0.000000,1.000000,0.000000,%.6f,%.6f,0.000000,1.000000;;\n }\n", x, y);
}

} // namespace

std::vector<ModelMesh> SampleMeshes() { return {Box(), Fin()}; }

std::string SampleModelText()
{
    const std::vector<ModelMesh> meshes = SampleMeshes();
    std::string out = "xof 0302txt 0032\n\nFrame Ship {\n";
    WriteMatrix(out, kShipOffsetX, 0.0f);
    out += " Frame Hull {\n";
    WriteMatrix(out, 0.0f, meshes[0].offsetY);
    WriteMesh(out, meshes[0], true);
    out += " Frame Fin {\n";
    WriteMatrix(out, 0.0f, meshes[1].offsetY);
    WriteMesh(out, meshes[1], false);
    out += " }\n }\n}\n";
    return out;
}

bool WriteSampleModel(const char* path)
{
    const std::string text = SampleModelText();
    FILE* f = fopen(path, "wb");
    if (!f) return false;
    const bool written = fwrite(text.data(), 1, text.size(), f) == text.size();
    return fclose(f) == 0 && written;
}

std::vector<unsigned short> TrianglesOf(const ModelMesh& mesh, int material)
{
    std::vector<unsigned short> out;
    for (size_t i = 0; i < mesh.faces.size(); ++i) {
        if (mesh.faceMaterials[i] != material) continue;
        const std::vector<int>& f = mesh.faces[i];
        for (size_t j = 2; j < f.size(); ++j) {
            out.push_back(static_cast<unsigned short>(f[0]));
            out.push_back(static_cast<unsigned short>(f[j - 1]));
            out.push_back(static_cast<unsigned short>(f[j]));
        }
    }
    return out;
}

} // namespace sample

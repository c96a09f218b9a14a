// The .x model loader: files written by the tests in the format's text form are loaded
// through the platform's file API, and the tree, its meshes, the traces and the texture
// store's records are looked at; data blocks that the file API would never hand out
// come from a stand-in data object.
#include <gtest/gtest.h>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>
#include "com/module.h"
#include "testkit.h"
#include "texturestore.h"
#include "xfile.h"
#include "xfiletemplates.h"

namespace {

std::string Folder()
{
    static const std::string dir = testkit::ProcessFolder("zyk_xfile_");
    return dir;
}

// Writes a file of the test folder; its full name.
std::string Write(const std::string& name, const std::string& text)
{
    const std::string path = Folder() + name;
    testkit::WriteAll(path, text);
    return path;
}

const char kHeader[] = "xof 0302txt 0064\n";

// A mesh of the given vertices ("x;y;z;" each) and faces ("n;i,j,k;" each) with the
// children's text inside it.
std::string Mesh(const std::string& name, const std::vector<std::string>& vertices,
                 const std::vector<std::string>& faces, const std::string& children = "")
{
    std::string s = "Mesh " + name + " {\n " + std::to_string(vertices.size()) + ";\n";
    for (size_t i = 0; i < vertices.size(); ++i) s += " " + vertices[i] + (i + 1 < vertices.size() ? ",\n" : ";\n");
    s += " " + std::to_string(faces.size()) + ";\n";
    for (size_t i = 0; i < faces.size(); ++i) s += " " + faces[i] + (i + 1 < faces.size() ? ",\n" : ";\n");
    return s + children + "}\n";
}

// A 4 x 4 matrix, row-major, as FrameTransformMatrix text.
std::string Matrix(const float (&m)[16])
{
    std::string s = "FrameTransformMatrix {\n";
    char v[32];
    for (int i = 0; i < 16; ++i) {
        snprintf(v, sizeof v, "%.6f%s", m[i], i == 15 ? ";;\n" : ",");
        s += v;
    }
    return s + "}\n";
}

std::string Translation(float x, float y, float z)
{
    const float m[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, x, y, z, 1};
    return Matrix(m);
}

// A material: face colour RGBA, power, specular and emissive RGB, optional texture file.
std::string Material(const std::string& name, float r, float g, float b, float a, const std::string& texture = "")
{
    char s[256];
    snprintf(s, sizeof s,
             "Material %s {\n %.6f;%.6f;%.6f;%.6f;;\n 4.000000;\n 0.250000;0.500000;0.750000;;\n"
             " 0.100000;0.200000;0.300000;;\n",
             name.c_str(), r, g, b, a);
    std::string out = s;
    if (!texture.empty()) out += " TextureFilename { \"" + texture + "\"; }\n";
    return out + "}\n";
}

std::string MaterialList(int count, const std::vector<uint32_t>& faceMaterials, const std::string& materials)
{
    std::string s =
        "MeshMaterialList {\n " + std::to_string(count) + ";\n " + std::to_string(faceMaterials.size()) + ";\n ";
    for (size_t i = 0; i < faceMaterials.size(); ++i)
        s += std::to_string(faceMaterials[i]) + (i + 1 < faceMaterials.size() ? "," : ";;\n");
    if (faceMaterials.empty()) s += ";\n";
    return s + materials + "}\n";
}

const std::vector<std::string> kSquare = {"0.0;0.0;0.0;", "1.0;0.0;0.0;", "1.0;1.0;0.0;", "0.0;1.0;0.0;"};
const std::vector<std::string> kTriangle = {"0.0;0.0;0.0;", "1.0;0.0;0.0;", "1.0;1.0;0.0;"};

std::vector<WORD> Indices(CXFileObject* node, DWORD first, DWORD count)
{
    return std::vector<WORD>(node->indices + first, node->indices + first + count);
}

std::vector<std::string> Walk(CXFile& model)
{
    std::vector<std::string> names;
    model.EnumObjects(
        [](CXFileObject* node, D3DMATRIX*, void* context) -> BOOL {
            static_cast<std::vector<std::string>*>(context)->push_back(node->GetName());
            return 0;
        },
        nullptr, &names);
    return names;
}

std::string Joined(const testkit::DebugCapture& capture)
{
    std::string all;
    for (const std::string& line : capture.Lines()) all += line;
    return all;
}

size_t Records()
{
    size_t n = 0;
    for (CTextureContainer* r = TextureContainerList; r; r = r->next) ++n;
    return n;
}

class XFileLoad : public ::testing::Test {
protected:
    void SetUp() override
    {
        DestroyAllTextures();
        SetTexturePath(Folder().c_str());
    }
    void TearDown() override
    {
        DestroyAllTextures();
        SetTexturePath(nullptr);
    }

    // Loads header + body; the load's result.
    HRESULT Load(const std::string& body, const char* name = "model.x")
    {
        return model.Load(Write(name, kHeader + body).c_str());
    }
    CXFileObject* Find(const char* name)
    {
        CXFileObject* node = model.FindObject(name);
        EXPECT_NE(node, nullptr) << name;
        return node;
    }

    CXFile model;
};

TEST_F(XFileLoad, TopLevelMeshUnderTheRootWithEveryTrace)
{
    testkit::DebugCapture capture;
    const std::string path = Write("tri.x", kHeader + Mesh("Tri", kTriangle, {"3;0,1,2;"}));
    ASSERT_EQ(model.Load(path.c_str()), S_OK);

    CXFileObject* root = model.FindObject(nullptr);
    ASSERT_NE(root, nullptr);
    EXPECT_STREQ(root->GetName(), "D3DFile_Root");
    EXPECT_FALSE(root->isMesh);
    EXPECT_EQ(root->next, nullptr);
    const float identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    EXPECT_EQ(memcmp(&root->matrix, identity, sizeof identity), 0);
    CXFileObject* mesh = root->child;
    ASSERT_NE(mesh, nullptr);
    EXPECT_STREQ(mesh->GetName(), "Tri");
    EXPECT_TRUE(mesh->isMesh);
    EXPECT_EQ(mesh->next, nullptr);
    EXPECT_EQ(mesh->child, nullptr);

    D3DVERTEX* v = nullptr;
    WORD* ix = nullptr;
    DWORD nv = 0, ni = 0;
    EXPECT_EQ(mesh->GetMeshGeometry(&v, &nv, &ix, &ni), S_OK);
    ASSERT_EQ(nv, 3u);
    ASSERT_EQ(ni, 3u);
    EXPECT_EQ(v[2].x, 1.0f);
    EXPECT_EQ(v[2].y, 1.0f);
    EXPECT_EQ(v[2].tu, 0.0f);
    EXPECT_EQ(Indices(mesh, 0, 3), (std::vector<WORD>{0, 1, 2}));
    // no material list: everything in slot 0, drawn in white
    EXPECT_EQ(mesh->numMaterials, 1u);
    EXPECT_EQ(mesh->materials[0].indexCount, 3u);
    EXPECT_EQ(mesh->materials[0].material.diffuse.r, 1.0f);
    EXPECT_EQ(mesh->materials[0].material.ambient.a, 1.0f);
    EXPECT_EQ(mesh->materials[0].material.specular.r, 0.0f);
    EXPECT_FALSE(mesh->hasAlpha);

    EXPECT_EQ(Joined(capture), "ZYK: Creating File Object --> Succeeded.\n"
                               "ZYK: Registering Retained Mode Templates --> Succeeded.\n"
                               "ZYK: Enumerating object --> '" +
                                   path +
                                   "' --> Succeeded.\n"
                                   "ZYK: Creating Root Object --> Succeeded.\n"
                                   "ZYK: Parsing Meshes/Frames.\n"
                                   "ZYK: Analysing Type of Data in File --> Mesh.\t(Info) Mesh Name --> 'Tri'\n\n"
                                   "ZYK: Completed Enumeration of X File.\n");
}

TEST_F(XFileLoad, NestedFramesTurnTheirMatricesLeftHanded)
{
    const float outer[16] = {1, 2, 3, 0, 5, 6, 7, 0, 9, 10, 11, 0, 13, 14, 15, 1};
    testkit::DebugCapture capture;
    ASSERT_EQ(Load("Frame Outer {\n" + Matrix(outer) + "Frame Inner {\n" + Translation(0, 2, 5) +
                   Mesh("Box", kTriangle, {"3;0,1,2;"}) + "}\n}\n" + "Frame Empty {\n}\n" +
                   Mesh("Loose", kTriangle, {"3;0,1,2;"})),
              S_OK);
    EXPECT_NE(Joined(capture).find("ZYK: Analysing Type of Data in File --> Frame.\n\t(Info) Frame Name --> 'Outer'\n"),
              std::string::npos);
    EXPECT_TRUE(capture.Contains("\t(Info) Frame Name --> 'Outer'\n"));
    EXPECT_TRUE(capture.Contains("\t(Info) Frame Name --> 'Inner'\n"));

    // _13, _23, _31, _32 and _43 change sign; the rest is the file's
    CXFileObject* o = Find("OUTER");
    const float turned[16] = {1, 2, -3, 0, 5, 6, -7, 0, -9, -10, 11, 0, 13, 14, -15, 1};
    EXPECT_EQ(memcmp(&o->matrix, turned, sizeof turned), 0);
    EXPECT_EQ(Find("inner")->matrix._43, -5.0f);
    EXPECT_EQ(Find("inner")->matrix._42, 2.0f);
    const float identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    EXPECT_EQ(memcmp(&Find("Empty")->matrix, identity, sizeof identity), 0);

    // depth first: node, children, then the siblings
    EXPECT_EQ(Walk(model), (std::vector<std::string>{"D3DFile_Root", "Outer", "Inner", "Box", "Empty", "Loose"}));
    EXPECT_EQ(model.FindObject("nothing"), nullptr);

    // the walk hands each node its matrix composed with the frames above it
    struct Seen {
        D3DMATRIX box;
        int calls = 0;
    } seen;
    D3DMATRIX start = {};
    start._11 = start._22 = start._33 = start._44 = 1;
    start._41 = 100;
    model.EnumObjects(
        [](CXFileObject* node, D3DMATRIX* m, void* context) -> BOOL {
            Seen* s = static_cast<Seen*>(context);
            ++s->calls;
            if (lstrcmpA(node->GetName(), "Box") != 0) return 0;
            s->box = *m;
            return 1; // stops the walk
        },
        &start, &seen);
    EXPECT_EQ(seen.calls, 4);
    // Box sits at inner's (0, 2, -5), then outer's transform, then start's
    const float x = 0 * 1 + 2 * 5 + -5 * -9 + 13 + 100;
    const float y = 0 * 2 + 2 * 6 + -5 * -10 + 14;
    const float z = 0 * -3 + 2 * -7 + -5 * 11 + -15;
    EXPECT_FLOAT_EQ(seen.box._41, x);
    EXPECT_FLOAT_EQ(seen.box._42, y);
    EXPECT_FLOAT_EQ(seen.box._43, z);
}

TEST_F(XFileLoad, QuadsAndPentagonsAreFannedAndBadFacesDropped)
{
    const std::vector<std::string> five = {"0.0;0.0;0.0;", "1.0;0.0;0.0;", "1.0;1.0;0.0;", "0.5;1.5;0.0;",
                                           "0.0;1.0;0.0;"};
    ASSERT_EQ(
        Load(Mesh("Shape", five, {"4;0,1,2,3;", "5;0,1,2,3,4;", "2;0,1;", "3;0,1,5;", "3;4,3,2;", "3;70000,1,2;"})),
        S_OK);
    CXFileObject* m = Find("Shape");
    // room for every face's triangles; only the faces inside the mesh are written
    EXPECT_EQ(m->numIndices, 6u + 9u + 3u + 3u + 3u);
    ASSERT_EQ(m->materials[0].indexCount, 6u + 9u + 3u);
    EXPECT_EQ(Indices(m, 0, 18), (std::vector<WORD>{0, 1, 2, 0, 2, 3,          // quad
                                                    0, 1, 2, 0, 2, 3, 0, 3, 4, // pentagon
                                                    4, 3, 2}));
}

TEST_F(XFileLoad, MaterialListSortsFacesIntoSlots)
{
    const std::string list =
        MaterialList(3, {2, 0, 1, 0}, Material("Red", 1, 0, 0, 1) + Material("Green", 0, 1, 0, 1) + "{ Blue }\n");
    ASSERT_EQ(
        Load(Material("Blue", 0, 0, 1, 1) + Mesh("M", kSquare, {"3;0,1,2;", "3;1,2,3;", "3;2,3,0;", "3;3,0,1;"}, list)),
        S_OK);
    CXFileObject* m = Find("M");
    EXPECT_EQ(m->numMaterials, 3u);
    // slot 0 takes faces 1 and 3 in file order, then slot 1 face 2, slot 2 face 0
    EXPECT_EQ(m->materials[0].indexCount, 6u);
    EXPECT_EQ(m->materials[1].indexCount, 3u);
    EXPECT_EQ(m->materials[2].indexCount, 3u);
    EXPECT_EQ(Indices(m, 0, 12), (std::vector<WORD>{1, 2, 3, 3, 0, 1, 2, 3, 0, 0, 1, 2}));
    // materials numbered in file order, inline and referenced alike
    const D3DMATERIAL7& red = m->materials[0].material;
    EXPECT_EQ(red.diffuse.r, 1.0f);
    EXPECT_EQ(red.ambient.r, 1.0f);
    EXPECT_EQ(red.diffuse.a, 1.0f);
    EXPECT_EQ(red.power, 4.0f);
    EXPECT_EQ(red.specular.b, 0.75f);
    EXPECT_EQ(red.specular.a, 0.0f);
    EXPECT_FLOAT_EQ(red.emissive.g, 0.2f);
    EXPECT_EQ(red.emissive.a, 0.0f);
    EXPECT_EQ(m->materials[1].material.diffuse.g, 1.0f);
    EXPECT_EQ(m->materials[2].material.diffuse.b, 1.0f);
    EXPECT_EQ(m->materials[2].material.ambient.b, 1.0f);
    EXPECT_FALSE(m->hasAlpha);
}

TEST_F(XFileLoad, MaterialListsThatPutEveryFaceInSlotZero)
{
    const std::vector<std::string> faces = {"3;0,1,2;", "3;1,2,3;"};
    // one material
    ASSERT_EQ(Load(Mesh("One", kSquare, faces, MaterialList(1, {0, 0}, Material("Red", 1, 0, 0, 1)))), S_OK);
    CXFileObject* one = Find("One");
    EXPECT_EQ(one->numMaterials, 1u);
    EXPECT_EQ(one->materials[0].indexCount, 6u);
    EXPECT_EQ(one->materials[0].material.diffuse.g, 0.0f);
    // a face-index count other than the face count; the materials still fill 0, 1
    ASSERT_EQ(Load(Mesh("Short", kSquare, faces,
                        MaterialList(2, {1}, Material("Red", 1, 0, 0, 1) + Material("Green", 0, 1, 0, 1)))),
              S_OK);
    CXFileObject* s = Find("Short");
    EXPECT_EQ(s->numMaterials, 1u);
    EXPECT_EQ(s->materials[0].indexCount, 6u);
    EXPECT_EQ(s->materials[0].material.diffuse.r, 1.0f);
    EXPECT_EQ(s->materials[1].material.diffuse.g, 1.0f);
}

TEST_F(XFileLoad, FacesOfMaterialsBeyondTheListOrSixteenAreDropped)
{
    std::string seventeen;
    for (int i = 0; i < 17; ++i) seventeen += Material("M" + std::to_string(i), i / 16.0f, 0, 0, 1);
    std::vector<std::string> faces(5, "3;0,1,2;");
    ASSERT_EQ(Load(Mesh("Many", kSquare, faces, MaterialList(17, {16, 15, 0, 17, 16}, seventeen))), S_OK);
    CXFileObject* m = Find("Many");
    EXPECT_EQ(m->numMaterials, 16u);
    EXPECT_EQ(m->materials[0].indexCount, 3u);
    EXPECT_EQ(m->materials[15].indexCount, 3u);
    EXPECT_EQ(m->materials[15].material.diffuse.r, 15 / 16.0f);
    EXPECT_EQ(m->numIndices, 15u); // room for all five; the three dropped are never drawn

    ASSERT_EQ(Load(Mesh("Few", kSquare, {"3;0,1,2;", "3;1,2,3;"},
                        MaterialList(2, {2, 1}, Material("A", 1, 0, 0, 1) + Material("B", 0, 1, 0, 1)))),
              S_OK);
    CXFileObject* few = Find("Few");
    EXPECT_EQ(few->numMaterials, 2u);
    EXPECT_EQ(few->materials[0].indexCount, 0u);
    EXPECT_EQ(few->materials[1].indexCount, 3u);
    EXPECT_EQ(Indices(few, 0, 3), (std::vector<WORD>{1, 2, 3}));
}

TEST_F(XFileLoad, NormalsAndTextureCoordinatesOnlyWhenTheyMatchTheVertices)
{
    const std::string normals = "MeshNormals {\n 3;\n 1.0;0.0;0.0;, 0.0;1.0;0.0;, 0.0;0.0;-1.0;;\n"
                                " 1;\n 3;0,1,2;;\n}\n";
    const std::string coords = "MeshTextureCoords {\n 3;\n 0.25;0.5;, 1.0;0.0;, 0.0;1.0;;\n}\n";
    ASSERT_EQ(Load(Mesh("Given", kTriangle, {"3;0,1,2;"}, normals + coords)), S_OK);
    D3DVERTEX* v = nullptr;
    DWORD n = 0;
    ASSERT_EQ(model.GetMeshVertices("given", &v, &n), S_OK);
    ASSERT_EQ(n, 3u);
    EXPECT_EQ(v[0].nx, 1.0f);
    EXPECT_EQ(v[1].ny, 1.0f);
    EXPECT_EQ(v[2].nz, -1.0f);
    EXPECT_EQ(v[0].tu, 0.25f);
    EXPECT_EQ(v[0].tv, 0.5f);
    EXPECT_EQ(v[2].tv, 1.0f);

    const std::string fewNormals = "MeshNormals {\n 1;\n 1.0;0.0;0.0;;\n 1;\n 3;0,0,0;;\n}\n";
    const std::string fewCoords = "MeshTextureCoords {\n 2;\n 0.25;0.5;, 1.0;0.0;;\n}\n";
    ASSERT_EQ(Load(Mesh("Computed", kTriangle, {"3;0,1,2;"}, fewNormals + fewCoords)), S_OK);
    ASSERT_EQ(model.GetMeshVertices("Computed", &v, &n), S_OK);
    for (DWORD i = 0; i < n; ++i) {
        EXPECT_EQ(v[i].nx, 0.0f);
        EXPECT_EQ(v[i].nz, 1.0f); // (p1 - p0) x (p2 - p1) of a counter-clockwise triangle
        EXPECT_EQ(v[i].tu, 0.0f);
        EXPECT_EQ(v[i].tv, 0.0f);
    }
}

TEST_F(XFileLoad, ComputedNormalsAverageTheFacesAndFallBack)
{
    // two faces meeting at a right angle along the x axis, and a vertex no face uses
    const std::vector<std::string> v = {"0.0;0.0;0.0;",  "1.0;0.0;0.0;", "1.0;1.0;0.0;",
                                        "1.0;0.0;-1.0;", "5.0;5.0;5.0;", "0.0;0.0;0.0;"};
    ASSERT_EQ(Load(Mesh("Bent", v, {"3;0,1,2;", "3;0,1,3;", "3;5,5,0;"})), S_OK);
    D3DVERTEX* out = nullptr;
    DWORD n = 0;
    ASSERT_EQ(model.GetMeshVertices("Bent", &out, &n), S_OK);
    const float h = 1 / std::sqrt(2.0f);
    EXPECT_NEAR(out[0].ny, h, 1e-6); // (0, 0, 1) and (0, 1, 0) averaged
    EXPECT_NEAR(out[0].nz, h, 1e-6);
    EXPECT_NEAR(out[2].nz, 1, 1e-6);
    EXPECT_NEAR(out[3].ny, 1, 1e-6);
    EXPECT_EQ(out[4].nz, 1.0f); // unused: (0, 0, 1)
    EXPECT_EQ(out[5].nx, 0.0f); // only a degenerate triangle: (0, 0, 1), no NaN
    EXPECT_EQ(out[5].nz, 1.0f);
}

TEST_F(XFileLoad, HalfTransparentMaterialMarksTheNode)
{
    ASSERT_EQ(Load(Mesh("Glass", kSquare, {"3;0,1,2;", "3;1,2,3;"},
                        MaterialList(2, {0, 1}, Material("Solid", 1, 0, 0, 1) + Material("Clear", 0, 0, 1, 0.5f)))),
              S_OK);
    EXPECT_TRUE(Find("Glass")->hasAlpha);
    EXPECT_EQ(Find("Glass")->materials[1].material.diffuse.a, 0.5f);
}

TEST_F(XFileLoad, ParseErrorAfterAGoodObjectDropsTheWholeTree)
{
    ASSERT_EQ(Load(Mesh("Fine", kTriangle, {"3;0,1,2;"})), S_OK);
    ASSERT_NE(model.Root(), nullptr);
    testkit::DebugCapture capture;
    EXPECT_EQ(Load(Mesh("Good", kTriangle, {"3;0,1,2;"}) + "Mesh Bad { 3; 0.0;0.0;0.0;, oops }\n"),
              static_cast<HRESULT>(0x88760362)); // DXFILEERR_PARSEERROR
    EXPECT_EQ(model.Root(), nullptr);
    EXPECT_TRUE(capture.Contains("\t(Info) Mesh Name --> 'Good'\n"));
    EXPECT_TRUE(capture.Contains("ZYK: Completed Enumeration of X File.\n"));
}

TEST_F(XFileLoad, MissingFileGivesTheFileApisCodeAfterBothFolders)
{
    ASSERT_EQ(Load(Mesh("Fine", kTriangle, {"3;0,1,2;"})), S_OK);
    testkit::DebugCapture capture;
    EXPECT_EQ(model.Load((Folder() + "absent.x").c_str()), static_cast<HRESULT>(0x88760359));
    EXPECT_EQ(model.Root(), nullptr);
    const std::string all = Joined(capture);
    EXPECT_NE(all.find("' --> Failed.\nZYK: Enumerating object in Media Path --> "), std::string::npos) << all;
    EXPECT_EQ(all.find("ZYK: Creating Root Object"), std::string::npos);
}

TEST_F(XFileLoad, FileIsFoundInTheSdkMediaFolder)
{
    const std::string sdk = Folder() + "sdk";
    CreateDirectoryA(sdk.c_str(), nullptr);
    CreateDirectoryA((sdk + "\\D3DIM").c_str(), nullptr);
    CreateDirectoryA((sdk + "\\D3DIM\\Media").c_str(), nullptr);
    testkit::WriteAll(sdk + "\\D3DIM\\Media\\media_only.x", kHeader + Mesh("FromMedia", kTriangle, {"3;0,1,2;"}));
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\DirectX", 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(key, "DXSDK Samples Path", 0, REG_SZ, reinterpret_cast<const BYTE*>(sdk.c_str()),
                   DWORD(sdk.size() + 1));
    testkit::DebugCapture capture;
    const HRESULT hr = model.Load("media_only.x");
    RegDeleteValueA(key, "DXSDK Samples Path");
    RegCloseKey(key);
    ASSERT_EQ(hr, S_OK);
    EXPECT_NE(model.FindObject("FromMedia"), nullptr);
    EXPECT_TRUE(capture.Contains(sdk + "\\D3DIM\\Media\\media_only.x"));
}

TEST_F(XFileLoad, HostileFilesNeverFault)
{
    const std::string good = Mesh("Good", kTriangle, {"3;0,1,2;"});
    const std::string whole = kHeader + good + Mesh("Second", kSquare, {"4;0,1,2,3;"});
    // cut anywhere: a parse error or the objects that were complete, never a fault
    for (size_t cut = 0; cut < whole.size(); cut += 7) {
        const HRESULT hr = model.Load(Write("cut.x", whole.substr(0, cut)).c_str());
        if (hr == S_OK) {
            EXPECT_NE(model.Root(), nullptr);
        } else {
            EXPECT_EQ(model.Root(), nullptr) << cut;
        }
    }
    EXPECT_EQ(Load("Mesh Huge {\n 1000000000;\n 0.0;0.0;0.0;;\n 1;\n 3;0,0,0;;\n}\n"),
              static_cast<HRESULT>(0x88760362));
    EXPECT_EQ(Load("Mesh Huge {\n 3;\n 0.0;0.0;0.0;, 1.0;0.0;0.0;, 1.0;1.0;0.0;;\n 1;\n 2000000000;0,1,2;;\n}\n"),
              static_cast<HRESULT>(0x88760362));
    EXPECT_EQ(model.Load(Write("junk.x", std::string(300, '\xFF')).c_str()), static_cast<HRESULT>(0x8876035D));

    // indices out of the mesh: those faces go, the rest stays
    ASSERT_EQ(Load(Mesh("Far", kTriangle, {"3;0,1,3;", "3;4294967295,0,1;", "3;2,1,0;"},
                        MaterialList(2, {0, 1, 4294967295u}, Material("A", 1, 0, 0, 1)))),
              S_OK);
    CXFileObject* distant = Find("Far");
    EXPECT_EQ(distant->materials[0].indexCount + distant->materials[1].indexCount, 0u);
    ASSERT_EQ(Load(Mesh("Far", kTriangle, {"3;0,1,3;", "3;4294967295,0,1;", "3;2,1,0;"})), S_OK);
    EXPECT_EQ(Indices(Find("Far"), 0, 3), (std::vector<WORD>{2, 1, 0}));
    EXPECT_EQ(Find("Far")->materials[0].indexCount, 3u);

    // a mesh without vertices, faces naming nothing, an empty mesh
    ASSERT_EQ(Load(Mesh("NoVertices", {}, {"3;0,1,2;"}) + "Mesh Nothing {\n 0;;\n 0;;\n}\n"), S_OK);
    EXPECT_EQ(Find("NoVertices")->materials[0].indexCount, 0u);
    EXPECT_EQ(Find("Nothing")->numIndices, 0u);

    // frames nested deeper than anything a model needs
    std::string deep;
    for (int i = 0; i < 1000; ++i) deep += "Frame F" + std::to_string(i) + " {\n";
    deep += good;
    for (int i = 0; i < 1000; ++i) deep += "}\n";
    ASSERT_EQ(Load(deep), S_OK);
    EXPECT_NE(model.FindObject("Good"), nullptr);
}

TEST_F(XFileLoad, LoadingAgainReplacesTheTreeAndScaleAndTranslateMoveVertices)
{
    ASSERT_EQ(Load(Mesh("First", kTriangle, {"3;0,1,2;"})), S_OK);
    ASSERT_EQ(
        Load(Mesh("Second", kTriangle, {"3;0,1,2;"}) + "Frame F {\n" + Mesh("Third", kTriangle, {"3;0,1,2;"}) + "}\n"),
        S_OK);
    EXPECT_EQ(model.FindObject("First"), nullptr);
    D3DVERTEX* v = nullptr;
    DWORD n = 0;
    EXPECT_EQ(model.GetMeshVertices("First", &v, &n), E_FAIL);
    WORD* ix = nullptr;
    EXPECT_EQ(model.GetMeshIndices("nothing", &ix, &n), E_FAIL);
    ASSERT_EQ(model.GetMeshIndices("third", &ix, &n), S_OK);
    EXPECT_EQ(n, 3u);

    const float nz = Find("Third")->vertices[1].nz;
    EXPECT_EQ(model.Scale(2.0f), S_OK);
    EXPECT_EQ(model.Translate(1.0f, -1.0f, 0.5f), S_OK);
    for (const char* name : {"Second", "Third"}) {
        ASSERT_EQ(model.GetMeshVertices(name, &v, &n), S_OK);
        EXPECT_EQ(v[1].x, 3.0f) << name;
        EXPECT_EQ(v[1].y, -1.0f) << name;
        EXPECT_EQ(v[2].y, 1.0f) << name;
        EXPECT_EQ(v[1].z, 0.5f) << name;
        EXPECT_EQ(v[1].nz, nz) << name;
    }
}

// A 2 x 2 grey bitmap file.
std::string Bitmap()
{
    std::string b = "BM";
    auto put32 = [&](uint32_t v) {
        for (int i = 0; i < 4; ++i) b += char(v >> (8 * i));
    };
    auto put16 = [&](uint32_t v) {
        for (int i = 0; i < 2; ++i) b += char(v >> (8 * i));
    };
    put32(54 + 16);
    put32(0);
    put32(54);
    put32(40);
    put32(2);
    put32(2);
    put16(1);
    put16(24);
    for (int i = 0; i < 6; ++i) put32(0);
    for (int row = 0; row < 2; ++row) b += std::string(6, '\x80') + std::string(2, '\0');
    return b;
}

TEST_F(XFileLoad, MaterialTexturesAreSharedUsesOfTheStore)
{
    Write("wood.bmp", Bitmap());
    const std::string mesh =
        Mesh("M", kSquare, {"3;0,1,2;", "3;1,2,3;", "3;2,3,0;"},
             MaterialList(3, {0, 1, 2},
                          Material("A", 1, 1, 1, 1, "wood.bmp") + Material("B", 1, 1, 1, 1, "WOOD.BMP") +
                              Material("C", 1, 1, 1, 1, "missing.bmp")));
    // a texture that something else holds
    ASSERT_EQ(CreateTextureFromFile("wood.bmp", 0, 0), S_OK);
    ASSERT_EQ(Load(mesh), S_OK);
    ASSERT_EQ(Records(), 1u);
    EXPECT_EQ(FindTexture("wood.bmp")->uses, 3);
    // a name the store cannot load stays in the material and makes no record
    EXPECT_STREQ(Find("M")->materials[2].textureName, "missing.bmp");
    EXPECT_STREQ(Find("M")->materials[1].textureName, "WOOD.BMP");

    // loading again drops the old tree's uses before the new one takes its own
    ASSERT_EQ(Load(mesh), S_OK);
    EXPECT_EQ(FindTexture("wood.bmp")->uses, 3);
    {
        CXFile other;
        ASSERT_EQ(other.Load((Folder() + "model.x").c_str()), S_OK);
        EXPECT_EQ(FindTexture("wood.bmp")->uses, 5);
    }
    EXPECT_EQ(FindTexture("wood.bmp")->uses, 3);
    // the model's deletion leaves the record that the other user holds
    ASSERT_EQ(model.Load((Folder() + "absent.x").c_str()), static_cast<HRESULT>(0x88760359));
    ASSERT_NE(FindTexture("wood.bmp"), nullptr);
    EXPECT_EQ(FindTexture("wood.bmp")->uses, 1);
    EXPECT_EQ(DestroyTexture("wood.bmp"), S_OK);
    EXPECT_EQ(Records(), 0u);

    // a texture only the model named goes with it
    ASSERT_EQ(Load(mesh), S_OK);
    EXPECT_EQ(Records(), 1u);
    {
        CXFile gone;
        ASSERT_EQ(gone.Load((Folder() + "model.x").c_str()), S_OK);
    }
    model.Load((Folder() + "absent.x").c_str());
    EXPECT_EQ(Records(), 0u);
}

TEST_F(XFileLoad, LongTextureNamesAreCutInTheMaterialAndNeverReachAnotherRecord)
{
    const std::string longName(100, 'n');
    const std::string cut = longName.substr(0, 79);
    Write("n.bmp", Bitmap());
    // a record whose name is the long name cut to 79 characters, held elsewhere
    CTextureContainer* other = AcquireTexture(cut.c_str(), 0, 0);
    ASSERT_NE(other, nullptr);
    ASSERT_EQ(
        Load(Mesh("M", kTriangle, {"3;0,1,2;"}, MaterialList(1, {0}, Material("A", 1, 1, 1, 1, longName + ".bmp")))),
        S_OK);
    EXPECT_EQ(Find("M")->materials[0].textureName, cut);
    EXPECT_EQ(other->uses, 1);
    model.Load((Folder() + "absent.x").c_str());
    EXPECT_EQ(FindTexture(cut.c_str()), other);
    EXPECT_EQ(other->uses, 1);
}

// Wine's file API hands out at most 500 top-level objects (past them its enumeration
// ends, with the end code or, in some runs, DXFILEERR_BADALLOC) and refuses an object
// of more than about 200 children (DXFILEERR_PARSEERROR). Such files load what the API
// gives, or fail whole, and never fault.
TEST_F(XFileLoad, FilesPastTheFileApisLimits)
{
    std::string many;
    for (int i = 0; i < 600; ++i) many += Mesh("T" + std::to_string(i), kTriangle, {"3;0,1,2;"});
    HRESULT hr = Load(many);
    if (hr == S_OK) {
        EXPECT_NE(model.FindObject("T0"), nullptr);
    } else {
        EXPECT_EQ(model.Root(), nullptr);
    }
    std::string wide = "Frame Wide {\n";
    for (int i = 0; i < 400; ++i) wide += Mesh("C" + std::to_string(i), kTriangle, {"3;0,1,2;"});
    hr = Load(wide + "}\n");
    EXPECT_TRUE(hr == S_OK || model.Root() == nullptr) << std::hex << hr;
}

// ---- data blocks the file API would never hand out, through a stand-in data object ----

// Bytes placed so that they end where a page the process cannot read begins: any read
// past them faults.
class FencedBytes {
public:
    explicit FencedBytes(const std::vector<uint8_t>& bytes)
    {
        SYSTEM_INFO si;
        GetSystemInfo(&si);
        const size_t page = si.dwPageSize;
        const size_t span = (bytes.size() + page - 1) / page * page + page;
        base_ = static_cast<uint8_t*>(VirtualAlloc(nullptr, span, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
        DWORD old;
        VirtualProtect(base_ + span - page, page, PAGE_NOACCESS, &old);
        data_ = base_ + span - page - bytes.size();
        memcpy(data_, bytes.data(), bytes.size());
    }
    ~FencedBytes() { VirtualFree(base_, 0, MEM_RELEASE); }
    uint8_t* Data() const { return data_; }

private:
    uint8_t* base_ = nullptr;
    uint8_t* data_ = nullptr;
};

class FakeData : public IDirectXFileData {
public:
    FakeData(const GUID& type, std::vector<uint8_t> bytes, const char* name = "Fake")
        : type_(type), fence_(bytes), size_(DWORD(bytes.size())), name_(name)
    {}

    std::vector<FakeData*> children;
    HRESULT dataResult = S_OK, typeResult = S_OK;
    HRESULT walkEnd = DXFILEERR_NOMOREOBJECTS; // what GetNextObject answers after the children
    LONG refs = 1;

    STDMETHOD(QueryInterface)(REFIID iid, void** out) override
    {
        if (IsEqualGUID(iid, IID_IUnknown) || IsEqualGUID(iid, IID_IDirectXFileObject) ||
            IsEqualGUID(iid, IID_IDirectXFileData)) {
            *out = static_cast<IDirectXFileData*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHOD_(ULONG, AddRef)() override { return ++refs; }
    STDMETHOD_(ULONG, Release)() override { return --refs; }
    STDMETHOD(GetName)(LPSTR name, LPDWORD size) override
    {
        lstrcpynA(name, name_, *size);
        return S_OK;
    }
    STDMETHOD(GetId)(LPGUID) override { return E_NOTIMPL; }
    STDMETHOD(GetData)(LPCSTR, DWORD* size, void** data) override
    {
        if (FAILED(dataResult)) return dataResult;
        *size = size_;
        *data = fence_.Data();
        return S_OK;
    }
    STDMETHOD(GetType)(const GUID** type) override
    {
        *type = &type_;
        return typeResult;
    }
    STDMETHOD(GetNextObject)(LPDIRECTXFILEOBJECT* child) override
    {
        if (next_ >= children.size()) return walkEnd;
        children[next_]->AddRef();
        *child = children[next_++];
        return S_OK;
    }
    STDMETHOD(AddDataObject)(LPDIRECTXFILEDATA) override { return E_NOTIMPL; }
    STDMETHOD(AddDataReference)(LPCSTR, const GUID*) override { return E_NOTIMPL; }
    STDMETHOD(AddBinaryObject)(LPCSTR, const GUID*, LPCSTR, LPVOID, DWORD) override { return E_NOTIMPL; }

private:
    GUID type_;
    FencedBytes fence_;
    DWORD size_;
    const char* name_;
    size_t next_ = 0;
};

std::vector<uint8_t> Words(const std::vector<uint32_t>& words)
{
    std::vector<uint8_t> b;
    for (uint32_t w : words)
        for (int i = 0; i < 4; ++i) b.push_back(uint8_t(w >> (8 * i)));
    return b;
}

const uint32_t kOne = 0x3F800000; // 1.0f

// A mesh of one triangle: (0,0,0), (1,0,0), (1,1,0), face (0, 1, 2).
std::vector<uint32_t> TriangleWords() { return {3, 0, 0, 0, kOne, 0, 0, kOne, kOne, 0, 1, 3, 0, 1, 2}; }

TEST(XFileData, MeshBlocksCutShortAreRefusedWithoutReadingPastThem)
{
    const std::vector<uint32_t> words = TriangleWords();
    std::vector<uint8_t> bytes = Words(words);
    for (size_t size = 0; size < bytes.size(); ++size) {
        FakeData mesh(xfiletid::Mesh, std::vector<uint8_t>(bytes.begin(), bytes.begin() + size));
        CXFileObject parent("P");
        EXPECT_EQ(ParseXFileMesh(&mesh, &parent), E_FAIL) << size;
        EXPECT_EQ(parent.child, nullptr);
    }
    FakeData whole(xfiletid::Mesh, bytes);
    CXFileObject parent("P");
    EXPECT_EQ(ParseXFileMesh(&whole, &parent), S_OK);
    ASSERT_NE(parent.child, nullptr);
    EXPECT_EQ(parent.child->materials[0].indexCount, 3u);
}

TEST(XFileData, ChildBlocksCutShortAreLeftOut)
{
    FakeData mesh(xfiletid::Mesh, Words(TriangleWords()));
    // a material list whose face indices run past its block, normals and coordinates
    // whose count says more than the block holds, a material cut short
    FakeData list(xfiletid::MeshMaterialList, Words({2, 3, 1, 0}));
    FakeData normals(xfiletid::MeshNormals, Words({3, 0, 0, kOne, 0, 0, kOne, 0, 0}));
    FakeData coords(xfiletid::MeshTextureCoords, Words({3, kOne, kOne, kOne, kOne, kOne}));
    mesh.children = {&list, &normals, &coords};
    CXFileObject parent("P");
    ASSERT_EQ(ParseXFileMesh(&mesh, &parent), S_OK);
    CXFileObject* m = parent.child;
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(m->materials[0].indexCount, 3u); // as without a list
    EXPECT_EQ(m->vertices[0].nz, 1.0f);        // computed
    EXPECT_EQ(m->vertices[2].tu, 0.0f);

    FakeData short_(xfiletid::Material, Words({kOne, 0, 0, kOne, 0, 0, 0, 0, 0, 0})); // 40 of 44 bytes
    CXFileObject node("N");
    EXPECT_EQ(ParseXFileMaterial(&short_, &node, 0), S_OK);
    EXPECT_EQ(node.materials[0].material.diffuse.g, 1.0f); // still the white default

    // a texture file name block too small for its pointer, and a null pointer
    for (std::vector<uint32_t> nameBlock : {std::vector<uint32_t>{}, std::vector<uint32_t>{0}}) {
        FakeData material(xfiletid::Material, Words({0, kOne, 0, kOne, 0, 0, 0, 0, 0, 0, 0}));
        FakeData name(xfiletid::TextureFilename, Words(nameBlock));
        material.children = {&name};
        EXPECT_EQ(ParseXFileMaterial(&material, &node, 1), S_OK);
        EXPECT_EQ(node.materials[1].material.diffuse.g, 1.0f);
        EXPECT_STREQ(node.materials[1].textureName, "");
    }
}

TEST(XFileData, FailingChildrenGiveUpTheirFrameOrMeshOnly)
{
    FakeData frame(xfiletid::Frame, {});
    FakeData matrix(xfiletid::FrameTransformMatrix, Words(std::vector<uint32_t>(16, kOne)));
    matrix.dataResult = DXFILEERR_BADVALUE;
    frame.children = {&matrix};
    CXFileObject parent("P");
    EXPECT_EQ(ParseXFileFrame(&frame, &parent), S_OK);
    EXPECT_EQ(parent.child, nullptr);

    // a matrix block of another size leaves the identity
    FakeData odd(xfiletid::FrameTransformMatrix, Words(std::vector<uint32_t>(15, kOne)));
    FakeData frame2(xfiletid::Frame, {});
    frame2.children = {&odd};
    EXPECT_EQ(ParseXFileFrame(&frame2, &parent), S_OK);
    ASSERT_NE(parent.child, nullptr);
    EXPECT_EQ(parent.child->matrix._12, 0.0f);

    FakeData mesh(xfiletid::Mesh, Words(TriangleWords()));
    FakeData normals(xfiletid::MeshNormals, Words({0}));
    normals.dataResult = E_FAIL;
    mesh.children = {&normals};
    CXFileObject other("O");
    EXPECT_EQ(ParseXFileMesh(&mesh, &other), S_OK);
    EXPECT_EQ(other.child, nullptr);
    EXPECT_EQ(normals.refs, 1); // every child interface was released
    EXPECT_EQ(matrix.refs, 1);
}

// The file API gives up on an object with more children than it walks (a material list of
// some 200 materials): that is not the end of the children, and nothing of the step is kept.
TEST(XFileData, AChildWalkThatFailsFailsTheStepsAboveIt)
{
    FakeData mesh(xfiletid::Mesh, Words(TriangleWords()));
    FakeData list(xfiletid::MeshMaterialList, Words({2, 1, 1}));
    FakeData red(xfiletid::Material, Words({kOne, 0, 0, kOne, 0, 0, 0, 0, 0, 0, 0}));
    list.children = {&red};
    list.walkEnd = DXFILEERR_BADALLOC;
    mesh.children = {&list};
    FakeData frame(xfiletid::Frame, {});
    frame.children = {&mesh};
    CXFileObject parent("P");
    EXPECT_EQ(ParseXFileFrame(&frame, &parent), DXFILEERR_BADALLOC);
    EXPECT_EQ(parent.child, nullptr);
    EXPECT_EQ(red.refs, 1);
    EXPECT_EQ(list.refs, 1);
}

TEST(XFileNode, AddFaceKeepsRunsInSlotOrderAndWithinTheIndexList)
{
    const float positions[12] = {0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0};
    const DWORD faces[] = {3, 0, 1, 2, 3, 1, 2, 3, 4, 0, 1, 2, 3};
    EXPECT_EQ(CountXFileIndices(faces, 3), 12u);
    EXPECT_EQ(SkipXFileFaces(faces, 2), faces + 8);
    CXFileObject node("N");
    ASSERT_EQ(node.SetMeshGeometry(positions, 4, faces, 3), S_OK);
    EXPECT_EQ(node.numIndices, 12u);
    // slots filled out of order still give contiguous runs in slot order
    node.AddFace(2, faces, 1);
    node.AddFace(0, SkipXFileFaces(faces, 1), 1);
    node.AddFace(1, SkipXFileFaces(faces, 2), 1);
    EXPECT_EQ(Indices(&node, 0, 12), (std::vector<WORD>{1, 2, 3, 0, 1, 2, 0, 2, 3, 0, 1, 2}));
    EXPECT_EQ(node.numMaterials, 3u);
    // no room left: nothing more is written
    node.AddFace(0, faces, 3);
    EXPECT_EQ(node.materials[0].indexCount + node.materials[1].indexCount + node.materials[2].indexCount, 12u);
    node.AddFace(16, faces, 1);
    EXPECT_EQ(node.numMaterials, 3u);
}

TEST(XFileNode, MaterialSlotsTakeAndDropStoreUses)
{
    CTextureContainer* held = AcquireTexture("held.bmp", 0, 0);
    ASSERT_NE(held, nullptr);
    D3DMATERIAL7 m = {};
    m.diffuse.a = 1;
    {
        CXFileObject node("N");
        node.SetMaterialData(0, m, "held.bmp");
        node.SetMaterialData(3, m, "held.bmp");
        EXPECT_EQ(held->uses, 3);
        node.SetMaterialData(3, m, "held.bmp"); // the same name again
        EXPECT_EQ(held->uses, 3);
        node.SetMaterialData(0, m, "");
        EXPECT_EQ(held->uses, 2);
        node.SetMaterialData(16, m, "held.bmp"); // no slot: no use
        EXPECT_EQ(held->uses, 2);
        EXPECT_FALSE(node.hasAlpha);
        m.diffuse.a = 0.99f;
        node.SetMaterialData(5, m, "");
        EXPECT_TRUE(node.hasAlpha);
    }
    EXPECT_EQ(held->uses, 1);
    DestroyTexture("held.bmp");
}

} // namespace

// The program is its own module: failures built from string ids read the table linked in.
int main(int argc, char** argv)
{
    zyk::com::ThisModule().Init(nullptr, 0, GetModuleHandleA(nullptr), GUID_NULL);
    testing::InitGoogleTest(&argc, argv);
    testkit::ComScope com;
    return RUN_ALL_TESTS();
}

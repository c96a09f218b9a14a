#include "formats/studioobj.h"
#include "seeds.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <sstream>
#include <string>
#include <vector>

using namespace zyk::formats;
namespace fs = std::filesystem;

namespace {

using Bytes = std::vector<uint8_t>;

Bytes U16(uint32_t v) { return {uint8_t(v), uint8_t(v >> 8)}; }
Bytes U32(uint32_t v) { return {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)}; }
Bytes F(float f)
{
    uint32_t bits;
    std::memcpy(&bits, &f, 4);
    return U32(bits);
}
Bytes Floats(std::initializer_list<float> fs)
{
    Bytes b;
    for (float f : fs) {
        Bytes one = F(f);
        b.insert(b.end(), one.begin(), one.end());
    }
    return b;
}
Bytes Str(const std::string& s)
{
    Bytes b(s.begin(), s.end());
    b.push_back(0);
    return b;
}
Bytes Cat(std::initializer_list<Bytes> parts)
{
    Bytes b;
    for (const Bytes& p : parts) b.insert(b.end(), p.begin(), p.end());
    return b;
}
// A chunk: id, length counting the 6-byte header, then the parts as its data.
Bytes C(uint16_t id, std::initializer_list<Bytes> parts = {})
{
    Bytes data = Cat(parts);
    return Cat({U16(id), U32(uint32_t(data.size() + 6)), data});
}

Bytes VertexList(std::initializer_list<float> xyz) { return C(0x4110, {U16(uint32_t(xyz.size() / 3)), Floats(xyz)}); }
Bytes Face(uint16_t a, uint16_t b, uint16_t c, uint16_t flags = 0) { return Cat({U16(a), U16(b), U16(c), U16(flags)}); }
// A face list of `faces` (each from Face()) followed by the sub-chunks `after`.
Bytes FaceList(std::initializer_list<Bytes> faces, std::initializer_list<Bytes> after = {})
{
    return C(0x4120, {U16(uint32_t(faces.size())), Cat(faces), Cat(after)});
}
Bytes Object(const std::string& name, std::initializer_list<Bytes> mesh)
{
    return C(0x4000, {Str(name), C(0x4100, mesh)});
}
Bytes Model(std::initializer_list<Bytes> edit, std::initializer_list<Bytes> keyframes = {})
{
    if (keyframes.size() == 0) return C(0x4D4D, {C(0x3D3D, edit)});
    return C(0x4D4D, {C(0x3D3D, edit), C(0xB000, keyframes)});
}
Bytes Triangle(const std::string& name = "tri")
{
    return Object(name, {VertexList({0, 0, 0, 1, 0, 0, 0, 1, 0}), FaceList({Face(0, 1, 2, 7)})});
}
Bytes Material(const std::string& name, const std::string& mapping)
{
    return C(0xAFFF, {C(0xA000, {Str(name)}), C(0xA200, {C(0xA300, {Str(mapping)})})});
}
Bytes FaceMaterial(const std::string& name, std::initializer_list<uint16_t> faces)
{
    Bytes list = U16(uint32_t(faces.size()));
    for (uint16_t f : faces) list = Cat({list, U16(f)});
    return C(0x4130, {Str(name), list});
}
Bytes Range(uint32_t start, uint32_t end) { return C(0xB008, {U32(start), U32(end)}); }
// A keyframe node: pivot and position / rotation keys (frame, values).
struct Key {
    uint16_t frame;
    std::vector<float> v;
};
Bytes Track(uint16_t id, std::initializer_list<Key> keys)
{
    Bytes b = Cat({U16(0), Bytes(8, 0), U16(uint32_t(keys.size())), U16(0)});
    for (const Key& k : keys) {
        b = Cat({b, U16(k.frame), U32(0)});
        for (float f : k.v) b = Cat({b, F(f)});
    }
    return C(id, {b});
}

// A text file as a program reads it (lines end in "\n" on every platform).
std::string ReadText(const fs::path& p)
{
    std::ifstream in(p);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// Each test reads in a fresh folder of its own under the temporary folder.
class Studio : public ::testing::Test {
protected:
    void SetUp() override
    {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        dir_ = fs::temp_directory_path() / (std::string("zyk_studio_") + info->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override
    {
        std::error_code e;
        fs::remove_all(dir_, e);
    }

    std::string Write(const Bytes& b, const std::string& name = "model.3ds")
    {
        WriteSeed("studioobj", b.data(), b.size());
        const fs::path p = dir_ / name;
        std::ofstream(p, std::ios::binary).write(reinterpret_cast<const char*>(b.data()), std::streamsize(b.size()));
        return p.string();
    }
    bool Read(const Bytes& b, const std::string& name = "model.3ds")
    {
        return reader_.Read(Write(b, name), dir_.string());
    }
    std::string LogText() const { return ReadText(dir_ / "3dslogfile.txt"); }
    std::string SummaryText() const { return ReadText(dir_ / "rrlogfile.txt"); }

    fs::path dir_;
    StudioObj reader_;
};

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TEST_F(Studio, OneTriangleInLogsSummaryAndTables)
{
    ASSERT_TRUE(Read(Model({Triangle()})));
    EXPECT_EQ(reader_.ObjectCount(), 1);
    EXPECT_EQ(reader_.VertexCount(), 3);
    EXPECT_EQ(reader_.FaceCount(), 1);
    EXPECT_STREQ(reader_.Object(0).name, "tri");

    // memory: (3 x 12 x 50 + 1 x 8 + 1 x 8 + 1 x 48) / 1024
    EXPECT_EQ(SummaryText(), "objects = 1  verts = 3  faces = 1\nmemory allocated 1 KB\n\n");
    const std::string log = LogText();
    const std::string model = (dir_ / "model.3ds").string();
    EXPECT_TRUE(Contains(log, "3DS Model filename " + model + "\n\n")) << log;
    for (const char* line : {"MAIN3DS\n", "EDIT3DS\n", "NAMED_OBJECT tri\n", "TRIANGLE_MESH\n", "TRIANGLE_VERTEXLIST\n",
                             "TRIANGLE_FACELIST 1\n", "   flags: 7 =>   AC: 1  BC: 1  AB: 1\n",
                             "\n\nnum 3ds objects =  1\n", "total num verts =  3\n", "total num faces =  1\n",
                             "memory allocated for 3ds model 1 KB\n\n", "APPLYING POSITION TRACK DATA\n\n",
                             "\n\nAPPLYING ROTATION TRACK DATA\n\n", "\n\nAPPLYING SCALE TRACK DATA\n\n"})
        EXPECT_TRUE(Contains(log, line)) << line;

    const StudioSummary& s = reader_.Summary();
    EXPECT_EQ(s.objects, 1);
    EXPECT_EQ(s.vertices, 3);
    EXPECT_EQ(s.faces, 1);
    EXPECT_EQ(s.frames, 1);
    EXPECT_EQ(s.scale[0], 1.0f);
    EXPECT_EQ(s.scale[1], 1.0f);
    EXPECT_EQ(s.format, 7);
    EXPECT_EQ(s.ready, 1);

    EXPECT_EQ(reader_.Indices(), (std::vector<uint16_t>{0, 1, 2}));
    EXPECT_EQ(reader_.PrimitiveTypes(), std::vector<uint16_t>{6});
    EXPECT_EQ(reader_.ObjectFaceCounts(), std::vector<uint16_t>{1});
    ASSERT_EQ(reader_.FrameCount(), 1);
    EXPECT_EQ(reader_.Frames()[0][1].x, 1.0f);
    EXPECT_EQ(reader_.Frames()[0][2].y, 1.0f);

    // The quad listing: one group of the three vertices, no texture.
    EXPECT_EQ(ReadText(dir_ / "model.dat"), "TEXTURE \nQUADTEX 0.000000 0.000000 0.000000 0.000000 0.000000\n"
                                            "1.000000 0.000000 0.000000 0.000000 0.000000\n"
                                            "0.000000 1.000000 0.000000 0.000000 0.000000\n");
}

TEST_F(Studio, SummaryIsAppendedLogRewrittenAndTablesCleared)
{
    ASSERT_TRUE(Read(Model({Triangle("a"), Triangle("b")})));
    ASSERT_TRUE(Read(Model({Triangle("c")})));
    EXPECT_EQ(SummaryText(), "objects = 2  verts = 6  faces = 2\nmemory allocated 3 KB\n\n"
                             "objects = 1  verts = 3  faces = 1\nmemory allocated 1 KB\n\n");
    EXPECT_FALSE(Contains(LogText(), "NAMED_OBJECT a"));
    EXPECT_EQ(reader_.ObjectCount(), 1);
    EXPECT_STREQ(reader_.Object(0).name, "c");
    EXPECT_STREQ(reader_.Object(1).name, "");
    EXPECT_EQ(reader_.Object(1).vertexCount, 0);
    EXPECT_EQ(reader_.Face(1).a, 0);
}

TEST_F(Studio, FreshReaderTablesAreZero)
{
    StudioObj fresh;
    EXPECT_EQ(fresh.ObjectCount(), 0);
    EXPECT_EQ(fresh.VertexCount(), 0);
    for (int i : {0, kStudioMaxObjects - 1}) {
        EXPECT_STREQ(fresh.Object(i).name, "");
        EXPECT_EQ(fresh.Object(i).positionKeyCount, 0);
        EXPECT_EQ(fresh.Object(i).pivot.x, 0.0f);
    }
    EXPECT_EQ(fresh.Vertex(kStudioMaxVertices - 1).z, 0.0f);
    EXPECT_EQ(fresh.TexCoord(kStudioMaxVertices - 1).u, 0.0f);
    EXPECT_EQ(fresh.Face(kStudioMaxFaces - 1).c, 0);
    EXPECT_STREQ(fresh.Material(kStudioMaxMaterials - 1).mapping, "");
}

TEST_F(Studio, KnownAndUnknownChunksAreLoggedAndSkippedWhole)
{
    // An unknown chunk whose data looks like an object: not read as one.
    const Bytes unknown = C(0x1234, {Triangle("hidden")});
    const Bytes skipped = C(0xA010, {C(0x0011, {Bytes{1, 2, 3}})});
    ASSERT_TRUE(
        Read(Model({C(0x0002, {U32(3)}), C(0x0100, {F(2.5f)}), unknown, Material("m", "t.bmp"), Triangle(), skipped})));
    EXPECT_EQ(reader_.ObjectCount(), 1);
    const std::string log = LogText();
    EXPECT_TRUE(Contains(log, "\n\nUNKNOWN COMMAND   1234\n")) << log;
    EXPECT_FALSE(Contains(log, "hidden"));
    for (const char* line : {"3DS VERSION 3\n", "MASTER_SCALE 2.500000\n", "\nEDIT_MATERIAL\n", "MAT_NAME01  m\n",
                             "TEXTURE_MAP\n", "MAPPING_NAME  t.bmp\n", "MATERIAL_AMBIENT\n"})
        EXPECT_TRUE(Contains(log, line)) << line;
    EXPECT_FALSE(Contains(log, "UNKNOWN COMMAND   11"));
}

TEST_F(Studio, CoordinatesKeptToFourDecimals)
{
    ASSERT_TRUE(Read(Model({Object("o", {VertexList({1.23456f, -2.00004f, 0.00016f, 1e20f, -0.00004f, 7.5f})})})));
    EXPECT_FLOAT_EQ(reader_.Vertex(0).x, 1.2346f);
    EXPECT_FLOAT_EQ(reader_.Vertex(0).y, -2.0f);
    EXPECT_FLOAT_EQ(reader_.Vertex(0).z, 0.0002f);
    EXPECT_FLOAT_EQ(reader_.Vertex(1).x, 1e20f); // no fraction to round
    EXPECT_EQ(reader_.Vertex(1).y, 0.0f);
    EXPECT_EQ(reader_.Vertex(1).z, 7.5f);
}

TEST_F(Studio, ModelNameWithoutExtensionFailsAfterLogs)
{
    EXPECT_FALSE(Read(Model({Triangle()}), "model"));
    EXPECT_EQ(SummaryText(), "objects = 1  verts = 3  faces = 1\nmemory allocated 1 KB\n\n");
    EXPECT_TRUE(Contains(LogText(), "total num faces =  1\n"));
    EXPECT_FALSE(fs::exists(dir_ / "model.dat"));

    // Only the file's own name counts: a "." in a folder name is no extension.
    fs::create_directories(dir_ / "v1.2");
    EXPECT_FALSE(Read(Model({Triangle()}), "v1.2/model"));
    EXPECT_TRUE(Read(Model({Triangle()}), "v1.2/ship.v2.3ds"));
    EXPECT_EQ(reader_.DatName(), "ship.dat");
    EXPECT_TRUE(fs::exists(dir_ / "ship.dat"));
}

TEST_F(Studio, MissingModelOrLogFolderFails)
{
    EXPECT_FALSE(reader_.Read((dir_ / "absent.3ds").string(), dir_.string()));
    EXPECT_FALSE(fs::exists(dir_ / "3dslogfile.txt"));
    const std::string model = Write(Model({Triangle()}));
    EXPECT_FALSE(reader_.Read(model, (dir_ / "no" / "such").string()));
}

TEST_F(Studio, MaterialsMappingAndQuadListing)
{
    const Bytes quad = Object("quad", {VertexList({0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0}),
                                       C(0x4140, {U16(4), Floats({0, 0, 1, 0, 1, 1, 0, 1})}),
                                       FaceList({Face(0, 1, 2), Face(0, 2, 3)}, {FaceMaterial("wood", {0})})});
    ASSERT_TRUE(Read(Model({Material("stone", "stone.tga"), Material("wood", "wood.bmp"), quad})));
    ASSERT_EQ(reader_.MaterialCount(), 2);
    EXPECT_STREQ(reader_.Material(1).name, "wood");
    EXPECT_STREQ(reader_.Material(1).mapping, "wood.bmp");
    EXPECT_EQ(reader_.Face(0).material, 1);
    EXPECT_EQ(reader_.Face(1).material, kStudioNoMaterial);
    EXPECT_STREQ(reader_.Object(0).material, "wood");

    // Each index carries the coordinates of the vertex it names.
    const auto& uv = reader_.IndexTexCoords();
    ASSERT_EQ(uv.size(), 6u);
    EXPECT_EQ(reader_.Indices(), (std::vector<uint16_t>{0, 1, 2, 0, 2, 3}));
    EXPECT_EQ(uv[4].u, 1.0f);
    EXPECT_EQ(uv[4].v, 1.0f);
    EXPECT_EQ(uv[5].u, 0.0f);
    EXPECT_EQ(uv[5].v, 1.0f);

    EXPECT_EQ(ReadText(dir_ / "model.dat"), "TEXTURE wood.bmp\nQUADTEX 0.000000 0.000000 0.000000 0.000000 0.000000\n"
                                            "1.000000 0.000000 0.000000 1.000000 0.000000\n"
                                            "1.000000 1.000000 0.000000 1.000000 1.000000\n"
                                            "0.000000 1.000000 0.000000 0.000000 1.000000\n\n");

    // A material not defined: the object's material reads "error", faces keep none.
    ASSERT_TRUE(Read(Model({Object(
        "o", {VertexList({0, 0, 0, 1, 0, 0, 0, 1, 0}), FaceList({Face(0, 1, 2)}, {FaceMaterial("nowhere", {0})})})})));
    EXPECT_STREQ(reader_.Object(0).material, "error");
    EXPECT_EQ(reader_.Face(0).material, kStudioNoMaterial);
}

TEST_F(Studio, FrameCountFromKeyframeRange)
{
    struct {
        std::vector<Bytes> keyframes;
        int frames;
    } cases[] = {
        {{}, 1},
        {{Range(0, 9)}, 10},
        {{Range(0, 0)}, 1},
        {{Range(0, 1000)}, 50},
        {{Range(0, 49)}, 50},
        {{Range(5, 2)}, 1},
        {{Range(0, 0xFFFFFFFF)}, 1},
        {{Range(0xFFFFFFFF, 3)}, 1},
        {{Range(3, 0x7FFFFFFF)}, 50},
    };
    for (const auto& c : cases) {
        Bytes model = C(0x4D4D, {C(0x3D3D, {Triangle()})});
        if (!c.keyframes.empty()) model = C(0x4D4D, {C(0x3D3D, {Triangle()}), C(0xB000, {c.keyframes[0]})});
        ASSERT_TRUE(Read(model));
        EXPECT_EQ(reader_.FrameCount(), c.frames);
        EXPECT_EQ(reader_.Summary().frames, c.frames);
        // Every built frame holds the vertex table.
        ASSERT_EQ(reader_.Frames().size(), size_t(c.frames));
        EXPECT_EQ(reader_.Frames()[size_t(c.frames - 1)][1].x, 1.0f);
    }
}

TEST_F(Studio, PivotAndPositionAndRotationTracks)
{
    const Bytes object =
        Object("o", {VertexList({2, 0, 0, 3, 0, 0}), C(0x4160, {Floats({1, 0, 0, 0, 1, 0, 0, 0, 1, 1, 0, 0})})});
    const float pi = 3.14159265f;
    const Bytes node = C(0xB002, {C(0xB010, {Str("o"), U16(0), U16(0), U16(0xFFFF)}), C(0xB013, {Floats({1, 0, 0})}),
                                  Track(0xB020, {{0, {1, 0, 0}}, {2, {1, 5, 0}}, {60, {9, 9, 9}}}),
                                  Track(0xB021, {{0, {0, 0, 0, 1}}, {1, {pi / 2, 0, 0, 1}}, {3, {pi / 2, 0, 0, 1}}}),
                                  Track(0xB022, {{0, {2, 2, 2}}}), C(0xB030, {U16(4)})});
    ASSERT_TRUE(Read(Model({object}, {Range(0, 3), node})));
    ASSERT_EQ(reader_.FrameCount(), 4);
    const StudioObject& o = reader_.Object(0);
    EXPECT_EQ(o.positionKeyCount, 2); // the key at frame 60 is past every frame copy
    EXPECT_EQ(o.rotationKeyCount, 3);
    EXPECT_EQ(o.scaleKeyCount, 1);

    // Moved by minus the pivot: (1,0,0) and (2,0,0).
    EXPECT_EQ(reader_.Vertex(0).x, 1.0f);
    EXPECT_EQ(reader_.Vertex(1).x, 2.0f);
    const auto& f = reader_.Frames();
    // Frame 0: key position (1,0,0) minus the local centre (1,0,0) moves nothing.
    EXPECT_EQ(f[0][0].x, 1.0f);
    // Frame 2: moved by (0,5,0).
    EXPECT_EQ(f[2][1].x, 2.0f);
    EXPECT_EQ(f[2][1].y, 5.0f);
    // Frame 1: a quarter turn about Z around the local centre: (2,0,0) is 1 along X
    // from it and goes to 1 along -Y.
    EXPECT_NEAR(f[1][1].x, 1.0f, 1e-5);
    EXPECT_NEAR(f[1][1].y, -1.0f, 1e-5);
    // Frame 3: the angle accumulates to a half turn.
    EXPECT_NEAR(f[3][1].x, 0.0f, 1e-5);
    EXPECT_NEAR(f[3][1].y, 0.0f, 1e-5);
    EXPECT_NEAR(f[3][0].x, 1.0f, 1e-5);

    const std::string log = LogText();
    for (const char* line :
         {"\n\nKEYFRAME\n", "\nKEYFRAME_MESH_INFO\n", "NODE_HDR o\n", " heirarchy 65535\n",
          "PIVOT: 1.000000 0.000000 0.000000\n", "POS_TRACK_TAG 0\n",
          " framenum = 2   pos_x,y,z : 1.000000 5.000000 0.000000\n",
          " framenum = 1  rot_angle/rads = 1.570796  axis_x,y,z : 0.000000 0.000000 1.000000\n",
          " framenum = 0   x,y,z : 2.000000 2.000000 2.000000\n", "NODE_ID  4\n", "obj: 0  frame_num: 2  v: 1\n",
          "local xyz: 1.000000 0.000000 0.000000\n", " local_centre_x,y,z : 1.000000 0.000000 0.000000\n"})
        EXPECT_TRUE(Contains(log, line)) << line;
}

// Files that lie: every one is read without a fault, and what is kept stays inside
// the tables.
TEST_F(Studio, ChunksBeforeTheFirstObjectAreIgnored)
{
    const Bytes early =
        C(0x4D4D, {VertexList({1, 2, 3}), FaceList({Face(0, 0, 0)}), C(0x4140, {U16(1), Floats({1, 1})}),
                   C(0x4160, {Bytes(48, 0)}), FaceMaterial("m", {0}), C(0xB013, {Floats({1, 2, 3})}),
                   Track(0xB020, {{0, {1, 1, 1}}}), Triangle()});
    ASSERT_TRUE(Read(early));
    EXPECT_EQ(reader_.VertexCount(), 3);
    EXPECT_EQ(reader_.FaceCount(), 1);
    EXPECT_EQ(reader_.Object(0).firstVertex, 0);
    EXPECT_EQ(reader_.Object(0).pivot.x, 0.0f);
    EXPECT_EQ(reader_.Object(0).positionKeyCount, 0);
    EXPECT_TRUE(Contains(LogText(), "TRIANGLE_VERTEXLIST before any object: ignored\n"));
}

TEST_F(Studio, IndicesOutsideTheirObjectAreRefused)
{
    const Bytes first = Triangle("first");
    // Second object: 3 vertices; faces name vertex 3 (the next object's) and 65535;
    // its material names face 5 of 2; its mapping has more coordinates than vertices.
    const Bytes second = Object(
        "second", {VertexList({5, 5, 5, 6, 6, 6, 7, 7, 7}),
                   C(0x4140, {U16(9), Floats({1, 1, 2, 2, 3, 3, 4, 4, 5, 5, 6, 6, 7, 7, 8, 8, 9, 9})}),
                   FaceList({Face(0, 1, 3), Face(65535, 1, 2), Face(2, 1, 0)}, {FaceMaterial("m", {5, 65535, 2})})});
    ASSERT_TRUE(Read(Model({Material("m", "m.bmp"), first, second, Triangle("third")})));
    ASSERT_EQ(reader_.FaceCount(), 5);
    // Faces out of range become points on the object's first vertex.
    EXPECT_EQ(reader_.Face(1).a, 3);
    EXPECT_EQ(reader_.Face(1).c, 3);
    EXPECT_EQ(reader_.Face(2).a, 3);
    EXPECT_EQ(reader_.Face(3).a, 5);
    EXPECT_EQ(reader_.Face(3).c, 3);
    EXPECT_EQ(reader_.Face(3).material, 0);
    EXPECT_EQ(reader_.Face(1).material, kStudioNoMaterial);
    EXPECT_EQ(reader_.Face(4).material, kStudioNoMaterial); // the third object's face
    // Mapping coordinates reach the object's own vertices only.
    EXPECT_EQ(reader_.TexCoord(5).u, 3.0f);
    EXPECT_EQ(reader_.TexCoord(6).u, 0.0f);
    for (uint16_t i : reader_.Indices()) EXPECT_LT(i, reader_.VertexCount());
    EXPECT_TRUE(Contains(LogText(), "names a vertex outside its object"));

    // Faces of an object that has no vertices are not kept.
    ASSERT_TRUE(Read(Model({Object("empty", {FaceList({Face(0, 0, 0)})})})));
    EXPECT_EQ(reader_.FaceCount(), 0);
}

TEST_F(Studio, NamesCutToTheirFields)
{
    const std::string longName(300, 'n');
    const std::string longMaterial(100, 'm');
    const Bytes object = Object(longName, {VertexList({0, 0, 0, 1, 0, 0, 0, 1, 0}),
                                           FaceList({Face(0, 1, 2)}, {FaceMaterial(longMaterial, {0})})});
    const Bytes node = C(0xB002, {C(0xB010, {Str(std::string(1000, 'h')), U16(1), U16(2), U16(3)})});
    ASSERT_TRUE(Read(Model({Material(longMaterial, std::string(500, 't') + ".bmp"), object}, {node})));
    EXPECT_EQ(std::string(reader_.Object(0).name), longName.substr(0, kStudioNameSize - 1));
    EXPECT_EQ(std::string(reader_.Material(0).name), longMaterial.substr(0, kStudioMaterialNameSize - 1));
    EXPECT_EQ(std::strlen(reader_.Material(0).mapping), kStudioMaterialNameSize - 1);
    EXPECT_EQ(reader_.Face(0).material, 0); // still found by its cut name
    // The mesh after the long name is read as usual.
    EXPECT_EQ(reader_.VertexCount(), 3);
    EXPECT_TRUE(Contains(LogText(), " flags1 1\n flags2 2\n heirarchy 3\n"));

    // A name without its zero ends at its chunk's end.
    ASSERT_TRUE(Read(C(0x4000, {Bytes{'a', 'b'}})));
    EXPECT_STREQ(reader_.Object(0).name, "ab");
}

TEST_F(Studio, ShortAndZeroChunkLengthsEndTheWalk)
{
    for (uint32_t length : {0u, 1u, 5u}) {
        const Bytes bad = Cat({U16(0x1111), U32(length)});
        ASSERT_TRUE(Read(C(0x4D4D, {Triangle("before"), bad, Triangle("after")})));
        EXPECT_EQ(reader_.ObjectCount(), 1) << length;
        EXPECT_STREQ(reader_.Object(0).name, "before");
        EXPECT_TRUE(Contains(LogText(), "the walk ends")) << length;
    }
}

TEST_F(Studio, CountsBeyondTheirChunkAreCut)
{
    // 65535 vertices, faces and coordinates announced; two or one present.
    const Bytes object =
        C(0x4000,
          {Str("o"), C(0x4100, {C(0x4110, {U16(65535), Floats({1, 1, 1, 2, 2, 2, 3, 3, 3})}),
                                C(0x4140, {U16(65535), Floats({7, 7})}), C(0x4120, {U16(65535), Face(0, 1, 2)})})});
    ASSERT_TRUE(Read(Model({object})));
    EXPECT_EQ(reader_.VertexCount(), 3);
    EXPECT_EQ(reader_.FaceCount(), 1);
    EXPECT_EQ(reader_.TexCoord(0).u, 7.0f);
    EXPECT_EQ(reader_.TexCoord(1).u, 0.0f);

    // A chunk claiming more than its parent holds stops at the parent's end: the
    // object after the container is still found.
    Bytes lying = C(0x3D3D, {C(0x4000, {Str("inner")})});
    lying[8] = 0xFF; // the inner object's length: far past the container
    lying[9] = 0xFF;
    ASSERT_TRUE(Read(C(0x4D4D, {lying, Triangle("outer")})));
    EXPECT_EQ(reader_.ObjectCount(), 2);
    EXPECT_STREQ(reader_.Object(1).name, "outer");
}

TEST_F(Studio, TableLimitsFailTheRead)
{
    // 4999 vertices are the most a model holds.
    auto vertices = [](int n) {
        Bytes list = U16(uint32_t(n));
        list.resize(list.size() + size_t(n) * 12, 0);
        return C(0x4110, {list});
    };
    ASSERT_TRUE(Read(Model({Object("a", {vertices(4000)}), Object("b", {vertices(999)})})));
    EXPECT_EQ(reader_.VertexCount(), 4999);
    EXPECT_FALSE(Read(Model({Object("a", {vertices(4000)}), Object("b", {vertices(1000)})})));
    EXPECT_FALSE(Contains(SummaryText(), "verts = 5000"));

    auto faces = [](int n) {
        Bytes list = U16(uint32_t(n));
        list.resize(list.size() + size_t(n) * 8, 0);
        return C(0x4120, {list});
    };
    ASSERT_TRUE(Read(Model({Object("a", {vertices(3), faces(2999)})})));
    EXPECT_EQ(reader_.FaceCount(), 2999);
    EXPECT_FALSE(Read(Model({Object("a", {vertices(3), faces(2000)}), Object("b", {vertices(3), faces(1000)})})));

    Bytes many;
    for (int i = 0; i < kStudioMaxObjects; ++i) many = Cat({many, C(0x4000, {Str("o")})});
    ASSERT_TRUE(Read(C(0x3D3D, {many})));
    EXPECT_EQ(reader_.ObjectCount(), kStudioMaxObjects);
    EXPECT_FALSE(Read(C(0x3D3D, {many, C(0x4000, {Str("one too many")})})));

    // More than 100 materials: the rest are logged, not kept; a mapping then has no place.
    Bytes materials;
    for (int i = 0; i < 101; ++i) {
        std::string name = "m";
        name += std::to_string(i);
        materials = Cat({materials, Material(name, "t.bmp")});
    }
    ASSERT_TRUE(Read(Model({materials})));
    EXPECT_EQ(reader_.MaterialCount(), kStudioMaxMaterials);
    EXPECT_TRUE(Contains(LogText(), "MAT_NAME01  m100\n"));
    EXPECT_TRUE(Contains(LogText(), "MAPPING_NAME  error\n"));
}

TEST_F(Studio, DeepNestingIsCut)
{
    Bytes nested = Triangle("deep");
    for (int i = 0; i < 2000; ++i) nested = C(0x4D4D, {nested});
    ASSERT_TRUE(Read(Cat({nested, Triangle("shallow")})));
    EXPECT_EQ(reader_.ObjectCount(), 1);
    EXPECT_STREQ(reader_.Object(0).name, "shallow");
    EXPECT_TRUE(Contains(LogText(), "nested deeper than"));

    // Objects within the depth limit are found.
    Bytes within = Triangle("within");
    for (int i = 0; i < kStudioMaxDepth - 3; ++i) within = C(0x4D4D, {within});
    ASSERT_TRUE(Read(within));
    EXPECT_STREQ(reader_.Object(0).name, "within");
    EXPECT_EQ(reader_.VertexCount(), 3);
}

TEST_F(Studio, EveryTruncationReadsCleanly)
{
    const Bytes quad =
        Object("quad",
               {VertexList({0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0}), C(0x4140, {U16(4), Floats({0, 0, 1, 0, 1, 1, 0, 1})}),
                C(0x4160, {Floats({1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0})}),
                FaceList({Face(0, 1, 2), Face(0, 2, 3)}, {FaceMaterial("wood", {0, 1}), C(0x4150, {U32(1), U32(1)})})});
    const Bytes node = C(0xB002, {C(0xB010, {Str("quad"), U16(0), U16(0), U16(0)}), C(0xB013, {Floats({0, 0, 0})}),
                                  Track(0xB020, {{0, {0, 0, 0}}, {1, {1, 1, 1}}}),
                                  Track(0xB021, {{0, {0, 0, 0, 1}}, {1, {1, 0, 0, 1}}})});
    const Bytes full = Model({Material("wood", "wood.bmp"), quad}, {Range(0, 1), C(0xB009, {U32(1)}), node});
    WriteSeed("studioobj", full.data(), full.size());
    ASSERT_TRUE(Read(full));
    EXPECT_EQ(reader_.FaceCount(), 2);
    EXPECT_EQ(reader_.Face(1).material, 0);

    std::FILE* log = std::fopen((dir_ / "cut.log").string().c_str(), "w");
    ASSERT_NE(log, nullptr);
    for (size_t n = 0; n < full.size(); ++n) {
        // An exact-size copy, so that a read past the end shows under sanitizers.
        const Bytes prefix(full.begin(), full.begin() + std::ptrdiff_t(n));
        StudioObj reader;
        EXPECT_TRUE(reader.Read(prefix.data(), n, "cut.3ds", log, nullptr)) << n;
        EXPECT_LE(reader.VertexCount(), 4);
        EXPECT_LE(reader.FaceCount(), 2);
        for (uint16_t i : reader.Indices()) EXPECT_LT(i, reader.VertexCount());
    }
    std::fclose(log);
    StudioObj reader;
    EXPECT_TRUE(reader.Read(nullptr, 0, "empty.3ds", nullptr, nullptr));
    EXPECT_EQ(reader.ObjectCount(), 0);
}

} // namespace

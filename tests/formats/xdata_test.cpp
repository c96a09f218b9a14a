#include "formats/xdata.h"
#include "seeds.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

using namespace zyk::formats;

namespace {

using Bytes = std::vector<uint8_t>;

void U32(Bytes& b, uint32_t v)
{
    for (int i = 0; i < 4; ++i) b.push_back(uint8_t(v >> (8 * i)));
}

void F32(Bytes& b, float f)
{
    uint32_t v;
    std::memcpy(&v, &f, 4);
    U32(b, v);
}

// A mesh block: vertices (x, y, z each), then faces given as index lists.
Bytes Mesh(const std::vector<float>& xyz, const std::vector<std::vector<uint32_t>>& faces)
{
    Bytes b;
    U32(b, uint32_t(xyz.size() / 3));
    for (float f : xyz) F32(b, f);
    U32(b, uint32_t(faces.size()));
    for (const auto& face : faces) {
        U32(b, uint32_t(face.size()));
        for (uint32_t i : face) U32(b, i);
    }
    WriteSeed("xdata", b.data(), b.size());
    return b;
}

const std::vector<float> kSquare = {0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0};

TEST(XData, MeshRecordGivesItsPartsAndTheFannedIndexCount)
{
    const Bytes b = Mesh(kSquare, {{0, 1, 2, 3}, {0, 1, 2}, {4, 0, 1, 2, 3}, {1, 2}, {}});
    XMeshRecord m;
    ASSERT_TRUE(ReadXMesh(b.data(), b.size(), m));
    EXPECT_EQ(m.vertexCount, 4u);
    EXPECT_EQ(XF32(m.positions + 3 * 4), 1.0f); // x of vertex 1
    EXPECT_EQ(m.faceCount, 5u);
    EXPECT_EQ(m.faces, b.data() + 4 + 48 + 4);
    EXPECT_EQ(m.faceBytes, b.size() - (4 + 48 + 4));
    // quad 6, triangle 3, pentagon 9; a two-index face and an empty one give nothing
    EXPECT_EQ(m.triangleIndexCount, 18u);
}

TEST(XData, MeshRecordsCutAnywhereAreRefused)
{
    const Bytes b = Mesh(kSquare, {{0, 1, 2, 3}, {0, 1, 2}});
    for (size_t size = 0; size < b.size(); ++size) {
        // a copy of exactly that size, so that a read past it is a read past the block
        Bytes cut(b.begin(), b.begin() + size);
        XMeshRecord m;
        EXPECT_FALSE(ReadXMesh(cut.data(), cut.size(), m)) << size;
        EXPECT_EQ(m.vertexCount, 0u);
        EXPECT_EQ(m.faces, nullptr);
    }
    XMeshRecord m;
    EXPECT_FALSE(ReadXMesh(nullptr, 100, m));
}

TEST(XData, HugeCountsAreRefusedWithoutOverflow)
{
    XMeshRecord m;
    Bytes vertices;
    U32(vertices, 0xFFFFFFFF);
    vertices.resize(64);
    EXPECT_FALSE(ReadXMesh(vertices.data(), vertices.size(), m));
    // 0x40000000 x 12 wraps to 0 in 32 bits
    Bytes wrap;
    U32(wrap, 0x40000000);
    U32(wrap, 0);
    EXPECT_FALSE(ReadXMesh(wrap.data(), wrap.size(), m));

    Bytes faces = Mesh(kSquare, {});
    faces.resize(faces.size() - 4);
    U32(faces, 0xFFFFFFFF); // nFaces
    U32(faces, 3);
    U32(faces, 0);
    U32(faces, 1);
    U32(faces, 2);
    EXPECT_FALSE(ReadXMesh(faces.data(), faces.size(), m));

    Bytes face = Mesh(kSquare, {});
    face.resize(face.size() - 4);
    U32(face, 1);
    U32(face, 0x40000001); // a face's index count; x 4 wraps to 4
    U32(face, 0);
    EXPECT_FALSE(ReadXMesh(face.data(), face.size(), m));
}

TEST(XData, MaterialListAndArrays)
{
    Bytes list;
    U32(list, 3);
    U32(list, 2);
    U32(list, 7);
    U32(list, 1);
    XMaterialListRecord l;
    ASSERT_TRUE(ReadXMaterialList(list.data(), list.size(), l));
    EXPECT_EQ(l.materialCount, 3u);
    EXPECT_EQ(l.faceIndexCount, 2u);
    EXPECT_EQ(XU32(l.faceIndexes + 4), 1u);
    EXPECT_FALSE(ReadXMaterialList(list.data(), list.size() - 1, l));
    EXPECT_EQ(l.faceIndexes, nullptr);
    Bytes huge;
    U32(huge, 1);
    U32(huge, 0x40000000);
    EXPECT_FALSE(ReadXMaterialList(huge.data(), huge.size(), l));

    // normals followed by the face normals that are not read
    Bytes normals;
    U32(normals, 2);
    for (float f : {0.f, 0.f, 1.f, 0.f, 1.f, 0.f}) F32(normals, f);
    U32(normals, 0);
    XArrayRecord a;
    ASSERT_TRUE(ReadXArray(normals.data(), normals.size(), kXNormalSize, a));
    EXPECT_EQ(a.count, 2u);
    EXPECT_EQ(XF32(a.items + 16), 1.0f);
    EXPECT_FALSE(ReadXArray(normals.data(), 4 + 23, kXNormalSize, a));
    Bytes coords;
    U32(coords, 0x20000000); // x 8 wraps to 0 in 32 bits
    EXPECT_FALSE(ReadXArray(coords.data(), coords.size(), kXTextureCoordSize, a));
}

TEST(XData, MaterialNeedsItsFortyFourBytes)
{
    Bytes b;
    for (float f : {1.f, .5f, .25f, .75f, 8.f, .1f, .2f, .3f, .4f, .5f, .6f}) F32(b, f);
    XMaterialRecord m;
    EXPECT_FALSE(ReadXMaterial(b.data(), 43, m));
    EXPECT_EQ(m.power, 0.0f);
    ASSERT_TRUE(ReadXMaterial(b.data(), b.size(), m));
    EXPECT_EQ(m.faceColor[3], .75f);
    EXPECT_EQ(m.power, 8.f);
    EXPECT_EQ(m.specular[2], .3f);
    EXPECT_EQ(m.emissive[0], .4f);
    b.resize(60); // optional members after the record
    EXPECT_TRUE(ReadXMaterial(b.data(), b.size(), m));
}

} // namespace

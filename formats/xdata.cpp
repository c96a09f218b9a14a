// The readers of .x data records: meshes, material lists, arrays and materials, checked against their blocks.
#include "formats/xdata.h"

#include <cstring>

namespace zyk::formats {

uint32_t XU32(const uint8_t* p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

float XF32(const uint8_t* p)
{
    const uint32_t bits = XU32(p);
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}

namespace {

// A cursor over a block that refuses to move past its end.
class Cursor {
public:
    Cursor(const void* data, size_t size) : p_(static_cast<const uint8_t*>(data)), left_(data ? size : 0) {}

    bool U32(uint32_t& v)
    {
        if (left_ < 4) return false;
        v = XU32(p_);
        p_ += 4;
        left_ -= 4;
        return true;
    }

    // count items of itemSize bytes: their start, or null when they do not fit.
    const uint8_t* Items(uint32_t count, size_t itemSize)
    {
        if (itemSize && count > left_ / itemSize) return nullptr;
        const uint8_t* start = p_;
        p_ += size_t(count) * itemSize;
        left_ -= size_t(count) * itemSize;
        return start;
    }

    const uint8_t* Here() const { return p_; }

private:
    const uint8_t* p_;
    size_t left_;
};

} // namespace

bool ReadXMesh(const void* data, size_t size, XMeshRecord& out)
{
    out = XMeshRecord();
    Cursor c(data, size);
    XMeshRecord r;
    if (!c.U32(r.vertexCount)) return false;
    if (!(r.positions = c.Items(r.vertexCount, 12))) return false;
    if (!c.U32(r.faceCount)) return false;
    r.faces = c.Here();
    for (uint32_t f = 0; f < r.faceCount; ++f) {
        uint32_t n = 0;
        if (!c.U32(n) || !c.Items(n, 4)) return false;
        // n <= size / 4, so the sum stays below 3/4 of size.
        if (n >= 3) r.triangleIndexCount += size_t(n - 2) * 3;
    }
    r.faceBytes = size_t(c.Here() - r.faces);
    out = r;
    return true;
}

bool ReadXMaterialList(const void* data, size_t size, XMaterialListRecord& out)
{
    out = XMaterialListRecord();
    Cursor c(data, size);
    XMaterialListRecord r;
    if (!c.U32(r.materialCount) || !c.U32(r.faceIndexCount)) return false;
    if (!(r.faceIndexes = c.Items(r.faceIndexCount, 4))) return false;
    out = r;
    return true;
}

bool ReadXArray(const void* data, size_t size, size_t itemSize, XArrayRecord& out)
{
    out = XArrayRecord();
    Cursor c(data, size);
    XArrayRecord r;
    if (!c.U32(r.count)) return false;
    if (!(r.items = c.Items(r.count, itemSize))) return false;
    out = r;
    return true;
}

bool ReadXMaterial(const void* data, size_t size, XMaterialRecord& out)
{
    out = XMaterialRecord();
    if (!data || size < kXMaterialSize) return false;
    const uint8_t* p = static_cast<const uint8_t*>(data);
    for (int i = 0; i < 4; ++i) out.faceColor[i] = XF32(p + 4 * i);
    out.power = XF32(p + 16);
    for (int i = 0; i < 3; ++i) out.specular[i] = XF32(p + 20 + 4 * i);
    for (int i = 0; i < 3; ++i) out.emissive[i] = XF32(p + 32 + 4 * i);
    return true;
}

} // namespace zyk::formats

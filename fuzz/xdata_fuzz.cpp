// The readers of .x data blocks on arbitrary bytes: an accepted record lies wholly inside
// the block it came from.
#include "formats/xdata.h"

#include <cstddef>
#include <cstdint>
#include <initializer_list>

using namespace zyk::formats;

namespace {

bool Inside(const uint8_t* p, size_t bytes, const uint8_t* data, size_t size)
{
    return !bytes || (p && p >= data && p + bytes <= data + size);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    XMeshRecord mesh;
    if (ReadXMesh(data, size, mesh)) {
        if (!Inside(mesh.positions, size_t(mesh.vertexCount) * 12, data, size) ||
            !Inside(mesh.faces, mesh.faceBytes, data, size) || mesh.triangleIndexCount > size)
            __builtin_trap();
    }
    XMaterialListRecord list;
    if (ReadXMaterialList(data, size, list) && !Inside(list.faceIndexes, size_t(list.faceIndexCount) * 4, data, size))
        __builtin_trap();
    for (size_t itemSize : {kXNormalSize, kXTextureCoordSize}) {
        XArrayRecord array;
        if (ReadXArray(data, size, itemSize, array) && !Inside(array.items, size_t(array.count) * itemSize, data, size))
            __builtin_trap();
    }
    XMaterialRecord material;
    if (ReadXMaterial(data, size, material) != (data && size >= kXMaterialSize)) __builtin_trap();
    return 0;
}

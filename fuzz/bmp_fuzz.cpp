// CheckBmp on arbitrary bytes: never faults, and a file it passes holds the pixel rows
// its headers promise.
#include "formats/bmp.h"

#include <cstddef>
#include <cstdint>

using namespace zyk::formats;

namespace {
uint32_t U32(const uint8_t* p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    BmpInfo info;
    const BmpResult result = CheckBmp(data, size, info);
    if (result != BmpResult::Ok) {
        if (info.width != 0 || info.height != 0 || info.bitsPerPixel != 0 || info.topDown) __builtin_trap();
        return 0;
    }
    if (info.width == 0 || info.height == 0 || info.width > kBmpMaxDimension || info.height > kBmpMaxDimension)
        __builtin_trap();
    // Uncompressed rows lie inside the file, after the offset the header gives.
    const uint32_t offset = U32(data + 10);
    const bool core = U32(data + 14) == 12;
    const uint32_t compression = core ? 0 : U32(data + 30);
    if (compression == 0 || compression == 3) {
        const uint64_t stride = (uint64_t(info.width) * info.bitsPerPixel + 31) / 32 * 4;
        if (offset > size || stride * info.height > size - offset) __builtin_trap();
    }
    return 0;
}

// DecodeTga on arbitrary bytes: never faults, and what it answers is consistent.
#include "formats/tga.h"

#include <cstddef>
#include <cstdint>

using namespace zyk::formats;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    TgaImage image;
    const TgaResult result = DecodeTga(data, size, image);
    if (result == TgaResult::Ok) {
        if (image.width == 0 || image.height == 0 || image.width > kTgaMaxDimension ||
            image.height > kTgaMaxDimension || image.pixels.size() != size_t(image.width) * image.height)
            __builtin_trap();
    } else if (image.width != 0 || image.height != 0 || !image.pixels.empty()) {
        __builtin_trap();
    }
    return 0;
}

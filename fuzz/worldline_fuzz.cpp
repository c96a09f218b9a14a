// The world-file line reader on arbitrary bytes: a byte-order mark is looked for, every
// line is bounded, and every line converts to a number and a count without fault.
#include "formats/worldline.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

using namespace zyk::formats;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::FILE* f = fmemopen(const_cast<uint8_t*>(data), size, "rb");
    if (!f) return 0;
    (void)SkipWorldMark(f);
    std::string line;
    size_t lines = 0;
    int32_t count = 0;
    while (ReadWorldLine(f, line)) {
        if (line.size() > kWorldLineMax || ++lines > size) __builtin_trap();
        (void)WorldFloat(line);
        (void)WorldInteger(line);
        if (WorldCount(line, count) ? count < 0 : count != 0) __builtin_trap();
    }
    std::fclose(f);
    return 0;
}

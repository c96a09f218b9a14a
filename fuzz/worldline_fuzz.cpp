// The world-file line reader on arbitrary bytes: every line is bounded, and every line
// converts to a number without fault.
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
    std::string line;
    size_t lines = 0;
    while (ReadWorldLine(f, line)) {
        if (line.size() > kWorldLineMax || ++lines > size) __builtin_trap();
        (void)WorldFloat(line);
        (void)WorldInteger(line);
    }
    std::fclose(f);
    return 0;
}

// ParseWave on arbitrary bytes: never faults, and the chunks it finds lie inside the bytes
// and inside the RIFF size.
#include "formats/wave.h"

#include <cstddef>
#include <cstdint>

using namespace zyk::formats;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    WaveChunks chunks;
    const WaveResult result = ParseWave(data, size, chunks);
    if (result == WaveResult::Ok) {
        if (chunks.formatSize < kWaveMinFormat || chunks.dataSize == 0 ||
            chunks.formatOffset + chunks.formatSize > size || chunks.dataOffset + chunks.dataSize > size)
            __builtin_trap();
        // Samples cut short end with the RIFF size too, never past it.
        const uint64_t riffEnd = 8 + uint64_t(data[4] | data[5] << 8 | data[6] << 16 | uint32_t(data[7]) << 24);
        if (chunks.dataOffset + chunks.dataSize > riffEnd || chunks.formatOffset + chunks.formatSize > riffEnd)
            __builtin_trap();
        const std::vector<uint8_t> record = WaveFormatRecord(data + chunks.formatOffset, chunks.formatSize);
        const size_t extra = size_t(record[16] | record[17] << 8);
        if (record.size() != kWaveFormatRecord + extra || record.size() > chunks.formatSize + kWaveFormatRecord)
            __builtin_trap();
    } else if (chunks.formatSize || chunks.dataSize || chunks.formatOffset || chunks.dataOffset) {
        __builtin_trap();
    }
    return 0;
}

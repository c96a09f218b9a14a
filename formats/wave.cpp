// ParseWave: the "fmt " and "data" chunks of a RIFF/WAVE image, and the format record they make.
#include "formats/wave.h"

#include <algorithm>
#include <cstring>

namespace zyk::formats {

namespace {

constexpr uint32_t kRiff = 0x46464952;   // "RIFF"
constexpr uint32_t kWave = 0x45564157;   // "WAVE"
constexpr uint32_t kFormat = 0x20746D66; // "fmt "
constexpr uint32_t kData = 0x61746164;   // "data"

uint32_t Dword(const uint8_t* p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

} // namespace

WaveResult ParseWave(const uint8_t* data, size_t size, WaveChunks& out)
{
    out = WaveChunks{};
    if (!data || size < 12 || Dword(data) != kRiff || Dword(data + 8) != kWave) return WaveResult::NotWave;
    const uint64_t end = std::min<uint64_t>(uint64_t(8) + Dword(data + 4), size);
    WaveChunks found;
    bool haveFormat = false, haveData = false;
    uint64_t position = 12;
    while (position < end) {
        if (end - position < 8) return WaveResult::Truncated;
        const uint32_t id = Dword(data + position);
        const uint32_t length = Dword(data + position + 4);
        position += 8;
        if (id == kFormat && length > end - position) return WaveResult::Truncated;
        if (id == kFormat && !haveFormat) {
            if (length < kWaveMinFormat) return WaveResult::ShortFormat;
            found.formatOffset = size_t(position);
            found.formatSize = length;
            haveFormat = true;
        } else if (id == kData && !haveData && length > 0) {
            // A file cut short keeps the samples it holds: the chunk ends with the walk.
            const uint64_t held = std::min<uint64_t>(length, end - position);
            if (held > 0) {
                found.dataOffset = size_t(position);
                found.dataSize = size_t(held);
                haveData = true;
            }
        }
        if (haveFormat && haveData) {
            out = found;
            return WaveResult::Ok;
        }
        position += uint64_t(length) + (length & 1);
    }
    return WaveResult::Missing;
}

std::vector<uint8_t> WaveFormatRecord(const uint8_t* format, size_t size)
{
    std::vector<uint8_t> record(std::max(size, kWaveFormatRecord), 0);
    if (format && size) std::memcpy(record.data(), format, size);
    // The older 14-byte record has no sample size; for PCM it follows from the block
    // alignment and the channels.
    const unsigned tag = record[0] | record[1] << 8, channels = record[2] | record[3] << 8;
    if (size < 16 && tag == 1 && channels > 0) {
        const unsigned bits = (record[12] | record[13] << 8) * 8u / channels;
        record[14] = uint8_t(bits);
        record[15] = uint8_t(bits >> 8);
    }
    const size_t extra = size > kWaveFormatRecord ? size - kWaveFormatRecord : 0;
    const size_t stated = size >= kWaveFormatRecord ? size_t(record[16] | record[17] << 8) : 0;
    const size_t kept = std::min(stated, extra);
    record[16] = uint8_t(kept);
    record[17] = uint8_t(kept >> 8);
    record.resize(kWaveFormatRecord + kept);
    return record;
}

} // namespace zyk::formats

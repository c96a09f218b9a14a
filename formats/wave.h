// RIFF/WAVE reader for the sound server.
//
// Finds the "fmt " and "data" chunks of a RIFF/WAVE image held in an untrusted byte
// buffer. Never reads outside the buffer it is given, and never throws.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace zyk::formats {

// The smallest "fmt " chunk accepted: the wave format record up to its block alignment.
inline constexpr size_t kWaveMinFormat = 14;
// The size of the wave format record with its extra-size field.
inline constexpr size_t kWaveFormatRecord = 18;

// Where the two chunks lie, as offsets from the start of the buffer.
struct WaveChunks {
    size_t formatOffset = 0;
    size_t formatSize = 0;
    size_t dataOffset = 0;
    size_t dataSize = 0;
};

enum class WaveResult {
    Ok,
    NotWave,     // no "RIFF" ... "WAVE" header
    ShortFormat, // a "fmt " chunk below kWaveMinFormat bytes
    Truncated,   // a chunk header, or a "fmt " chunk, runs past the end before both were found
    Missing,     // the walk ended without a format and non-empty samples
};

// Walks the chunks of `size` bytes at `data`. The walk starts after the header, ends at
// the RIFF size or the buffer's end, whichever comes first, and stops as soon as both
// chunks are found. Only the first "fmt " counts, and the first "data" with samples; a
// "data" chunk that claims more than the walk holds (a file cut short) gives the samples
// up to the walk's end.
// Each chunk is followed by a pad byte when its size is odd. On failure `out` is zero.
WaveResult ParseWave(const uint8_t* data, size_t size, WaveChunks& out);

// The wave format record to hand to a sound device for a "fmt " chunk of `size` bytes:
// at least kWaveFormatRecord bytes, missing fields zero, and the extra-size field no
// larger than the bytes that follow the record in the chunk. A PCM record without its
// sample size (a 14-byte chunk) gets the one its block alignment and channels give.
std::vector<uint8_t> WaveFormatRecord(const uint8_t* format, size_t size);

} // namespace zyk::formats

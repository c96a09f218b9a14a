#include "formats/wave.h"
#include "seeds.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace zyk::formats;

namespace {

using Bytes = std::vector<uint8_t>;

void Dword(Bytes& b, uint32_t v)
{
    for (int i = 0; i < 4; ++i) b.push_back(uint8_t(v >> (8 * i)));
}

void Chunk(Bytes& b, const char* id, const Bytes& contents, bool pad = true)
{
    b.insert(b.end(), id, id + 4);
    Dword(b, uint32_t(contents.size()));
    b.insert(b.end(), contents.begin(), contents.end());
    if (pad && contents.size() % 2) b.push_back(0);
}

// A 16-bit mono PCM format record of `size` bytes at 22050 Hz.
Bytes Format(size_t size = 16)
{
    Bytes f;
    f.push_back(1), f.push_back(0); // PCM
    f.push_back(1), f.push_back(0); // one channel
    Dword(f, 22050);
    Dword(f, 44100);
    f.push_back(2), f.push_back(0);  // block alignment
    f.push_back(16), f.push_back(0); // bits
    f.resize(size, 0);
    return f;
}

// "RIFF" size "WAVE" followed by body; the RIFF size counts the bytes after its field.
Bytes Riff(const Bytes& body, long sizeAdjust = 0)
{
    Bytes b = {'R', 'I', 'F', 'F'};
    Dword(b, uint32_t(4 + body.size() + sizeAdjust));
    b.insert(b.end(), {'W', 'A', 'V', 'E'});
    b.insert(b.end(), body.begin(), body.end());
    return b;
}

WaveResult Parse(const Bytes& b, WaveChunks& chunks)
{
    WriteSeed("wave", b.data(), b.size());
    return ParseWave(b.data(), b.size(), chunks);
}

TEST(Wave, FindsFormatAndSamplesInEitherOrder)
{
    const Bytes samples = {1, 2, 3, 4, 5, 6};
    Bytes body;
    Chunk(body, "fmt ", Format());
    Chunk(body, "data", samples);
    WaveChunks c;
    ASSERT_EQ(Parse(Riff(body), c), WaveResult::Ok);
    EXPECT_EQ(c.formatOffset, 20u);
    EXPECT_EQ(c.formatSize, 16u);
    EXPECT_EQ(c.dataOffset, 44u);
    EXPECT_EQ(c.dataSize, 6u);

    Bytes reversed;
    Chunk(reversed, "data", samples);
    Chunk(reversed, "fmt ", Format(18));
    ASSERT_EQ(Parse(Riff(reversed), c), WaveResult::Ok);
    EXPECT_EQ(c.dataOffset, 20u);
    EXPECT_EQ(c.formatOffset, 34u);
    EXPECT_EQ(c.formatSize, 18u);
}

TEST(Wave, StepsOverOtherChunksAndTheirPadBytes)
{
    Bytes body;
    Chunk(body, "LIST", {'a', 'b', 'c'}); // odd: one pad byte follows
    Chunk(body, "fmt ", Format());
    Chunk(body, "fact", {0, 0, 0, 0});
    Chunk(body, "data", {9, 9, 9});
    WaveChunks c;
    ASSERT_EQ(Parse(Riff(body), c), WaveResult::Ok);
    EXPECT_EQ(c.formatOffset, 32u);
    EXPECT_EQ(c.dataSize, 3u);
    const Bytes b = Riff(body);
    EXPECT_EQ(b[c.dataOffset], 9);
}

TEST(Wave, OnlyTheFirstFormatAndTheFirstSamplesCount)
{
    Bytes body;
    Chunk(body, "fmt ", Format(16));
    Chunk(body, "fmt ", Format(40));
    Chunk(body, "data", {}); // no samples: a later chunk may give them
    Chunk(body, "data", {7, 7});
    Chunk(body, "data", {8, 8, 8, 8});
    WaveChunks c;
    ASSERT_EQ(Parse(Riff(body), c), WaveResult::Ok);
    EXPECT_EQ(c.formatSize, 16u);
    EXPECT_EQ(c.dataSize, 2u);
}

TEST(Wave, RefusesWhatIsNotWave)
{
    WaveChunks c;
    EXPECT_EQ(Parse({}, c), WaveResult::NotWave);
    EXPECT_EQ(Parse({'R', 'I', 'F', 'F', 0, 0, 0, 0, 'A', 'V', 'I', ' '}, c), WaveResult::NotWave);
    Bytes body;
    Chunk(body, "fmt ", Format());
    Bytes b = Riff(body);
    b[0] = 'r';
    EXPECT_EQ(Parse(b, c), WaveResult::NotWave);
    EXPECT_EQ(ParseWave(nullptr, 100, c), WaveResult::NotWave);
}

TEST(Wave, RefusesAShortFormatAndMissingChunks)
{
    WaveChunks c;
    Bytes shortFormat;
    Chunk(shortFormat, "fmt ", Format(13));
    Chunk(shortFormat, "data", {1, 2});
    EXPECT_EQ(Parse(Riff(shortFormat), c), WaveResult::ShortFormat);
    EXPECT_EQ(c.formatSize, 0u);

    Bytes formatOnly;
    Chunk(formatOnly, "fmt ", Format(14));
    EXPECT_EQ(Parse(Riff(formatOnly), c), WaveResult::Missing);

    Bytes emptySamples;
    Chunk(emptySamples, "fmt ", Format());
    Chunk(emptySamples, "data", {});
    EXPECT_EQ(Parse(Riff(emptySamples), c), WaveResult::Missing);
    EXPECT_EQ(Parse(Riff({}), c), WaveResult::Missing);
}

TEST(Wave, NeverReadsPastTheBufferWhateverTheSizesSay)
{
    Bytes body;
    Chunk(body, "fmt ", Format());
    Chunk(body, "data", Bytes(100, 5));
    const Bytes whole = Riff(body);
    WaveChunks c;
    // Every truncation of a good file, the RIFF size still claiming all: once a sample
    // byte is in, the samples it holds are found; before that it fails cleanly.
    for (size_t n = 0; n < whole.size(); ++n) {
        Bytes cut(whole.begin(), whole.begin() + n);
        if (n > 44) {
            ASSERT_EQ(Parse(cut, c), WaveResult::Ok) << n;
            EXPECT_EQ(c.dataOffset, 44u);
            EXPECT_EQ(c.dataSize, n - 44) << n;
        } else {
            EXPECT_NE(Parse(cut, c), WaveResult::Ok) << n;
            EXPECT_EQ(c.dataSize, 0u);
        }
    }
    // A "fmt " chunk cut short is refused.
    EXPECT_EQ(Parse(Bytes(whole.begin(), whole.begin() + 30), c), WaveResult::Truncated);
    // A RIFF size beyond the buffer is bounded by the buffer.
    EXPECT_EQ(Parse(Riff(body, 1000000), c), WaveResult::Ok);
    EXPECT_EQ(c.dataSize, 100u);
    // A RIFF size that ends inside the samples cuts them there.
    EXPECT_EQ(Parse(Riff(body, -50), c), WaveResult::Ok);
    EXPECT_EQ(c.dataSize, 50u);
    // A chunk size near 4 GiB must not wrap the walk around.
    Bytes huge;
    Chunk(huge, "fmt ", Format());
    huge.insert(huge.end(), {'J', 'U', 'N', 'K', 0xFF, 0xFF, 0xFF, 0xFF});
    Chunk(huge, "data", {1, 2});
    EXPECT_EQ(Parse(Riff(huge), c), WaveResult::Missing);
    // Samples whose size was never written (a recording stopped early) run to the end.
    Bytes hugeData;
    Chunk(hugeData, "fmt ", Format());
    hugeData.insert(hugeData.end(), {'d', 'a', 't', 'a', 0xFF, 0xFF, 0xFF, 0xFF, 1, 2});
    EXPECT_EQ(Parse(Riff(hugeData), c), WaveResult::Ok);
    EXPECT_EQ(c.dataSize, 2u);
    // Samples cut short before the format are still missing it.
    Bytes dataFirst;
    dataFirst.insert(dataFirst.end(), {'d', 'a', 't', 'a', 100, 0, 0, 0, 1, 2});
    EXPECT_EQ(Parse(Riff(dataFirst), c), WaveResult::Missing);
    EXPECT_EQ(c.dataSize, 0u);
}

TEST(Wave, FormatRecordNeverClaimsMoreThanTheChunkHolds)
{
    // A 14-byte chunk grows to the 18-byte record with no extra bytes, and a PCM one
    // gets the sample size of its block alignment: 2 bytes of one channel, 16 bits.
    Bytes f = Format(14);
    Bytes r = WaveFormatRecord(f.data(), f.size());
    ASSERT_EQ(r.size(), kWaveFormatRecord);
    EXPECT_EQ(r[14], 16);
    f[2] = 2; // two channels in the same block: 8 bits each
    EXPECT_EQ(WaveFormatRecord(f.data(), f.size())[14], 8);
    f[0] = 2; // not PCM: left as it is
    EXPECT_EQ(WaveFormatRecord(f.data(), f.size())[14], 0);
    f = Format(14);
    EXPECT_EQ(r[16], 0);
    EXPECT_EQ(r[17], 0);
    EXPECT_EQ(r[0], 1);
    // An extra size beyond the chunk is cut to what the chunk holds.
    f = Format(22);
    f[16] = 0xFF, f[17] = 0xFF;
    r = WaveFormatRecord(f.data(), f.size());
    ASSERT_EQ(r.size(), 22u);
    EXPECT_EQ(r[16], 4);
    EXPECT_EQ(r[17], 0);
    // An honest extra size is kept, and the chunk's tail after it is not.
    f = Format(30);
    f[16] = 2;
    r = WaveFormatRecord(f.data(), f.size());
    EXPECT_EQ(r.size(), 20u);
}

} // namespace

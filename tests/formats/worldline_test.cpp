// The lines of a world file: whole lines of any length, both line ends, a byte-order mark
// passed over, numbers read the way the C library reads them, wrapped to 32 bits, and counts
// as Save writes them.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "formats/worldline.h"
#include "seeds.h"

using namespace zyk::formats;

namespace {

// A stream holding the bytes (a temporary file, removed when closed).
std::FILE* Stream(const std::string& bytes)
{
    WriteSeed("worldline", reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    std::FILE* f = std::tmpfile();
    if (f) {
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::rewind(f);
    }
    return f;
}

} // namespace

TEST(WorldLine, LinesAreReadWholeWithEitherLineEnd)
{
    const std::string longName(1000, 'n');
    std::FILE* f = Stream("// Camera\r\n" + longName + "\nlast");
    ASSERT_NE(f, nullptr);
    std::string line;
    ASSERT_TRUE(ReadWorldLine(f, line));
    EXPECT_EQ(line, "// Camera");
    ASSERT_TRUE(ReadWorldLine(f, line));
    EXPECT_EQ(line, longName);
    ASSERT_TRUE(ReadWorldLine(f, line));
    EXPECT_EQ(line, "last");
    EXPECT_FALSE(ReadWorldLine(f, line));
    EXPECT_EQ(line, "");
    std::fclose(f);
}

TEST(WorldLine, AnEndlessLineIsBoundedAndTheNextLineStaysInPlace)
{
    std::FILE* f = Stream(std::string(kWorldLineMax + 5000, 'x') + "\n2\n");
    ASSERT_NE(f, nullptr);
    std::string line;
    ASSERT_TRUE(ReadWorldLine(f, line));
    EXPECT_EQ(line.size(), kWorldLineMax);
    ASSERT_TRUE(ReadWorldLine(f, line));
    EXPECT_EQ(WorldInteger(line), 2);
    std::fclose(f);
}

TEST(WorldLine, NumbersReadAsTheCLibraryReadsThem)
{
    EXPECT_EQ(WorldFloat("10.000000"), 10.0f);
    EXPECT_EQ(WorldFloat("  -2.5xyz"), -2.5f);
    EXPECT_EQ(WorldFloat(""), 0.0f);
    EXPECT_EQ(WorldFloat("abc"), 0.0f);
    EXPECT_TRUE(std::isinf(WorldFloat("1e39")));
    EXPECT_LT(WorldFloat("-1e300"), 0.0f);
    EXPECT_TRUE(std::isnan(WorldFloat("nan")));

    EXPECT_EQ(WorldInteger("4294967295"), -1);
    EXPECT_EQ(WorldInteger("-5"), -5);
    EXPECT_EQ(WorldInteger("4294967296"), 0);
    EXPECT_EQ(WorldInteger(" 7 lights"), 7);
    EXPECT_EQ(WorldInteger(""), 0);
    EXPECT_EQ(WorldInteger("x1"), 0);
    EXPECT_EQ(WorldInteger("99999999999999999999999"), -1); // beyond 64 bits: all ones
}

TEST(WorldLine, AByteOrderMarkIsPassedOverAndCountsAreWhatSaveWrites)
{
    std::string line;
    for (const char* bytes : {"\xEF\xBB\xBF\xEF\xBB\n", "\xEF\xBB\n"}) {
        std::FILE* f = Stream(bytes);
        ASSERT_NE(f, nullptr);
        EXPECT_EQ(SkipWorldMark(f), std::strlen(bytes) > 3);
        ASSERT_TRUE(ReadWorldLine(f, line));
        EXPECT_EQ(line, "\xEF\xBB");
        std::fclose(f);
    }
    int32_t n = -1;
    EXPECT_TRUE(WorldCount(" 2147483647\t", n));
    EXPECT_EQ(n, 2147483647);
    for (const char* bad : {"", "2147483648", "4294967296", "-1", "+1", "2 lights", "2\r// Camera"}) {
        EXPECT_FALSE(WorldCount(bad, n)) << bad;
        EXPECT_EQ(n, 0);
    }
}

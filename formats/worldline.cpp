// Reading the lines of a world file and turning them into floats and integers.
#include "formats/worldline.h"

#include <cfloat>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace zyk::formats {

namespace {

// The stream is locked once a line, and read a character at a time without locking.
#if defined(_WIN32)
void Lock(std::FILE* f) { _lock_file(f); }
void Unlock(std::FILE* f) { _unlock_file(f); }
int Next(std::FILE* f) { return _getc_nolock(f); }
#else
void Lock(std::FILE* f) { flockfile(f); }
void Unlock(std::FILE* f) { funlockfile(f); }
int Next(std::FILE* f) { return getc_unlocked(f); }
#endif

} // namespace

bool ReadWorldLine(std::FILE* f, std::string& line)
{
    line.clear();
    Lock(f);
    int c = Next(f);
    for (; c != EOF && c != '\n'; c = Next(f))
        if (line.size() < kWorldLineMax) line.push_back(static_cast<char>(c));
    Unlock(f);
    if (c == EOF && line.empty()) return false;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return true;
}

bool SkipWorldMark(std::FILE* f)
{
    static const unsigned char mark[3] = {0xEF, 0xBB, 0xBF};
    const long at = std::ftell(f);
    unsigned char read[3] = {};
    const size_t n = std::fread(read, 1, sizeof read, f);
    if (n == sizeof read && std::memcmp(read, mark, sizeof mark) == 0) return true;
    std::clearerr(f);
    if (at >= 0) std::fseek(f, at, SEEK_SET);
    return false;
}

bool WorldCount(const std::string& line, int32_t& count)
{
    count = 0;
    auto blank = [](char c) { return c == ' ' || c == '\t'; };
    size_t i = 0;
    while (i < line.size() && blank(line[i])) ++i;
    const size_t first = i;
    int64_t value = 0;
    for (; i < line.size() && line[i] >= '0' && line[i] <= '9'; ++i) {
        value = value * 10 + (line[i] - '0');
        if (value > INT32_MAX) return false;
    }
    if (i == first) return false;
    while (i < line.size() && blank(line[i])) ++i;
    if (i != line.size()) return false;
    count = static_cast<int32_t>(value);
    return true;
}

float WorldFloat(const std::string& line)
{
    const double d = std::strtod(line.c_str(), nullptr);
    if (std::isnan(d)) return NAN;
    if (d > FLT_MAX) return INFINITY;
    if (d < -FLT_MAX) return -INFINITY;
    return static_cast<float>(d);
}

int32_t WorldInteger(const std::string& line)
{
    const unsigned long long v = std::strtoull(line.c_str(), nullptr, 10);
    return static_cast<int32_t>(static_cast<uint32_t>(v));
}

} // namespace zyk::formats

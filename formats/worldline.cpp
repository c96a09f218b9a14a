// Reading the lines of a world file and turning them into floats and integers.
#include "formats/worldline.h"

#include <cfloat>
#include <cmath>
#include <cstdlib>

namespace zyk::formats {

bool ReadWorldLine(std::FILE* f, std::string& line)
{
    line.clear();
    int c = std::fgetc(f);
    if (c == EOF) return false;
    for (; c != EOF && c != '\n'; c = std::fgetc(f))
        if (line.size() < kWorldLineMax) line.push_back(static_cast<char>(c));
    if (!line.empty() && line.back() == '\r') line.pop_back();
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

#include "pack.h"

namespace {

// The channel times 255 as a 32-bit integer, truncated toward zero; defined for every
// input (NaN gives 0, values beyond the 32-bit range give the integer-indefinite value).
DWORD Channel(float c)
{
    double v = static_cast<double>(c) * 255.0;
    if (!(v == v)) return 0;
    if (v >= 2147483648.0 || v <= -2147483649.0) return 0x80000000u;
    return static_cast<DWORD>(static_cast<LONG>(v));
}

} // namespace

DWORD PackColour(float red, float green, float blue, float alpha)
{
    return Channel(alpha) << 24 | Channel(red) << 16 | Channel(green) << 8 | Channel(blue);
}

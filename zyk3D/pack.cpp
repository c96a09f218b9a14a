// PackColour: four float channels as one 32-bit Direct3D colour.
#include "pack.h"

namespace {

// The channel as 0 to 255. The clamp comes before the conversion to an integer, which is
// undefined for a value outside the integer's range; NaN fails both comparisons.
DWORD Channel(float c)
{
    if (!(c > 0.0f)) return 0;
    if (!(c < 1.0f)) return 255;
    return static_cast<DWORD>(static_cast<double>(c) * 255.0);
}

} // namespace

DWORD PackColour(float red, float green, float blue, float alpha)
{
    return Channel(alpha) << 24 | Channel(red) << 16 | Channel(green) << 8 | Channel(blue);
}

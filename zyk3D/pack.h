// Packing a colour into the 32-bit value that Direct3D takes.
#pragma once
#include <windows.h>

// A colour as one 32-bit Direct3D value: each channel clamped to 0.0 to 1.0 (NaN counts
// as 0.0), times 255 truncated toward zero, alpha << 24 | red << 16 | green << 8 | blue.
// A channel out of range therefore saturates instead of spilling into its neighbours.
DWORD PackColour(float red, float green, float blue, float alpha);

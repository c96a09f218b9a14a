#pragma once
#include <windows.h>

// A colour as one 32-bit Direct3D value: each channel times 255 truncated toward zero,
// alpha << 24 | red << 16 | green << 8 | blue, without clamping or masking, so a channel
// outside 0.0 to 1.0 spills into its neighbours' bits.
DWORD PackColour(float red, float green, float blue, float alpha);

// A float handed to Direct3D as a 32-bit state value, and back: the same bits.
#pragma once
#include <windows.h>
#include <cstring>

inline DWORD FloatBits(float value)
{
    DWORD bits;
    memcpy(&bits, &value, sizeof bits);
    return bits;
}

inline float BitsFloat(DWORD bits)
{
    float value;
    memcpy(&value, &bits, sizeof value);
    return value;
}

// The frame rate that Device3D's Update measures.
#pragma once
#include <windows.h>

// Frames per second in tenths for the milliseconds between two updates: 10000 divided
// by the interval, truncated. Two updates within one millisecond keep the previous rate.
inline DWORD FrameRateTenths(DWORD elapsedMs, DWORD previous) { return elapsedMs ? 10000 / elapsedMs : previous; }

// Timing for the benchmarks: a high-resolution clock and the median of repeated rounds.
#pragma once
#include <windows.h>
#include <algorithm>
#include <vector>

namespace sample {

inline double Now()
{
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) / static_cast<double>(frequency.QuadPart);
}

inline double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0.0 : v[v.size() / 2];
}

// Frames through the engine against the same frames made directly, in alternating rounds
// of the given number of frames (messages pumped between rounds): the median seconds of
// one frame of each.
struct FrameTimes {
    double engine = 0, direct = 0;
};

template <class EngineFrame, class DirectFrame, class Pump>
FrameTimes TimeFrames(int frames, int rounds, EngineFrame&& engineFrame, DirectFrame&& directFrame, Pump&& pump)
{
    std::vector<double> engine, direct;
    for (int round = 0; round < rounds; ++round) {
        const double t0 = Now();
        for (int i = 0; i < frames; ++i) engineFrame();
        const double t1 = Now();
        for (int i = 0; i < frames; ++i) directFrame();
        const double t2 = Now();
        engine.push_back((t1 - t0) / frames);
        direct.push_back((t2 - t1) / frames);
        pump();
    }
    return {Median(engine), Median(direct)};
}

} // namespace sample

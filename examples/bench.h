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

// Frames through the engine against the same frames made directly, in rounds of the given
// number of frames (messages pumped between rounds). The side that goes first changes from
// round to round, since the first frames after a pause cost more whichever side draws them.
// Gives the median seconds of one frame of each, and the median of the rounds' own ratios,
// which a change in the machine's load between rounds does not move.
struct FrameTimes {
    double engine = 0, direct = 0, ratio = 0;
};

template <class EngineFrame, class DirectFrame, class Pump>
FrameTimes TimeFrames(int frames, int rounds, EngineFrame&& engineFrame, DirectFrame&& directFrame, Pump&& pump)
{
    std::vector<double> engine, direct, ratio;
    auto time = [frames](auto& frame) {
        const double t0 = Now();
        for (int i = 0; i < frames; ++i) frame();
        return (Now() - t0) / frames;
    };
    for (int round = 0; round < rounds; ++round) {
        double e, d;
        if (round % 2) {
            d = time(directFrame);
            e = time(engineFrame);
        } else {
            e = time(engineFrame);
            d = time(directFrame);
        }
        engine.push_back(e);
        direct.push_back(d);
        ratio.push_back(e / d);
        pump();
    }
    return {Median(engine), Median(direct), Median(ratio)};
}

} // namespace sample

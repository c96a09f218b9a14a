// Long runs: the sample game's scene for many frames, then many rounds of creating,
// initialising and freeing a Device3D, a ZYKGFX.Device and a ZYKSound.Device with a
// loaded sound. Prints the process's private bytes and its GDI and USER object counts at
// the start of each phase, after a warm-up (first-use allocations are no leak), half-way
// and at the end, and how far they moved from the warm-up to the end.
//   soak_bench [frames [rounds]]   (default 10000 1000)
#include "bench.h"
#include "counts/counts.h"
#include "engine.h"
#include "scene.h"
#include "screen.h"
#include "soak.h"
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

const int kWidth = 320, kHeight = 240, kWarmUpFrames = 100;

struct Counts {
    SIZE_T bytes;
    DWORD gdi, user;
};

Counts Take() { return {zyk::counts::PrivateBytes(), zyk::counts::GdiObjectCount(), zyk::counts::UserObjectCount()}; }

Counts Report(const char* phase, const char* when)
{
    const Counts c = Take();
    printf("%-6s %-22s %11lu private bytes %6lu GDI objects %5lu USER objects\n", phase, when,
           static_cast<unsigned long>(c.bytes), c.gdi, c.user);
    fflush(stdout);
    return c;
}

void ReportMove(const char* phase, const Counts& from, const Counts& to, int steps, const char* step)
{
    const long long bytes = static_cast<long long>(to.bytes) - static_cast<long long>(from.bytes);
    printf("%-6s moved over %d %ss: %+lld private bytes (%+.1f a %s), %+ld GDI objects, %+ld USER objects\n", phase,
           steps, step, bytes, static_cast<double>(bytes) / std::max(steps, 1), step,
           static_cast<long>(to.gdi) - static_cast<long>(from.gdi),
           static_cast<long>(to.user) - static_cast<long>(from.user));
    fflush(stdout);
}

// A short sound: 0.1 s of a 441 Hz square wave, 22,050 Hz mono 16-bit PCM.
bool WriteWave(const char* path)
{
    const DWORD rate = 22050, samples = rate / 10, dataBytes = samples * 2;
    std::string bytes;
    auto dword = [&bytes](DWORD v) { bytes.append(reinterpret_cast<const char*>(&v), 4); };
    auto word = [&bytes](WORD v) { bytes.append(reinterpret_cast<const char*>(&v), 2); };
    bytes += "RIFF";
    dword(4 + 8 + 16 + 8 + dataBytes);
    bytes += "WAVEfmt ";
    dword(16);
    word(1); // PCM
    word(1); // mono
    dword(rate);
    dword(rate * 2); // bytes a second
    word(2);         // block
    word(16);        // bits
    bytes += "data";
    dword(dataBytes);
    for (DWORD i = 0; i < samples; ++i) word((i / 25) % 2 ? 0x2000 : 0xE000);
    FILE* f = fopen(path, "wb");
    if (!f) return false;
    const bool written = fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return fclose(f) == 0 && written;
}

bool SceneFrames(int frames)
{
    HWND window = sample::CreateGameWindow("Soak: the sample game's scene", kWidth, kHeight);
    IDevice3D* device = sample::OpenDevice3D(window, kWidth, kHeight);
    if (!device) return false;
    sample::PumpMessages();
    {
        sample::GameScene scene(device);
        const int total = kWarmUpFrames + frames;
        int frame = 0;
        auto run = [&](int until) {
            for (; frame < until; ++frame) {
                sample::PumpMessages();
                scene.Frame(frame, total);
            }
        };
        run(kWarmUpFrames);
        const Counts warm = Report("scene", "after warm-up frames");
        double seconds = sample::Now();
        run(kWarmUpFrames + frames / 2);
        seconds = sample::Now() - seconds;
        Report("scene", "half-way");
        const double resumed = sample::Now();
        run(total);
        seconds += sample::Now() - resumed;
        const Counts end = Report("scene", "end");
        ReportMove("scene", warm, end, frames, "frame");
        printf("scene  %d frames in %.0f s (%.1f ms a frame)\n", frames, seconds, seconds * 1e3 / std::max(frames, 1));
    }
    device->Free();
    device->Release();
    DestroyWindow(window);
    return true;
}

// Seconds spent on each kind of device in the rounds.
struct RoundTimes {
    double device3D = 0, gfx = 0, sound = 0;
};

bool Round(HWND window, const wchar_t* wave, RoundTimes& times)
{
    sample::PumpMessages();
    const double t0 = sample::Now();
    IDevice3D* device = sample::OpenDevice3D(window, kWidth, kHeight);
    if (!device) return false;
    device->Free();
    device->Release();
    const double t1 = sample::Now();
    const bool gfx = soak::GfxRound(window, kWidth, kHeight);
    const double t2 = sample::Now();
    const bool sound = gfx && soak::SoundRound(wave);
    const double t3 = sample::Now();
    times.device3D += t1 - t0;
    times.gfx += t2 - t1;
    times.sound += t3 - t2;
    return sound;
}

bool DeviceRounds(int rounds)
{
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    const std::string path = std::string(temp) + "zyk_soak.wav";
    if (!WriteWave(path.c_str())) {
        fprintf(stderr, "could not write %s\n", path.c_str());
        return false;
    }
    BSTR wave = sample::AnsiBstr(path.c_str());
    HWND window = sample::CreateGameWindow("Soak: devices", kWidth, kHeight);
    RoundTimes times;
    bool ok = Round(window, wave, times);
    times = {};
    const Counts warm = Report("rounds", "after a warm-up round");
    int round = 0;
    for (; ok && round < rounds / 2; ++round) ok = Round(window, wave, times);
    Report("rounds", "half-way");
    for (; ok && round < rounds; ++round) ok = Round(window, wave, times);
    const Counts end = Report("rounds", "end");
    ReportMove("rounds", warm, end, round, "round");
    const double n = std::max(round, 1), seconds = times.device3D + times.gfx + times.sound;
    printf("rounds %d rounds in %.0f s (%.0f ms a round: Device3D %.0f ms, ZYKGFX.Device %.0f ms, ZYKSound.Device %.0f "
           "ms)\n",
           round, seconds, seconds * 1e3 / n, times.device3D * 1e3 / n, times.gfx * 1e3 / n, times.sound * 1e3 / n);
    DestroyWindow(window);
    SysFreeString(wave);
    DeleteFileA(path.c_str());
    return ok;
}

} // namespace

int main(int argc, char** argv)
{
    const int frames = argc > 1 ? std::max(2, atoi(argv[1])) : 10000;
    const int rounds = argc > 2 ? std::max(2, atoi(argv[2])) : 1000;
    CoInitialize(nullptr);
    printf("soak: %d frames of the sample game's scene after %d warm-up frames, then %d rounds of a Device3D, "
           "a ZYKGFX.Device and a ZYKSound.Device with a sound after one warm-up round\n",
           frames, kWarmUpFrames, rounds);
    Report("scene", "start");
    bool ok = SceneFrames(frames);
    Report("rounds", "start");
    ok = ok && DeviceRounds(rounds);
    CoUninitialize();
    return ok ? 0 : 1;
}

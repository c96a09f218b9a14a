// What the tests of the sound server share: WAVE images written by the tests, an
// initialised device with its sounds, and what the ALSA file sink recorded.
#pragma once
#include "testkit.h"
#include "zykSOUND.h"
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace sound_test {

// A RIFF/WAVE image of PCM samples: rate, channels, bits per sample, the sample bytes.
std::string Wave(int rate, int channels, int bits, const std::string& samples);
// frames 16-bit frames of value in every channel.
std::string Level(int frames, int channels, short value);
// Writes bytes to a file in the temporary folder and gives its path.
std::string TempFile(const char* name, const std::string& bytes);
// The wide path for a BSTR argument.
std::wstring Wide(const std::string& path);

// The interface behind a dispatch pointer that a member returned (the pointer is released).
template <class Itf>
Itf* Take(IDispatch* d, REFIID iid)
{
    return testkit::As<Itf>(d, iid);
}

// A Device on the default driver, initialised, with its Buffers collection.
struct OpenDevice {
    OpenDevice();
    ~OpenDevice();
    // Adds the file (or resource) name; nullptr when Add fails (hr keeps the result).
    IBuffer* Add(const std::string& name, bool use3D = false);
    IDevice* device = nullptr;
    IBuffers* buffers = nullptr;
    HRESULT hr = S_OK;
};

// The recording of the ALSA file sink: 48 kHz stereo 32-bit float frames.
struct Sink {
    static std::string Path();
    // Frames recorded so far.
    static size_t Frames();
    // Frames from first on with a channel whose magnitude is above 1e-5.
    static size_t LoudFrames(size_t first);
    // The largest magnitude of any sample from first on.
    static float Peak(size_t first);
    // Waits until done() or limitMs pass, re-checking every few milliseconds.
    static bool WaitFor(const std::function<bool()>& done, unsigned limitMs = 60000);
};

} // namespace sound_test

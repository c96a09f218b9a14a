#include "sound_fixture.h"
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace sound_test {

namespace {

void Dword(std::string& s, uint32_t v)
{
    for (int i = 0; i < 4; ++i) s.push_back(static_cast<char>(v >> (8 * i)));
}

void Word(std::string& s, uint16_t v)
{
    s.push_back(static_cast<char>(v));
    s.push_back(static_cast<char>(v >> 8));
}

// The recorded float samples from frame first on.
std::vector<float> Samples(size_t first)
{
    std::vector<float> out;
    FILE* f = std::fopen(Sink::Path().c_str(), "rb");
    if (!f) return out;
    std::fseek(f, 0, SEEK_END);
    long size = std::ftell(f);
    long from = static_cast<long>(first * 8);
    if (size > from) {
        out.resize(static_cast<size_t>(size - from) / 4);
        std::fseek(f, from, SEEK_SET);
        out.resize(std::fread(out.data(), 4, out.size(), f));
    }
    std::fclose(f);
    return out;
}

} // namespace

std::string Wave(int rate, int channels, int bits, const std::string& samples)
{
    std::string fmt;
    Word(fmt, 1);
    Word(fmt, static_cast<uint16_t>(channels));
    Dword(fmt, static_cast<uint32_t>(rate));
    Dword(fmt, static_cast<uint32_t>(rate * channels * bits / 8));
    Word(fmt, static_cast<uint16_t>(channels * bits / 8));
    Word(fmt, static_cast<uint16_t>(bits));
    std::string body = "WAVEfmt ";
    Dword(body, static_cast<uint32_t>(fmt.size()));
    body += fmt + "data";
    Dword(body, static_cast<uint32_t>(samples.size()));
    body += samples;
    if (samples.size() % 2) body.push_back(0);
    std::string riff = "RIFF";
    Dword(riff, static_cast<uint32_t>(body.size()));
    return riff + body;
}

std::string Level(int frames, int channels, short value)
{
    std::string s;
    for (int i = 0; i < frames * channels; ++i) Word(s, static_cast<uint16_t>(value));
    return s;
}

std::string TempFile(const char* name, const std::string& bytes)
{
    std::string path = testkit::TempPath(name);
    testkit::WriteAll(path, bytes);
    return path;
}

std::wstring Wide(const std::string& path) { return testkit::Widen(path); }

OpenDevice::OpenDevice()
{
    device = testkit::Create<IDevice>(L"ZYKSound.Device", IID_IDevice);
    if (!device) return;
    hr = device->Initialise();
    EXPECT_EQ(hr, S_OK);
    IDispatch* d = nullptr;
    EXPECT_EQ(device->get_Buffers(&d), S_OK);
    buffers = Take<IBuffers>(d, IID_IBuffers);
}

OpenDevice::~OpenDevice()
{
    if (buffers) buffers->Release();
    if (device) device->Release();
}

IBuffer* OpenDevice::Add(const std::string& name, bool use3D)
{
    if (!buffers) return nullptr;
    BSTR n = SysAllocString(Wide(name).c_str());
    IDispatch* d = nullptr;
    hr = buffers->get_Add(n, use3D ? VARIANT_TRUE : VARIANT_FALSE, &d);
    SysFreeString(n);
    return FAILED(hr) ? nullptr : Take<IBuffer>(d, IID_IBuffer);
}

std::string Sink::Path()
{
    const char* path = std::getenv("ZYK_SOUND_OUT");
    return path ? path : "";
}

size_t Sink::Frames()
{
    FILE* f = std::fopen(Path().c_str(), "rb");
    if (!f) return 0;
    std::fseek(f, 0, SEEK_END);
    long size = std::ftell(f);
    std::fclose(f);
    return size > 0 ? static_cast<size_t>(size) / 8 : 0;
}

size_t Sink::LoudFrames(size_t first)
{
    std::vector<float> s = Samples(first);
    size_t loud = 0;
    for (size_t i = 0; i + 1 < s.size(); i += 2)
        if (std::fabs(s[i]) > 1e-5f || std::fabs(s[i + 1]) > 1e-5f) ++loud;
    return loud;
}

float Sink::Peak(size_t first)
{
    float peak = 0;
    for (float v : Samples(first)) peak = std::fmax(peak, std::fabs(v));
    return peak;
}

bool Sink::WaitFor(const std::function<bool()>& done, unsigned limitMs)
{
    DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > limitMs) return false;
        Sleep(20);
    }
    return true;
}

} // namespace sound_test

#include "sound_fixture.h"
#include <mmsystem.h>
#include <dsound.h>
#include <string>

using namespace sound_test;
using testkit::ExpectError;
using testkit::SystemText;

namespace {

const wchar_t kBufferSource[] = L"ZYKSound.Buffer.1";
const wchar_t kBuffersSource[] = L"ZYKSound.Buffers.1";
const wchar_t kAdvSource[] = L"ZYKSound.AdvBuffer.1";

std::string Tone(int frames = 4000) { return Wave(22050, 1, 16, Level(frames, 1, 4000)); }

HRESULT Load(IBuffer* buffer, const std::string& path, bool use3D = false)
{
    BSTR name = SysAllocString(Wide(path).c_str());
    HRESULT hr = buffer->Load(name, use3D ? VARIANT_TRUE : VARIANT_FALSE);
    SysFreeString(name);
    return hr;
}

long CountOf(IBuffers* buffers)
{
    long count = -1;
    EXPECT_EQ(buffers->get_Count(&count), S_OK);
    return count;
}

std::string Dword(uint32_t v)
{
    std::string s;
    for (int i = 0; i < 4; ++i) s.push_back(static_cast<char>(v >> (8 * i)));
    return s;
}

TEST(SoundBuffers, AddNeedsAnInitialisedDevice)
{
    testkit::ComScope com;
    IBuffers* buffers = testkit::Create<IBuffers>(L"ZYKSound.Buffers", IID_IBuffers);
    ASSERT_TRUE(buffers);
    BSTR name = SysAllocString(Wide(TempFile("early.wav", Tone())).c_str());
    IDispatch* d = nullptr;
    testkit::ClearError();
    EXPECT_EQ(buffers->get_Add(name, VARIANT_FALSE, &d), E_POINTER);
    ExpectError(kBuffersSource, IID_IBuffers, SystemText(E_POINTER) + L"DirectSound Not Initialised.");
    EXPECT_EQ(d, nullptr);
    EXPECT_EQ(CountOf(buffers), 0);
    SysFreeString(name);
    buffers->Release();
}

TEST(SoundBuffers, FilesSoundsByNameDescendingAndReplacesTheSameName)
{
    testkit::ComScope com;
    OpenDevice open;
    ASSERT_TRUE(open.buffers);
    std::string a = TempFile("a.wav", Tone()), b = TempFile("b.wav", Tone()), upper = TempFile("B.wav", Tone());
    IBuffer* first = open.Add(a);
    ASSERT_TRUE(first) << std::hex << open.hr;
    IBuffer* again = open.Add(a);
    ASSERT_TRUE(again);
    EXPECT_NE(first, again);
    EXPECT_EQ(CountOf(open.buffers), 1);
    IBuffer* second = open.Add(b);
    IBuffer* third = open.Add(upper);
    ASSERT_TRUE(second && third);
    EXPECT_EQ(CountOf(open.buffers), 3);

    // Position 1 is the greatest name: ".../b.wav" > ".../a.wav" > ".../B.wav".
    VARIANT item;
    VariantInit(&item);
    ASSERT_EQ(open.buffers->Item(testkit::VarI4(1), &item), S_OK);
    IBuffer* at1 = Take<IBuffer>(V_DISPATCH(&item), IID_IBuffer);
    EXPECT_EQ(at1, second);
    at1->Release();
    ASSERT_EQ(open.buffers->Item(testkit::VarI2(3), &item), S_OK);
    IBuffer* at3 = Take<IBuffer>(V_DISPATCH(&item), IID_IBuffer);
    EXPECT_EQ(at3, third);
    at3->Release();
    VARIANT key = testkit::VarBstr(Wide(a).c_str());
    ASSERT_EQ(open.buffers->Item(key, &item), S_OK);
    IBuffer* byName = Take<IBuffer>(V_DISPATCH(&item), IID_IBuffer);
    EXPECT_EQ(byName, again);
    byName->Release();

    EXPECT_EQ(open.buffers->Remove(testkit::VarI4(4)), E_INVALIDARG);
    EXPECT_EQ(open.buffers->Remove(testkit::VarI4(0)), E_INVALIDARG);
    VARIANT unknown = testkit::VarBstr(L"nothing.wav");
    EXPECT_EQ(open.buffers->Remove(unknown), E_INVALIDARG);
    EXPECT_EQ(CountOf(open.buffers), 3);
    EXPECT_EQ(open.buffers->Remove(key), S_OK);
    EXPECT_EQ(CountOf(open.buffers), 2);
    EXPECT_EQ(open.buffers->Clear(), S_OK);
    EXPECT_EQ(CountOf(open.buffers), 0);
    // Sounds that left the collection are let go, whoever still holds them.
    EXPECT_EQ(second->put_Volume(80), E_POINTER);
    VariantClear(&key);
    VariantClear(&unknown);
    for (IBuffer* p : {first, again, second, third}) p->Release();
}

TEST(SoundBuffers, AMissingFileAddsNothing)
{
    testkit::ComScope com;
    OpenDevice open;
    ASSERT_TRUE(open.buffers);
    ASSERT_TRUE(open.Add(TempFile("kept.wav", Tone())));
    testkit::ClearError();
    EXPECT_EQ(open.Add(testkit::TempPath("no such sound.wav")), nullptr);
    EXPECT_EQ(open.hr, E_FAIL);
    ExpectError(kBuffersSource, IID_IBuffers, SystemText(E_FAIL) + L"Failed to Load File.");
    EXPECT_EQ(CountOf(open.buffers), 1);
}

// The cooperative level belongs to the device that the process shares: another
// DirectSound object at the normal level makes Compact fail after the sound has loaded.
// The sound is added and handed over all the same; only the trace tells of it.
TEST(SoundBuffers, AddKeepsALoadedSoundWhenTidyingFails)
{
    testkit::ComScope com;
    OpenDevice open;
    ASSERT_TRUE(open.buffers);
    IDirectSound* other = nullptr;
    ASSERT_EQ(DirectSoundCreate(nullptr, &other, nullptr), S_OK);
    ASSERT_EQ(other->SetCooperativeLevel(nullptr, DSSCL_NORMAL), S_OK);
    ASSERT_EQ(other->Compact(), DSERR_PRIOLEVELNEEDED);
    testkit::DebugCapture trace;
    IBuffer* buffer = open.Add(TempFile("tidy.wav", Tone()));
    EXPECT_EQ(open.hr, S_OK);
    ASSERT_TRUE(buffer);
    EXPECT_TRUE(trace.Contains("Compact Function Failed."));
    EXPECT_EQ(CountOf(open.buffers), 1);
    EXPECT_EQ(buffer->Play(pm_Single, VARIANT_FALSE), S_OK);
    EXPECT_EQ(buffer->Stop(), S_OK);
    buffer->Release();
    other->Release();
}

// Every bad file fails the load with E_FAIL and no error information, and leaves the
// buffer empty even when it held a sound before.
TEST(SoundBuffer, RefusesFilesThatAreNotWholeWaves)
{
    testkit::ComScope com;
    OpenDevice open;
    IBuffer* buffer = open.Add(TempFile("good.wav", Tone()));
    ASSERT_TRUE(buffer);

    std::string good = Tone(100);
    std::string shortFormat = good;
    shortFormat.replace(16, 4, Dword(13));
    std::string wrapping = good; // a chunk size that would wrap a 32-bit walk around
    wrapping.insert(36, "JUNK" + Dword(0xFFFFFFF8));
    const std::pair<const char*, std::string> cases[] = {
        {"empty.wav", ""},
        {"text.wav", "This is not a sound at all, just words."},
        {"avi.wav", "RIFF" + Dword(4) + "AVI "},
        {"short.wav", shortFormat},
        {"wrapping.wav", wrapping},
        {"nodata.wav", good.substr(0, 36)},
        {"cut header.wav", good.substr(0, 42)},
    };
    for (const auto& [name, bytes] : cases) {
        EXPECT_EQ(Load(buffer, TempFile("bad.wav", Tone())), S_OK);
        testkit::ClearError();
        EXPECT_EQ(Load(buffer, TempFile(name, bytes)), E_FAIL) << name;
        EXPECT_FALSE(testkit::TakeError().present) << name;
        long volume = 7;
        EXPECT_EQ(buffer->get_Volume(&volume), E_POINTER) << name;
        ExpectError(kBufferSource, IID_IBuffer, SystemText(E_POINTER) + L"Buffer Not Initialised.");
        EXPECT_EQ(volume, 0);
    }
    buffer->Release();
}

TEST(SoundBuffer, LoadsWavesLaidOutInAnyAllowedWay)
{
    testkit::ComScope com;
    OpenDevice open;
    IBuffer* buffer = open.Add(TempFile("first.wav", Tone()));
    ASSERT_TRUE(buffer);
    std::string fmt;
    fmt += std::string("\x01\x00\x01\x00", 4) + Dword(8000) + Dword(8000) + std::string("\x01\x00", 2); // 14 bytes
    std::string samples(301, '\xC0'); // odd: a pad byte follows
    auto riff = [](const std::string& body) {
        return "RIFF" + Dword(static_cast<uint32_t>(4 + body.size())) + "WAVE" + body;
    };
    const std::pair<const char*, std::string> cases[] = {
        {"data first", riff("data" + Dword(301) + samples + '\0' + "fmt " + Dword(14) + fmt)},
        {"odd chunk",
         riff("LIST" + Dword(3) + "abc" + '\0' + "fmt " + Dword(14) + fmt + "data" + Dword(301) + samples + '\0')},
        {"size beyond the file", "RIFF" + Dword(100000) + "WAVEfmt " + Dword(14) + fmt + "data" + Dword(301) + samples},
        {"stereo 8 bit", Wave(11025, 2, 8, std::string(800, '\x90'))},
        // Cut short, the samples claiming more than the file holds: it holds 3,978 bytes.
        {"cut short", Tone().substr(0, Tone().size() / 2)},
        {"samples overlong", Tone().replace(40, 4, Dword(0x7FFFFFF0))},
    };
    for (const auto& [what, bytes] : cases) {
        EXPECT_EQ(Load(buffer, TempFile("laid out.wav", bytes)), S_OK) << what;
        EXPECT_EQ(buffer->Play(pm_Single, VARIANT_FALSE), S_OK) << what;
        EXPECT_EQ(buffer->Stop(), S_OK) << what;
    }
    buffer->Release();
}

// A name is taken in the ANSI code page up to the 260 bytes of a path, and no further.
TEST(SoundBuffer, NamesUpToThePathLimitLoad)
{
    testkit::ComScope com;
    OpenDevice open;
    IBuffer* buffer = open.Add(TempFile("first.wav", Tone()));
    ASSERT_TRUE(buffer);
    const std::string folder = testkit::ProcessFolder("zyksound_names");
    const std::string path = folder + "\xe9" + std::string(MAX_PATH - folder.size() - 5, 's') + ".wav";
    testkit::WriteAll(path, Tone());
    EXPECT_EQ(Load(buffer, path), S_OK);
    testkit::ClearError();
    EXPECT_EQ(Load(buffer, path + "x"), E_FAIL);
    EXPECT_FALSE(testkit::TakeError().present);
    buffer->Release();
}

TEST(SoundBuffer, AClientsOwnBufferNeedsDirectSoundToLoad)
{
    testkit::ComScope com;
    IBuffer* buffer = testkit::Create<IBuffer>(L"ZYKSound.Buffer", IID_IBuffer);
    ASSERT_TRUE(buffer);
    testkit::ClearError();
    EXPECT_EQ(Load(buffer, TempFile("own.wav", Tone())), E_POINTER);
    ExpectError(kBufferSource, IID_IBuffer, SystemText(E_POINTER) + L"Buffer Not Initialised.");
    EXPECT_EQ(buffer->Play(pm_Single, VARIANT_FALSE), E_POINTER);
    EXPECT_EQ(buffer->Stop(), E_POINTER);
    Status_Types status;
    EXPECT_EQ(buffer->get_Status(&status), E_POINTER);
    long pan = 5;
    EXPECT_EQ(buffer->get_Pan(&pan), E_POINTER);
    EXPECT_EQ(pan, 0);
    EXPECT_EQ(buffer->put_Pan(10), E_POINTER);
    IDispatch* advance = reinterpret_cast<IDispatch*>(1);
    EXPECT_EQ(buffer->get_Advance(&advance), E_POINTER);
    ExpectError(kBufferSource, IID_IBuffer, SystemText(E_POINTER) + L"Advanced Settings Not Available.");
    Reverbs reverb = Cave;
    EXPECT_EQ(buffer->put_Reverb(Cave), S_OK);
    EXPECT_EQ(buffer->get_Reverb(&reverb), S_OK);
    EXPECT_EQ(reverb, Generic);
    buffer->Release();
}

TEST(SoundBuffer, VolumeAndPanKeepToTheirRanges)
{
    testkit::ComScope com;
    OpenDevice open;
    IBuffer* buffer = open.Add(TempFile("levels.wav", Tone()));
    ASSERT_TRUE(buffer);
    long value = -1;
    for (long volume : {0L, 1L, 50L, 94L, 100L}) {
        EXPECT_EQ(buffer->put_Volume(volume), S_OK);
        EXPECT_EQ(buffer->get_Volume(&value), S_OK);
        EXPECT_EQ(value, volume);
    }
    const std::wstring refused = SystemText(E_FAIL) + L"Invalid Volume Setting.  Volume must be between 0 and 100.";
    for (long volume : {-1L, 101L, 0x7FFFFFFFL}) {
        testkit::ClearError();
        EXPECT_EQ(buffer->put_Volume(volume), E_FAIL) << volume;
        ExpectError(kBufferSource, IID_IBuffer, refused);
    }
    EXPECT_EQ(buffer->get_Volume(&value), S_OK);
    EXPECT_EQ(value, 100);

    const std::pair<long, long> pans[] = {{20000, 10000}, {-20000, -10000}, {123, 123}, {-10000, -10000}, {0, 0}};
    for (auto [given, kept] : pans) {
        EXPECT_EQ(buffer->put_Pan(given), S_OK);
        EXPECT_EQ(buffer->get_Pan(&value), S_OK);
        EXPECT_EQ(value, kept) << given;
    }

    // Through IDispatch a refused volume arrives as the exception's description.
    EXCEPINFO excep{};
    EXPECT_EQ(testkit::DispPut(buffer, L"Volume", testkit::VarI4(101), &excep), DISP_E_EXCEPTION);
    EXPECT_EQ(std::wstring(excep.bstrDescription ? excep.bstrDescription : L""), refused);
    testkit::FreeExcepInfo(excep);
    VARIANT got;
    ASSERT_EQ(testkit::DispPut(buffer, L"Pan", testkit::VarI4(-30000)), S_OK);
    ASSERT_EQ(testkit::DispGet(buffer, L"Pan", &got), S_OK);
    EXPECT_EQ(V_I4(&got), -10000);
    buffer->Release();
}

TEST(SoundBuffer, StatusFollowsPlayLoopAndStop)
{
    testkit::ComScope com;
    OpenDevice open;
    IBuffer* buffer = open.Add(TempFile("status.wav", Tone(2205)));
    ASSERT_TRUE(buffer);
    Status_Types status = sa_Terminated;
    EXPECT_EQ(buffer->get_Status(&status), S_OK);
    EXPECT_EQ(status, sa_Stopped);
    ASSERT_EQ(buffer->Play(pm_Loop, VARIANT_FALSE), S_OK);
    EXPECT_EQ(buffer->get_Status(&status), S_OK);
    EXPECT_EQ(status, sa_Playing | sa_Looping);
    ASSERT_EQ(buffer->Stop(), S_OK);
    EXPECT_EQ(buffer->get_Status(&status), S_OK);
    EXPECT_EQ(status, sa_Stopped);

    // Played once, the sound ends by itself.
    VARIANT result;
    ASSERT_EQ(testkit::DispCall(buffer, L"Play", {}, &result), S_OK); // both arguments left out
    EXPECT_TRUE(Sink::WaitFor([&] { return SUCCEEDED(buffer->get_Status(&status)) && status == sa_Stopped; }));
    buffer->Release();
}

// A sound that its collection or device let go (Remove, Clear, the device's Free, the
// device released) answers as a buffer without a sound for everything that needs one, and
// so does its 3D side; a collection that its device let go loads no more. Released in
// either order, nothing reaches a DirectSound object that went.
TEST(SoundBuffer, LetGoItAnswersAsHoldingNoSound)
{
    testkit::ComScope com;
    const std::string path = TempFile("let go.wav", Tone());
    const std::wstring noSound = SystemText(E_POINTER) + L"Buffer Not Initialised.";
    enum { kRemove, kClear, kFree, kReleased };
    for (int how : {kRemove, kClear, kFree, kReleased}) {
        OpenDevice open;
        IBuffer* buffer = open.Add(path, true);
        ASSERT_TRUE(buffer) << how;
        IDispatch* d = nullptr;
        ASSERT_EQ(buffer->get_Advance(&d), S_OK);
        IAdvBuffer* adv = Take<IAdvBuffer>(d, IID_IAdvBuffer);
        ASSERT_TRUE(adv);
        ASSERT_EQ(buffer->Play(pm_Loop, VARIANT_FALSE), S_OK);
        VARIANT key = testkit::VarBstr(Wide(path).c_str());
        switch (how) {
        case kRemove: EXPECT_EQ(open.buffers->Remove(key), S_OK); break;
        case kClear: EXPECT_EQ(open.buffers->Clear(), S_OK); break;
        case kFree: EXPECT_EQ(open.device->Free(), S_OK); break;
        case kReleased:
            open.device->Release();
            open.device = nullptr;
            break;
        }
        VariantClear(&key);

        testkit::ClearError();
        EXPECT_EQ(buffer->Stop(), E_POINTER) << how;
        ExpectError(kBufferSource, IID_IBuffer, noSound);
        EXPECT_EQ(buffer->Play(pm_Single, VARIANT_FALSE), E_POINTER);
        ExpectError(kBufferSource, IID_IBuffer, noSound);
        long value = 7;
        EXPECT_EQ(buffer->get_Volume(&value), E_POINTER);
        EXPECT_EQ(value, 0);
        EXPECT_EQ(buffer->put_Volume(50), E_POINTER);
        EXPECT_EQ(buffer->put_Pan(0), E_POINTER);
        Status_Types status = sa_Playing;
        EXPECT_EQ(buffer->get_Status(&status), E_POINTER);
        EXPECT_EQ(status, sa_Stopped);
        EXPECT_EQ(Load(buffer, path), E_POINTER);
        ExpectError(kBufferSource, IID_IBuffer, noSound);
        Reverbs reverb = Cave;
        EXPECT_EQ(buffer->get_Reverb(&reverb), S_OK);
        float distance = 5.0f;
        EXPECT_EQ(adv->get_MaxDistance(&distance), E_POINTER);
        ExpectError(kAdvSource, IID_IAdvBuffer, noSound);
        EXPECT_EQ(distance, 0.0f);
        EXPECT_EQ(adv->put_DopplerFactor(2.0f), E_POINTER);
        ExpectError(kAdvSource, IID_IAdvBuffer, SystemText(E_POINTER) + L"Listener Not Initialised.");

        if (how == kFree || how == kReleased) {
            EXPECT_EQ(CountOf(open.buffers), 1);
            EXPECT_EQ(open.Add(path), nullptr);
            EXPECT_EQ(open.hr, E_POINTER);
            ExpectError(kBuffersSource, IID_IBuffers, SystemText(E_POINTER) + L"DirectSound Not Initialised.");
        }
        if (how % 2) {
            adv->Release();
            buffer->Release();
        } else {
            buffer->Release();
            adv->Release();
        }
    }
}

// A client's own buffer, given a DirectSound object through its hidden put, is nobody's to
// let go: it loads and plays on it.
TEST(SoundBuffer, AClientsOwnBufferPlaysOnTheDirectSoundItIsGiven)
{
    testkit::ComScope com;
    IDirectSound* ds = nullptr;
    ASSERT_EQ(DirectSoundCreate(nullptr, &ds, nullptr), S_OK);
    ASSERT_EQ(ds->SetCooperativeLevel(nullptr, DSSCL_NORMAL), S_OK);
    IBuffer* buffer = testkit::Create<IBuffer>(L"ZYKSound.Buffer", IID_IBuffer);
    ASSERT_TRUE(buffer);
    EXPECT_EQ(buffer->put_DS(static_cast<long>(reinterpret_cast<LONG_PTR>(ds))), S_OK);
    ds->Release(); // the buffer holds it now
    EXPECT_EQ(Load(buffer, TempFile("own kept.wav", Tone())), S_OK);
    EXPECT_EQ(buffer->Play(pm_Loop, VARIANT_FALSE), S_OK);
    EXPECT_EQ(buffer->put_Volume(30), S_OK);
    EXPECT_EQ(buffer->Stop(), S_OK);
    buffer->Release();
}

// A name that matches a "WAV" resource of the program loads the resource, whatever a file
// of that name holds; a resource cut short, its samples claiming 100,000 bytes of the 100
// it holds, loads what it holds.
TEST(SoundBuffer, PrefersTheProgramsWavResources)
{
    testkit::ComScope com;
    OpenDevice open;
    ASSERT_TRUE(open.buffers);
    char cwd[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, cwd);
    testkit::WriteAll(std::string(cwd) + "\\resource.wav", "not a sound");
    IBuffer* buffer = open.Add("resource.wav");
    ASSERT_TRUE(buffer) << std::hex << open.hr;
    buffer->Release();
    buffer = open.Add("truncated.wav");
    ASSERT_TRUE(buffer) << std::hex << open.hr;
    EXPECT_EQ(buffer->Play(pm_Single, VARIANT_FALSE), S_OK);
    buffer->Release();
}

} // namespace

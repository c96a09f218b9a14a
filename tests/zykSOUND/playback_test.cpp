// What the device plays, read back from the ALSA file sink: frames counted, never time.
#include "sound_fixture.h"
#include <cmath>

using namespace sound_test;

namespace {

constexpr size_t kFrames = 12000; // a quarter of a second at the sink's 48 kHz

// Plays the sound once from the start and waits until it has ended and a second of the
// silence after it has been recorded; gives the frame the recording started at.
size_t PlayOnce(IBuffer* buffer)
{
    size_t first = Sink::Frames();
    EXPECT_EQ(buffer->Play(pm_Single, VARIANT_FALSE), S_OK);
    Status_Types status = sa_Playing;
    EXPECT_TRUE(Sink::WaitFor([&] { return SUCCEEDED(buffer->get_Status(&status)) && status == sa_Stopped; }));
    size_t ended = Sink::Frames();
    EXPECT_TRUE(Sink::WaitFor([&] { return Sink::Frames() > ended + 48000; }));
    return first;
}

TEST(SoundPlayback, ASoundLastsItsLength)
{
    testkit::ComScope com;
    OpenDevice open;
    IBuffer* buffer = open.Add(TempFile("length.wav", Wave(48000, 1, 16, Level(kFrames, 1, 16384))));
    ASSERT_TRUE(buffer);
    size_t first = PlayOnce(buffer);
    size_t loud = Sink::LoudFrames(first);
    EXPECT_NEAR(static_cast<double>(loud), static_cast<double>(kFrames), kFrames * 0.001);
    buffer->Release();
}

// A file cut short, its samples claiming twice what it holds, plays what it holds.
TEST(SoundPlayback, AFileCutShortPlaysTheSamplesItHolds)
{
    testkit::ComScope com;
    OpenDevice open;
    std::string whole = Wave(48000, 1, 16, Level(2 * kFrames, 1, 16384));
    IBuffer* buffer = open.Add(TempFile("cut short.wav", whole.substr(0, 44 + 2 * kFrames)));
    ASSERT_TRUE(buffer) << std::hex << open.hr;
    size_t loud = Sink::LoudFrames(PlayOnce(buffer));
    EXPECT_NEAR(static_cast<double>(loud), static_cast<double>(kFrames), kFrames * 0.001);
    buffer->Release();
}

TEST(SoundPlayback, VolumeNinetyFourHalvesTheAmplitude)
{
    testkit::ComScope com;
    OpenDevice open;
    IBuffer* buffer = open.Add(TempFile("halves.wav", Wave(48000, 2, 16, Level(kFrames, 2, 16384))));
    ASSERT_TRUE(buffer);
    ASSERT_EQ(buffer->put_Volume(100), S_OK);
    float full = Sink::Peak(PlayOnce(buffer));
    EXPECT_NEAR(full, 0.5f, 0.01f);
    ASSERT_EQ(buffer->put_Volume(94), S_OK); // -600 hundredths of a decibel
    float lowered = Sink::Peak(PlayOnce(buffer));
    EXPECT_NEAR(lowered / full, 0.5, 0.01);
    ASSERT_EQ(buffer->put_Volume(0), S_OK);
    size_t first = PlayOnce(buffer);
    EXPECT_EQ(Sink::LoudFrames(first), 0u);
    buffer->Release();
}

TEST(SoundPlayback, PanSendsTheSoundToOneSide)
{
    testkit::ComScope com;
    OpenDevice open;
    IBuffer* buffer = open.Add(TempFile("pan.wav", Wave(48000, 1, 16, Level(kFrames, 1, 16384))));
    ASSERT_TRUE(buffer);
    ASSERT_EQ(buffer->put_Pan(-10000), S_OK);
    size_t first = PlayOnce(buffer);
    std::string raw = testkit::ReadAll(Sink::Path());
    size_t right = 0, left = 0;
    for (size_t i = first * 8; i + 8 <= raw.size(); i += 8) {
        float l, r;
        memcpy(&l, raw.data() + i, 4);
        memcpy(&r, raw.data() + i + 4, 4);
        if (std::fabs(l) > 1e-5f) ++left;
        if (std::fabs(r) > 1e-5f) ++right;
    }
    EXPECT_NEAR(static_cast<double>(left), static_cast<double>(kFrames), kFrames * 0.001);
    EXPECT_EQ(right, 0u);
    buffer->Release();
}

// Stopped part-way, a sound resumes where it stopped when asked to continue, and starts
// again from the beginning otherwise. (Up to ~4000 frames mixed ahead still arrive after
// a stop, so a resumed sound comes out a little longer than itself, never by a quarter.)
TEST(SoundPlayback, PlayContinuesOrStartsAgain)
{
    testkit::ComScope com;
    OpenDevice open;
    constexpr size_t kLong = 48000;
    IBuffer* buffer = open.Add(TempFile("resume.wav", Wave(48000, 1, 16, Level(kLong, 1, 16384))));
    ASSERT_TRUE(buffer);
    Status_Types status = sa_Playing;
    auto playedFromPart = [&](VARIANT_BOOL resume) {
        size_t first = Sink::Frames();
        EXPECT_EQ(buffer->Play(pm_Single, VARIANT_FALSE), S_OK);
        EXPECT_TRUE(Sink::WaitFor([&] { return Sink::LoudFrames(first) >= kLong / 4; }));
        EXPECT_EQ(buffer->Stop(), S_OK);
        EXPECT_EQ(buffer->Play(pm_Single, resume), S_OK);
        EXPECT_TRUE(Sink::WaitFor([&] { return SUCCEEDED(buffer->get_Status(&status)) && status == sa_Stopped; }));
        size_t ended = Sink::Frames();
        EXPECT_TRUE(Sink::WaitFor([&] { return Sink::Frames() > ended + 48000; }));
        return Sink::LoudFrames(first);
    };
    size_t resumed = playedFromPart(VARIANT_TRUE);
    EXPECT_GE(resumed, kLong - kLong / 1000);
    EXPECT_LT(resumed, kLong + kLong / 8);
    size_t restarted = playedFromPart(VARIANT_FALSE);
    EXPECT_GE(restarted, kLong + kLong / 4 - kLong / 1000);
    buffer->Release();
}

TEST(SoundPlayback, ALoopPlaysUntilStopped)
{
    testkit::ComScope com;
    OpenDevice open;
    IBuffer* buffer = open.Add(TempFile("loop.wav", Wave(48000, 1, 16, Level(4800, 1, 8192))));
    ASSERT_TRUE(buffer);
    size_t first = Sink::Frames();
    ASSERT_EQ(buffer->Play(pm_Loop, VARIANT_FALSE), S_OK);
    EXPECT_TRUE(Sink::WaitFor([&] { return Sink::LoudFrames(first) > 4 * 4800; }));
    Status_Types status = sa_Stopped;
    EXPECT_EQ(buffer->get_Status(&status), S_OK);
    EXPECT_EQ(status, sa_Playing | sa_Looping);
    ASSERT_EQ(buffer->Stop(), S_OK);
    EXPECT_EQ(buffer->get_Status(&status), S_OK);
    EXPECT_EQ(status, sa_Stopped);
    buffer->Release();
}

// One file added twice gives two sounds (a shot that overlaps itself, music whose file is
// added again): the first keeps looping, and with the second it is heard at twice its level.
TEST(SoundPlayback, AFileAddedTwicePlaysTwice)
{
    testkit::ComScope com;
    OpenDevice open;
    const std::string path = TempFile("twice.wav", Wave(48000, 1, 16, Level(4800, 1, 8192)));
    IBuffer* first = open.Add(path);
    ASSERT_TRUE(first);
    ASSERT_EQ(first->Play(pm_Loop, VARIANT_FALSE), S_OK);
    IBuffer* second = open.Add(path);
    ASSERT_TRUE(second);
    Status_Types status = sa_Stopped;
    EXPECT_EQ(first->get_Status(&status), S_OK);
    EXPECT_EQ(status, sa_Playing | sa_Looping);
    size_t from = Sink::Frames();
    EXPECT_TRUE(Sink::WaitFor([&] { return Sink::LoudFrames(from) > 2 * 4800; }));
    const float alone = Sink::Peak(from);
    EXPECT_NEAR(alone, 0.25f, 0.01f);
    ASSERT_EQ(second->Play(pm_Loop, VARIANT_FALSE), S_OK);
    from = Sink::Frames();
    EXPECT_TRUE(Sink::WaitFor([&] { return Sink::LoudFrames(from) > 2 * 4800; }));
    EXPECT_NEAR(Sink::Peak(from), 2 * alone, 0.01f);
    for (IBuffer* buffer : {first, second}) {
        EXPECT_EQ(buffer->Stop(), S_OK);
        EXPECT_EQ(buffer->get_Status(&status), S_OK);
        EXPECT_EQ(status, sa_Stopped);
        buffer->Release();
    }
}

} // namespace

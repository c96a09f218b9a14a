#include "sound_fixture.h"
#include <mmsystem.h>
#include <dsound.h>

using namespace sound_test;
using testkit::ExpectError;
using testkit::SystemText;

namespace {

const wchar_t kAdvSource[] = L"ZYKSound.AdvBuffer.1";

IAdvBuffer* AdvanceOf(IBuffer* buffer)
{
    IDispatch* d = nullptr;
    EXPECT_EQ(buffer->get_Advance(&d), S_OK);
    return Take<IAdvBuffer>(d, IID_IAdvBuffer);
}

TEST(SoundAdvBuffer, WithoutASoundEveryMemberSaysWhatIsMissing)
{
    testkit::ComScope com;
    IAdvBuffer* adv = testkit::Create<IAdvBuffer>(L"ZYKSound.AdvBuffer", IID_IAdvBuffer);
    ASSERT_TRUE(adv);
    float value = 5.0f;
    testkit::ClearError();
    EXPECT_EQ(adv->get_MaxDistance(&value), E_POINTER);
    ExpectError(kAdvSource, IID_IAdvBuffer, SystemText(E_POINTER) + L"Buffer Not Initialised.");
    EXPECT_EQ(value, 0.0f);
    EXPECT_EQ(adv->put_MinDistance(2.0f), E_POINTER);
    ExpectError(kAdvSource, IID_IAdvBuffer, SystemText(E_POINTER) + L"Buffer Not Initialised.");
    value = 5.0f;
    EXPECT_EQ(adv->get_DopplerFactor(&value), E_POINTER);
    ExpectError(kAdvSource, IID_IAdvBuffer, SystemText(E_POINTER) + L"Listener Not Initialised.");
    EXPECT_EQ(value, 0.0f);
    EXPECT_EQ(adv->put_DistanceFactor(2.0f), E_POINTER);
    ExpectError(kAdvSource, IID_IAdvBuffer, SystemText(E_POINTER) + L"Listener Not Initialised.");
    EXPECT_EQ(adv->put_Buffer(0), S_OK);
    EXPECT_EQ(adv->get_MinDistance(&value), E_POINTER);
    adv->Release();
}

TEST(SoundAdvBuffer, A3DSoundCarriesItsDistancesAndTheListenersFactors)
{
    testkit::ComScope com;
    OpenDevice open;
    IBuffer* buffer = open.Add(TempFile("three-d.wav", Wave(22050, 1, 16, Level(4000, 1, 4000))), true);
    ASSERT_TRUE(buffer) << std::hex << open.hr;
    IAdvBuffer* adv = AdvanceOf(buffer);
    ASSERT_TRUE(adv);
    float value = 0;
    EXPECT_EQ(adv->get_MinDistance(&value), S_OK);
    EXPECT_EQ(value, 1.0f);
    EXPECT_EQ(adv->get_MaxDistance(&value), S_OK);
    EXPECT_EQ(value, 1e9f);
    EXPECT_EQ(adv->get_DopplerFactor(&value), S_OK);
    EXPECT_EQ(value, 1.0f);
    // The listener belongs to the device that the process shares, so its distance factor
    // is whatever was set last; a 3D load sets only the Doppler factor.
    EXPECT_EQ(adv->get_DistanceFactor(&value), S_OK);

    EXPECT_EQ(adv->put_MaxDistance(50.0f), S_OK);
    EXPECT_EQ(adv->put_MinDistance(2.5f), S_OK);
    EXPECT_EQ(adv->put_DistanceFactor(0.5f), S_OK);
    EXPECT_EQ(adv->put_DopplerFactor(3.0f), S_OK);
    EXPECT_EQ(adv->get_MaxDistance(&value), S_OK);
    EXPECT_EQ(value, 50.0f);
    EXPECT_EQ(adv->get_MinDistance(&value), S_OK);
    EXPECT_EQ(value, 2.5f);
    VARIANT got;
    ASSERT_EQ(testkit::DispGet(adv, L"DistanceFactor", &got), S_OK);
    EXPECT_EQ(V_VT(&got), VT_R4);
    EXPECT_EQ(V_R4(&got), 0.5f);
    ASSERT_EQ(testkit::DispPut(adv, L"DopplerFactor", testkit::VarR4(2.0f)), S_OK);
    EXPECT_EQ(adv->get_DopplerFactor(&value), S_OK);
    EXPECT_EQ(value, 2.0f);

    // A 3D sound has no pan control; volume and playing work as for any sound.
    testkit::ClearError();
    EXPECT_EQ(buffer->put_Pan(100), DSERR_CONTROLUNAVAIL);
    ExpectError(L"ZYKSound.Buffer.1", IID_IBuffer, L"Control Unavailable.");
    EXPECT_EQ(buffer->put_Volume(60), S_OK);
    EXPECT_EQ(buffer->Play(pm_Loop, VARIANT_FALSE), S_OK);
    EXPECT_EQ(buffer->Stop(), S_OK);

    // A plain reload takes the settings from the sound; the client's AdvBuffer is then
    // without a sound, as a new one is.
    BSTR name = SysAllocString(Wide(TempFile("plain.wav", Wave(22050, 1, 16, Level(4000, 1, 4000)))).c_str());
    EXPECT_EQ(buffer->Load(name, VARIANT_FALSE), S_OK);
    SysFreeString(name);
    IDispatch* d = nullptr;
    EXPECT_EQ(buffer->get_Advance(&d), E_POINTER);
    testkit::ClearError();
    EXPECT_EQ(adv->get_MaxDistance(&value), E_POINTER);
    ExpectError(kAdvSource, IID_IAdvBuffer, SystemText(E_POINTER) + L"Buffer Not Initialised.");
    EXPECT_EQ(adv->get_DopplerFactor(&value), E_POINTER);
    adv->Release();
    buffer->Release();
}

// The listener is the device's, shared by its 3D sounds: what a client set on it stays
// when more 3D sounds load.
TEST(SoundAdvBuffer, MoreSoundsKeepTheListenersFactors)
{
    testkit::ComScope com;
    OpenDevice open;
    std::string path = TempFile("listener.wav", Wave(22050, 1, 16, Level(4000, 1, 4000)));
    IBuffer* first = open.Add(path, true);
    ASSERT_TRUE(first) << std::hex << open.hr;
    IAdvBuffer* adv = AdvanceOf(first);
    ASSERT_TRUE(adv);
    ASSERT_EQ(adv->put_DopplerFactor(2.5f), S_OK);
    ASSERT_EQ(adv->put_DistanceFactor(4.0f), S_OK);
    IBuffer* second = open.Add(TempFile("listener 2.wav", Wave(22050, 1, 16, Level(4000, 1, 4000))), true);
    ASSERT_TRUE(second);
    BSTR name = SysAllocString(Wide(path).c_str());
    EXPECT_EQ(first->Load(name, VARIANT_TRUE), S_OK);
    SysFreeString(name);
    IAdvBuffer* other = AdvanceOf(second);
    ASSERT_TRUE(other);
    for (IAdvBuffer* each : {adv, other}) {
        float value = 0;
        EXPECT_EQ(each->get_DopplerFactor(&value), S_OK);
        EXPECT_EQ(value, 2.5f);
        EXPECT_EQ(each->get_DistanceFactor(&value), S_OK);
        EXPECT_EQ(value, 4.0f);
    }
    other->Release();
    adv->Release();
    second->Release();
    first->Release();
}

// An AdvBuffer that a client keeps after its sound and the device are gone reaches into
// nothing that went with them.
TEST(SoundAdvBuffer, OutlivesItsSoundAndDevice)
{
    testkit::ComScope com;
    IAdvBuffer* adv = nullptr;
    {
        OpenDevice open;
        IBuffer* buffer = open.Add(TempFile("kept 3d.wav", Wave(22050, 1, 16, Level(4000, 1, 4000))), true);
        ASSERT_TRUE(buffer);
        adv = AdvanceOf(buffer);
        ASSERT_TRUE(adv);
        buffer->Release();
        EXPECT_EQ(open.device->Free(), S_OK);
    }
    float value = 5.0f;
    testkit::ClearError();
    EXPECT_EQ(adv->get_MinDistance(&value), E_POINTER);
    ExpectError(kAdvSource, IID_IAdvBuffer, SystemText(E_POINTER) + L"Buffer Not Initialised.");
    EXPECT_EQ(value, 0.0f);
    EXPECT_EQ(adv->put_DopplerFactor(2.0f), E_POINTER);
    ExpectError(kAdvSource, IID_IAdvBuffer, SystemText(E_POINTER) + L"Listener Not Initialised.");
    adv->Release();
}

} // namespace

#include "sound_fixture.h"
#include "zykSOUND_classes.h"
#include <mmsystem.h>
#include <dsound.h>
#include <string>
#include <vector>

using namespace sound_test;
using testkit::ExpectError;
using testkit::SystemText;

namespace {

const wchar_t kDeviceSource[] = L"ZYKSound.Device.1";

BOOL CALLBACK Collect(GUID*, const char* description, const char*, void* context)
{
    static_cast<std::vector<std::wstring>*>(context)->push_back(testkit::Widen(description));
    return TRUE;
}

std::wstring NameOf(IDispatch* d)
{
    IDevice* device = Take<IDevice>(d, IID_IDevice);
    if (!device) return L"(none)";
    BSTR name = nullptr;
    device->get_Name(&name);
    std::wstring text = name ? name : L"";
    SysFreeString(name);
    device->Release();
    return text;
}

TEST(SoundDevices, ListsThePlatformsDriversInDescendingOrder)
{
    testkit::ComScope com;
    std::vector<std::wstring> platform;
    ASSERT_EQ(DirectSoundEnumerateA(reinterpret_cast<LPDSENUMCALLBACKA>(&Collect), &platform), S_OK);
    std::sort(platform.begin(), platform.end(), [](auto& a, auto& b) { return a > b; });
    platform.erase(std::unique(platform.begin(), platform.end()), platform.end());

    IDevices* devices = testkit::Create<IDevices>(L"ZYKSound.Devices", IID_IDevices);
    ASSERT_TRUE(devices);
    long count = -1;
    ASSERT_EQ(devices->get_Count(&count), S_OK);
    ASSERT_EQ(count, static_cast<long>(platform.size()));
    for (long i = 1; i <= count; ++i) {
        VARIANT item;
        VariantInit(&item);
        ASSERT_EQ(devices->Item(testkit::VarI4(i), &item), S_OK);
        ASSERT_EQ(V_VT(&item), VT_DISPATCH);
        EXPECT_EQ(NameOf(V_DISPATCH(&item)), platform[i - 1]) << i;
    }
    VARIANT item;
    VariantInit(&item);
    EXPECT_EQ(devices->Item(testkit::VarI4(count + 1), &item), E_INVALIDARG);
    EXPECT_EQ(devices->Item(testkit::VarI2(0), &item), E_INVALIDARG);
    EXPECT_EQ(devices->Item(testkit::VarR8(1.0), &item), E_INVALIDARG);
    VARIANT name = testkit::VarBstr(platform.back().c_str());
    ASSERT_EQ(devices->Item(name, &item), S_OK);
    EXPECT_EQ(NameOf(V_DISPATCH(&item)), platform.back());
    VariantClear(&name);
    devices->Release();
}

// The applet's way: Count at slot 9, Item at slot 8, then Name get at slot 7 of the item.
TEST(SoundDevices, AnswersThroughTheSlotsTheAppletCalls)
{
    testkit::ComScope com;
    IDevices* devices = testkit::Create<IDevices>(L"ZYKSound.Devices", IID_IDevices);
    ASSERT_TRUE(devices);
    using CountFn = HRESULT(STDMETHODCALLTYPE*)(void*, long*);
    using ItemFn = HRESULT(STDMETHODCALLTYPE*)(void*, VARIANT, VARIANT*);
    using NameFn = HRESULT(STDMETHODCALLTYPE*)(void*, BSTR*);
    void** table = *reinterpret_cast<void***>(devices);
    long count = 0;
    ASSERT_EQ(reinterpret_cast<CountFn>(table[9])(devices, &count), S_OK);
    ASSERT_GE(count, 1);
    VARIANT item;
    VariantInit(&item);
    ASSERT_EQ(reinterpret_cast<ItemFn>(table[8])(devices, testkit::VarI4(1), &item), S_OK);
    IDispatch* d = V_DISPATCH(&item);
    BSTR name = nullptr;
    ASSERT_EQ(reinterpret_cast<NameFn>((*reinterpret_cast<void***>(d))[7])(d, &name), S_OK);
    EXPECT_GT(SysStringLen(name), 0u);
    SysFreeString(name);
    VariantClear(&item);
    devices->Release();
}

TEST(SoundDevices, ReadThroughDispatch)
{
    testkit::ComScope com;
    IDevices* devices = testkit::Create<IDevices>(L"ZYKSound.Devices", IID_IDevices);
    ASSERT_TRUE(devices);
    VARIANT count, item, name;
    ASSERT_EQ(testkit::DispGet(devices, L"Count", &count), S_OK);
    ASSERT_EQ(V_VT(&count), VT_I4);
    ASSERT_EQ(testkit::DispCall(devices, L"Item", {testkit::VarI4(V_I4(&count))}, &item), S_OK);
    ASSERT_EQ(V_VT(&item), VT_DISPATCH);
    ASSERT_EQ(testkit::DispGet(V_DISPATCH(&item), L"Name", &name), S_OK);
    EXPECT_EQ(V_VT(&name), VT_BSTR);
    VariantClear(&name);
    VARIANT speakers;
    EXCEPINFO excep{};
    EXPECT_EQ(testkit::DispGet(V_DISPATCH(&item), L"SpeakerType", &speakers, &excep), DISP_E_EXCEPTION);
    EXPECT_EQ(std::wstring(excep.bstrDescription ? excep.bstrDescription : L""),
              SystemText(E_POINTER) + L"DirectSound Not Initialised.");
    testkit::FreeExcepInfo(excep);
    VariantClear(&item);
    devices->Release();
}

TEST(SoundDevice, RefusesFiguresBeforeItIsInitialised)
{
    testkit::ComScope com;
    IDevice* device = testkit::Create<IDevice>(L"ZYKSound.Device", IID_IDevice);
    ASSERT_TRUE(device);
    long figure = 1234;
    VARIANT_BOOL flag = 77;
    testkit::ClearError();
    EXPECT_EQ(device->get_TotalMemory(&figure), E_POINTER);
    ExpectError(kDeviceSource, IID_IDevice, SystemText(E_POINTER) + L"Failed to obtain Capabilities");
    EXPECT_EQ(figure, 1234);
    EXPECT_EQ(device->get_FreeMemory(&figure), E_FAIL);
    ExpectError(kDeviceSource, IID_IDevice, SystemText(E_FAIL) + L"Failed to Obtain Capabilities.");
    EXPECT_EQ(device->get_FreeContiguousMemory(&figure), E_FAIL);
    ExpectError(kDeviceSource, IID_IDevice, SystemText(E_FAIL) + L"Failed to obtain Capabilities.");
    EXPECT_EQ(device->get_Certified(&flag), E_FAIL);
    ExpectError(kDeviceSource, IID_IDevice, SystemText(E_FAIL) + L"Failed to obtain Capabilities.");
    EXPECT_EQ(device->get_Emulation(&flag), E_FAIL);
    EXPECT_EQ(flag, 77);
    Speaker_Types speakers;
    EXPECT_EQ(device->get_SpeakerType(&speakers), E_POINTER);
    ExpectError(kDeviceSource, IID_IDevice, SystemText(E_POINTER) + L"DirectSound Not Initialised.");
    EXPECT_EQ(device->Free(), S_OK);
    device->Release();
}

TEST(SoundDevice, ReportsThePlatformsFiguresOnceInitialised)
{
    testkit::ComScope com;
    IDirectSound* own = nullptr;
    ASSERT_EQ(DirectSoundCreate(nullptr, &own, nullptr), S_OK);
    DSCAPS caps{};
    caps.dwSize = sizeof caps;
    ASSERT_EQ(own->GetCaps(&caps), S_OK);
    DWORD config = 0;
    ASSERT_EQ(own->GetSpeakerConfig(&config), S_OK);
    own->Release();

    OpenDevice open;
    ASSERT_TRUE(open.buffers);
    IDevice* device = open.device;
    long figure = -1;
    EXPECT_EQ(device->get_TotalMemory(&figure), S_OK);
    EXPECT_EQ(figure, static_cast<long>(caps.dwTotalHwMemBytes));
    EXPECT_EQ(device->get_FreeMemory(&figure), S_OK);
    EXPECT_EQ(figure, static_cast<long>(caps.dwFreeHwMemBytes));
    EXPECT_EQ(device->get_FreeContiguousMemory(&figure), S_OK);
    EXPECT_EQ(figure, static_cast<long>(caps.dwMaxContigFreeHwMemBytes));
    VARIANT_BOOL flag = -5;
    EXPECT_EQ(device->get_Certified(&flag), S_OK);
    EXPECT_EQ(flag, (caps.dwFlags & DSCAPS_CERTIFIED) ? 1 : 0);
    EXPECT_EQ(device->get_Emulation(&flag), S_OK);
    EXPECT_EQ(flag, (caps.dwFlags & DSCAPS_EMULDRIVER) ? 1 : 0);
    Speaker_Types speakers = st_Mono;
    EXPECT_EQ(device->get_SpeakerType(&speakers), S_OK);
    EXPECT_EQ(static_cast<DWORD>(speakers), config & 0xFF);

    testkit::ClearError();
    EXPECT_EQ(device->Initialise(), E_POINTER);
    ExpectError(kDeviceSource, IID_IDevice, SystemText(E_POINTER) + L"DirectSound Already Initialised.");
}

// After Free the sounds are gone; a new Initialise opens the device with a new collection.
TEST(SoundDevice, FreeLetsGoOfTheSoundsAndInitialiseStartsAgain)
{
    testkit::ComScope com;
    OpenDevice open;
    ASSERT_TRUE(open.buffers);
    std::string path = TempFile("free.wav", Wave(22050, 1, 16, Level(2000, 1, 1000)));
    IBuffer* sound = open.Add(path);
    ASSERT_TRUE(sound);
    EXPECT_EQ(open.device->Free(), S_OK);
    IDispatch* d = reinterpret_cast<IDispatch*>(1);
    EXPECT_EQ(open.device->get_Buffers(&d), E_POINTER);
    ExpectError(kDeviceSource, IID_IDevice, SystemText(E_POINTER) + L"Buffers Not Initialised.");
    EXPECT_EQ(d, nullptr);
    // A sound that the client still holds went with the device's DirectSound object.
    EXPECT_EQ(sound->Play(pm_Single, VARIANT_FALSE), E_POINTER);
    sound->Release();
    long count = -1;
    EXPECT_EQ(open.buffers->get_Count(&count), S_OK);
    EXPECT_EQ(count, 1);

    ASSERT_EQ(open.device->Initialise(), S_OK);
    ASSERT_EQ(open.device->get_Buffers(&d), S_OK);
    IBuffers* fresh = Take<IBuffers>(d, IID_IBuffers);
    ASSERT_TRUE(fresh);
    EXPECT_EQ(fresh->get_Count(&count), S_OK);
    EXPECT_EQ(count, 0);
    BSTR name = SysAllocString(Wide(path).c_str());
    EXPECT_EQ(fresh->get_Add(name, VARIANT_FALSE, &d), S_OK);
    if (d) d->Release();
    SysFreeString(name);
    fresh->Release();
}

// A class factory, registered in the process, that makes nothing.
struct RefusingFactory : IClassFactory {
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override
    {
        *out = (iid == IID_IUnknown || iid == IID_IClassFactory) ? this : nullptr;
        return *out ? S_OK : E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown*, REFIID, void** out) override
    {
        *out = nullptr;
        return E_OUTOFMEMORY;
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }
};

// Without a Buffers collection the device still opens DirectSound and answers as open.
TEST(SoundDevice, InitialisesWhenNoBuffersCanBeMade)
{
    testkit::ComScope com;
    RefusingFactory refusing;
    DWORD cookie = 0;
    ASSERT_EQ(CoRegisterClassObject(CLSID_Buffers, &refusing, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &cookie), S_OK);
    IDevice* device = testkit::Create<IDevice>(L"ZYKSound.Device", IID_IDevice);
    ASSERT_TRUE(device);
    for (int round = 0; round < 2; ++round) {
        EXPECT_EQ(device->Initialise(), S_OK) << round;
        IDispatch* d = reinterpret_cast<IDispatch*>(1);
        testkit::ClearError();
        EXPECT_EQ(device->get_Buffers(&d), E_POINTER);
        ExpectError(kDeviceSource, IID_IDevice, SystemText(E_POINTER) + L"Buffers Not Initialised.");
        Speaker_Types speakers = st_Mono;
        EXPECT_EQ(device->get_SpeakerType(&speakers), S_OK);
        EXPECT_EQ(device->Initialise(), E_POINTER);
        ExpectError(kDeviceSource, IID_IDevice, SystemText(E_POINTER) + L"DirectSound Already Initialised.");
        EXPECT_EQ(device->Free(), S_OK);
    }
    // Once the collection can be made, the next Initialise gives the device one.
    EXPECT_EQ(CoRevokeClassObject(cookie), S_OK);
    EXPECT_EQ(device->Initialise(), S_OK);
    IDispatch* d = nullptr;
    EXPECT_EQ(device->get_Buffers(&d), S_OK);
    if (d) d->Release();
    device->Release();
}

TEST(SoundDevice, KeepsItsNameAndRegistersItsClasses)
{
    testkit::ComScope com;
    IDevice* device = testkit::Create<IDevice>(L"ZYKSound.Device.1", IID_IDevice);
    ASSERT_TRUE(device);
    BSTR name = nullptr;
    EXPECT_EQ(device->get_Name(&name), S_OK);
    EXPECT_EQ(SysStringLen(name), 0u);
    SysFreeString(name);
    BSTR given = SysAllocString(L"Speakers");
    EXPECT_EQ(device->put_Name(given), S_OK);
    SysFreeString(given);
    EXPECT_EQ(device->get_Name(&name), S_OK);
    EXPECT_EQ(std::wstring(name), L"Speakers");
    SysFreeString(name);
    device->Release();

    for (const wchar_t* progId : {L"ZYKSound.Buffer", L"ZYKSound.Buffers", L"ZYKSound.AdvBuffer", L"ZYKSound.Devices.1",
                                  L"ZYKSound.AdvBuffer.1"}) {
        IUnknown* made = nullptr;
        EXPECT_EQ(testkit::CreateByProgId(progId, IID_IDispatch, reinterpret_cast<void**>(&made)), S_OK) << progId;
        if (made) made->Release();
    }
    testkit::ExpectRegistered(L"zykSOUND.dll", L"{FD92FE94-4534-4965-BDF6-73E22632DCED}",
                              {ZYKSOUND_CLASSES(ZYK_REGISTERED_CLASS)});
}

} // namespace

// The adapter list and the device capabilities as a client sees them: the Device3D items
// against what D3DX reports, aggregation, and the bit depths against the device's GetCaps.
//
// A Devices list leaves D3DX started in the server for the rest of the process. The test
// program runs its files' tests last-listed first, so this file stands first in its
// sources: these tests run after those that need D3DX stopped.
#include "testkit.h"
#include "zyk3D.h"
#include "device_fixture.h"
#include <limits>
#include <map>
#include <string>

using testkit::SystemText;
using testkit::TakeError;

namespace {

template <class Itf>
Itf* New(const wchar_t* progId, REFIID iid)
{
    Itf* p = nullptr;
    EXPECT_EQ(testkit::CreateByProgId(progId, iid, reinterpret_cast<void**>(&p)), S_OK);
    return p;
}

IDevice3D* ItemAt(IDevices* list, const VARIANT& index)
{
    VARIANT r;
    VariantInit(&r);
    IDevice3D* d = nullptr;
    if (SUCCEEDED(list->Item(index, &r)) && V_VT(&r) == VT_DISPATCH)
        V_DISPATCH(&r)->QueryInterface(IID_IDevice3D, reinterpret_cast<void**>(&d));
    VariantClear(&r);
    return d;
}

std::wstring NameOf(IDevice3D* d)
{
    BSTR b = nullptr;
    d->get_Name(&b);
    std::wstring s = b ? b : L"";
    SysFreeString(b);
    return s;
}

void ExpectCapsError(HRESULT hr, const std::wstring& text)
{
    EXPECT_EQ(hr, E_FAIL);
    auto e = TakeError();
    EXPECT_EQ(e.description, SystemText(E_FAIL) + text);
    EXPECT_EQ(e.source, L"zyk3D.DeviceCaps.1");
    EXPECT_TRUE(IsEqualGUID(e.guid, IID_IDeviceCaps));
}

// What this program's own D3DX reports: for each description the last index and its level.
std::map<std::wstring, std::pair<long, DWORD>> ReportedAdapters()
{
    std::map<std::wstring, std::pair<long, DWORD>> out;
    EXPECT_EQ(D3DXInitialize(), S_OK);
    for (DWORD i = 0; i < D3DXGetDeviceCount(); ++i) {
        D3DX_DEVICEDESC desc{};
        EXPECT_EQ(D3DXGetDeviceDescription(i, &desc), S_OK);
        out[testkit::Widen(desc.driverDesc)] = {static_cast<long>(desc.deviceIndex), desc.hwLevel};
    }
    D3DXUninitialize();
    return out;
}

class DeviceCapsOnDevice : public device_fixture::DeviceSuite {};

} // namespace

TEST(Devices, OneDevice3DPerReportedAdapter)
{
    const auto reported = ReportedAdapters();
    ASSERT_FALSE(reported.empty());
    testkit::ClearError();
    IDevices* list = New<IDevices>(L"zyk3D.Devices", IID_IDevices);
    ASSERT_NE(list, nullptr);
    // Nothing of the list's own failed (the items' constructors may have reported theirs).
    EXPECT_NE(TakeError().source, L"zyk3D.Devices.1");
    long count = -1;
    EXPECT_EQ(list->get_Count(&count), S_OK);
    EXPECT_EQ(count, static_cast<long>(reported.size()));

    // Position 1 to Count, as the configuration applet reads them: descending names, each
    // item named, numbered and levelled as D3DX describes it, not initialised.
    std::wstring previous;
    for (long i = 1; i <= count; ++i) {
        IDevice3D* d = ItemAt(list, testkit::VarI4(i));
        ASSERT_NE(d, nullptr) << i;
        const std::wstring name = NameOf(d);
        EXPECT_TRUE(i == 1 || previous > name);
        previous = name;
        auto r = reported.find(name);
        ASSERT_NE(r, reported.end()) << testkit::Narrow(name);
        long index = -1;
        HWLevels level = hl_Highest;
        StatusModes status = sm_Ready;
        d->get_Index(&index);
        EXPECT_EQ(index, r->second.first);
        EXPECT_EQ(d->get_Level(&level), S_OK) << testkit::Narrow(TakeError().description);
        EXPECT_EQ(static_cast<DWORD>(level), r->second.second);
        d->get_Status(&status);
        EXPECT_EQ(status, sm_NotInitialised);
        d->Release();
    }
    VARIANT r;
    VariantInit(&r);
    EXPECT_EQ(list->Item(testkit::VarI4(count + 1), &r), E_INVALIDARG);

    // Filed under the description; an item outlives the list and still has its Level.
    VARIANT name = testkit::VarBstr(reported.begin()->first.c_str());
    IDevice3D* byName = ItemAt(list, name);
    VariantClear(&name);
    ASSERT_NE(byName, nullptr);
    EXPECT_EQ(NameOf(byName), reported.begin()->first);
    list->Release();
    HWLevels level = hl_Highest;
    EXPECT_EQ(byName->get_Level(&level), S_OK);
    EXPECT_EQ(static_cast<DWORD>(level), reported.begin()->second.second);
    byName->Release();
}

TEST(Devices, EveryListedAdapterInitialises)
{
    const auto reported = ReportedAdapters();
    IDispatch* list = New<IDispatch>(L"zyk3D.Devices", IID_IDispatch);
    ASSERT_NE(list, nullptr);
    VARIANT v;
    VariantInit(&v);
    ASSERT_EQ(testkit::DispGet(list, L"Count", &v), S_OK);
    const long count = V_I4(&v);
    ASSERT_GT(count, 0);
    HWND window = testkit::CreateTestWindow(160, 120);
    for (long i = 1; i <= count; ++i) {
        // Late bound, as a script picks an adapter: Item(i), then its Name and Level.
        VARIANT item;
        VariantInit(&item);
        ASSERT_EQ(testkit::DispCall(list, L"Item", {testkit::VarI4(i)}, &item), S_OK);
        ASSERT_EQ(V_VT(&item), VT_DISPATCH);
        IDispatch* d = V_DISPATCH(&item);
        ASSERT_EQ(testkit::DispGet(d, L"Name", &v), S_OK);
        ASSERT_EQ(V_VT(&v), VT_BSTR);
        const std::wstring name = V_BSTR(&v);
        VariantClear(&v);
        auto r = reported.find(name);
        ASSERT_NE(r, reported.end()) << testkit::Narrow(name);
        ASSERT_EQ(testkit::DispGet(d, L"Level", &v), S_OK);
        EXPECT_EQ(static_cast<DWORD>(V_I4(&v)), r->second.second) << testkit::Narrow(name);

        // The item is a Device3D of that adapter's index, ready to initialise.
        IDevice3D* device = nullptr;
        ASSERT_EQ(d->QueryInterface(IID_IDevice3D, reinterpret_cast<void**>(&device)), S_OK);
        device->put_Window(static_cast<long>(reinterpret_cast<LONG_PTR>(window)));
        ASSERT_EQ(device->Initialise(0, 160, 120, VARIANT_FALSE, 0), S_OK)
            << testkit::Narrow(name) << ": " << testkit::Narrow(TakeError().description);
        testkit::PumpMessages();
        StatusModes status = sm_NotInitialised;
        device->get_Status(&status);
        EXPECT_EQ(status, sm_Ready) << testkit::Narrow(name);
        long index = -1;
        device->get_Index(&index);
        EXPECT_EQ(index, r->second.first);
        EXPECT_EQ(device->Clear(0, 0, 0.5f, 1), S_OK) << testkit::Narrow(TakeError().description);

        // Range checks refuse NaN: the clear colour fails, the ambient light does not stop
        // the frame, which leaves no report.
        const float nan = std::numeric_limits<float>::quiet_NaN();
        EXPECT_EQ(device->Clear(nan, 0, 0, 1), E_INVALIDARG);
        EXPECT_EQ(TakeError().description, SystemText(E_INVALIDARG) + L"Invalid Red Intensity.");
        IDispatch* a = nullptr;
        ASSERT_EQ(device->get_Ambient(&a), S_OK);
        ASSERT_EQ(testkit::DispPut(a, L"Blue", testkit::VarR4(nan)), S_OK);
        testkit::ClearError();
        EXPECT_EQ(device->Render(), S_OK);
        EXPECT_FALSE(TakeError().present);
        a->Release();
        EXPECT_EQ(device->Free(), S_OK);
        device->Release();
        VariantClear(&item);
    }
    DestroyWindow(window);
    list->Release();
}

TEST(Devices, RefusesAggregation)
{
    IUnknown* outer = New<IUnknown>(L"zyk3D.Colour", IID_IUnknown);
    ASSERT_NE(outer, nullptr);
    IUnknown* inner = reinterpret_cast<IUnknown*>(1);
    EXPECT_EQ(
        CoCreateInstance(CLSID_Devices, outer, CLSCTX_INPROC_SERVER, IID_IUnknown, reinterpret_cast<void**>(&inner)),
        CLASS_E_NOAGGREGATION);
    EXPECT_EQ(inner, nullptr);
    outer->Release();
}

TEST(DeviceCaps, WithoutADeviceOrWithARefusingOne)
{
    IDeviceCaps* caps = New<IDeviceCaps>(L"zyk3D.DeviceCaps", IID_IDeviceCaps);
    ASSERT_NE(caps, nullptr);
    BitDepths depth = bd_Unknown;
    ExpectCapsError(caps->get_Depth(&depth), L"Failed to obtain Render Depth.");
    ExpectCapsError(caps->get_ZBufferDepth(&depth), L"Failed to obtain Z-Buffer Depth.");
    EXPECT_EQ(caps->get_Depth(nullptr), E_POINTER);

    // Read afresh on every call.
    device_fixture::FakeDevice fake;
    fake.zBufferBitDepth = bd_16Bit;
    EXPECT_EQ(caps->put_Device(fake.Handle()), S_OK);
    EXPECT_EQ(caps->get_ZBufferDepth(&depth), S_OK);
    EXPECT_EQ(depth, bd_16Bit);
    fake.failGetCaps = static_cast<HRESULT>(0x88760082);
    ExpectCapsError(caps->get_ZBufferDepth(&depth), L"Failed to obtain Z-Buffer Depth.");
    fake.failGetCaps = S_OK;
    fake.zBufferBitDepth = bd_24Bit;
    EXPECT_EQ(caps->get_ZBufferDepth(&depth), S_OK);
    EXPECT_EQ(depth, bd_24Bit);
    caps->Release();
}

TEST_F(DeviceCapsOnDevice, DepthsAreTheDevicesOwnLateBound)
{
    D3DDEVICEDESC7 desc{};
    ASSERT_EQ(device_->GetCaps(&desc), S_OK);
    IDispatch* d = New<IDispatch>(L"zyk3D.DeviceCaps", IID_IDispatch);
    ASSERT_NE(d, nullptr);
    // Device3D hands the device down by name, through IDispatch.
    EXPECT_EQ(testkit::DispPut(d, L"Device", testkit::VarI4(DeviceHandle())), S_OK);
    VARIANT r;
    VariantInit(&r);
    ASSERT_EQ(testkit::DispGet(d, L"Depth", &r), S_OK);
    EXPECT_EQ(static_cast<DWORD>(V_I4(&r)), desc.dwDeviceRenderBitDepth);
    EXPECT_EQ(V_I4(&r), bd_32Bit + bd_24Bit + bd_16Bit);
    ASSERT_EQ(testkit::DispGet(d, L"ZBufferDepth", &r), S_OK);
    EXPECT_EQ(static_cast<DWORD>(V_I4(&r)), desc.dwDeviceZBufferBitDepth);
    EXPECT_EQ(V_I4(&r), bd_24Bit + bd_16Bit);
    d->Release();
}

TEST(DeviceCaps, CapsOfAnInitialisedDevice3D)
{
    IDevice3D* device = New<IDevice3D>(L"zyk3D.Device3D", IID_IDevice3D);
    ASSERT_NE(device, nullptr);
    TakeError();
    IDispatch* caps = nullptr;
    EXPECT_EQ(device->get_Caps(&caps), S_OK);
    if (!caps) {
        device->Release();
        GTEST_SKIP() << "Device3D makes its DeviceCaps only once every child before it is registered";
    }
    HWND window = testkit::CreateTestWindow(160, 120);
    device->put_Window(static_cast<long>(reinterpret_cast<LONG_PTR>(window)));
    ASSERT_EQ(device->Initialise(0, 160, 120, VARIANT_FALSE, 0), S_OK) << testkit::Narrow(TakeError().description);
    IDeviceCaps* c = nullptr;
    ASSERT_EQ(caps->QueryInterface(IID_IDeviceCaps, reinterpret_cast<void**>(&c)), S_OK);
    BitDepths depth = bd_Unknown, z = bd_Unknown;
    EXPECT_EQ(c->get_Depth(&depth), S_OK);
    EXPECT_EQ(c->get_ZBufferDepth(&z), S_OK);
    EXPECT_EQ(depth, bd_32Bit + bd_24Bit + bd_16Bit);
    EXPECT_EQ(z, bd_24Bit + bd_16Bit);
    c->Release();
    caps->Release();
    device->Release();
    DestroyWindow(window);
}

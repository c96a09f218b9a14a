// Fog as a client sees it: render states read back from the device, error information,
// the colour child and the world-file block.
#include "testkit.h"
#include "zyk3D.h"
#include "device_fixture.h"
#include <cmath>
#include <cstdio>
#include <limits>
#include <string>

using testkit::ReadAll;
using testkit::TempPath;
using testkit::WriteAll;

using device_fixture::Bits;
using device_fixture::DeviceSuite;
using device_fixture::FakeDevice;
using device_fixture::Float;
using testkit::SystemText;
using testkit::TakeError;

namespace {

enum : DWORD {
    kEnable = 28,
    kColour = 34,
    kTableMode = 35,
    kStart = 36,
    kEnd = 37,
    kDensity = 38,
    kRange = 48,
    kVertexMode = 140,
};

const HRESULT kRefused = static_cast<HRESULT>(0x88760082); // DDERR_INVALIDOBJECT: no system text

IFog* NewFog()
{
    IFog* p = nullptr;
    EXPECT_EQ(testkit::CreateByProgId(L"zyk3D.Fog", IID_IFog, reinterpret_cast<void**>(&p)), S_OK);
    return p;
}

void ExpectFogError(const std::wstring& description)
{
    auto e = TakeError();
    ASSERT_TRUE(e.present);
    EXPECT_EQ(e.description, description);
    EXPECT_EQ(e.source, L"zyk3D.Fog.1");
    EXPECT_TRUE(IsEqualGUID(e.guid, IID_IFog));
}

IColour* ColourOf(IFog* fog)
{
    IDispatch* d = nullptr;
    EXPECT_EQ(fog->get_Colour(&d), S_OK);
    IColour* c = nullptr;
    if (d) {
        d->QueryInterface(IID_IColour, reinterpret_cast<void**>(&c));
        d->Release();
    }
    return c;
}

void SetColour(IFog* fog, float r, float g, float b, float a)
{
    IColour* c = ColourOf(fog);
    ASSERT_NE(c, nullptr);
    c->put_Red(r);
    c->put_Green(g);
    c->put_Blue(b);
    c->put_Alpha(a);
    c->Release();
}

template <class Fn>
void WithStream(const std::string& path, const char* mode, Fn fn)
{
    FILE* f = fopen(path.c_str(), mode);
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(fn(static_cast<long>(reinterpret_cast<LONG_PTR>(f))), S_OK);
    fclose(f);
}

} // namespace

TEST(Fog, WithoutADeviceOnlyColourAndTheBlocksWork)
{
    IFog* fog = NewFog();
    ASSERT_NE(fog, nullptr);
    float f = 0;
    VARIANT_BOOL b = 0;
    FogModes m = fm_None;
    const std::wstring unavailable = L"Fog unavailable."; // a table text: no system text in front
    for (int pass = 0; pass < 2; ++pass) {                // never given a device, then given 0
        EXPECT_EQ(fog->put_Density(0.5f), E_POINTER);
        ExpectFogError(unavailable);
        EXPECT_EQ(fog->get_Density(&f), E_POINTER);
        ExpectFogError(unavailable);
        EXPECT_EQ(fog->put_Enabled(VARIANT_TRUE), E_POINTER);
        ExpectFogError(unavailable);
        EXPECT_EQ(fog->get_Enabled(&b), E_POINTER);
        ExpectFogError(unavailable);
        EXPECT_EQ(fog->put_StartingPos(1), E_POINTER);
        ExpectFogError(unavailable);
        EXPECT_EQ(fog->get_StartingPos(&f), E_POINTER);
        ExpectFogError(unavailable);
        EXPECT_EQ(fog->put_EndPosition(1), E_POINTER);
        ExpectFogError(unavailable);
        EXPECT_EQ(fog->get_EndPosition(&f), E_POINTER);
        ExpectFogError(unavailable);
        EXPECT_EQ(fog->put_Mode(fm_Linear), E_POINTER);
        ExpectFogError(unavailable);
        EXPECT_EQ(fog->get_Mode(&m), E_POINTER);
        ExpectFogError(unavailable);
        EXPECT_EQ(fog->Update(), E_POINTER);
        ExpectFogError(unavailable);
        // RangeBased returns at once and leaves the first text.
        EXPECT_EQ(fog->put_RangeBased(VARIANT_TRUE), E_POINTER);
        ExpectFogError(SystemText(E_POINTER) + L"Device Not Initialised.");
        EXPECT_EQ(fog->get_RangeBased(&b), E_POINTER);
        ExpectFogError(SystemText(E_POINTER) + L"Device Not Initialised.");
        EXPECT_EQ(fog->put_Device(0), S_OK);
    }

    IColour* c = ColourOf(fog);
    ASSERT_NE(c, nullptr);
    float v = -1;
    c->get_Alpha(&v);
    EXPECT_EQ(v, 0.0f);
    c->Release();
    EXPECT_EQ(fog->get_Colour(nullptr), E_POINTER);
    EXPECT_EQ(fog->Save(0), S_OK);
    EXPECT_EQ(fog->Load(0), S_OK);

    ISupportErrorInfo* s = nullptr;
    ASSERT_EQ(fog->QueryInterface(IID_ISupportErrorInfo, reinterpret_cast<void**>(&s)), S_OK);
    EXPECT_EQ(s->InterfaceSupportsErrorInfo(IID_IFog), S_OK);
    EXPECT_EQ(s->InterfaceSupportsErrorInfo(IID_IColour), S_FALSE);
    s->Release();
    fog->Release();
}

TEST(Fog, RefusedRenderStatesAreReported)
{
    IFog* fog = NewFog();
    ASSERT_NE(fog, nullptr);
    FakeDevice fake;
    fake.failSetState[kDensity] = kRefused;
    fake.failGetState[kDensity] = kRefused;
    fake.failSetState[kVertexMode] = kRefused;
    fake.failSetState[kRange] = kRefused;
    fake.failGetState[kRange] = kRefused;
    fake.failSetState[kColour] = kRefused;
    fog->put_Device(fake.Handle());

    EXPECT_EQ(fog->put_Density(0.5f), kRefused);
    ExpectFogError(L"Failed to Set Fog Density.");
    float f = 0;
    EXPECT_EQ(fog->get_Density(&f), kRefused);
    ExpectFogError(L"Failed to Get Fog Density.");

    // The table mode went through, the vertex mode did not: the mode is not remembered.
    EXPECT_EQ(fog->put_Mode(fm_Linear), kRefused);
    ExpectFogError(L"Failed to Set Fog Mode.");
    EXPECT_EQ(fake.states[kTableMode], static_cast<DWORD>(fm_Linear));
    EXPECT_EQ(fog->put_StartingPos(10), E_FAIL);
    ExpectFogError(SystemText(E_FAIL) + L"Linear Fog Only Supports Starting Position.");

    // RangeBased returns the device's code without error information.
    testkit::ClearError();
    VARIANT_BOOL b = 0;
    EXPECT_EQ(fog->put_RangeBased(VARIANT_TRUE), kRefused);
    EXPECT_FALSE(TakeError().present);
    EXPECT_EQ(fog->get_RangeBased(&b), kRefused);
    EXPECT_FALSE(TakeError().present);

    // Update ignores the result of setting the colour.
    EXPECT_EQ(fog->Update(), S_OK);

    fake.failGetState[kEnable] = kRefused;
    EXPECT_EQ(fog->get_Enabled(&b), kRefused);
    ExpectFogError(L"Failed to Get Fog Enabled Status.");
    fake.failSetState[kEnable] = kRefused;
    EXPECT_EQ(fog->put_Enabled(VARIANT_TRUE), kRefused);
    ExpectFogError(L"Failed to Set Fog Enabled Status.");

    // Null out pointers are refused, not written through.
    fake.failGetState.clear();
    EXPECT_EQ(fog->get_Enabled(nullptr), E_POINTER);
    EXPECT_EQ(fog->get_Mode(nullptr), E_POINTER);
    EXPECT_EQ(fog->get_RangeBased(nullptr), E_POINTER);
    fog->Release();
}

TEST(Fog, FaultInsideTheDeviceIsReportedNotFatal)
{
    device_fixture::BrokenDevice broken;
    IFog* fog = NewFog();
    ASSERT_NE(fog, nullptr);
    fog->put_Device(broken.Handle());
    EXPECT_EQ(fog->put_Mode(fm_Exp), E_FAIL);
    ExpectFogError(SystemText(E_FAIL) + L"Exception Raised.");
    EXPECT_EQ(fog->put_RangeBased(VARIANT_TRUE), E_FAIL);
    ExpectFogError(SystemText(E_FAIL) + L"Exception Raised.");
    fog->Release();
}

class FogOnDevice : public DeviceSuite {
protected:
    void SetUp() override
    {
        DeviceSuite::SetUp();
        fog = NewFog();
        ASSERT_NE(fog, nullptr);
        fog->put_Device(DeviceHandle());
    }
    void TearDown() override
    {
        if (fog) fog->Release();
    }
    IFog* fog = nullptr;
};

TEST_F(FogOnDevice, DensityFromZeroToOne)
{
    ASSERT_EQ(fog->put_Mode(fm_Exp), S_OK);
    EXPECT_EQ(fog->put_Density(0.0f), S_OK);
    EXPECT_EQ(State(kDensity), Bits(0.0f));
    EXPECT_EQ(fog->put_Density(1.0f), S_OK);
    EXPECT_EQ(State(kDensity), Bits(1.0f));
    for (float refused : {1.0001f, -0.1f, std::numeric_limits<float>::quiet_NaN()}) {
        EXPECT_EQ(fog->put_Density(refused), E_FAIL);
        ExpectFogError(SystemText(E_FAIL) + L"Density must be between 0.0 and 1.0 inclusive.");
    }
    EXPECT_EQ(State(kDensity), Bits(1.0f)); // refused values never reach the device
    SetState(kDensity, Bits(0.25f));
    float f = 0;
    EXPECT_EQ(fog->get_Density(&f), S_OK);
    EXPECT_EQ(f, 0.25f);
}

TEST_F(FogOnDevice, ModeDecidesBetweenDensityAndStartAndEnd)
{
    ASSERT_EQ(fog->put_Mode(fm_Linear), S_OK);
    EXPECT_EQ(State(kTableMode), 3u);
    EXPECT_EQ(State(kVertexMode), 3u);
    FogModes m = fm_None;
    EXPECT_EQ(fog->get_Mode(&m), S_OK);
    EXPECT_EQ(m, fm_Linear);

    EXPECT_EQ(fog->put_Density(0.5f), E_FAIL);
    ExpectFogError(SystemText(E_FAIL) + L"Linear Fog does not support Density.");
    float f = 0;
    EXPECT_EQ(fog->get_Density(&f), E_FAIL);
    ExpectFogError(SystemText(E_FAIL) + L"Linear Fog does not support Density.");
    EXPECT_EQ(fog->put_StartingPos(10), S_OK);
    EXPECT_EQ(fog->put_EndPosition(-5), S_OK); // no range, no comparison with the start
    EXPECT_EQ(State(kStart), Bits(10.0f));
    EXPECT_EQ(State(kEnd), Bits(-5.0f));
    EXPECT_EQ(fog->get_StartingPos(&f), S_OK);
    EXPECT_EQ(f, 10.0f);
    EXPECT_EQ(fog->get_EndPosition(&f), S_OK);
    EXPECT_EQ(f, -5.0f);

    ASSERT_EQ(fog->put_Mode(fm_Exp), S_OK);
    EXPECT_EQ(State(kVertexMode), 1u);
    EXPECT_EQ(fog->put_StartingPos(20), E_FAIL);
    ExpectFogError(SystemText(E_FAIL) + L"Linear Fog Only Supports Starting Position.");
    EXPECT_EQ(fog->put_EndPosition(20), E_FAIL);
    TakeError();
    EXPECT_EQ(fog->get_EndPosition(&f), E_FAIL);
    TakeError();
    EXPECT_EQ(State(kStart), Bits(10.0f)); // changing the mode re-sends nothing
    EXPECT_EQ(fog->put_Density(0.5f), S_OK);

    // No range check on the mode: the device gets what it is given.
    EXPECT_EQ(fog->put_Mode(static_cast<FogModes>(7)), S_OK);
    EXPECT_EQ(fog->get_Mode(&m), S_OK);
    EXPECT_EQ(static_cast<long>(m), 7);
}

TEST_F(FogOnDevice, EnabledReadsOneAndRangeBasedKeepsTheSign)
{
    VARIANT_BOOL b = 0;
    EXPECT_EQ(fog->put_Enabled(VARIANT_TRUE), S_OK);
    EXPECT_EQ(State(kEnable), 1u);
    EXPECT_EQ(fog->get_Enabled(&b), S_OK);
    EXPECT_EQ(b, 1);
    SetState(kEnable, 7);
    EXPECT_EQ(fog->get_Enabled(&b), S_OK);
    EXPECT_EQ(b, 1);
    EXPECT_EQ(fog->put_Enabled(VARIANT_FALSE), S_OK);
    EXPECT_EQ(State(kEnable), 0u);
    EXPECT_EQ(fog->get_Enabled(&b), S_OK);
    EXPECT_EQ(b, 0);

    EXPECT_EQ(fog->put_RangeBased(VARIANT_TRUE), S_OK);
    EXPECT_EQ(State(kRange), 0xFFFFFFFFu);
    EXPECT_EQ(fog->get_RangeBased(&b), S_OK);
    EXPECT_EQ(b, -1);
    SetState(kRange, 0x00010002);
    EXPECT_EQ(fog->get_RangeBased(&b), S_OK);
    EXPECT_EQ(b, 2); // the low 16 bits

    // Late-bound, as a script sees it.
    IDispatch* d = nullptr;
    fog->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&d));
    EXPECT_EQ(testkit::DispPut(d, L"Enabled", testkit::VarBool(true)), S_OK);
    VARIANT r;
    VariantInit(&r);
    ASSERT_EQ(testkit::DispGet(d, L"Enabled", &r), S_OK);
    EXPECT_EQ(V_VT(&r), VT_BOOL);
    EXPECT_EQ(V_BOOL(&r), 1);
    EXPECT_EQ(testkit::DispPut(d, L"RangeBased", testkit::VarBool(false)), S_OK);
    EXPECT_EQ(State(kRange), 0u);
    EXPECT_EQ(testkit::DispPut(d, L"Mode", testkit::VarI4(fm_Exp2)), S_OK);
    EXPECT_EQ(State(kTableMode), 2u);
    EXCEPINFO e{};
    EXPECT_EQ(testkit::DispPut(d, L"Density", testkit::VarR8(2.0), &e), DISP_E_EXCEPTION);
    EXPECT_EQ(e.scode, E_FAIL);
    EXPECT_EQ(std::wstring(e.bstrDescription ? e.bstrDescription : L""),
              SystemText(E_FAIL) + L"Density must be between 0.0 and 1.0 inclusive.");
    testkit::FreeExcepInfo(e);
    d->Release();
}

TEST_F(FogOnDevice, UpdateSendsThePackedColour)
{
    SetColour(fog, 1, 0, 0, 1);
    EXPECT_EQ(fog->Update(), S_OK);
    EXPECT_EQ(State(kColour), 0xFFFF0000u);
    SetColour(fog, 1, 0.5f, 0, 1);
    EXPECT_EQ(fog->Update(), S_OK);
    EXPECT_EQ(State(kColour), 0xFFFF7F00u);
    // The fog takes any colour: out of range each channel saturates, NaN is 0.
    const float nan = std::numeric_limits<float>::quiet_NaN();
    SetColour(fog, 1.5f, nan, -0.5f, 1e30f);
    EXPECT_EQ(fog->Update(), S_OK);
    EXPECT_EQ(State(kColour), 0xFFFF0000u);
    SetColour(fog, -1e30f, 2, nan, 0.5f);
    EXPECT_EQ(fog->Update(), S_OK);
    EXPECT_EQ(State(kColour), 0x7F00FF00u);
}

TEST_F(FogOnDevice, WorldFileBlockRoundTrip)
{
    const std::string path = TempPath("zyk_fog_block.txt");
    ASSERT_EQ(fog->put_Mode(fm_Linear), S_OK);
    fog->put_StartingPos(10);
    fog->put_EndPosition(100);
    fog->put_Enabled(VARIANT_TRUE);
    fog->put_RangeBased(VARIANT_TRUE);
    SetColour(fog, 0.5f, 0.25f, 1, 1);
    WithStream(path, "w", [&](long f) { return fog->Save(f); });
    // Density is refused in linear mode and written as 0.
    EXPECT_EQ(ReadAll(path), "// Fog\r\n0.000000\r\n10.000000\r\n100.000000\r\n3\r\n1\r\n4294967295\r\n"
                             "// Colour\r\n0.500000\r\n0.250000\r\n1.000000\r\n1.000000\r\n");

    // Into a fog that was not linear before: the mode comes first, so start and end stick.
    IFog* back = NewFog();
    ASSERT_NE(back, nullptr);
    back->put_Device(DeviceHandle());
    ASSERT_EQ(back->put_Mode(fm_Exp), S_OK);
    back->put_Enabled(VARIANT_FALSE);
    back->put_RangeBased(VARIANT_FALSE);
    SetState(kStart, Bits(0));
    SetState(kEnd, Bits(0));
    SetState(kColour, 0);
    SetState(kDensity, Bits(0.75f));
    WithStream(path, "r", [&](long f) { return back->Load(f); });
    EXPECT_EQ(State(kTableMode), 3u);
    EXPECT_EQ(State(kVertexMode), 3u);
    EXPECT_EQ(Float(State(kStart)), 10.0f);
    EXPECT_EQ(Float(State(kEnd)), 100.0f);
    EXPECT_EQ(Float(State(kDensity)), 0.75f); // the density line is dropped in linear mode
    EXPECT_EQ(State(kEnable), 1u);
    EXPECT_EQ(State(kRange), 0xFFFFFFFFu);
    EXPECT_EQ(State(kColour), 0xFF7F3FFFu); // Update ran with the colour read
    IColour* c = ColourOf(back);
    ASSERT_NE(c, nullptr);
    float g = 0;
    c->get_Green(&g);
    EXPECT_EQ(g, 0.25f);
    c->Release();

    // An exponential fog keeps its density; its start and end lines are dropped.
    ASSERT_EQ(fog->put_Mode(fm_Exp2), S_OK);
    ASSERT_EQ(fog->put_Density(0.125f), S_OK);
    WithStream(path, "w", [&](long f) { return fog->Save(f); });
    const std::string head = "// Fog\r\n0.125000\r\n0.000000\r\n0.000000\r\n2\r\n";
    EXPECT_EQ(ReadAll(path).substr(0, head.size()), head);
    SetState(kDensity, Bits(0));
    SetState(kStart, Bits(5.0f));
    WithStream(path, "r", [&](long f) { return back->Load(f); });
    EXPECT_EQ(Float(State(kDensity)), 0.125f);
    EXPECT_EQ(Float(State(kStart)), 5.0f);
    EXPECT_EQ(State(kTableMode), 2u);
    back->Release();
    DeleteFileA(path.c_str());
}

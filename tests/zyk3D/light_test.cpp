// Light and Lights as a client sees them: values through the vtable and IDispatch, the
// light records and enable states read back from the device, error information, and
// the lights section of the world file.
#include "testkit.h"
#include "zyk3D.h"
#include "device_fixture.h"
#include <cstdio>
#include <limits>
#include <map>
#include <string>

using testkit::Create;
using testkit::ExpectError;

using device_fixture::Bits;
using device_fixture::DeviceSuite;
using device_fixture::FakeDevice;
using testkit::SystemText;
using testkit::TakeError;

namespace {

const float kMaxRange = device_fixture::Float(0x5F7FFFFF); // sqrt(FLT_MAX)
const HRESULT kInvalidObject = static_cast<HRESULT>(0x88760082);
const HRESULT kLightSetFailed = static_cast<HRESULT>(0x887602EE);
const HRESULT kNotInViewport = static_cast<HRESULT>(0x887602F0);

ILight* NewLight() { return Create<ILight>(L"zyk3D.Light", IID_ILight); }
ILights* NewLights() { return Create<ILights>(L"zyk3D.Lights", IID_ILights); }

void ExpectLightError(const std::wstring& text) { ExpectError(L"zyk3D.Light.1", IID_ILight, text); }
void ExpectLightsError(const std::wstring& text) { ExpectError(L"zyk3D.Lights.1", IID_ILights, text); }

const std::wstring kNoDevice = SystemText(E_POINTER) + L"Device Not Initialised.";

using testkit::As;

// A Colour or Position child by its getter.
template <class T>
T* ChildOf(ILight* light, HRESULT (STDMETHODCALLTYPE ILight::*getter)(IDispatch**), REFIID iid)
{
    IDispatch* d = nullptr;
    EXPECT_EQ((light->*getter)(&d), S_OK);
    return As<T>(d, iid);
}

void Paint(ILight* light, HRESULT (STDMETHODCALLTYPE ILight::*getter)(IDispatch**), float r, float g, float b, float a)
{
    IColour* c = ChildOf<IColour>(light, getter, IID_IColour);
    ASSERT_NE(c, nullptr);
    c->put_Red(r);
    c->put_Green(g);
    c->put_Blue(b);
    c->put_Alpha(a);
    c->Release();
}

void Place(ILight* light, bool direction, float x, float y, float z)
{
    IPosition* p = ChildOf<IPosition>(light, direction ? &ILight::get_Direction : &ILight::get_Position, IID_IPosition);
    ASSERT_NE(p, nullptr);
    p->put_X(x);
    p->put_Y(y);
    p->put_Z(z);
    p->Release();
}

float Value(ILight* light, HRESULT (STDMETHODCALLTYPE ILight::*getter)(float*))
{
    float v = -1234.0f;
    EXPECT_EQ((light->*getter)(&v), S_OK);
    return v;
}

ILight* Add(ILights* lights, LightTypes type, float inner = 0.5f, float outer = 1.0f)
{
    IDispatch* d = nullptr;
    EXPECT_EQ(lights->get_Add(type, 1, 2, 3, 0.25f, 0.5f, 0.75f, 1, 1.0f, inner, outer, kMaxRange, &d), S_OK);
    return As<ILight>(d, IID_ILight);
}

ILight* ItemOf(ILights* lights, const wchar_t* name)
{
    VARIANT key = testkit::VarBstr(name), item;
    VariantInit(&item);
    HRESULT hr = lights->Item(key, &item);
    VariantClear(&key);
    return SUCCEEDED(hr) ? As<ILight>(V_DISPATCH(&item), IID_ILight) : nullptr;
}

std::wstring NameOf(ILight* light)
{
    BSTR b = nullptr;
    light->get_Name(&b);
    std::wstring s = b ? b : L"";
    SysFreeString(b);
    return s;
}

long IdOf(ILight* light)
{
    long id = -1;
    light->get_ID(&id);
    return id;
}

} // namespace

TEST(Light, NewLightHoldsItsDefaultsAndTheSettersKeepTheCones)
{
    ILight* light = NewLight();
    ASSERT_NE(light, nullptr);
    LightTypes type = lt_Directional;
    EXPECT_EQ(light->get_Type(&type), S_OK);
    EXPECT_EQ(type, lt_Point);
    EXPECT_EQ(IdOf(light), 0);
    EXPECT_EQ(Value(light, &ILight::get_InnerCone), 0.5f);
    EXPECT_EQ(Value(light, &ILight::get_OuterCone), 1.0f);
    EXPECT_EQ(Value(light, &ILight::get_FallOff), 1.0f);
    EXPECT_EQ(Value(light, &ILight::get_QuadraticAttenuation), 0.0f);
    EXPECT_EQ(Bits(Value(light, &ILight::get_Range)), 0x5F7FFFFFu);
    for (auto getter : {&ILight::get_Colour, &ILight::get_Diffuse, &ILight::get_Ambient, &ILight::get_Specular}) {
        IColour* c = ChildOf<IColour>(light, getter, IID_IColour);
        ASSERT_NE(c, nullptr);
        float a = -1;
        c->get_Alpha(&a);
        EXPECT_EQ(a, 0.0f);
        c->Release();
    }

    EXPECT_EQ(light->put_InnerCone(2.0f), S_OK);
    EXPECT_EQ(Value(light, &ILight::get_InnerCone), 1.0f);
    EXPECT_EQ(light->put_InnerCone(0.5f), S_OK);
    EXPECT_EQ(light->put_OuterCone(0.25f), S_OK);
    EXPECT_EQ(Value(light, &ILight::get_InnerCone), 0.25f);
    EXPECT_EQ(Value(light, &ILight::get_OuterCone), 0.25f);
    EXPECT_EQ(light->put_Range(1e30f), S_OK);
    EXPECT_EQ(Bits(Value(light, &ILight::get_Range)), 0x5F7FFFFFu);
    EXPECT_EQ(light->put_Range(-5.0f), S_OK);
    EXPECT_EQ(Value(light, &ILight::get_Range), -5.0f);
    // NaN passes neither bound.
    const float nan = std::numeric_limits<float>::quiet_NaN();
    EXPECT_EQ(light->put_Range(nan), S_OK);
    EXPECT_EQ(Bits(Value(light, &ILight::get_Range)), 0x5F7FFFFFu);
    EXPECT_EQ(light->put_InnerCone(nan), S_OK);
    EXPECT_EQ(Value(light, &ILight::get_InnerCone), 0.25f);

    EXPECT_EQ(light->get_Colour(nullptr), E_POINTER);
    EXPECT_EQ(light->get_Range(nullptr), E_POINTER);
    EXPECT_EQ(light->get_Name(nullptr), E_POINTER);
    light->Release();
}

TEST(Light, DeviceMembersNeedADeviceAndFreeTakesItAway)
{
    ILight* light = NewLight();
    ASSERT_NE(light, nullptr);
    FakeDevice fake;
    VARIANT_BOOL on = -1;
    for (long device : {0L, fake.Handle()}) { // never given one; given one, then Free
        if (device) {
            light->put_Device(device);
            EXPECT_EQ(light->Free(), S_OK);
        }
        EXPECT_EQ(light->Update(), E_POINTER);
        ExpectLightError(kNoDevice);
        EXPECT_EQ(light->get_Enabled(&on), E_POINTER);
        ExpectLightError(kNoDevice);
        EXPECT_EQ(light->put_Enabled(VARIANT_TRUE), E_POINTER);
        ExpectLightError(kNoDevice);
    }
    EXPECT_TRUE(fake.lights.empty());

    // After Free the children are gone, quietly.
    testkit::ClearError();
    IDispatch* d = reinterpret_cast<IDispatch*>(1);
    EXPECT_EQ(light->get_Diffuse(&d), E_POINTER);
    EXPECT_EQ(d, nullptr);
    EXPECT_EQ(light->get_Position(&d), E_POINTER);
    EXPECT_FALSE(TakeError().present);

    // A device handed down again: the light stands at the origin in the default colours.
    light->put_Device(fake.Handle());
    light->put_ID(4);
    EXPECT_EQ(light->Update(), S_OK);
    ASSERT_EQ(fake.lights.count(4), 1u);
    const D3DLIGHT7& r = fake.lights[4];
    EXPECT_EQ(r.dvPosition.x, 0.0f);
    EXPECT_EQ(r.dcvDiffuse.r, 1.0f);
    EXPECT_EQ(r.dcvSpecular.g, 1.0f);
    EXPECT_EQ(r.dcvAmbient.b, 0.0f);
    light->Release();
}

TEST(Light, UpdateBuildsTheRecordByType)
{
    ILight* light = NewLight();
    ASSERT_NE(light, nullptr);
    FakeDevice fake;
    light->put_Device(fake.Handle());
    light->put_ID(2);
    Place(light, false, 1, 2, 3);
    Place(light, true, 4, 5, 6);
    Paint(light, &ILight::get_Colour, 0.9f, 0.9f, 0.9f, 0.9f); // kept, never sent
    Paint(light, &ILight::get_Diffuse, 0.1f, 0.2f, 0.3f, 0.4f);
    light->put_ConstAttenuation(0.5f);
    light->put_LinearAttenuation(0.25f);
    light->put_QuadraticAttenuation(0.125f);
    light->put_FallOff(2.0f);
    light->put_Range(50.0f);

    ASSERT_EQ(light->Update(), S_OK);
    D3DLIGHT7 r = fake.lights[2];
    EXPECT_EQ(r.dltType, D3DLIGHT_POINT);
    EXPECT_EQ(r.dcvDiffuse.r, 0.1f);
    EXPECT_EQ(r.dcvDiffuse.a, 0.4f);
    EXPECT_EQ(r.dcvSpecular.r, 0.0f); // the Specular child, black
    EXPECT_EQ(r.dvPosition.z, 3.0f);
    EXPECT_EQ(r.dvDirection.z, 3.0f); // a point light points at its own position
    EXPECT_EQ(r.dvAttenuation0, 0.5f);
    EXPECT_EQ(r.dvAttenuation2, 0.125f);
    EXPECT_EQ(r.dvTheta, 0.5f);
    EXPECT_EQ(r.dvPhi, 1.0f);
    EXPECT_EQ(r.dvFalloff, 2.0f);
    EXPECT_EQ(r.dvRange, 50.0f);

    light->put_Type(lt_Spot);
    ASSERT_EQ(light->Update(), S_OK);
    r = fake.lights[2];
    EXPECT_EQ(r.dvDirection.x, 4.0f);
    EXPECT_EQ(r.dvRange, 50.0f);

    light->put_Type(lt_Directional);
    ASSERT_EQ(light->Update(), S_OK);
    r = fake.lights[2];
    EXPECT_EQ(r.dltType, D3DLIGHT_DIRECTIONAL);
    EXPECT_EQ(r.dvDirection.z, 6.0f);
    EXPECT_EQ(Bits(r.dvRange), 0x5F7FFFFFu);
    light->Release();
}

TEST(Light, RefusedDeviceCallsMapToTheirTexts)
{
    ILight* light = NewLight();
    ASSERT_NE(light, nullptr);
    FakeDevice fake;
    light->put_Device(fake.Handle());
    // Table texts: no system text in front.
    const std::pair<HRESULT, const wchar_t*> setLight[] = {
        {E_OUTOFMEMORY, L"Out of Memory."}, {E_INVALIDARG, L"Invalid Parameter."}, {kInvalidObject, L"Unknown Error."}};
    for (auto [code, text] : setLight) {
        fake.failSetLight = code;
        EXPECT_EQ(light->Update(), code);
        ExpectLightError(text);
    }
    const std::pair<HRESULT, const wchar_t*> enable[] = {{kLightSetFailed, L"Setting Light has Failed."},
                                                         {kNotInViewport, L"Light does not belong in this Viewport."},
                                                         {E_OUTOFMEMORY, L"Unknown Error."}};
    for (auto [code, text] : enable) {
        fake.failGetLightEnable = fake.failLightEnable = code;
        VARIANT_BOOL on = -1;
        EXPECT_EQ(light->get_Enabled(&on), code);
        ExpectLightError(text);
        EXPECT_EQ(on, 0);
        EXPECT_EQ(light->put_Enabled(VARIANT_TRUE), code);
        ExpectLightError(text);
    }
    // An index never set is refused by the device itself.
    fake.failGetLightEnable = S_OK;
    VARIANT_BOOL on = -1;
    EXPECT_EQ(light->get_Enabled(&on), E_INVALIDARG);
    ExpectLightError(L"Unknown Error.");

    device_fixture::BrokenDevice broken;
    light->put_Device(broken.Handle());
    EXPECT_EQ(light->Update(), E_FAIL);
    ExpectLightError(SystemText(E_FAIL) + L"Exception Raised.");
    light->Release();
}

TEST(Lights, AddNeedsBothPointersAndTheRightCaps)
{
    ILights* lights = NewLights();
    ASSERT_NE(lights, nullptr);
    FakeDevice fake;
    IDispatch* d = reinterpret_cast<IDispatch*>(1);
    long max = -1;
    EXPECT_EQ(lights->get_Max(&max), E_POINTER);
    ExpectLightsError(kNoDevice);
    EXPECT_EQ(lights->get_Add(lt_Point, 0, 0, 0, 0, 0, 0, 0, 1, 0.5f, 1, 10, &d), E_POINTER);
    ExpectLightsError(kNoDevice);
    EXPECT_EQ(d, nullptr);
    lights->put_Device(fake.Handle()); // no Direct3D yet
    EXPECT_EQ(lights->get_Add(lt_Point, 0, 0, 0, 0, 0, 0, 0, 1, 0.5f, 1, 10, &d), E_POINTER);
    ExpectLightsError(kNoDevice);
    lights->put_Direct3D(fake.Handle());

    const std::wstring failed = SystemText(E_FAIL);
    fake.vertexProcessingCaps = 0x08; // directional only
    EXPECT_EQ(lights->get_Add(lt_Point, 0, 0, 0, 0, 0, 0, 0, 1, 0.5f, 1, 10, &d), E_FAIL);
    ExpectLightsError(failed + L"Point Lights are not supported by this device.");
    EXPECT_EQ(lights->get_Add(lt_Spot, 0, 0, 0, 0, 0, 0, 0, 1, 0.5f, 1, 10, &d), E_FAIL);
    ExpectLightsError(failed + L"Spotlights are not supported by this device.");
    fake.vertexProcessingCaps = 0x10; // positional only
    EXPECT_EQ(lights->get_Add(lt_Directional, 0, 0, 0, 0, 0, 0, 0, 1, 0.5f, 1, 10, &d), E_FAIL);
    ExpectLightsError(failed + L"Directional Lights are not supported by this device.");
    fake.vertexProcessingCaps = 0x3F;
    EXPECT_EQ(lights->get_Add(static_cast<LightTypes>(7), 0, 0, 0, 0, 0, 0, 0, 1, 0.5f, 1, 10, &d), E_FAIL);
    ExpectLightsError(failed + L"Invalid Light Type.");
    EXPECT_EQ(d, nullptr);
    long n = -1;
    lights->get_Count(&n);
    EXPECT_EQ(n, 0);

    // A device that cannot tell its caps takes any type; Max reports the refusal.
    const std::pair<HRESULT, const wchar_t*> caps[] = {
        {E_INVALIDARG, L"Invalid Parameter."}, {kInvalidObject, L"Invalid Object."}, {E_FAIL, L"Unknown Error."}};
    for (auto [code, text] : caps) {
        fake.failGetCaps = code;
        EXPECT_EQ(lights->get_Max(&max), code);
        ExpectLightsError(text);
    }
    ILight* odd = Add(lights, static_cast<LightTypes>(7));
    ASSERT_NE(odd, nullptr);
    LightTypes type = lt_Point;
    odd->get_Type(&type);
    EXPECT_EQ(type, 7);
    odd->Release();
    lights->Release();
}

TEST(Lights, AddNamesNumbersAndFillsTheLight)
{
    ILights* lights = NewLights();
    ASSERT_NE(lights, nullptr);
    FakeDevice fake;
    lights->put_Direct3D(fake.Handle());
    lights->put_Device(fake.Handle());

    ILight* spot = Add(lights, lt_Spot, 1.2f, 1.5f);
    ASSERT_NE(spot, nullptr);
    EXPECT_EQ(NameOf(spot), L"Light0");
    EXPECT_EQ(Value(spot, &ILight::get_InnerCone), 1.0f); // clamped to the default outer cone first
    EXPECT_EQ(Value(spot, &ILight::get_OuterCone), 1.5f);
    IColour* c = ChildOf<IColour>(spot, &ILight::get_Colour, IID_IColour);
    float blue = -1;
    c->get_Blue(&blue);
    EXPECT_EQ(blue, 0.75f);
    c->Release();
    IPosition* p = ChildOf<IPosition>(spot, &ILight::get_Position, IID_IPosition);
    float z = -1;
    p->get_Z(&z);
    EXPECT_EQ(z, 3.0f);
    p->Release();
    EXPECT_EQ(fake.lightsEnabled[0], 128);
    EXPECT_TRUE(fake.lights.empty()); // Add does not send the record

    ILight* second = Add(lights, lt_Point);
    ILight* third = Add(lights, lt_Point);
    VARIANT first = testkit::VarBstr(L"Light0");
    EXPECT_EQ(lights->Remove(first), S_OK);
    VariantClear(&first);
    EXPECT_EQ(fake.lightsEnabled[0], 0); // the removed light is switched off
    // The count is 2 again, but Light2 is taken: the new light takes the free Light0.
    ILight* again = Add(lights, lt_Directional);
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(NameOf(again), L"Light0");
    EXPECT_EQ(IdOf(again), 0);
    EXPECT_EQ(fake.lightsEnabled[0], 128);
    long n = 0;
    lights->get_Count(&n);
    EXPECT_EQ(n, 3);
    ILight* found = ItemOf(lights, L"Light2");
    EXPECT_EQ(found, third);
    found->Release();
    found = ItemOf(lights, L"Light0");
    EXPECT_EQ(found, again);
    found->Release();

    // A device handed later reaches only the lights made after it; a removed light is let go.
    lights->put_Device(0);
    EXPECT_EQ(second->Update(), S_OK);
    EXPECT_EQ(spot->Update(), E_POINTER);
    ExpectLightError(kNoDevice);
    for (ILight* l : {spot, second, third, again}) l->Release();
    lights->Release();
}

TEST(Lights, NewLightsTakeTheSmallestFreeNumberAndLeavingLightsGoDark)
{
    ILights* lights = NewLights();
    ASSERT_NE(lights, nullptr);
    FakeDevice fake;
    lights->put_Direct3D(fake.Handle());
    lights->put_Device(fake.Handle());
    for (int i = 0; i < 4; ++i) Add(lights, lt_Point)->Release();

    // By position (Light3 is 1, Light2 is 2) and by a name passed as a script does.
    EXPECT_EQ(lights->Remove(testkit::VarI4(2)), S_OK);
    VARIANT name = testkit::VarBstr(L"Light1"), byRef;
    V_VT(&byRef) = VT_BYREF | VT_VARIANT;
    V_VARIANTREF(&byRef) = &name;
    EXPECT_EQ(lights->Remove(byRef), S_OK);
    VariantClear(&name);
    EXPECT_EQ(fake.lightsEnabled, (std::map<DWORD, BOOL>{{0, 128}, {1, 0}, {2, 0}, {3, 128}}));
    // Nothing to remove: nothing switched.
    EXPECT_EQ(lights->Remove(testkit::VarI4(3)), E_INVALIDARG);

    const std::pair<const wchar_t*, long> expected[] = {{L"Light1", 1}, {L"Light2", 2}, {L"Light4", 4}};
    for (auto [key, id] : expected) {
        ILight* l = Add(lights, lt_Point);
        ASSERT_NE(l, nullptr);
        EXPECT_EQ(NameOf(l), key);
        EXPECT_EQ(IdOf(l), id);
        EXPECT_EQ(fake.lightsEnabled[id], 128);
        l->Release();
    }
    long n = 0;
    lights->get_Count(&n);
    EXPECT_EQ(n, 5);

    // Clear switches every light off; one the client still holds is let go of the device.
    ILight* held = ItemOf(lights, L"Light4");
    ASSERT_NE(held, nullptr);
    EXPECT_EQ(lights->Clear(), S_OK);
    for (DWORD i = 0; i <= 4; ++i) EXPECT_EQ(fake.lightsEnabled[i], 0) << i;
    lights->get_Count(&n);
    EXPECT_EQ(n, 0);
    EXPECT_EQ(held->put_Enabled(VARIANT_TRUE), E_POINTER);
    ExpectLightError(kNoDevice);
    EXPECT_EQ(fake.lightsEnabled[4], 0);
    held->Release();

    // Without a device of its own the collection switches nothing when it lets lights go.
    Add(lights, lt_Point)->Release();
    lights->put_Device(0);
    EXPECT_EQ(lights->Clear(), S_OK);
    EXPECT_EQ(fake.lightsEnabled[0], 128);
    lights->Release();
}

TEST(Lights, WorldFileSectionReadsBack)
{
    FakeDevice fake;
    ILights* lights = NewLights();
    ASSERT_NE(lights, nullptr);
    lights->put_Direct3D(fake.Handle());
    lights->put_Device(fake.Handle());
    ILight* a = Add(lights, lt_Point);
    ILight* b = Add(lights, lt_Spot, 0.25f, 0.75f);
    ASSERT_NE(b, nullptr);
    Place(b, true, 0, -1, 0);
    Paint(b, &ILight::get_Specular, 0.5f, 0.5f, 0.5f, 1);
    b->put_LinearAttenuation(0.125f);
    b->put_Range(10);

    const std::string path = testkit::TempPath("zyk_lights.txt");
    FILE* f = fopen(path.c_str(), "w");
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(lights->Save(device_fixture::Handle(f)), S_OK);
    fclose(f);
    const std::string text = testkit::ReadAll(path);
    // Light1 first (descending names), then its values; the colour blocks follow.
    const char head[] =
        "2\r\n// Light\r\nLight1\r\n2\r\n1\r\n1.000000\r\n2.000000\r\n3.000000\r\n0.000000\r\n-1.000000\r\n0.000000\r\n"
        "0.000000\r\n0.125000\r\n0.000000\r\n0.250000\r\n0.750000\r\n1.000000\r\n10.000000\r\n"
        "// Colour\r\n0.000000\r\n0.000000\r\n0.000000\r\n0.000000\r\n"
        "// Colour\r\n0.250000\r\n0.500000\r\n0.750000\r\n1.000000\r\n";
    EXPECT_EQ(text.rfind(head, 0), 0u) << text;
    EXPECT_NE(text.find("// Light\r\nLight0\r\n1\r\n0\r\n"), std::string::npos);

    // Reading into a second collection replaces what it held and sends each light.
    FakeDevice other;
    ILights* read = NewLights();
    read->put_Direct3D(other.Handle());
    read->put_Device(other.Handle());
    Add(read, lt_Point)->Release();
    f = fopen(path.c_str(), "r");
    EXPECT_EQ(read->Load(device_fixture::Handle(f)), S_OK);
    fclose(f);
    long n = 0;
    read->get_Count(&n);
    EXPECT_EQ(n, 2);
    ILight* back = ItemOf(read, L"Light0"); // the first read takes the key Add gives it
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(NameOf(back), L"Light1");
    EXPECT_EQ(IdOf(back), 1);
    EXPECT_EQ(Value(back, &ILight::get_InnerCone), 0.25f);
    EXPECT_EQ(Value(back, &ILight::get_Range), 10.0f);
    back->Release();
    const D3DLIGHT7& r = other.lights[1];
    EXPECT_EQ(r.dltType, D3DLIGHT_SPOT);
    EXPECT_EQ(r.dvDirection.y, -1.0f);
    EXPECT_EQ(r.dcvSpecular.r, 0.5f);
    EXPECT_EQ(r.dvAttenuation1, 0.125f);

    // A count beyond the blocks, and a collection without a device, read what they can.
    testkit::WriteAll(path, "5\n// Light\nShort\n");
    for (long device : {other.Handle(), 0L}) {
        read->put_Device(device);
        f = fopen(path.c_str(), "r");
        EXPECT_EQ(read->Load(device_fixture::Handle(f)), S_OK);
        fclose(f);
        read->get_Count(&n);
        EXPECT_EQ(n, device ? 1 : 0);
    }
    EXPECT_EQ(read->Load(0), S_OK);
    EXPECT_EQ(read->Save(0), S_OK);
    read->Release();
    a->Release();
    b->Release();
    lights->Release();
}

class LightsOnDevice : public DeviceSuite {
protected:
    void SetUp() override
    {
        DeviceSuite::SetUp();
        lights = NewLights();
        ASSERT_NE(lights, nullptr);
        IDirect3D7* d3d = nullptr;
        ASSERT_EQ(device_->GetDirect3D(&d3d), S_OK);
        lights->put_Direct3D(device_fixture::Handle(d3d));
        d3d->Release(); // the device keeps it alive
        lights->put_Device(DeviceHandle());
    }
    void TearDown() override
    {
        if (lights) lights->Release();
    }
    ILights* lights = nullptr;
};

TEST_F(LightsOnDevice, EachAddSwitchesOnItsOwnIndex)
{
    const wchar_t* names[] = {L"Light0", L"Light1", L"Light2"};
    for (long i = 0; i < 3; ++i) {
        ILight* l = Add(lights, lt_Point);
        ASSERT_NE(l, nullptr);
        EXPECT_EQ(NameOf(l), names[i]);
        EXPECT_EQ(IdOf(l), i);
        BOOL on = FALSE;
        EXPECT_EQ(device_->GetLightEnable(i, &on), S_OK);
        EXPECT_NE(on, FALSE);
        VARIANT_BOOL flag = -1;
        EXPECT_EQ(l->get_Enabled(&flag), S_OK);
        EXPECT_EQ(flag, 1); // 1, not VARIANT_TRUE
        l->Release();
    }
    D3DDEVICEDESC7 desc{};
    ASSERT_EQ(device_->GetCaps(&desc), S_OK);
    long max = -1;
    EXPECT_EQ(lights->get_Max(&max), S_OK);
    EXPECT_EQ(max, static_cast<long>(desc.dwMaxActiveLights));
}

TEST_F(LightsOnDevice, UpdateAndEnabledReachTheDevice)
{
    ILight* l = Add(lights, lt_Directional);
    ASSERT_NE(l, nullptr);
    l->put_ID(5);
    Place(l, true, 0, 0, 1);
    Paint(l, &ILight::get_Diffuse, 1, 0.5f, 0, 1);
    ASSERT_EQ(l->Update(), S_OK);
    D3DLIGHT7 r{};
    ASSERT_EQ(device_->GetLight(5, &r), S_OK);
    EXPECT_EQ(r.dltType, D3DLIGHT_DIRECTIONAL);
    EXPECT_EQ(r.dcvDiffuse.g, 0.5f);
    EXPECT_EQ(r.dvDirection.z, 1.0f);

    EXPECT_EQ(l->put_Enabled(VARIANT_TRUE), S_OK);
    BOOL on = FALSE;
    device_->GetLightEnable(5, &on);
    EXPECT_NE(on, FALSE);
    EXPECT_EQ(l->put_Enabled(VARIANT_FALSE), S_OK);
    device_->GetLightEnable(5, &on);
    EXPECT_EQ(on, FALSE);
    VARIANT_BOOL flag = -1;
    EXPECT_EQ(l->get_Enabled(&flag), S_OK);
    EXPECT_EQ(flag, 0);
    l->Release();
}

TEST_F(LightsOnDevice, RecordsAndEnableStatesReadBackFromTheDevice)
{
    ILight* point = Add(lights, lt_Point);
    ILight* spot = Add(lights, lt_Spot, 0.25f, 0.75f);
    ASSERT_NE(point, nullptr);
    ASSERT_NE(spot, nullptr);
    Place(point, false, 1, 2, 3);
    Paint(point, &ILight::get_Diffuse, 1, 0.5f, 0.25f, 1);
    Paint(point, &ILight::get_Ambient, 0.125f, 0, 0, 0);
    point->put_ConstAttenuation(1);
    point->put_QuadraticAttenuation(0.5f);
    point->put_Range(50);
    ASSERT_EQ(point->Update(), S_OK);
    Place(spot, false, 0, 5, 0);
    Place(spot, true, 0, -1, 0);
    Paint(spot, &ILight::get_Specular, 0, 1, 0, 1);
    ASSERT_EQ(spot->Update(), S_OK);

    D3DLIGHT7 r;
    memset(&r, 0xCC, sizeof r);
    ASSERT_EQ(device_->GetLight(0, &r), S_OK);
    EXPECT_EQ(r.dltType, D3DLIGHT_POINT);
    EXPECT_EQ(r.dvPosition.x, 1.0f);
    EXPECT_EQ(r.dvPosition.z, 3.0f);
    EXPECT_EQ(r.dvDirection.y, 2.0f); // a point light's direction is its position
    EXPECT_EQ(r.dcvDiffuse.g, 0.5f);
    EXPECT_EQ(r.dcvDiffuse.b, 0.25f);
    EXPECT_EQ(r.dcvAmbient.r, 0.125f);
    EXPECT_EQ(r.dcvSpecular.r, 0.0f); // the specular child, black
    EXPECT_EQ(r.dvAttenuation0, 1.0f);
    EXPECT_EQ(r.dvAttenuation1, 0.0f);
    EXPECT_EQ(r.dvAttenuation2, 0.5f);
    EXPECT_EQ(r.dvRange, 50.0f);
    ASSERT_EQ(device_->GetLight(1, &r), S_OK);
    EXPECT_EQ(r.dltType, D3DLIGHT_SPOT);
    EXPECT_EQ(r.dvPosition.y, 5.0f);
    EXPECT_EQ(r.dvDirection.y, -1.0f);
    EXPECT_EQ(r.dcvSpecular.g, 1.0f);
    EXPECT_EQ(r.dvTheta, 0.25f);
    EXPECT_EQ(r.dvPhi, 0.75f);

    // The device answers 128 for a light that is on; Enabled says 1, early and late bound.
    for (DWORD i : {0u, 1u}) {
        BOOL on = FALSE;
        ASSERT_EQ(device_->GetLightEnable(i, &on), S_OK);
        EXPECT_EQ(on, 128);
    }
    VARIANT_BOOL flag = -1;
    EXPECT_EQ(spot->get_Enabled(&flag), S_OK);
    EXPECT_EQ(flag, 1);
    VARIANT v;
    VariantInit(&v);
    ASSERT_EQ(testkit::DispGet(point, L"Enabled", &v), S_OK);
    EXPECT_EQ(V_VT(&v), VT_BOOL);
    EXPECT_EQ(V_BOOL(&v), 1);

    // Remove and Clear switch the lights off on the device; the records stay.
    VARIANT key = testkit::VarBstr(L"Light1");
    EXPECT_EQ(lights->Remove(key), S_OK);
    VariantClear(&key);
    BOOL on = TRUE;
    ASSERT_EQ(device_->GetLightEnable(1, &on), S_OK);
    EXPECT_EQ(on, FALSE);
    EXPECT_EQ(spot->get_Enabled(&flag), E_POINTER); // let go with its removal
    testkit::ClearError();
    ASSERT_EQ(device_->GetLightEnable(0, &on), S_OK);
    EXPECT_NE(on, FALSE);
    EXPECT_EQ(lights->Clear(), S_OK);
    ASSERT_EQ(device_->GetLightEnable(0, &on), S_OK);
    EXPECT_EQ(on, FALSE);
    ASSERT_EQ(device_->GetLight(0, &r), S_OK);
    EXPECT_EQ(r.dvRange, 50.0f);
    point->Release();
    spot->Release();
}

TEST(Lights, OptionalArgumentsHoldTheFloatsBitsInTheTypeLibrary)
{
    ILights* lights = NewLights();
    ASSERT_NE(lights, nullptr);
    ITypeInfo* info = nullptr;
    ASSERT_EQ(lights->GetTypeInfo(0, LOCALE_USER_DEFAULT, &info), S_OK);
    TYPEATTR* attr = nullptr;
    ASSERT_EQ(info->GetTypeAttr(&attr), S_OK);
    const FUNCDESC* add = nullptr;
    for (UINT i = 0; i < attr->cFuncs && !add; ++i) {
        FUNCDESC* f = nullptr;
        ASSERT_EQ(info->GetFuncDesc(i, &f), S_OK);
        if (f->memid == 6 && f->invkind == INVOKE_PROPERTYGET)
            add = f;
        else
            info->ReleaseFuncDesc(f);
    }
    info->ReleaseTypeAttr(attr);
    ASSERT_NE(add, nullptr);
    ASSERT_EQ(add->cParams, 12); // the dispatch view: no retval parameter
    for (int i = 0; i < 8; ++i) EXPECT_FALSE(add->lprgelemdescParam[i].paramdesc.wParamFlags & PARAMFLAG_FOPT) << i;
    // FallOff, InnerCone, OuterCone, Range: 1.0, 0.5, 1.0 and sqrt(FLT_MAX).
    const DWORD expected[] = {0x3F800000, 0x3F000000, 0x3F800000, 0x5F7FFFFF};
    for (int i = 0; i < 4; ++i) {
        const PARAMDESC& p = add->lprgelemdescParam[8 + i].paramdesc;
        EXPECT_EQ(add->lprgelemdescParam[8 + i].tdesc.vt, VT_R4);
        ASSERT_TRUE(p.wParamFlags & PARAMFLAG_FOPT) << i;
        ASSERT_TRUE(p.wParamFlags & PARAMFLAG_FHASDEFAULT) << i;
        ASSERT_NE(p.pparamdescex, nullptr);
        const VARIANT& d = p.pparamdescex->varDefaultValue;
        ASSERT_EQ(V_VT(&d), VT_R4) << i;
        EXPECT_EQ(Bits(V_R4(&d)), expected[i]) << i << ": " << V_R4(&d);
    }
    info->ReleaseFuncDesc(const_cast<FUNCDESC*>(add));
    info->Release();
    lights->Release();
}

TEST_F(LightsOnDevice, LateBoundAddFillsTheOptionalArgumentsFromTheTypeLibrary)
{
    std::vector<VARIANT> args = {testkit::VarI4(lt_Spot)};
    for (float v : {1.0f, 2.0f, 3.0f, 0.1f, 0.2f, 0.3f, 0.4f}) args.push_back(testkit::VarR4(v));
    VARIANT result;
    VariantInit(&result);
    ASSERT_EQ(testkit::DispCall(lights, L"Add", args, &result, nullptr, DISPATCH_METHOD | DISPATCH_PROPERTYGET), S_OK);
    ASSERT_EQ(V_VT(&result), VT_DISPATCH);
    IDispatch* d = V_DISPATCH(&result);
    for (auto [name, expected] : {std::pair{L"FallOff", 0x3F800000u}, std::pair{L"InnerCone", 0x3F000000u},
                                  std::pair{L"OuterCone", 0x3F800000u}, std::pair{L"Range", 0x5F7FFFFFu}}) {
        VARIANT v;
        VariantInit(&v);
        ASSERT_EQ(testkit::DispGet(d, name, &v), S_OK) << testkit::Narrow(name);
        ASSERT_EQ(V_VT(&v), VT_R4);
        EXPECT_EQ(Bits(V_R4(&v)), expected) << testkit::Narrow(name) << " = " << V_R4(&v);
    }
    VARIANT v;
    VariantInit(&v);
    ASSERT_EQ(testkit::DispGet(d, L"Enabled", &v), S_OK);
    EXPECT_EQ(V_VT(&v), VT_BOOL);
    EXPECT_EQ(V_BOOL(&v), 1);
    VariantClear(&result);
}

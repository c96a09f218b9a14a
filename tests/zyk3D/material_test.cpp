// Material as its owner and a client see it: the record that reaches the device, error
// information, late-bound access and the world-file block.
#include "testkit.h"
#include "zyk3D.h"
#include "device_fixture.h"
#include <cstdio>
#include <cstring>
#include <string>

using device_fixture::DeviceSuite;
using device_fixture::FakeDevice;
using testkit::SystemText;
using testkit::TakeError;

namespace {

const HRESULT kRefused = static_cast<HRESULT>(0x88760082); // DDERR_INVALIDOBJECT: no system text

IMaterial* NewMaterial()
{
    IMaterial* p = nullptr;
    EXPECT_EQ(testkit::CreateByProgId(L"zyk3D.Material", IID_IMaterial, reinterpret_cast<void**>(&p)), S_OK);
    return p;
}

void ExpectMaterialError(const std::wstring& description)
{
    auto e = TakeError();
    ASSERT_TRUE(e.present);
    EXPECT_EQ(e.description, description);
    EXPECT_EQ(e.source, L"zyk3D.Material.1");
    EXPECT_TRUE(IsEqualGUID(e.guid, IID_IMaterial));
}

using Getter = HRESULT (STDMETHODCALLTYPE IMaterial::*)(IDispatch**);

void SetChannels(IMaterial* m, Getter which, float r, float g, float b, float a)
{
    IDispatch* d = nullptr;
    ASSERT_EQ((m->*which)(&d), S_OK);
    IColour* c = nullptr;
    ASSERT_EQ(d->QueryInterface(IID_IColour, reinterpret_cast<void**>(&c)), S_OK);
    c->put_Red(r);
    c->put_Green(g);
    c->put_Blue(b);
    c->put_Alpha(a);
    c->Release();
    d->Release();
}

D3DCOLORVALUE Rgba(float r, float g, float b, float a) { return D3DCOLORVALUE{{r}, {g}, {b}, {a}}; }

D3DMATERIAL7 Record(D3DCOLORVALUE ambient, D3DCOLORVALUE diffuse, D3DCOLORVALUE specular, D3DCOLORVALUE emissive,
                    float power)
{
    D3DMATERIAL7 m{};
    m.dcvAmbient = ambient;
    m.dcvDiffuse = diffuse;
    m.dcvSpecular = specular;
    m.dcvEmissive = emissive;
    m.dvPower = power;
    return m;
}

bool Same(const D3DMATERIAL7& a, const D3DMATERIAL7& b) { return memcmp(&a, &b, sizeof a) == 0; }
bool AllZero(const D3DMATERIAL7& m) { return Same(m, D3DMATERIAL7{}); }

class MaterialOnDevice : public DeviceSuite {};

} // namespace

TEST_F(MaterialOnDevice, RecordReachesTheDevice)
{
    // Something else on the device first, so that the new material's zeros are visible.
    D3DMATERIAL7 before{};
    before.dcvDiffuse = Rgba(1, 1, 1, 1);
    before.dvPower = 7;
    ASSERT_EQ(device_->SetMaterial(&before), S_OK);

    IMaterial* m = NewMaterial();
    ASSERT_NE(m, nullptr);

    // Handing down the device sends the new material: 68 zero bytes.
    EXPECT_EQ(m->put_Device(DeviceHandle()), S_OK);
    D3DMATERIAL7 got;
    ASSERT_EQ(device_->GetMaterial(&got), S_OK);
    EXPECT_TRUE(AllZero(got));

    // The Colour child is kept, not sent.
    SetChannels(m, &IMaterial::get_Colour, 0.5f, 0.5f, 0.5f, 0.5f);
    EXPECT_EQ(m->Apply(), S_OK);
    ASSERT_EQ(device_->GetMaterial(&got), S_OK);
    EXPECT_TRUE(AllZero(got));

    // Each child lands in its own field.
    SetChannels(m, &IMaterial::get_Ambient, 0.1f, 0.2f, 0.3f, 0.4f);
    SetChannels(m, &IMaterial::get_Diffuse, 0.5f, 0.6f, 0.7f, 0.8f);
    SetChannels(m, &IMaterial::get_Specular, 0.9f, 1.0f, 0.0f, 0.25f);
    SetChannels(m, &IMaterial::get_Emissive, 2.0f, -1.0f, 0.75f, 0.125f); // no range check
    EXPECT_EQ(m->put_Power(12.5f), S_OK);
    EXPECT_EQ(m->Update(), S_OK);
    ASSERT_EQ(device_->GetMaterial(&got), S_OK);
    EXPECT_TRUE(Same(got, Record(Rgba(0.1f, 0.2f, 0.3f, 0.4f), Rgba(0.5f, 0.6f, 0.7f, 0.8f),
                                 Rgba(0.9f, 1.0f, 0.0f, 0.25f), Rgba(2.0f, -1.0f, 0.75f, 0.125f), 12.5f)));
    long handle = -1;
    EXPECT_EQ(m->get_Handle(&handle), S_OK);
    EXPECT_EQ(handle, 0);
    m->Release();
}

TEST(Material, WithoutADevice)
{
    IMaterial* m = NewMaterial();
    ASSERT_NE(m, nullptr);
    const std::wstring noDevice = SystemText(E_POINTER) + L"Device Not Initialised.";
    EXPECT_EQ(m->Update(), E_POINTER);
    ExpectMaterialError(noDevice);
    EXPECT_EQ(m->Apply(), E_POINTER);
    ExpectMaterialError(noDevice);
    // A device of 0 is stored; the put succeeds, and a success leaves no report.
    EXPECT_EQ(m->put_Device(0), S_OK);
    EXPECT_FALSE(TakeError().present);
    EXPECT_EQ(m->get_Ambient(nullptr), E_POINTER);
    ExpectMaterialError(L"Null Pointer.");
    m->Release();
}

TEST(Material, RefusedSetMaterialIsReported)
{
    FakeDevice fake;
    IMaterial* m = NewMaterial();
    ASSERT_NE(m, nullptr);
    IDispatch* d = nullptr;
    ASSERT_EQ(m->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&d)), S_OK);
    EXPECT_EQ(testkit::DispPut(d, L"Power", testkit::VarR4(3.5f)), S_OK);
    EXPECT_EQ(testkit::DispPut(d, L"Device", testkit::VarI4(fake.Handle())), S_OK);
    EXPECT_EQ(fake.materialsSet, 1);
    EXPECT_EQ(fake.material.dvPower, 3.5f);

    fake.failSetMaterial = E_INVALIDARG;
    EXPECT_EQ(m->Update(), E_INVALIDARG);
    ExpectMaterialError(L"Invalid Parameter."); // a table text: no system text in front
    fake.failSetMaterial = kRefused;
    EXPECT_EQ(m->Apply(), kRefused);
    ExpectMaterialError(L"Unknown Error.");
    EXCEPINFO e{};
    EXPECT_EQ(testkit::DispCall(d, L"Update", {}, nullptr, &e), DISP_E_EXCEPTION);
    EXPECT_EQ(e.scode, kRefused);
    EXPECT_EQ(std::wstring(e.bstrDescription ? e.bstrDescription : L""), L"Unknown Error.");
    testkit::FreeExcepInfo(e);

    // Refused on handing down: the put succeeds and leaves no report.
    EXPECT_EQ(m->put_Device(fake.Handle()), S_OK);
    EXPECT_FALSE(TakeError().present);
    EXPECT_EQ(fake.materialsSet, 1);
    d->Release();
    m->Release();
}

TEST(Material, WorldFileBlock)
{
    IMaterial* m = NewMaterial();
    ASSERT_NE(m, nullptr);
    SetChannels(m, &IMaterial::get_Ambient, 0.5f, 0, 0, 1);
    SetChannels(m, &IMaterial::get_Colour, 0, 0.25f, 0, 1);
    SetChannels(m, &IMaterial::get_Diffuse, 0, 0, 0.125f, 1);
    SetChannels(m, &IMaterial::get_Emissive, 1, 1, 1, 0);
    SetChannels(m, &IMaterial::get_Specular, 0.75f, 0, 0, 0);
    m->put_Power(9);

    const std::string path = testkit::TempPath("zyk_material.txt");
    FILE* f = fopen(path.c_str(), "w");
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(m->Save(device_fixture::Handle(f)), S_OK);
    fclose(f);
    EXPECT_EQ(testkit::ReadAll(path), "// Material\r\n"
                                      "// Colour\r\n0.500000\r\n0.000000\r\n0.000000\r\n1.000000\r\n"
                                      "// Colour\r\n0.000000\r\n0.250000\r\n0.000000\r\n1.000000\r\n"
                                      "// Colour\r\n0.000000\r\n0.000000\r\n0.125000\r\n1.000000\r\n"
                                      "// Colour\r\n1.000000\r\n1.000000\r\n1.000000\r\n0.000000\r\n"
                                      "// Colour\r\n0.750000\r\n0.000000\r\n0.000000\r\n0.000000\r\n");

    // Reading sends nothing to the device, and the power stays the reader's own.
    FakeDevice fake;
    IMaterial* back = NewMaterial();
    back->put_Device(fake.Handle());
    f = fopen(path.c_str(), "r");
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(back->Load(device_fixture::Handle(f)), S_OK);
    fclose(f);
    EXPECT_EQ(fake.materialsSet, 1);
    EXPECT_EQ(back->Update(), S_OK);
    EXPECT_TRUE(Same(fake.material,
                     Record(Rgba(0.5f, 0, 0, 1), Rgba(0, 0, 0.125f, 1), Rgba(0.75f, 0, 0, 0), Rgba(1, 1, 1, 0), 0.0f)));
    back->Release();
    m->Release();
    remove(path.c_str());
}

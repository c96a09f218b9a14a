// TextureCaps, TextureFormats and TextureFormat as a client sees them: the figures the
// device reports, the one text every refused query gives, and the empty format classes.
#include "testkit.h"
#include "zyk3D.h"
#include "device_fixture.h"

using device_fixture::DeviceSuite;
using device_fixture::FakeDevice;
using testkit::SystemText;
using testkit::TakeError;

namespace {

using Getter = HRESULT (STDMETHODCALLTYPE ITextureCaps::*)(long*);
const Getter kGetters[] = {&ITextureCaps::get_MaxWidth,  &ITextureCaps::get_MaxHeight,   &ITextureCaps::get_MinWidth,
                           &ITextureCaps::get_MinHeight, &ITextureCaps::get_MemoryAlloc, &ITextureCaps::get_MemoryUsed};

ITextureCaps* NewCaps()
{
    ITextureCaps* p = nullptr;
    EXPECT_EQ(testkit::CreateByProgId(L"zyk3D.TextureCaps", IID_ITextureCaps, reinterpret_cast<void**>(&p)), S_OK);
    return p;
}

// Every getter fails with E_POINTER, writes 0 and reports the one text.
void ExpectEveryGetterRefused(ITextureCaps* caps)
{
    const std::wstring text = SystemText(E_POINTER) + L"Failed to obtain Device Information.";
    for (Getter g : kGetters) {
        long v = 77;
        EXPECT_EQ((caps->*g)(&v), E_POINTER);
        EXPECT_EQ(v, 0);
        auto e = TakeError();
        ASSERT_TRUE(e.present);
        EXPECT_EQ(e.description, text);
        EXPECT_EQ(e.source, L"zyk3D.TextureCaps.1");
        EXPECT_TRUE(IsEqualGUID(e.guid, IID_ITextureCaps));
    }
}

std::vector<long> Figures(ITextureCaps* caps)
{
    std::vector<long> r;
    for (Getter g : kGetters) {
        long v = -1;
        EXPECT_EQ((caps->*g)(&v), S_OK);
        r.push_back(v);
    }
    return r;
}

} // namespace

TEST(TextureCaps, WithoutADeviceEveryGetterIsRefused)
{
    ITextureCaps* caps = NewCaps();
    ASSERT_NE(caps, nullptr);
    ExpectEveryGetterRefused(caps);
    ISupportErrorInfo* s = nullptr;
    ASSERT_EQ(caps->QueryInterface(IID_ISupportErrorInfo, reinterpret_cast<void**>(&s)), S_OK);
    EXPECT_EQ(s->InterfaceSupportsErrorInfo(IID_ITextureCaps), S_OK);
    EXPECT_EQ(s->InterfaceSupportsErrorInfo(IID_IDispatch), S_FALSE);
    s->Release();
    caps->Release();
}

TEST(TextureCaps, GettersGiveTheLimitsAndTheManagerFigures)
{
    ITextureCaps* caps = NewCaps();
    ASSERT_NE(caps, nullptr);
    FakeDevice fake;
    fake.textureManager.dwTotalBytes = 65536;
    fake.textureManager.dwWorkingSetBytes = 4096;
    caps->put_Device(fake.Handle());
    EXPECT_EQ(Figures(caps), (std::vector<long>{2048, 1024, 1, 2, 65536, 4096}));

    // Late bound: the figure comes back as a VT_I4.
    VARIANT r;
    VariantInit(&r);
    ASSERT_EQ(testkit::DispGet(caps, L"MaxWidth", &r), S_OK);
    EXPECT_EQ(V_VT(&r), VT_I4);
    EXPECT_EQ(V_I4(&r), 2048);

    // Asked afresh every time; a manager that writes nothing (S_FALSE) gives 0.
    fake.maxTextureWidth = 16384;
    fake.textureManager.dwTotalBytes = 123;
    fake.infoResult = S_FALSE;
    EXPECT_EQ(Figures(caps), (std::vector<long>{16384, 1024, 1, 2, 0, 0}));
    caps->Release();
}

TEST(TextureCaps, ARefusingDeviceGivesTheSameFailure)
{
    ITextureCaps* caps = NewCaps();
    ASSERT_NE(caps, nullptr);
    FakeDevice fake;
    caps->put_Device(fake.Handle());
    fake.infoResult = E_FAIL;
    ExpectEveryGetterRefused(caps);
    fake.infoResult = S_OK;
    for (unsigned long code : {0x80070057ul, 0x88760082ul, 0x80004005ul}) {
        fake.failGetCaps = static_cast<HRESULT>(code);
        ExpectEveryGetterRefused(caps);
    }
    caps->Release();
}

class TextureCapsOnDevice : public DeviceSuite {};

TEST_F(TextureCapsOnDevice, LimitsAreTheDevicesOwn)
{
    ITextureCaps* caps = NewCaps();
    ASSERT_NE(caps, nullptr);
    caps->put_Device(DeviceHandle());
    D3DDEVICEDESC7 desc{};
    ASSERT_EQ(device_->GetCaps(&desc), S_OK);
    std::vector<long> figures = Figures(caps);
    EXPECT_EQ(figures[0], static_cast<long>(desc.dwMaxTextureWidth));
    EXPECT_EQ(figures[1], static_cast<long>(desc.dwMaxTextureHeight));
    EXPECT_EQ(figures[2], static_cast<long>(desc.dwMinTextureWidth));
    EXPECT_EQ(figures[3], static_cast<long>(desc.dwMinTextureHeight));
    caps->Release();
}

TEST(TextureFormats, MembersSucceedAndGiveNothing)
{
    IDispatch* formats = nullptr;
    ASSERT_EQ(testkit::CreateByProgId(L"zyk3D.TextureFormats", IID_IDispatch, reinterpret_cast<void**>(&formats)),
              S_OK);
    VARIANT r;
    VariantInit(&r);
    EXPECT_EQ(testkit::DispGet(formats, L"Count", &r), S_OK);
    EXPECT_EQ(V_I4(&r), 0);
    EXPECT_EQ(testkit::DispCall(formats, L"Item", {testkit::VarI4(1)}, &r), S_OK);
    EXPECT_EQ(V_VT(&r), VT_EMPTY);
    EXPECT_EQ(testkit::DispPut(formats, L"Device", testkit::VarI4(0x1234)), S_OK);
    formats->Release();

    IDispatch* format = nullptr;
    ASSERT_EQ(testkit::CreateByProgId(L"zyk3D.TextureFormat", IID_IDispatch, reinterpret_cast<void**>(&format)), S_OK);
    for (const wchar_t* name : {L"Count", L"RGB", L"Alpha", L"Luminance"}) {
        VariantInit(&r);
        EXPECT_EQ(testkit::DispGet(format, name, &r), S_OK) << testkit::Narrow(name);
        VariantClear(&r);
    }
    format->Release();
}

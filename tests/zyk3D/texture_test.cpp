// Texture and Textures as a client sees them: the stage settings, loading image files the
// tests write, the states Apply puts on a real device, and the collection's keys.
#include "testkit.h"
#include "images.h"
#include "zyk3D.h"
#include "device_fixture.h"
#include <string>

using device_fixture::DeviceSuite;
using testkit::SystemText;

namespace {

const wchar_t kTexture[] = L"zyk3D.Texture.1";
const wchar_t kTextures[] = L"zyk3D.Textures.1";

// A file in the temporary folder; returns its full name.
std::wstring Write(const char* name, const testkit::Bytes& bytes)
{
    const std::string path = testkit::TempPath(name);
    testkit::WriteAll(path, std::string(bytes.begin(), bytes.end()));
    return testkit::Widen(path);
}

std::wstring GreenBmp()
{
    return Write("zyk_green.bmp", testkit::Bmp(8, 4, [](int, int) { return 0x00FF00u; }));
}
std::wstring MagentaTga()
{
    return Write("zyk_magenta.tga", testkit::Tga24(4, 8, [](int, int) { return 0xFF00FFu; }));
}

HRESULT Load(ITexture* t, const std::wstring& file)
{
    BSTR b = SysAllocString(file.c_str());
    HRESULT hr = t->LoadBitmap(b);
    SysFreeString(b);
    return hr;
}

class TextureOnDevice : public DeviceSuite {};

} // namespace

TEST(TextureTest, ANewTextureHasTheDefaultStageSettings)
{
    ITexture* t = testkit::Create<ITexture>(L"zyk3D.Texture", IID_ITexture);
    ASSERT_NE(t, nullptr);
    TextureCoordIndexes coords;
    TextureMags mag, min;
    TextureWraps wrap;
    TextureColourOps cop, aop;
    TextureArgs c1, c2, a1, a2;
    TextureBlendTypes src, dst;
    long stage = -1, handle = -1;
    t->get_Coords(&coords);
    t->get_MagFilter(&mag);
    t->get_MinFilter(&min);
    t->get_Wrap(&wrap);
    t->get_ColourOp(&cop);
    t->get_AlphaOp(&aop);
    t->get_ColourArg1(&c1);
    t->get_ColourArg2(&c2);
    t->get_AlphaArg1(&a1);
    t->get_AlphaArg2(&a2);
    t->get_SourceBlending(&src);
    t->get_DestBlending(&dst);
    t->get_Stage(&stage);
    EXPECT_EQ(coords, 0x30000);
    EXPECT_EQ(mag, 1);
    EXPECT_EQ(min, 1);
    EXPECT_EQ(wrap, 1);
    EXPECT_EQ(cop, 4);
    EXPECT_EQ(aop, 4);
    EXPECT_EQ(c1, 2);
    EXPECT_EQ(c2, 0);
    EXPECT_EQ(a1, 2);
    EXPECT_EQ(a2, 0);
    EXPECT_EQ(src, 3);
    EXPECT_EQ(dst, 9);
    EXPECT_EQ(stage, 0);
    EXPECT_EQ(t->get_Handle(&handle), S_OK);
    EXPECT_EQ(handle, 0);

    // Any value is stored; DirectDraw is accepted and changes nothing.
    EXPECT_EQ(t->put_ColourOp(static_cast<TextureColourOps>(99)), S_OK);
    t->get_ColourOp(&cop);
    EXPECT_EQ(cop, 99);
    EXPECT_EQ(t->put_DirectDraw(12345), S_OK);
    VARIANT v;
    VariantInit(&v);
    EXPECT_EQ(testkit::DispGet(t, L"DestBlending", &v), S_OK);
    EXPECT_EQ(V_I4(&v), 9);

    // Without a device the bump settings read 0 and their setters do nothing.
    float bump = -1;
    EXPECT_EQ(t->put_BumpEnvMat00(0.5f), S_OK);
    EXPECT_EQ(t->get_BumpEnvMat00(&bump), S_OK);
    EXPECT_EQ(bump, 0.0f);
    t->Release();
}

TEST(TextureTest, LoadingAndApplyingSayWhatIsMissing)
{
    ITexture* t = testkit::Create<ITexture>(L"zyk3D.Texture", IID_ITexture);
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->Apply(), E_POINTER);
    testkit::ExpectError(kTexture, IID_ITexture, L"No Filename was given.");
    EXPECT_EQ(Load(t, L""), E_FAIL);
    testkit::ExpectError(kTexture, IID_ITexture, SystemText(E_FAIL) + L"Invalid Filename.");
    BSTR none = nullptr;
    EXPECT_EQ(t->LoadBitmap(none), E_FAIL);
    testkit::TakeError();

    // A name but no device: Apply says so; the name is kept although nothing loaded.
    HRESULT hr = Load(t, GreenBmp());
    EXPECT_TRUE(FAILED(hr));
    testkit::TakeError();
    EXPECT_EQ(t->Apply(), E_POINTER);
    testkit::ExpectError(kTexture, IID_ITexture, SystemText(E_POINTER) + L"Device Not Initialised.");
    BSTR name = nullptr;
    EXPECT_EQ(t->get_Name(&name), S_OK);
    EXPECT_NE(name, nullptr);
    SysFreeString(name);
    EXPECT_EQ(t->Free(), S_OK);
    EXPECT_EQ(t->get_Name(&name), S_OK);
    EXPECT_EQ(name, nullptr);
    t->Release();
}

TEST_F(TextureOnDevice, BitmapsAndTargaFilesLoadAndApplyPutsTheStatesInOrder)
{
    ITexture* t = testkit::Create<ITexture>(L"zyk3D.Texture", IID_ITexture);
    ASSERT_NE(t, nullptr);
    t->put_Device(DeviceHandle());
    ASSERT_EQ(Load(t, GreenBmp()), S_OK) << testkit::Narrow(testkit::TakeError().description);
    long w = 0, h = 0, handle = 0;
    EXPECT_EQ(t->get_width(&w), S_OK);
    EXPECT_EQ(t->get_Height(&h), S_OK);
    EXPECT_EQ(w, 8);
    EXPECT_EQ(h, 4);
    EXPECT_EQ(t->get_Handle(&handle), S_OK);
    EXPECT_NE(handle, 0);

    // Apply puts the settings on the texture's stage and binds the surface there.
    t->put_Stage(1);
    t->put_MagFilter(tm_Linear);
    SetState(D3DRENDERSTATE_ALPHABLENDENABLE, FALSE);
    ASSERT_EQ(t->Apply(), S_OK);
    DWORD value = 0;
    device_->GetTextureStageState(1, D3DTSS_MAGFILTER, &value);
    EXPECT_EQ(value, 2u);
    device_->GetTextureStageState(1, D3DTSS_TEXCOORDINDEX, &value);
    EXPECT_EQ(value, 0x30000u);
    device_->GetTextureStageState(1, D3DTSS_COLOROP, &value);
    EXPECT_EQ(value, 4u);
    EXPECT_EQ(State(D3DRENDERSTATE_SRCBLEND), 3u);
    EXPECT_EQ(State(D3DRENDERSTATE_DESTBLEND), 9u);
    EXPECT_EQ(State(D3DRENDERSTATE_ALPHABLENDENABLE), 1u);
    EXPECT_EQ(State(D3DRENDERSTATE_WRAP0), 3u);
    IDirectDrawSurface7* bound = nullptr;
    ASSERT_EQ(device_->GetTexture(1, &bound), S_OK);
    EXPECT_EQ(bound, reinterpret_cast<IDirectDrawSurface7*>(handle));
    if (bound) bound->Release();
    device_->SetTexture(1, nullptr);

    // The bump settings live on the stage.
    EXPECT_EQ(t->put_BumpEnvMat01(0.25f), S_OK);
    float bump = 0;
    t->get_BumpEnvMat01(&bump);
    EXPECT_EQ(bump, 0.25f);

    // Name put loads another file: a Targa.
    BSTR tga = SysAllocString(MagentaTga().c_str());
    EXPECT_EQ(t->put_Name(tga), S_OK);
    SysFreeString(tga);
    t->get_width(&w);
    t->get_Height(&h);
    EXPECT_EQ(w, 4);
    EXPECT_EQ(h, 8);

    // A file that is not an image: the code of the loader and its text.
    HRESULT hr = Load(t, Write("zyk_notimage.bmp", testkit::Bytes{'n', 'o', 't'}));
    EXPECT_TRUE(FAILED(hr));
    auto e = testkit::TakeError();
    EXPECT_TRUE(e.present);
    t->Release();
}

TEST_F(TextureOnDevice, TexturesFileByNameAndKeepOneAddedTexture)
{
    ITextures* textures = testkit::Create<ITextures>(L"zyk3D.Textures", IID_ITextures);
    ASSERT_NE(textures, nullptr);
    textures->put_Device(DeviceHandle());
    const std::wstring file = GreenBmp();
    BSTR b = SysAllocString(file.c_str());
    IDispatch* d = nullptr;
    ASSERT_EQ(textures->get_LoadFile(b, &d), S_OK);
    d->Release();
    IDispatch* second = nullptr;
    ASSERT_EQ(textures->get_LoadFile(b, &second), S_OK);
    long n = 0;
    textures->get_Count(&n);
    EXPECT_EQ(n, 1);
    VARIANT key = testkit::VarBstr(file.c_str()), item;
    VariantInit(&item);
    ASSERT_EQ(textures->Item(key, &item), S_OK);
    EXPECT_EQ(V_DISPATCH(&item), second);
    VariantClear(&item);
    VariantClear(&key);
    second->Release();
    SysFreeString(b);

    for (int i = 0; i < 3; ++i) {
        ASSERT_EQ(textures->get_Add(&d), S_OK);
        d->Release();
    }
    textures->get_Count(&n);
    EXPECT_EQ(n, 2); // the file and "Unnamed"

    BSTR missing = SysAllocString(L"Z:\\no\\such\\texture.bmp");
    HRESULT hr = textures->get_LoadFile(missing, &d);
    EXPECT_TRUE(FAILED(hr));
    EXPECT_EQ(d, nullptr);
    auto e = testkit::TakeError();
    EXPECT_TRUE(testkit::EndsWith(e.description, L"Failed to Load Texture."));
    EXPECT_EQ(e.source, kTextures);
    SysFreeString(missing);
    textures->get_Count(&n);
    EXPECT_EQ(n, 2);

    ASSERT_EQ(textures->get_Caps(&d), S_OK);
    ITextureCaps* caps = nullptr;
    d->QueryInterface(IID_ITextureCaps, reinterpret_cast<void**>(&caps));
    d->Release();
    long max = 0;
    EXPECT_EQ(caps->get_MaxWidth(&max), S_OK);
    EXPECT_GT(max, 0);
    caps->Release();

    EXPECT_EQ(textures->Free(), S_OK);
    textures->get_Count(&n);
    EXPECT_EQ(n, 0);
    testkit::ClearError();
    EXPECT_EQ(textures->get_Caps(&d), E_POINTER);
    EXPECT_FALSE(testkit::TakeError().present);
    textures->Release();
}

TEST_F(TextureOnDevice, LongNamesLoadAndAFailedLoadLeavesNoPicture)
{
    ITexture* t = testkit::Create<ITexture>(L"zyk3D.Texture", IID_ITexture);
    ASSERT_NE(t, nullptr);
    t->put_Device(DeviceHandle());
    // A game installed under a deep folder: a full name of well over 80 characters.
    const std::string longName = "zyk_" + std::string(120, 'd') + ".bmp";
    const std::wstring file = Write(longName.c_str(), testkit::Bmp(8, 4, [](int, int) { return 0x0000FFu; }));
    ASSERT_GT(file.size(), 130u);
    BSTR name = nullptr;

    // After a file that is no image, a missing one or an empty name, the old picture is
    // gone: no handle, no size, and Apply has nothing to apply.
    const std::wstring notImage = Write("zyk_notimage.bmp", testkit::Bytes{'n', 'o', 't'});
    for (const std::wstring& bad : {notImage, std::wstring(L"Z:\\no\\such\\texture.bmp"), std::wstring()}) {
        ASSERT_EQ(Load(t, file), S_OK) << testkit::Narrow(testkit::TakeError().description);
        t->get_Name(&name);
        EXPECT_EQ(std::wstring(name ? name : L""), file);
        SysFreeString(name);
        long handle = 0, w = -1, h = -1;
        t->get_Handle(&handle);
        EXPECT_NE(handle, 0);

        EXPECT_TRUE(FAILED(Load(t, bad)));
        testkit::TakeError();
        EXPECT_EQ(t->get_Handle(&handle), S_OK);
        EXPECT_EQ(handle, 0);
        EXPECT_EQ(t->get_width(&w), E_FAIL);
        testkit::ExpectError(kTexture, IID_ITexture, SystemText(E_FAIL) + L"Failed to Obtain Surface for Texture.");
        EXPECT_EQ(t->get_Height(&h), E_FAIL);
        testkit::TakeError();
        EXPECT_EQ(w, 0);
        EXPECT_EQ(h, 0);
        EXPECT_EQ(t->Apply(), E_POINTER);
        testkit::ExpectError(kTexture, IID_ITexture, L"No Filename was given.");
    }
    t->Release();
}

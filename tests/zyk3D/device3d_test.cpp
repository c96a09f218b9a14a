// Device3D as a client drives it: set-up, the frame, render options, children, errors.
#include "testkit.h"
#include "zyk3D.h"
#include <cmath>

using testkit::SystemText;
using testkit::TakeError;

namespace {

const HRESULT kInvalidIndex = static_cast<HRESULT>(0xC8770BBA);

IDevice3D* NewDevice()
{
    IDevice3D* d = nullptr;
    EXPECT_EQ(testkit::CreateByProgId(L"zyk3D.Device3D", IID_IDevice3D, reinterpret_cast<void**>(&d)), S_OK);
    return d;
}

void ExpectError(HRESULT hr, HRESULT expected, const std::wstring& text)
{
    EXPECT_EQ(hr, expected);
    auto e = TakeError();
    ASSERT_TRUE(e.present);
    EXPECT_EQ(e.description, SystemText(expected) + text);
    EXPECT_EQ(e.source, L"zyk3D.Device3D.1");
    EXPECT_TRUE(IsEqualGUID(e.guid, IID_IDevice3D));
}

// A failure reported by another class: only the code and the text.
void ExpectErrorFrom(HRESULT hr, HRESULT expected, const std::wstring& text)
{
    EXPECT_EQ(hr, expected);
    EXPECT_EQ(TakeError().description, SystemText(expected) + text);
}

// The same for codes the system has no text for.
void ExpectExactError(HRESULT hr, HRESULT expected, const std::wstring& text)
{
    EXPECT_EQ(hr, expected);
    EXPECT_EQ(TakeError().description, text);
}

long CameraCount(IDevice3D* d)
{
    IDispatch* cams = nullptr;
    EXPECT_EQ(d->get_Cameras(&cams), S_OK);
    if (!cams) return -1;
    ICameras* c = nullptr;
    long n = -1;
    if (SUCCEEDED(cams->QueryInterface(IID_ICameras, reinterpret_cast<void**>(&c)))) {
        c->get_Count(&n);
        c->Release();
    }
    cams->Release();
    return n;
}

// Hiding or destroying a window costs Wine seconds on a bare display: the tests of a
// suite share one window.
class Device3DTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { shared = testkit::CreateTestWindow(320, 240); }
    static void TearDownTestSuite()
    {
        DestroyWindow(shared);
        shared = nullptr;
    }
    void SetUp() override
    {
        window = shared;
        device = NewDevice();
        ASSERT_NE(device, nullptr);
        device->put_Window(static_cast<long>(reinterpret_cast<LONG_PTR>(window)));
    }
    void TearDown() override
    {
        if (device) device->Release();
        testkit::PumpMessages();
    }
    void Initialise()
    {
        ASSERT_EQ(device->Initialise(0, 320, 240, VARIANT_FALSE, 0), S_OK) << testkit::Narrow(TakeError().description);
    }
    static HWND shared;
    HWND window = nullptr;
    IDevice3D* device = nullptr;
};
HWND Device3DTest::shared = nullptr;

} // namespace

TEST(Device3DSetup, ConstructionStopsAtTheFirstMissingChild)
{
    // The registered server of SimpleObjects points elsewhere for the moment: its class
    // cannot be made.
    const wchar_t* server = L"CLSID\\{759E4787-1136-49E7-86AE-2DD7B1362251}\\InprocServer32";
    std::wstring registered;
    ASSERT_TRUE(testkit::ReadString(HKEY_CLASSES_ROOT, server, nullptr, registered));
    auto point = [&](const std::wstring& path) {
        return RegSetValueW(HKEY_CLASSES_ROOT, server, REG_SZ, path.c_str(),
                            static_cast<DWORD>(path.size() * sizeof(wchar_t)));
    };
    ASSERT_EQ(point(L"C:\\no\\such\\server.dll"), ERROR_SUCCESS);
    testkit::ClearError();
    IDevice3D* d = NewDevice();
    point(registered);
    ASSERT_NE(d, nullptr);
    auto e = TakeError();
    EXPECT_EQ(e.description, SystemText(E_FAIL) + L"SimpleObjects Not Registered.");
    IDispatch* child = nullptr;
    EXPECT_EQ(d->get_Fog(&child), S_OK);
    child->Release();
    EXPECT_EQ(d->get_Flares(&child), S_OK);
    child->Release();
    EXPECT_EQ(d->get_Ambient(&child), S_OK);
    IColour* ambient = nullptr;
    child->QueryInterface(IID_IColour, reinterpret_cast<void**>(&ambient));
    float red = -1;
    ambient->get_Red(&red);
    EXPECT_EQ(red, 0.0f);
    ambient->Release();
    child->Release();
    EXPECT_EQ(d->get_Lights(&child), S_OK);
    child->Release();
    EXPECT_EQ(d->get_Objects(&child), S_OK);
    child->Release();
    ExpectError(d->get_SimpleObjects(&child), E_POINTER, L"SimpleObjects Not Initialised.");
    ExpectError(d->get_Sprites(&child), E_POINTER, L"Sprites Not Initialised.");
    EXPECT_EQ(d->get_Caps(&child), S_OK);
    EXPECT_EQ(child, nullptr);
    EXPECT_EQ(CameraCount(d), 0);
    d->Release();

    // With the class back, every child is there.
    d = NewDevice();
    EXPECT_EQ(d->get_SimpleObjects(&child), S_OK);
    child->Release();
    EXPECT_EQ(d->get_Caps(&child), S_OK);
    ASSERT_NE(child, nullptr);
    child->Release();
    d->Release();
}

TEST(Device3DSetup, InitialiseWithoutAnyWindowFails)
{
    ASSERT_EQ(GetActiveWindow(), nullptr);
    IDevice3D* d = NewDevice();
    ExpectError(d->Initialise(0, 320, 240, VARIANT_FALSE, 0), E_FAIL, L"Failed to Obtain a Valid Rendering Window.");
    StatusModes s = sm_Ready;
    EXPECT_EQ(d->get_Status(&s), S_OK);
    EXPECT_EQ(s, sm_NotInitialised);
    d->Release();
}

TEST_F(Device3DTest, BeforeInitialise)
{
    EXPECT_EQ(device->Free(), S_OK);
    EXPECT_EQ(device->Free(), S_OK);
    ExpectError(device->Resize(100, 100), E_POINTER, L"Context Not Initialised.");
    ExpectError(device->Update(), E_POINTER, L"Context Device Not Initialised.");
    ExpectError(device->Clear(0, 0, 0, 0), E_FAIL, L"Exception Raised.");
    ExpectError(device->Render(), E_FAIL, L"Exception Raised.");

    VARIANT_BOOL b;
    AntiAliasModes aa;
    ShadeModes sm;
    ExpectError(device->get_AntiAlias(&aa), E_POINTER, L"Device Not Initialised.");
    ExpectError(device->put_Dither(VARIANT_TRUE), E_POINTER, L"Device Not Initialised.");
    ExpectError(device->get_ShadeMode(&sm), E_POINTER, L"Device Not Initialised.");
    ExpectError(device->get_Specular(&b), E_POINTER, L"Device Not Initialised.");
    testkit::ClearError();
    CullModes cull;
    long outline;
    EXPECT_EQ(device->put_Cull(cm_Clockwise), E_POINTER);
    EXPECT_EQ(device->get_Cull(&cull), E_POINTER);
    EXPECT_EQ(device->get_Outline(&outline), E_POINTER);
    EXPECT_FALSE(TakeError().present); // bare codes, no error information
    SurfaceFormats sf;
    EXPECT_EQ(device->get_SurfaceFormat(&sf), E_POINTER);
    IDispatch* g = reinterpret_cast<IDispatch*>(1);
    EXPECT_EQ(device->get_Graphics(&g), E_NOTIMPL);
    long dd = 5;
    EXPECT_EQ(device->get_DirectDraw(&dd), S_OK);
    EXPECT_EQ(dd, 0);
    float rate = -1;
    EXPECT_EQ(device->get_FrameRate(&rate), S_OK);
}

TEST_F(Device3DTest, ClearChecksWindowAndChannels)
{
    Initialise();
    ExpectError(device->Clear(1.0001f, 0, 0, 0), E_INVALIDARG, L"Invalid Red Intensity.");
    ExpectError(device->Clear(0, -0.0001f, 0, 0), E_INVALIDARG, L"Invalid Green Intensity.");
    ExpectError(device->Clear(0, 0, 2, 0), E_INVALIDARG, L"Invalid Blue Intensity.");
    ExpectError(device->Clear(0, 0, 0, std::nanf("")), E_INVALIDARG, L"Invalid Alpha Intensity.");
    ExpectError(device->Clear(-1, 2, 0, 0), E_INVALIDARG, L"Invalid Red Intensity."); // in channel order
    EXPECT_EQ(device->Clear(0, 0, 0, 0), S_OK);
    EXPECT_EQ(device->Clear(1, 1, 1, 1), S_OK);

    device->put_Window(0x7FFF0000); // no such window
    ExpectError(device->Clear(0, 0, 0, 0), E_FAIL, L"GetWindowRect Function Failed.");
}

TEST_F(Device3DTest, FramePixelsReachTheWindow)
{
    Initialise();
    testkit::PumpMessages();
    StatusModes s;
    device->get_Status(&s);
    EXPECT_EQ(s, sm_Ready);
    auto frame = [this] {
        EXPECT_EQ(device->Clear(1.0f, 0.5f, 0.0f, 1.0f), S_OK);
        EXPECT_EQ(device->Render(), S_OK);
        EXPECT_EQ(device->Update(), S_OK);
    };
    frame();
    EXPECT_TRUE(testkit::ScreenShows(window, 0, 0, {255, 127, 0}, frame));
    EXPECT_TRUE(testkit::ScreenShows(window, 160, 120, {255, 127, 0}, frame));
    EXPECT_TRUE(testkit::ScreenShows(window, 319, 239, {255, 127, 0}, frame));

    // Debug text draws onto the back buffer.
    BSTR text = SysAllocString(L"frame");
    EXPECT_EQ(device->Debug(0.1f, 0.1f, White, text), S_OK);
    SysFreeString(text);
    ExpectError(device->Debug(0, 0, White, nullptr), E_POINTER, L"No Text Passed.");
}

TEST_F(Device3DTest, InitialiseFallsBackAndAddsOneDefaultCamera)
{
    device->put_Index(999); // no such D3DX device: the default device is used
    Initialise();
    EXPECT_EQ(CameraCount(device), 1);
    IDispatch* cams = nullptr;
    device->get_Cameras(&cams);
    VARIANT name = testkit::VarBstr(L"Default"), item;
    VariantInit(&item);
    EXPECT_EQ(testkit::DispCall(cams, L"Item", {name}, &item), S_OK);
    EXPECT_EQ(V_VT(&item), VT_DISPATCH);
    VariantClear(&item);
    VariantClear(&name);
    cams->Release();

    // The stored index is the one asked for, and D3DX does not know it.
    HWLevels level;
    ExpectExactError(device->get_Level(&level), kInvalidIndex, L"Invalid Index.");
    device->put_Index(0);
    EXPECT_EQ(device->get_Level(&level), S_OK);
    EXPECT_LE(level, hl_Highest);
    EXPECT_GE(level, hl_TnLHAL);

    // The window rectangle: the client size placed at the window's outer corner.
    RECT outer;
    GetWindowRect(window, &outer);
    long l, t, r, b;
    device->get_Left(&l);
    device->get_Top(&t);
    device->get_Right(&r);
    device->get_Bottom(&b);
    EXPECT_EQ(l, outer.left);
    EXPECT_EQ(t, outer.top);
    EXPECT_EQ(r - l, 320);
    EXPECT_EQ(b - t, 240);
    device->put_Left(10);
    device->get_Left(&l);
    EXPECT_EQ(l, 10);

    // A second Initialise starts afresh and still leaves one "Default".
    Initialise();
    EXPECT_EQ(CameraCount(device), 1);
    EXPECT_EQ(device->Clear(0, 0, 1, 1), S_OK);
    EXPECT_EQ(device->Update(), S_OK);
}

TEST_F(Device3DTest, RenderOptionsPassThroughTheDevice)
{
    Initialise();
    VARIANT_BOOL b = 0;
    EXPECT_EQ(device->put_Dither(5), S_OK);
    EXPECT_EQ(device->get_Dither(&b), S_OK);
    EXPECT_EQ(b, 1);
    EXPECT_EQ(device->put_Specular(VARIANT_TRUE), S_OK);
    EXPECT_EQ(device->get_Specular(&b), S_OK);
    EXPECT_EQ(b, 1);
    EXPECT_EQ(device->put_Specular(0), S_OK);
    device->get_Specular(&b);
    EXPECT_EQ(b, 0);

    ShadeModes sm;
    EXPECT_EQ(device->put_ShadeMode(sm_Flat), S_OK);
    device->get_ShadeMode(&sm);
    EXPECT_EQ(sm, sm_Flat);
    AntiAliasModes aa;
    EXPECT_EQ(device->put_AntiAlias(am_Sort_Independent), S_OK);
    device->get_AntiAlias(&aa);
    EXPECT_EQ(aa, am_Sort_Independent);

    CullModes cull;
    EXPECT_EQ(device->get_Cull(&cull), S_OK);
    EXPECT_EQ(cull, cm_None); // applied by Initialise
    EXPECT_EQ(device->put_Cull(cm_Clockwise), S_OK);
    device->get_Cull(&cull);
    EXPECT_EQ(cull, cm_Clockwise);
    long pattern = 0;
    EXPECT_EQ(device->put_Outline(0x00FF0001), S_OK);
    EXPECT_EQ(device->get_Outline(&pattern), S_OK);
    EXPECT_EQ(pattern, 0x00FF0001);

    SurfaceFormats sf = static_cast<SurfaceFormats>(0);
    EXPECT_EQ(device->get_SurfaceFormat(&sf), S_OK);
    EXPECT_NE(sf, 0);
    long dd = 0;
    device->get_DirectDraw(&dd);
    EXPECT_NE(dd, 0);

    // An ambient channel out of range does not stop the frame, which succeeds and leaves
    // no report.
    IDispatch* a = nullptr;
    device->get_Ambient(&a);
    IColour* ambient = nullptr;
    a->QueryInterface(IID_IColour, reinterpret_cast<void**>(&ambient));
    ambient->put_Green(1.5f);
    EXPECT_EQ(device->Render(), S_OK);
    EXPECT_FALSE(TakeError().present);
    ambient->put_Green(0.5f);
    EXPECT_EQ(device->Render(), S_OK);
    ambient->Release();
    a->Release();
}

TEST_F(Device3DTest, FreeReleasesTheDeviceAndTheSevenChildren)
{
    Initialise();
    IDispatch* fog = nullptr;
    device->get_Fog(&fog); // the client's own references outlive Free
    IDispatch* cams = nullptr;
    device->get_Cameras(&cams);
    VARIANT first = testkit::VarI4(1), item;
    VariantInit(&item);
    ASSERT_EQ(testkit::DispCall(cams, L"Item", {first}, &item), S_OK);
    ICamera* camera = nullptr;
    V_DISPATCH(&item)->QueryInterface(IID_ICamera, reinterpret_cast<void**>(&camera));
    VariantClear(&item);
    cams->Release();
    EXPECT_EQ(camera->Update(), S_OK);
    EXPECT_EQ(device->Free(), S_OK);
    ExpectErrorFrom(camera->Update(), E_POINTER, L"Device Not Initialised.");
    camera->Release();
    StatusModes s;
    device->get_Status(&s);
    EXPECT_EQ(s, sm_NotInitialised);
    IDispatch* child = reinterpret_cast<IDispatch*>(1);
    EXPECT_EQ(device->get_Cameras(&child), S_OK);
    EXPECT_EQ(child, nullptr);
    ExpectError(device->get_Fog(&child), E_POINTER, L"Fog Not Initialised.");
    ExpectError(device->get_Textures(&child), E_POINTER, L"Textures Not Initialised.");
    EXPECT_EQ(device->get_Flares(&child), S_OK);
    child->Release();
    long w = 1;
    device->get_Window(&w);
    EXPECT_EQ(w, 0);
    ExpectError(device->Update(), E_POINTER, L"Context Device Not Initialised.");
    ExpectError(device->Resize(10, 10), E_POINTER, L"Context Not Initialised.");
    VARIANT_BOOL b;
    ExpectError(device->get_Dither(&b), E_POINTER, L"Device Not Initialised.");
    EXPECT_EQ(device->Free(), S_OK);

    // The fog the client kept is still a working object without its device.
    IFog* f = nullptr;
    fog->QueryInterface(IID_IFog, reinterpret_cast<void**>(&f));
    FogModes mode;
    EXPECT_EQ(f->get_Mode(&mode), E_POINTER);
    f->Release();
    fog->Release();
}

// The old context goes before the new one is made: when that fails, no context is held.
TEST_F(Device3DTest, ASecondInitialiseThatFailsLeavesTheDeviceNotInitialised)
{
    HWND gone = testkit::CreateTestWindow(320, 240);
    device->put_Window(static_cast<long>(reinterpret_cast<LONG_PTR>(gone)));
    Initialise();
    DestroyWindow(gone);
    ExpectExactError(device->Initialise(0, 320, 240, VARIANT_FALSE, 0), static_cast<HRESULT>(0xC8770BC4),
                     L"Invalid Parameter.");
    StatusModes s = sm_Ready;
    EXPECT_EQ(device->get_Status(&s), S_OK);
    EXPECT_EQ(s, sm_NotInitialised);
    EXPECT_EQ(device->Free(), S_OK);
}

TEST_F(Device3DTest, ResizeKeepsTheDeviceWorking)
{
    Initialise();
    testkit::PumpMessages();
    EXPECT_EQ(device->Resize(160, 120), S_OK);
    auto frame = [this] {
        EXPECT_EQ(device->Clear(0, 1, 0, 1), S_OK);
        EXPECT_EQ(device->Render(), S_OK);
        EXPECT_EQ(device->Update(), S_OK);
    };
    frame();
    EXPECT_TRUE(testkit::ScreenShows(window, 5, 5, {0, 255, 0}, frame));
}

TEST_F(Device3DTest, AnUninitialisedDeviceDoesNotStopD3DXForOthers)
{
    Initialise();
    IDevice3D* other = NewDevice();
    other->Free();
    other->Release();
    HWLevels level;
    EXPECT_EQ(device->get_Level(&level), S_OK);
    EXPECT_EQ(device->Clear(0, 0, 0, 1), S_OK);
    EXPECT_EQ(device->Update(), S_OK);
}

TEST_F(Device3DTest, LateBoundClientOmitsTheOptionalArguments)
{
    IDispatch* d = nullptr;
    ASSERT_EQ(device->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&d)), S_OK);
    EXCEPINFO e{};
    EXPECT_EQ(
        testkit::DispCall(d, L"Initialise", {testkit::VarI4(0), testkit::VarI4(320), testkit::VarI4(240)}, nullptr, &e),
        S_OK)
        << testkit::Narrow(e.bstrDescription ? e.bstrDescription : L"");
    testkit::FreeExcepInfo(e);
    EXPECT_EQ(testkit::DispCall(d, L"Clear",
                                {testkit::VarR8(2.0), testkit::VarI4(0), testkit::VarI4(0), testkit::VarI4(0)}, nullptr,
                                &e),
              DISP_E_EXCEPTION);
    EXPECT_EQ(e.scode, E_INVALIDARG);
    EXPECT_EQ(std::wstring(e.bstrDescription), SystemText(E_INVALIDARG) + L"Invalid Red Intensity.");
    testkit::FreeExcepInfo(e);
    VARIANT v;
    VariantInit(&v);
    EXPECT_EQ(testkit::DispGet(d, L"Status", &v), S_OK);
    EXPECT_EQ(V_I4(&v), 1);
    d->Release();
}

TEST_F(Device3DTest, WorldFileHoldsCamerasThenFog)
{
    Initialise();
    IDispatch* d = nullptr;
    device->get_Cameras(&d);
    ICameras* cams = nullptr;
    d->QueryInterface(IID_ICameras, reinterpret_cast<void**>(&cams));
    d->Release();
    BSTR top = SysAllocString(L"Top");
    IDispatch* added = nullptr;
    ASSERT_EQ(cams->get_Add(top, &added), S_OK);
    added->Release();
    SysFreeString(top);

    const std::string path = testkit::TempPath("zyk_world.txt");
    BSTR file = SysAllocString(testkit::Widen(path).c_str());
    EXPECT_EQ(device->Save(file), S_OK);
    const std::string text = testkit::ReadAll(path);
    EXPECT_EQ(text.rfind("2\r\n// Camera\r\nTop\r\n", 0), 0u) << text;
    EXPECT_NE(text.find("// Camera\r\nDefault\r\n"), std::string::npos);
    EXPECT_NE(text.find("// Fog\r\n"), std::string::npos);
    // After the fog's colour block: no lights, no textures, no objects.
    const std::string tail = "// Colour\r\n0.000000\r\n0.000000\r\n0.000000\r\n0.000000\r\n0\r\n0\r\n0\r\n";
    EXPECT_EQ(text.substr(text.size() - std::min(text.size(), tail.size())), tail) << text;

    VARIANT first = testkit::VarI4(1);
    EXPECT_EQ(cams->Remove(first), S_OK);
    EXPECT_EQ(device->Load(file), S_OK);
    long n = 0;
    cams->get_Count(&n);
    EXPECT_EQ(n, 2);
    VARIANT name = testkit::VarBstr(L"Top"), item;
    VariantInit(&item);
    EXPECT_EQ(cams->Item(name, &item), S_OK);
    VariantClear(&item);
    VariantClear(&name);
    SysFreeString(file);
    cams->Release();
    DeleteFileA(path.c_str());
}

// A world that cannot be written whole, or a file that cannot be read, fails; a missing
// file leaves the scene as it was. A save with a section that no child can write (a class
// that cannot be made) fails rather than write a file without it.
TEST_F(Device3DTest, WorldFilesThatCannotBeWrittenOrReadFail)
{
    Initialise();
    auto save = [&](IDevice3D* d, const wchar_t* name) {
        BSTR b = name ? SysAllocString(name) : nullptr;
        HRESULT hr = d->Save(b);
        SysFreeString(b);
        return hr;
    };
    auto load = [&](const std::string& path) {
        BSTR b = SysAllocString(testkit::Widen(path).c_str());
        HRESULT hr = device->Load(b);
        SysFreeString(b);
        return hr;
    };
    // No folder, no name.
    for (const wchar_t* bad : {L"Z:\\no\\such\\folder\\world.txt", L"", static_cast<const wchar_t*>(nullptr)}) {
        SCOPED_TRACE(testkit::Narrow(bad ? bad : L"(null)"));
        ExpectError(save(device, bad), E_FAIL, L"Failed to Save the World File.");
    }

    ExpectError(load("Z:\\no\\such\\folder\\world.txt"), E_FAIL, L"Failed to Load the World File.");
    EXPECT_EQ(CameraCount(device), 1);

    // Lights cannot be made for the moment: a device made meanwhile has none.
    const wchar_t* server = L"CLSID\\{B9523C9D-FAC4-4C8D-934D-9ABADF874E14}\\InprocServer32";
    std::wstring registered;
    ASSERT_TRUE(testkit::ReadString(HKEY_CLASSES_ROOT, server, nullptr, registered));
    auto point = [&](const std::wstring& path) {
        return RegSetValueW(HKEY_CLASSES_ROOT, server, REG_SZ, path.c_str(),
                            static_cast<DWORD>(path.size() * sizeof(wchar_t)));
    };
    ASSERT_EQ(point(L"C:\\no\\such\\server.dll"), ERROR_SUCCESS);
    IDevice3D* damaged = NewDevice();
    const std::string path = testkit::TempPath("zyk_no_lights_world.txt");
    DeleteFileA(path.c_str());
    testkit::ClearError();
    const HRESULT hr = damaged ? save(damaged, testkit::Widen(path).c_str()) : E_UNEXPECTED;
    point(registered);
    ExpectError(hr, E_FAIL, L"Failed to Save the World File.");
    EXPECT_EQ(GetFileAttributesA(path.c_str()), INVALID_FILE_ATTRIBUTES);
    if (damaged) damaged->Release();
}

// A file that is not a whole world fails and leaves every camera, light and object and the
// fog as they were (the scene saves as it did); one saved with a UTF-8 byte-order mark in
// front loads as without it.
TEST_F(Device3DTest, ADamagedWorldFileLeavesTheSceneAsItWas)
{
    Initialise();
    IDispatch* d = nullptr;
    device->get_Cameras(&d);
    ICameras* cams = testkit::As<ICameras>(d, IID_ICameras);
    BSTR top = SysAllocString(L"Top");
    ASSERT_EQ(cams->get_Add(top, &d), S_OK);
    d->Release();
    device->get_Lights(&d);
    ILights* lights = testkit::As<ILights>(d, IID_ILights);
    ASSERT_EQ(lights->get_Add(lt_Point, 0, 0, 0, 1, 1, 1, 1, 1, 0, 1, 25, &d), S_OK);
    d->Release();
    lights->Release();
    device->get_Fog(&d);
    IFog* fog = testkit::As<IFog>(d, IID_IFog);
    fog->put_Mode(fm_Linear);
    fog->put_EndPosition(100);
    device->get_Objects(&d);
    IObjects* objects = testkit::As<IObjects>(d, IID_IObjects);
    ASSERT_EQ(objects->get_Add(top, VARIANT_TRUE, &d), S_OK);
    d->Release();
    SysFreeString(top);
    const std::string path = testkit::TempPath("zyk_damaged_world.txt");
    BSTR file = SysAllocString(testkit::Widen(path).c_str());
    auto saved = [&] {
        EXPECT_EQ(device->Save(file), S_OK);
        return testkit::ReadAll(path);
    };
    const std::string text = saved();

    auto replaced = [](std::string t, const std::string& from, const std::string& to) {
        for (size_t at = t.find(from); at != std::string::npos; at = t.find(from, at + to.size()))
            t.replace(at, from.size(), to);
        return t;
    };
    std::string utf16 = "\xFF\xFE";
    for (char c : text) utf16 += std::string{c, '\0'};
    // The fog block (twelve lines) moved to the end.
    const size_t fogAt = text.find("// Fog\r\n");
    size_t fogEnd = fogAt;
    for (int i = 0; i < 12; ++i) fogEnd = text.find("\r\n", fogEnd) + 2;
    const std::string moved = text.substr(0, fogAt) + text.substr(fogEnd) + text.substr(fogAt, fogEnd - fogAt);
    const struct {
        const char* kind;
        std::string bytes;
        const wchar_t* error;
    } damaged[] = {
        {"cut at half", text.substr(0, text.size() / 2), L"World File Ended Early."},
        {"empty", "", L"World File Ended Early."},
        {"CR-only line ends", replaced(text, "\r\n", "\r"), L"Failed to Load the World File."},
        {"UTF-16", utf16, L"Failed to Load the World File."},
        {"sections moved", moved, L"Failed to Load the World File."},
        {"a count of 2^32", replaced(text, "\n1\r\n// Object", "\n4294967296\r\n// Object"),
         L"Failed to Load the World File."},
    };
    // The scene changed since, so that a load that touched it would show.
    VARIANT first = testkit::VarI4(1);
    EXPECT_EQ(cams->Remove(first), S_OK);
    EXPECT_EQ(objects->Clear(), S_OK);
    fog->put_EndPosition(50);
    const std::string before = saved();
    for (const auto& kind : damaged) {
        SCOPED_TRACE(kind.kind);
        testkit::WriteAll(path, kind.bytes);
        ExpectError(device->Load(file), E_FAIL, kind.error);
        EXPECT_EQ(saved(), before);
    }
    testkit::WriteAll(path, "\xEF\xBB\xBF" + text);
    EXPECT_EQ(device->Load(file), S_OK);
    EXPECT_EQ(saved(), text);

    SysFreeString(file);
    fog->Release();
    objects->Release();
    cams->Release();
    DeleteFileA(path.c_str());
}

// A save onto a disk that fills while it writes fails and leaves the old world byte for
// byte, with nothing else beside it (the disk is a small one of the test environment's).
TEST(Device3DWorld, ASaveThatCannotFinishKeepsTheOldFile)
{
    char disk[MAX_PATH] = {};
    if (!GetEnvironmentVariableA("ZYK_FULL_DISK", disk, MAX_PATH)) GTEST_SKIP() << "ZYK_FULL_DISK is not set";
    std::string folder = std::string("Z:") + disk;
    for (char& c : folder)
        if (c == '/') c = '\\';
    const std::string world = folder + "\\zyk3d_world.txt", filler = folder + "\\zyk3d_filler";
    DeleteFileA(world.c_str());
    DeleteFileA(filler.c_str());
    int before = 0;
    WIN32_FIND_DATAA found;
    HANDLE list = FindFirstFileA((folder + "\\*").c_str(), &found);
    for (BOOL more = list != INVALID_HANDLE_VALUE; more; more = FindNextFileA(list, &found))
        before += found.cFileName[0] != '.';
    FindClose(list);
    IDevice3D* d = NewDevice();
    ASSERT_NE(d, nullptr);
    BSTR file = SysAllocString(testkit::Widen(world).c_str());
    ASSERT_EQ(d->Save(file), S_OK);
    const std::string old = testkit::ReadAll(world);
    // A world of some 30 KB, and 12 KB left on the disk.
    IDispatch* o = nullptr;
    d->get_Objects(&o);
    IObjects* objects = testkit::As<IObjects>(o, IID_IObjects);
    for (int i = 0; i < 100; ++i) {
        BSTR name = SysAllocString(std::to_wstring(i).c_str());
        ASSERT_EQ(objects->get_Add(name, VARIANT_TRUE, &o), S_OK);
        o->Release();
        SysFreeString(name);
    }
    ULARGE_INTEGER free{};
    ASSERT_TRUE(GetDiskFreeSpaceExA(folder.c_str(), &free, nullptr, nullptr));
    ASSERT_GT(free.QuadPart, 12u * 1024);
    testkit::WriteAll(filler, std::string(static_cast<size_t>(free.QuadPart - 12 * 1024), 'x'));

    ExpectError(d->Save(file), E_FAIL, L"Failed to Save the World File.");
    EXPECT_EQ(testkit::ReadAll(world), old);
    int files = 0;
    list = FindFirstFileA((folder + "\\*").c_str(), &found);
    for (BOOL more = list != INVALID_HANDLE_VALUE; more; more = FindNextFileA(list, &found))
        files += found.cFileName[0] != '.';
    FindClose(list);
    EXPECT_EQ(files, before + 2) << "a stray file is left beside the world";
    DeleteFileA(filler.c_str());
    DeleteFileA(world.c_str());
    SysFreeString(file);
    objects->Release();
    d->Release();
}

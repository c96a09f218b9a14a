// Object, Objects, Parts and Part as a client sees them: the children, the stored values,
// the keys and names of the collection, and the failures of members used too early.
#include "testkit.h"
#include "zyk3D.h"
#include "device_fixture.h"
#include <psapi.h>
#include <string>

using device_fixture::FakeDevice;
using testkit::As;
using testkit::SystemText;
using testkit::TakeError;

namespace {

void ExpectFailure(HRESULT hr, HRESULT expected, const wchar_t* source, REFIID iid, const std::wstring& text)
{
    EXPECT_EQ(hr, expected);
    testkit::ExpectError(source, iid, SystemText(expected) + text);
}

std::wstring NameOf(IObject* o)
{
    BSTR b = nullptr;
    EXPECT_EQ(o->get_Name(&b), S_OK);
    std::wstring s = b ? b : L"(null)";
    SysFreeString(b);
    return s;
}

IObject* Add(IObjects* objects, const wchar_t* name, VARIANT_BOOL visible = VARIANT_TRUE)
{
    BSTR n = SysAllocString(name);
    IDispatch* d = nullptr;
    EXPECT_EQ(objects->get_Add(n, visible, &d), S_OK);
    SysFreeString(n);
    return As<IObject>(d, IID_IObject);
}

IObject* ItemNamed(IObjects* objects, const wchar_t* name)
{
    VARIANT key = testkit::VarBstr(name), item;
    VariantInit(&item);
    HRESULT hr = objects->Item(key, &item);
    VariantClear(&key);
    if (FAILED(hr)) return nullptr;
    IObject* o = As<IObject>(V_DISPATCH(&item), IID_IObject);
    return o;
}

// The process's committed memory (the platform leaves PrivateUsage at 0).
SIZE_T CommittedBytes()
{
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, counters.cb);
    return counters.PagefileUsage;
}

} // namespace

TEST(ObjectTest, MoveAddsUpWhileScaleAndRotateChangeNothing)
{
    IObject* o = testkit::Create<IObject>(L"zyk3D.Object", IID_IObject);
    ASSERT_NE(o, nullptr);
    EXPECT_EQ(o->Move(1, 2, 3), S_OK);
    EXPECT_EQ(o->Move(1, 2, 3), S_OK);
    EXPECT_EQ(o->Scale(5, 5, 5), S_OK);
    EXPECT_EQ(o->Rotate(90, 0, 0), S_OK);
    float x = 0, y = 0, z = 0, s = 0;
    o->get_X(&x);
    o->get_Y(&y);
    o->get_Z(&z);
    o->get_ScaleFactor(&s);
    EXPECT_EQ(x, 2.0f);
    EXPECT_EQ(y, 4.0f);
    EXPECT_EQ(z, 6.0f);
    EXPECT_EQ(s, 1.0f);

    // Move's arguments are optional: a script may give only X.
    VARIANT r;
    VariantInit(&r);
    EXPECT_EQ(testkit::DispCall(o, L"Move", {testkit::VarR4(1)}, &r), S_OK);
    o->get_X(&x);
    o->get_Y(&y);
    EXPECT_EQ(x, 3.0f);
    EXPECT_EQ(y, 4.0f);
    o->Release();
}

TEST(ObjectTest, VisibleReadsBackAsOneOrZeroAndFillModeIsStored)
{
    IObject* o = testkit::Create<IObject>(L"zyk3D.Object", IID_IObject);
    ASSERT_NE(o, nullptr);
    VARIANT_BOOL v = 7;
    EXPECT_EQ(o->get_Visible(&v), S_OK);
    EXPECT_EQ(v, 1);
    EXPECT_EQ(o->put_Visible(VARIANT_TRUE), S_OK);
    EXPECT_EQ(o->get_Visible(&v), S_OK);
    EXPECT_EQ(v, 1);
    EXPECT_EQ(o->put_Visible(VARIANT_FALSE), S_OK);
    o->get_Visible(&v);
    EXPECT_EQ(v, 0);

    VARIANT r;
    VariantInit(&r);
    EXPECT_EQ(testkit::DispPut(o, L"Visible", testkit::VarI2(-1)), S_OK);
    EXPECT_EQ(testkit::DispGet(o, L"Visible", &r), S_OK);
    EXPECT_EQ(V_VT(&r), VT_BOOL);
    EXPECT_EQ(V_BOOL(&r), 1);

    FillModes m = fm_Solid;
    EXPECT_EQ(o->get_FillMode(&m), S_OK);
    EXPECT_EQ(m, fm_Solid);
    EXPECT_EQ(o->put_FillMode(static_cast<FillModes>(7)), S_OK);
    o->get_FillMode(&m);
    EXPECT_EQ(m, 7);
    o->Release();
}

TEST(ObjectTest, MembersThatNeedTheDeviceOrAChildSaySo)
{
    IObject* o = testkit::Create<IObject>(L"zyk3D.Object", IID_IObject);
    ASSERT_NE(o, nullptr);
    const wchar_t* src = L"zyk3D.Object.1";
    // Invisible or not, an object without a device cannot draw.
    o->put_Visible(VARIANT_FALSE);
    ExpectFailure(o->Render(), E_POINTER, src, IID_IObject, L"Device Not Initialised.");
    BSTR file = SysAllocString(L"model.x");
    ExpectFailure(o->LoadFile(file), E_POINTER, src, IID_IObject, L"Device Not Initialised.");
    IDispatch* d = reinterpret_cast<IDispatch*>(1);
    ExpectFailure(o->get_Texture(&d), E_POINTER, src, IID_IObject, L"Texture Not Initialised.");
    EXPECT_EQ(d, nullptr);

    // A texture must be a texture of the engine.
    IColour* c = testkit::Create<IColour>(L"zyk3D.Colour", IID_IColour);
    EXPECT_EQ(o->put_Texture(c), E_INVALIDARG);
    testkit::ExpectError(src, IID_IObject, L"Invalid Parameter."); // the string table's text
    c->Release();
    EXPECT_EQ(o->put_Texture(nullptr), S_OK);

    // Every child is there until Free.
    for (auto get : {&IObject::get_Colour, &IObject::get_Material, &IObject::get_Position, &IObject::get_Points,
                     &IObject::get_Parts}) {
        IDispatch* child = nullptr;
        EXPECT_EQ((o->*get)(&child), S_OK);
        ASSERT_NE(child, nullptr);
        child->Release();
    }
    BSTR name = nullptr;
    EXPECT_EQ(o->get_Filename(&name), S_OK);
    EXPECT_STREQ(name, L"");
    SysFreeString(name);

    FakeDevice fake;
    o->put_Device(fake.Handle());
    EXPECT_EQ(o->Free(), S_OK);
    ExpectFailure(o->Render(), E_POINTER, src, IID_IObject, L"Device Not Initialised.");
    o->put_Device(fake.Handle());
    ExpectFailure(o->LoadFile(file), E_POINTER, src, IID_IObject, L"Parts Not Initialised.");
    struct {
        HRESULT (STDMETHODCALLTYPE IObject::*get)(IDispatch**);
        const wchar_t* text;
    } const children[] = {
        {&IObject::get_Colour, L"Colour Not Initialised."},     {&IObject::get_Material, L"Material Not Initialised."},
        {&IObject::get_Position, L"Position Not Initialised."}, {&IObject::get_Points, L"Points Not Initialised."},
        {&IObject::get_Parts, L"Parts Not Initialised."},
    };
    for (const auto& child : children) {
        IDispatch* p = reinterpret_cast<IDispatch*>(1);
        ExpectFailure((o->*child.get)(&p), E_POINTER, src, IID_IObject, child.text);
        EXPECT_EQ(p, nullptr);
    }
    SysFreeString(file);
    o->Release();
}

TEST(ObjectsTest, AddFilesUnderTheNameAndTheObjectCarriesIt)
{
    IObjects* objects = testkit::Create<IObjects>(L"zyk3D.Objects", IID_IObjects);
    ASSERT_NE(objects, nullptr);
    IObject* a = Add(objects, L"ship");
    IObject* b = Add(objects, L"Rock", VARIANT_FALSE);
    ASSERT_TRUE(a && b);
    EXPECT_EQ(NameOf(a), L"ship");
    EXPECT_EQ(NameOf(b), L"Rock");
    VARIANT_BOOL v = 0;
    b->get_Visible(&v);
    EXPECT_EQ(v, 0);
    long n = 0;
    objects->get_Count(&n);
    EXPECT_EQ(n, 2);

    // Descending key order: "ship" before "Rock".
    IObject* first = nullptr;
    VARIANT one = testkit::VarI4(1), item;
    VariantInit(&item);
    ASSERT_EQ(objects->Item(one, &item), S_OK);
    first = As<IObject>(V_DISPATCH(&item), IID_IObject);
    EXPECT_EQ(first, a);
    first->Release();

    // The same name again replaces the member.
    IObject* c = Add(objects, L"ship");
    objects->get_Count(&n);
    EXPECT_EQ(n, 2);
    IObject* found = ItemNamed(objects, L"ship");
    EXPECT_EQ(found, c);
    found->Release();

    // Script clients: Add through IDispatch with the Visible argument left out.
    VARIANT r;
    VariantInit(&r);
    EXPECT_EQ(testkit::DispCall(objects, L"Add", {testkit::VarBstr(L"probe")}, &r, nullptr, DISPATCH_PROPERTYGET),
              S_OK);
    ASSERT_EQ(V_VT(&r), VT_DISPATCH);
    IObject* probe = As<IObject>(V_DISPATCH(&r), IID_IObject);
    ASSERT_NE(probe, nullptr);
    probe->get_Visible(&v);
    EXPECT_EQ(v, 1);
    EXPECT_EQ(NameOf(probe), L"probe");
    probe->Release();

    ExpectFailure(objects->Render(), E_POINTER, L"zyk3D.Objects.1", IID_IObjects, L"Device Not Initialised.");
    a->Release();
    b->Release();
    c->Release();
    objects->Release();
}

// Each Add makes its object as the classes are registered at that moment, also when the
// objects before it were made without reading the registration again.
TEST(ObjectsTest, AddFollowsTheRegistrationAsItStandsAtEachCall)
{
    IObjects* objects = testkit::Create<IObjects>(L"zyk3D.Objects", IID_IObjects);
    ASSERT_NE(objects, nullptr);
    IObject* before = Add(objects, L"before");
    const wchar_t* material = L"CLSID\\{811211FB-959C-4CCA-99C7-7371A48C3610}\\InprocServer32";
    std::wstring registered;
    ASSERT_TRUE(testkit::ReadString(HKEY_CLASSES_ROOT, material, nullptr, registered));
    auto point = [&](const std::wstring& path) {
        return RegSetValueW(HKEY_CLASSES_ROOT, material, REG_SZ, path.c_str(),
                            static_cast<DWORD>(path.size() * sizeof(wchar_t)));
    };
    ASSERT_EQ(point(L"C:\\no\\such\\server.dll"), ERROR_SUCCESS);
    IObject* during = Add(objects, L"during");
    point(registered);
    IObject* after = Add(objects, L"after");
    ASSERT_TRUE(before && during && after);
    IDispatch* d = nullptr;
    ExpectFailure(during->get_Material(&d), E_POINTER, L"zyk3D.Object.1", IID_IObject, L"Material Not Initialised.");
    for (IObject* o : {before, after}) {
        ASSERT_EQ(o->get_Material(&d), S_OK);
        d->Release();
    }
    for (IObject* o : {before, during, after}) o->Release();
    objects->Release();
}

// The file API keeps memory of every file it cannot open: a model file that is not there
// is not handed to it.
TEST(ObjectsTest, LoadFileOfAMissingModelCostsNoMemory)
{
    IObjects* objects = testkit::Create<IObjects>(L"zyk3D.Objects", IID_IObjects);
    ASSERT_NE(objects, nullptr);
    FakeDevice fake;
    objects->put_Device(fake.Handle());
    BSTR file = SysAllocString(L"Z:\\no\\such\\model.x");
    BSTR name = SysAllocString(L"missing");
    auto load = [&](int times) {
        for (int i = 0; i < times; ++i) {
            IDispatch* d = nullptr;
            ASSERT_EQ(objects->get_LoadFile(file, name, VARIANT_TRUE, &d), S_OK);
            d->Release();
        }
    };
    load(20);
    const SIZE_T before = CommittedBytes();
    load(200);
    const SIZE_T after = CommittedBytes(), grown = after > before ? after - before : 0;
    EXPECT_LT(grown, 1024u * 1024u) << grown; // the file API's loss: some 24 KB a call
    SysFreeString(name);
    SysFreeString(file);
    objects->Release();
}

TEST(ObjectsTest, ADeviceReachesOnlyTheObjectsMadeAfterIt)
{
    IObjects* objects = testkit::Create<IObjects>(L"zyk3D.Objects", IID_IObjects);
    ASSERT_NE(objects, nullptr);
    IObject* before = Add(objects, L"before");
    FakeDevice fake;
    objects->put_Device(fake.Handle());
    IObject* after = Add(objects, L"after");
    ASSERT_TRUE(before && after);
    // An object without a model draws nothing and succeeds once it has a device.
    EXPECT_EQ(after->Render(), S_OK);
    EXPECT_EQ(before->Render(), E_POINTER);
    TakeError();
    EXPECT_EQ(objects->Render(), S_OK);

    // A device handed later does not reach the objects already made, nor does its removal.
    objects->put_Device(0);
    EXPECT_EQ(after->Render(), S_OK);
    before->Release();
    after->Release();
    objects->Release();
}

TEST(PartsTest, TheCollectionStaysEmptyAndPartsDoNothing)
{
    IParts* parts = testkit::Create<IParts>(L"zyk3D.Parts", IID_IParts);
    ASSERT_NE(parts, nullptr);
    long n = -1;
    EXPECT_EQ(parts->get_Count(&n), S_OK);
    EXPECT_EQ(n, 0);
    VARIANT one = testkit::VarI4(1), item;
    VariantInit(&item);
    EXPECT_EQ(parts->Item(one, &item), E_INVALIDARG);

    // Without a device Render is a plain E_FAIL, with no error information.
    testkit::ClearError();
    EXPECT_EQ(parts->Render(), E_FAIL);
    EXPECT_FALSE(TakeError().present);

    // Only .x names load; anything else drops the model and is no error.
    BSTR other = SysAllocString(L"scene.3DS");
    EXPECT_EQ(parts->Load(other), S_OK);
    EXPECT_EQ(parts->Load(nullptr), S_OK);
    SysFreeString(other);
    parts->get_Count(&n);
    EXPECT_EQ(n, 0);
    parts->Release();

    // The part class is registered under its capitalised ProgID too.
    IPart* part = testkit::Create<IPart>(L"Zyk3D.Part", IID_IPart);
    ASSERT_NE(part, nullptr);
    EXPECT_EQ(part->Render(), S_OK);
    EXPECT_EQ(part->Move(1, 2, 3), S_OK);
    EXPECT_EQ(part->Rotate(1, 2, 3), S_OK);
    EXPECT_EQ(part->Scale(2), S_OK);
    part->Release();
}

// A name is taken up to 259 bytes in the ANSI code page, non-ASCII letters and all; one of
// 260 is refused whole, though a file of that name exists, rather than opened cut short.
TEST(PartsTest, NamesLoadUpToTheirPathLimitAndNoFurther)
{
    IParts* parts = testkit::Create<IParts>(L"zyk3D.Parts", IID_IParts);
    ASSERT_NE(parts, nullptr);
    const std::string folder = testkit::ProcessFolder("zyk_parts");
    for (size_t length : {259u, 260u}) {
        SCOPED_TRACE(length);
        const size_t fill = length - folder.size() - 3;
        const std::string file = folder + "\xe9" + std::string(fill, 'm') + ".x";
        testkit::WriteAll(file, "xof 0302txt 0032\nMesh T {\n 3;\n 0.0;0.0;0.0;,\n 1.0;0.0;0.0;,\n 0.0;1.0;0.0;;\n"
                                " 1;\n 3;0,1,2;;\n}\n");
        ASSERT_NE(GetFileAttributesA(file.c_str()), INVALID_FILE_ATTRIBUTES);
        BSTR name = SysAllocString((testkit::Widen(folder) + L"\u00C9" + std::wstring(fill, L'M') + L".X").c_str());
        testkit::ClearError();
        const HRESULT hr = parts->Load(name);
        SysFreeString(name);
        if (length == 259) {
            EXPECT_EQ(hr, S_OK);
            EXPECT_FALSE(TakeError().present);
        } else {
            ExpectFailure(hr, HRESULT_FROM_WIN32(ERROR_FILENAME_EXCED_RANGE), L"zyk3D.Parts.1", IID_IParts,
                          L"Failed to Load the requested X File.");
        }
    }
    parts->Release();
}

namespace {

IDevice3D* NewDevice() { return testkit::Create<IDevice3D>(L"zyk3D.Device3D", IID_IDevice3D); }

IObjects* ObjectsOf(IDevice3D* device)
{
    IDispatch* d = nullptr;
    EXPECT_EQ(device->get_Objects(&d), S_OK);
    return As<IObjects>(d, IID_IObjects);
}

IColour* DiffuseOf(IObject* o)
{
    IDispatch* d = nullptr;
    EXPECT_EQ(o->get_Material(&d), S_OK);
    IMaterial* m = As<IMaterial>(d, IID_IMaterial);
    if (!m) return nullptr;
    m->get_Diffuse(&d);
    m->Release();
    return As<IColour>(d, IID_IColour);
}

} // namespace

TEST(ObjectWorldFile, ObjectsKeepTheirNamesPositionsAndMaterials)
{
    IDevice3D* saving = NewDevice();
    ASSERT_NE(saving, nullptr);
    IObjects* objects = ObjectsOf(saving);
    ASSERT_NE(objects, nullptr);
    IObject* ship = Add(objects, L"ship");
    IObject* rock = Add(objects, L"rock");
    ship->Move(1, 2, 3);
    rock->Move(-4, 0, 0.5f);
    IColour* diffuse = DiffuseOf(ship);
    ASSERT_NE(diffuse, nullptr);
    diffuse->put_Red(0.5f);
    diffuse->put_Green(0.25f);
    diffuse->put_Blue(1.0f);
    diffuse->Release();

    const std::string path = testkit::TempPath("zyk_objects_world.txt");
    BSTR file = SysAllocString(testkit::Widen(path).c_str());
    EXPECT_EQ(saving->Save(file), S_OK);
    const std::string text = testkit::ReadAll(path);
    // "ship" comes first (descending keys); its block: header, name as a comment, the .x
    // file (none), the name, X, Y, Z, then the material block.
    const std::string block =
        "2\r\n// Object\r\n// ship\r\n\r\nship\r\n1.000000\r\n2.000000\r\n3.000000\r\n// Material\r\n";
    EXPECT_NE(text.find(block), std::string::npos) << text;
    EXPECT_NE(text.find("// Object\r\n// rock\r\n\r\nrock\r\n-4.000000\r\n0.000000\r\n0.500000\r\n"),
              std::string::npos);

    IDevice3D* loading = NewDevice();
    IObjects* loaded = ObjectsOf(loading);
    ASSERT_NE(loaded, nullptr);
    IObject* stale = Add(loaded, L"stale");
    stale->Release();
    EXPECT_EQ(loading->Load(file), S_OK);
    long n = 0;
    loaded->get_Count(&n);
    EXPECT_EQ(n, 2);
    EXPECT_EQ(ItemNamed(loaded, L"stale"), nullptr);
    EXPECT_EQ(ItemNamed(loaded, L"Temp"), nullptr);
    IObject* ship2 = ItemNamed(loaded, L"ship");
    IObject* rock2 = ItemNamed(loaded, L"rock");
    ASSERT_TRUE(ship2 && rock2);
    EXPECT_EQ(NameOf(ship2), L"ship");
    float x = 0, y = 0, z = 0;
    ship2->get_X(&x);
    ship2->get_Y(&y);
    ship2->get_Z(&z);
    EXPECT_EQ(x, 1.0f);
    EXPECT_EQ(y, 2.0f);
    EXPECT_EQ(z, 3.0f);
    rock2->get_X(&x);
    rock2->get_Z(&z);
    EXPECT_EQ(x, -4.0f);
    EXPECT_EQ(z, 0.5f);
    IColour* diffuse2 = DiffuseOf(ship2);
    ASSERT_NE(diffuse2, nullptr);
    float r = 0, g = 0, b = 0;
    diffuse2->get_Red(&r);
    diffuse2->get_Green(&g);
    diffuse2->get_Blue(&b);
    EXPECT_EQ(r, 0.5f);
    EXPECT_EQ(g, 0.25f);
    EXPECT_EQ(b, 1.0f);
    diffuse2->Release();

    SysFreeString(file);
    ship2->Release();
    rock2->Release();
    ship->Release();
    rock->Release();
    loaded->Release();
    objects->Release();
    loading->Release();
    saving->Release();
}

TEST(ObjectWorldFile, SectionsAfterCamerasAndLightsStayInPlaceWhereTheyCannotBeKept)
{
    // The saving device has cameras and a light, which only an initialised device can
    // hold; the loading device is not initialised and must still find the objects.
    HWND window = testkit::CreateTestWindow(64, 64, "world");
    IDevice3D* saving = NewDevice();
    ASSERT_NE(saving, nullptr);
    saving->put_Window(static_cast<long>(reinterpret_cast<LONG_PTR>(window)));
    ASSERT_EQ(saving->Initialise(0, 64, 64, VARIANT_FALSE, 0), S_OK);
    IDispatch* d = nullptr;
    saving->get_Lights(&d);
    ILights* lights = As<ILights>(d, IID_ILights);
    ASSERT_EQ(lights->get_Add(lt_Directional, 0, 0, 0, 1, 1, 1, 1, 1, 0.5f, 1, 10, &d), S_OK);
    d->Release();
    lights->Release();
    IObjects* objects = ObjectsOf(saving);
    const std::wstring longName = L"ship " + std::wstring(300, L'x');
    IObject* ship = Add(objects, longName.c_str());
    ship->Move(1, 2, 3);
    ship->Release();

    const std::string path = testkit::TempPath("zyk_aligned_world.txt");
    BSTR file = SysAllocString(testkit::Widen(path).c_str());
    EXPECT_EQ(saving->Save(file), S_OK);

    IDevice3D* loading = NewDevice();
    EXPECT_EQ(loading->Load(file), S_OK);
    IObjects* loaded = ObjectsOf(loading);
    long n = 0;
    loaded->get_Count(&n);
    EXPECT_EQ(n, 1);
    IObject* back = ItemNamed(loaded, longName.c_str());
    ASSERT_NE(back, nullptr) << "the long name was not read back whole";
    float x = 0, z = 0;
    back->get_X(&x);
    back->get_Z(&z);
    EXPECT_EQ(x, 1.0f);
    EXPECT_EQ(z, 3.0f);
    back->Release();
    loaded->Release();
    loading->Release();
    SysFreeString(file);
    objects->Release();
    saving->Free();
    saving->Release();
    DestroyWindow(window);
}

TEST(ObjectWorldFile, FreedObjectsAndLightsWriteWholeBlocksAndNamesKeepEveryByte)
{
    HWND window = testkit::CreateTestWindow(64, 64, "freed");
    IDevice3D* saving = NewDevice();
    ASSERT_NE(saving, nullptr);
    saving->put_Window(static_cast<long>(reinterpret_cast<LONG_PTR>(window)));
    ASSERT_EQ(saving->Initialise(0, 64, 64, VARIANT_FALSE, 0), S_OK);
    IDispatch* d = nullptr;
    saving->get_Lights(&d);
    ILights* lights = As<ILights>(d, IID_ILights);
    ASSERT_EQ(lights->get_Add(lt_Directional, 0, 0, 0, 1, 1, 1, 1, 1, 0.5f, 1, 10, &d), S_OK);
    ILight* light = As<ILight>(d, IID_ILight);
    IObjects* objects = ObjectsOf(saving);
    IObject* a = Add(objects, L"a");
    IObject* b = Add(objects, L"b"); // written before "a"
    IObject* z = Add(objects, L"x\x1Ay");
    a->Move(1, 2, 3);
    EXPECT_EQ(b->Free(), S_OK);

    // Read back into a device that cannot keep lights: every section after them stays in step.
    auto reload = [&](const char* name) {
        const std::string path = testkit::TempPath(name);
        BSTR file = SysAllocString(testkit::Widen(path).c_str());
        EXPECT_EQ(saving->Save(file), S_OK);
        IDevice3D* loading = NewDevice();
        EXPECT_EQ(loading->Load(file), S_OK);
        SysFreeString(file);
        IObjects* loaded = ObjectsOf(loading);
        long n = 0;
        loaded->get_Count(&n);
        EXPECT_EQ(n, 3);
        IObject* back = ItemNamed(loaded, L"a");
        ASSERT_NE(back, nullptr);
        float x = 0, y = 0, zz = 0;
        back->get_X(&x);
        back->get_Y(&y);
        back->get_Z(&zz);
        EXPECT_EQ(x, 1.0f);
        EXPECT_EQ(y, 2.0f);
        EXPECT_EQ(zz, 3.0f);
        back->Release();
        IObject* ctrlZ = ItemNamed(loaded, L"x\x1Ay");
        EXPECT_NE(ctrlZ, nullptr) << "a name holding character 26 did not come back";
        if (ctrlZ) ctrlZ->Release();
        loaded->Release();
        loading->Release();
    };
    reload("zyk_freed_object.txt");
    EXPECT_EQ(light->Free(), S_OK);
    reload("zyk_freed_light.txt");

    light->Release();
    lights->Release();
    a->Release();
    b->Release();
    z->Release();
    objects->Release();
    saving->Free();
    saving->Release();
    DestroyWindow(window);
}

TEST(ObjectWorldFile, ADamagedCountIsNotTakenPastTheEndOfTheFile)
{
    IDevice3D* saving = NewDevice();
    ASSERT_NE(saving, nullptr);
    IObjects* objects = ObjectsOf(saving);
    IObject* ship = Add(objects, L"ship");
    ship->Release();
    const std::string path = testkit::TempPath("zyk_damaged_world.txt");
    BSTR file = SysAllocString(testkit::Widen(path).c_str());
    EXPECT_EQ(saving->Save(file), S_OK);
    // The lights, textures and objects counts, the textures count damaged.
    std::string text = testkit::ReadAll(path);
    const std::string counts = "\r\n0\r\n0\r\n1\r\n// Object\r\n";
    const size_t at = text.find(counts);
    ASSERT_NE(at, std::string::npos) << text;
    text.replace(at, counts.size(), "\r\n0\r\n2147483647\r\n1\r\n// Object\r\n");
    testkit::WriteAll(path, text);

    IDevice3D* loading = NewDevice();
    EXPECT_EQ(loading->Load(file), S_OK);
    IObjects* loaded = ObjectsOf(loading);
    long n = 0;
    loaded->get_Count(&n);
    EXPECT_EQ(n, 1); // textures write no lines: the objects section stays in place
    IDispatch* d = nullptr;
    loading->get_Textures(&d);
    ITextures* textures = As<ITextures>(d, IID_ITextures);
    ASSERT_NE(textures, nullptr);
    textures->get_Count(&n);
    EXPECT_EQ(n, 1); // every texture of the section is filed as "Unnamed"
    textures->Release();
    loaded->Release();
    loading->Release();
    SysFreeString(file);
    objects->Release();
    saving->Release();
}

TEST(ObjectsTest, MembersThatLeaveTheirCollectionLeaveTheDevice)
{
    // While they have the device, these members succeed on it; once they left they may not
    // call it.
    FakeDevice fake;
    IObjects* objects = testkit::Create<IObjects>(L"zyk3D.Objects", IID_IObjects);
    ASSERT_NE(objects, nullptr);
    objects->put_Device(fake.Handle());
    IObject* removed = Add(objects, L"removed");
    IObject* replaced = Add(objects, L"same");
    IObject* cleared = Add(objects, L"cleared");
    IObject* freed = Add(objects, L"freed");
    IObject* second = Add(objects, L"same");
    EXPECT_EQ(removed->Render(), S_OK);
    VARIANT key = testkit::VarBstr(L"removed");
    EXPECT_EQ(objects->Remove(key), S_OK);
    VariantClear(&key);
    // A child that a client holds leaves the device with its freed object.
    IDispatch* d = nullptr;
    ASSERT_EQ(freed->get_Material(&d), S_OK);
    IMaterial* material = As<IMaterial>(d, IID_IMaterial);
    EXPECT_EQ(material->Apply(), S_OK);
    EXPECT_EQ(freed->Free(), S_OK);
    TakeError();
    EXPECT_EQ(material->Apply(), E_POINTER);
    TakeError();
    EXPECT_EQ(objects->Clear(), S_OK);
    for (IObject* o : {removed, cleared})
        ExpectFailure(o->Render(), E_POINTER, L"zyk3D.Object.1", IID_IObject, L"Device Not Initialised.");
    EXPECT_EQ(replaced->Render(), S_OK); // replaced by an equal key, it was not let go

    // Textures: every Add replaces "Unnamed"; the texture it replaces keeps working.
    ITextures* textures = testkit::Create<ITextures>(L"zyk3D.Textures", IID_ITextures);
    ASSERT_NE(textures, nullptr);
    textures->put_Device(fake.Handle());
    ASSERT_EQ(textures->get_Add(&d), S_OK);
    ITexture* first = As<ITexture>(d, IID_ITexture);
    BSTR missing = SysAllocString(L"Z:\\no\\such\\texture.bmp");
    EXPECT_TRUE(FAILED(first->LoadBitmap(missing))); // keeps the name, has no image
    TakeError();
    SysFreeString(missing);
    EXPECT_EQ(first->Apply(), E_POINTER);
    testkit::ExpectError(L"zyk3D.Texture.1", IID_ITexture, L"No Filename was given.");
    ASSERT_EQ(textures->get_Add(&d), S_OK);
    d->Release();
    EXPECT_EQ(first->Apply(), E_POINTER);
    testkit::ExpectError(L"zyk3D.Texture.1", IID_ITexture, L"No Filename was given.");

    first->Release();
    textures->Release();
    material->Release();
    for (IObject* o : {removed, replaced, cleared, freed, second}) o->Release();
    objects->Release();
}

// Children that their owner let go: removed from their collection, the collection cleared,
// the device freed or released by the client. A child the client still holds answers its
// "... Not Initialised." failure for every member that needs the device, and goes on
// answering the members that need nothing of it. A device initialised again lets none go:
// the scene it holds carries over to the new device.
#include "testkit.h"
#include "zyk3D.h"
#include "device_fixture.h"
#include <string>

using device_fixture::FakeDevice;
using testkit::ExpectError;
using testkit::SystemText;
using testkit::TakeError;

namespace {

const std::wstring kNoDevice = SystemText(E_POINTER) + L"Device Not Initialised.";

struct Text {
    explicit Text(const wchar_t* s) : b(SysAllocString(s)) {}
    ~Text() { SysFreeString(b); }
    BSTR b;
};

template <class T, class Owner>
T* ChildOf(Owner* owner, HRESULT (STDMETHODCALLTYPE Owner::*getter)(IDispatch**), REFIID iid)
{
    IDispatch* d = nullptr;
    EXPECT_EQ((owner->*getter)(&d), S_OK);
    return testkit::As<T>(d, iid);
}

template <class T, class List>
T* Named(List* list, const wchar_t* name, REFIID iid)
{
    VARIANT key = testkit::VarBstr(name), out;
    VariantInit(&out);
    HRESULT hr = list->Item(key, &out);
    VariantClear(&key);
    return hr == S_OK ? testkit::As<T>(V_DISPATCH(&out), iid) : nullptr;
}

template <class List>
HRESULT RemoveNamed(List* list, const wchar_t* name)
{
    VARIANT key = testkit::VarBstr(name);
    HRESULT hr = list->Remove(key);
    VariantClear(&key);
    return hr;
}

ICamera* AddCamera(ICameras* cameras, const wchar_t* name)
{
    Text n(name);
    IDispatch* d = nullptr;
    EXPECT_EQ(cameras->get_Add(n.b, &d), S_OK);
    return testkit::As<ICamera>(d, IID_ICamera);
}

HRESULT AddLight(ILights* lights, IDispatch** out)
{
    return lights->get_Add(lt_Point, 0, 0, 0, 1, 1, 1, 1, 1.0f, 0.0f, 1.0f, 10.0f, out);
}

// Devices on one shared window: showing and destroying windows is slow under Wine.
class LetGo : public ::testing::Test {
protected:
    static void SetUpTestSuite() { window = testkit::CreateTestWindow(160, 120); }
    static void TearDownTestSuite()
    {
        DestroyWindow(window);
        window = nullptr;
    }
    void TearDown() override { testkit::PumpMessages(); }

    static void Initialise(IDevice3D* d)
    {
        d->put_Window(static_cast<long>(reinterpret_cast<LONG_PTR>(window)));
        ASSERT_EQ(d->Initialise(0, 160, 120, VARIANT_FALSE, 0), S_OK) << testkit::Narrow(TakeError().description);
    }
    static IDevice3D* Ready()
    {
        IDevice3D* d = testkit::Create<IDevice3D>(L"zyk3D.Device3D", IID_IDevice3D);
        if (d) Initialise(d);
        return d;
    }
    static inline HWND window = nullptr;
};

} // namespace

TEST_F(LetGo, CamerasAfterRemoveASecondInitialiseAndFree)
{
    IDevice3D* d = Ready();
    ASSERT_NE(d, nullptr);
    ICameras* cameras = ChildOf<ICameras>(d, &IDevice3D::get_Cameras, IID_ICameras);
    ICamera* removed = AddCamera(cameras, L"c");
    ICamera* first = Named<ICamera>(cameras, L"Default", IID_ICamera);
    ASSERT_TRUE(removed && first);
    EXPECT_EQ(removed->Update(), S_OK);
    EXPECT_EQ(RemoveNamed(cameras, L"c"), S_OK);
    EXPECT_EQ(removed->Rotate(0.5f, 0, 0), E_POINTER);
    ExpectError(L"zyk3D.Camera.1", IID_ICamera, kNoDevice);
    EXPECT_EQ(removed->Update(), E_POINTER);
    ExpectError(L"zyk3D.Camera.1", IID_ICamera, kNoDevice);
    float x = -1;
    EXPECT_EQ(removed->get_X(&x), S_OK); // the refused turn was not made
    EXPECT_EQ(x, 0.0f);
    Text name(L"kept");
    EXPECT_EQ(removed->put_Name(name.b), S_OK);

    // A second Initialise carries the filed cameras over to the new device: the "Default"
    // stays the one the client holds, and the removed camera stays let go.
    Initialise(d);
    EXPECT_EQ(first->Update(), S_OK);
    ICamera* second = Named<ICamera>(cameras, L"Default", IID_ICamera);
    EXPECT_EQ(second, first);
    long count = 0;
    EXPECT_EQ(cameras->get_Count(&count), S_OK);
    EXPECT_EQ(count, 1);
    EXPECT_EQ(removed->Update(), E_POINTER);
    ExpectError(L"zyk3D.Camera.1", IID_ICamera, kNoDevice);

    EXPECT_EQ(d->Free(), S_OK);
    EXPECT_EQ(second->Update(), E_POINTER);
    ExpectError(L"zyk3D.Camera.1", IID_ICamera, kNoDevice);
    IDispatch* made = reinterpret_cast<IDispatch*>(1);
    EXPECT_EQ(cameras->get_Add(name.b, &made), E_POINTER);
    ExpectError(L"zyk3D.Cameras.1", IID_ICameras, kNoDevice);
    EXPECT_EQ(made, nullptr);
    for (IUnknown* u : std::initializer_list<IUnknown*>{removed, first, second, cameras, d}) u->Release();
}

TEST_F(LetGo, LightsAndCamerasAfterClearAndAfterTheClientReleasedTheDevice)
{
    IDevice3D* d = Ready();
    ASSERT_NE(d, nullptr);
    ILights* lights = ChildOf<ILights>(d, &IDevice3D::get_Lights, IID_ILights);
    ICameras* cameras = ChildOf<ICameras>(d, &IDevice3D::get_Cameras, IID_ICameras);
    IDispatch* made = nullptr;
    ASSERT_EQ(AddLight(lights, &made), S_OK);
    ILight* cleared = testkit::As<ILight>(made, IID_ILight);
    EXPECT_EQ(cleared->Update(), S_OK);
    EXPECT_EQ(lights->Clear(), S_OK);
    EXPECT_EQ(cleared->Update(), E_POINTER);
    ExpectError(L"zyk3D.Light.1", IID_ILight, kNoDevice);
    EXPECT_EQ(cleared->put_Enabled(VARIANT_TRUE), E_POINTER);
    ExpectError(L"zyk3D.Light.1", IID_ILight, kNoDevice);
    float range = 0;
    EXPECT_EQ(cleared->get_Range(&range), S_OK);
    EXPECT_EQ(range, 10.0f);

    ASSERT_EQ(AddLight(lights, &made), S_OK);
    ILight* held = testkit::As<ILight>(made, IID_ILight);
    d->Release();
    VARIANT_BOOL on = -1;
    EXPECT_EQ(held->get_Enabled(&on), E_POINTER);
    ExpectError(L"zyk3D.Light.1", IID_ILight, kNoDevice);
    long max = 0;
    EXPECT_EQ(lights->get_Max(&max), E_POINTER);
    ExpectError(L"zyk3D.Lights.1", IID_ILights, kNoDevice);
    EXPECT_EQ(AddLight(lights, &made), E_POINTER);
    ExpectError(L"zyk3D.Lights.1", IID_ILights, kNoDevice);
    Text name(L"late");
    EXPECT_EQ(cameras->get_Add(name.b, &made), E_POINTER);
    ExpectError(L"zyk3D.Cameras.1", IID_ICameras, kNoDevice);
    held->Release();
    cleared->Release();
    cameras->Release();
    lights->Release();
}

TEST(LetGoObjects, AnObjectAndTheChildrenItHandsTheDevice)
{
    // A new object's material finds no device and leaves no report for the client.
    testkit::ClearError();
    IObject* fresh = testkit::Create<IObject>(L"zyk3D.Object", IID_IObject);
    ASSERT_NE(fresh, nullptr);
    EXPECT_FALSE(TakeError().present);
    fresh->Release();

    FakeDevice fake;
    IObjects* objects = testkit::Create<IObjects>(L"zyk3D.Objects", IID_IObjects);
    ASSERT_NE(objects, nullptr);
    objects->put_Device(fake.Handle());
    objects->put_Direct3D(fake.Handle());
    Text name(L"o");
    IDispatch* made = nullptr;
    ASSERT_EQ(objects->get_Add(name.b, VARIANT_TRUE, &made), S_OK);
    IObject* o = testkit::As<IObject>(made, IID_IObject);
    IMaterial* material = ChildOf<IMaterial>(o, &IObject::get_Material, IID_IMaterial);
    IPoints* points = ChildOf<IPoints>(o, &IObject::get_Points, IID_IPoints);
    IParts* parts = ChildOf<IParts>(o, &IObject::get_Parts, IID_IParts);
    EXPECT_EQ(material->Apply(), S_OK);
    EXPECT_EQ(points->Render(0), S_OK);
    EXPECT_EQ(parts->Render(), S_OK);

    EXPECT_EQ(RemoveNamed(objects, L"o"), S_OK);
    EXPECT_EQ(o->Render(), E_POINTER);
    ExpectError(L"zyk3D.Object.1", IID_IObject, kNoDevice);
    EXPECT_EQ(material->Apply(), E_POINTER);
    ExpectError(L"zyk3D.Material.1", IID_IMaterial, kNoDevice);
    EXPECT_EQ(points->Render(0), E_POINTER);
    ExpectError(L"zyk3D.Points.1", IID_IPoints, kNoDevice);
    EXPECT_EQ(parts->Render(), E_FAIL); // the parts' own answer without a device
    EXPECT_EQ(o->Move(1, 2, 3), S_OK);
    IDispatch* point = nullptr;
    EXPECT_EQ(points->get_Add(1, 2, 3, &point), S_OK); // needs nothing of the device
    point->Release();
    for (IUnknown* u : std::initializer_list<IUnknown*>{parts, points, material, o, objects}) u->Release();
}

TEST_F(LetGo, AnObjectReadFromAWorldFileTakesItsChildrenWhenItGoes)
{
    IDevice3D* d = Ready();
    ASSERT_NE(d, nullptr);
    IObjects* objects = ChildOf<IObjects>(d, &IDevice3D::get_Objects, IID_IObjects);
    Text name(L"ship");
    IDispatch* made = nullptr;
    ASSERT_EQ(objects->get_Add(name.b, VARIANT_TRUE, &made), S_OK);
    made->Release();
    Text file(testkit::Widen(testkit::TempPath("letgo_world.txt")).c_str());
    EXPECT_EQ(d->Save(file.b), S_OK);
    EXPECT_EQ(d->Load(file.b), S_OK);
    IObject* ship = Named<IObject>(objects, L"ship", IID_IObject);
    ASSERT_NE(ship, nullptr);
    IMaterial* material = ChildOf<IMaterial>(ship, &IObject::get_Material, IID_IMaterial);
    EXPECT_EQ(material->Apply(), S_OK);
    EXPECT_EQ(RemoveNamed(objects, L"ship"), S_OK);
    EXPECT_EQ(material->Apply(), E_POINTER);
    ExpectError(L"zyk3D.Material.1", IID_IMaterial, kNoDevice);
    for (IUnknown* u : std::initializer_list<IUnknown*>{material, ship, objects, d}) u->Release();
}

TEST_F(LetGo, TexturesAndTheirCapsAfterClearAndFree)
{
    IDevice3D* d = Ready();
    ASSERT_NE(d, nullptr);
    ITextures* textures = ChildOf<ITextures>(d, &IDevice3D::get_Textures, IID_ITextures);
    IDispatch* made = nullptr;
    ASSERT_EQ(textures->get_Add(&made), S_OK);
    ITexture* cleared = testkit::As<ITexture>(made, IID_ITexture);
    EXPECT_EQ(cleared->Apply(), E_POINTER);
    ExpectError(L"zyk3D.Texture.1", IID_ITexture, L"No Filename was given.");
    EXPECT_EQ(textures->Clear(), S_OK);
    EXPECT_EQ(cleared->Apply(), E_POINTER);
    ExpectError(L"zyk3D.Texture.1", IID_ITexture, kNoDevice);
    Text image(L"letgo.bmp");
    EXPECT_EQ(cleared->put_Name(image.b), E_POINTER);
    ExpectError(L"zyk3D.Texture.1", IID_ITexture, kNoDevice);
    BSTR kept = reinterpret_cast<BSTR>(1);
    EXPECT_EQ(cleared->get_Name(&kept), S_OK);
    EXPECT_EQ(kept, nullptr);

    ASSERT_EQ(textures->get_Add(&made), S_OK);
    ITexture* freed = testkit::As<ITexture>(made, IID_ITexture);
    ITextureCaps* caps = ChildOf<ITextureCaps>(textures, &ITextures::get_Caps, IID_ITextureCaps);
    long width = 0;
    EXPECT_EQ(caps->get_MaxWidth(&width), S_OK);
    EXPECT_EQ(textures->Free(), S_OK);
    EXPECT_EQ(freed->Apply(), E_POINTER);
    ExpectError(L"zyk3D.Texture.1", IID_ITexture, kNoDevice);
    EXPECT_EQ(caps->get_MaxWidth(&width), E_POINTER);
    ExpectError(L"zyk3D.TextureCaps.1", IID_ITextureCaps,
                SystemText(E_POINTER) + L"Failed to obtain Device Information.");
    EXPECT_EQ(width, 0);
    for (IUnknown* u : std::initializer_list<IUnknown*>{caps, freed, cleared, textures, d}) u->Release();
}

TEST_F(LetGo, ShapesSpritesAndTheFogAcrossFreeAndInitialise)
{
    IDevice3D* d = Ready();
    ASSERT_NE(d, nullptr);
    ISimpleObjects* shapes = ChildOf<ISimpleObjects>(d, &IDevice3D::get_SimpleObjects, IID_ISimpleObjects);
    ISprites* sprites = ChildOf<ISprites>(d, &IDevice3D::get_Sprites, IID_ISprites);
    IFog* fog = ChildOf<IFog>(d, &IDevice3D::get_Fog, IID_IFog);
    Text name(L"b");
    IDispatch* made = nullptr;
    ASSERT_EQ(shapes->get_AddBox(name.b, 1, 1, 1, &made), S_OK);
    ISimpleObject* box = testkit::As<ISimpleObject>(made, IID_ISimpleObject);
    ASSERT_EQ(sprites->get_Add(name.b, 1.0f, 0, 1, &made), S_OK);
    ISprite* sprite = testkit::As<ISprite>(made, IID_ISprite);
    EXPECT_EQ(fog->put_Mode(fm_Exp), S_OK);

    EXPECT_EQ(d->Free(), S_OK);
    EXPECT_EQ(box->Render(), E_POINTER);
    ExpectError(L"zyk3D.SimpleObject.1", IID_ISimpleObject, SystemText(E_POINTER) + L"SimpleObject Not Initialised.");
    EXPECT_EQ(box->put_Type(sot_Box), E_POINTER);
    ExpectError(L"zyk3D.SimpleObject.1", IID_ISimpleObject, kNoDevice);
    EXPECT_EQ(sprite->Render(), E_POINTER);
    ExpectError(L"zyk3D.Sprite.1", IID_ISprite, kNoDevice);
    EXPECT_EQ(fog->put_Mode(fm_Exp), E_POINTER);
    ExpectError(L"zyk3D.Fog.1", IID_IFog, L"Fog unavailable.");
    VARIANT_BOOL ranged = 0;
    EXPECT_EQ(fog->get_RangeBased(&ranged), E_POINTER);
    ExpectError(L"zyk3D.Fog.1", IID_IFog, kNoDevice);

    // The shapes and sprites stay with the device; those of the freed device stay let go,
    // new ones are made on the new device.
    Initialise(d);
    EXPECT_EQ(box->put_Type(sot_Box), E_POINTER);
    TakeError();
    ASSERT_EQ(shapes->get_AddBox(name.b, 2, 2, 2, &made), S_OK);
    ISimpleObject* again = testkit::As<ISimpleObject>(made, IID_ISimpleObject);
    EXPECT_EQ(again->put_Type(sot_Sphere), S_OK);
    for (IUnknown* u : std::initializer_list<IUnknown*>{again, fog, sprite, box, sprites, shapes, d}) u->Release();
}

TEST_F(LetGo, ADeviceTakenFromTheAdapterListWorksWithoutTheList)
{
    IDevices* list = testkit::Create<IDevices>(L"zyk3D.Devices", IID_IDevices);
    ASSERT_NE(list, nullptr);
    VARIANT first = testkit::VarI4(1), item;
    VariantInit(&item);
    ASSERT_EQ(list->Item(first, &item), S_OK);
    IDevice3D* d = testkit::As<IDevice3D>(V_DISPATCH(&item), IID_IDevice3D);
    list->Release();
    ASSERT_NE(d, nullptr);
    Initialise(d);
    ICameras* cameras = ChildOf<ICameras>(d, &IDevice3D::get_Cameras, IID_ICameras);
    ICamera* camera = Named<ICamera>(cameras, L"Default", IID_ICamera);
    ASSERT_NE(camera, nullptr);
    EXPECT_EQ(camera->Update(), S_OK);
    EXPECT_EQ(d->Update(), S_OK);
    for (IUnknown* u : std::initializer_list<IUnknown*>{camera, cameras, d}) u->Release();
}

TEST_F(LetGo, ASecondInitialiseCarriesTheSceneOverToTheNewDevice)
{
    IDevice3D* d = Ready();
    ASSERT_NE(d, nullptr);
    ILights* lights = ChildOf<ILights>(d, &IDevice3D::get_Lights, IID_ILights);
    IObjects* objects = ChildOf<IObjects>(d, &IDevice3D::get_Objects, IID_IObjects);
    IFog* fog = ChildOf<IFog>(d, &IDevice3D::get_Fog, IID_IFog);
    ISimpleObjects* shapes = ChildOf<ISimpleObjects>(d, &IDevice3D::get_SimpleObjects, IID_ISimpleObjects);
    IDispatch* made = nullptr;
    ASSERT_EQ(AddLight(lights, &made), S_OK);
    ILight* light = testkit::As<ILight>(made, IID_ILight);
    EXPECT_EQ(light->put_Enabled(VARIANT_FALSE), S_OK);
    EXPECT_EQ(fog->put_Mode(fm_Exp), S_OK);
    Text name(L"a");
    ASSERT_EQ(objects->get_Add(name.b, VARIANT_TRUE, &made), S_OK);
    IObject* object = testkit::As<IObject>(made, IID_IObject);
    ASSERT_EQ(shapes->get_AddBox(name.b, 1, 1, 1, &made), S_OK);
    ISimpleObject* box = testkit::As<ISimpleObject>(made, IID_ISimpleObject);
    // A reference of the test's own on the device's DirectDraw object: the last one left
    // once the device let go of it.
    auto directDraw = [&] {
        long handle = 0;
        EXPECT_EQ(d->get_DirectDraw(&handle), S_OK);
        IDirectDraw7* dd = reinterpret_cast<IDirectDraw7*>(static_cast<LONG_PTR>(handle));
        if (dd) dd->AddRef();
        return dd;
    };

    // Another size: the members work on the new device, with the states they set on the
    // old, and nothing holds the old DirectDraw object any more; Free then releases the new.
    IDirectDraw7* old = directDraw();
    ASSERT_EQ(d->Initialise(0, 120, 90, VARIANT_FALSE, 0), S_OK);
    EXPECT_EQ(old->Release(), 0u);
    EXPECT_EQ(light->Update(), S_OK);
    VARIANT_BOOL on = -1;
    EXPECT_EQ(light->get_Enabled(&on), S_OK);
    EXPECT_EQ(on, 0);
    FogModes mode = fm_None;
    EXPECT_EQ(fog->get_Mode(&mode), S_OK);
    EXPECT_EQ(mode, fm_Exp);
    EXPECT_EQ(object->Render(), S_OK);
    EXPECT_EQ(box->Render(), S_OK); // made again on the new device
    IDirectDraw7* now = directDraw();
    EXPECT_EQ(d->Free(), S_OK);
    EXPECT_EQ(now->Release(), 0u);
    for (IUnknown* u : std::initializer_list<IUnknown*>{box, fog, object, light, shapes, objects, lights, d})
        u->Release();
}

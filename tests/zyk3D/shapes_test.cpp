// SimpleObject(s) and Sprite(s) as a client sees them: shapes made on a real device, the
// sizes that take effect with Type, the refusals, and the sprite settings and their checks.
#include "testkit.h"
#include "zyk3D.h"
#include "device_fixture.h"
#include <cmath>
#include <limits>
#include <string>

using device_fixture::DeviceSuite;
using device_fixture::FakeDevice;
using testkit::As;
using testkit::SystemText;

namespace {

struct Name {
    explicit Name(const wchar_t* s) : b(SysAllocString(s)) {}
    ~Name() { SysFreeString(b); }
    BSTR b;
};

class ShapesOnDevice : public DeviceSuite {
protected:
    void SetUp() override
    {
        DeviceSuite::SetUp();
        shapes = testkit::Create<ISimpleObjects>(L"zyk3D.SimpleObjects", IID_ISimpleObjects);
        ASSERT_NE(shapes, nullptr);
        shapes->put_Device(DeviceHandle());
    }
    void TearDown() override
    {
        if (shapes) shapes->Release();
    }
    ISimpleObject* Box(const wchar_t* name, float w, float h, float d)
    {
        IDispatch* out = nullptr;
        EXPECT_EQ(shapes->get_AddBox(Name(name).b, w, h, d, &out), S_OK);
        return As<ISimpleObject>(out, IID_ISimpleObject);
    }
    ISimpleObjects* shapes = nullptr;
};

} // namespace

TEST(SimpleObjectsTest, NoDeviceNoDrawing)
{
    ISimpleObjects* shapes = testkit::Create<ISimpleObjects>(L"zyk3D.SimpleObjects", IID_ISimpleObjects);
    ASSERT_NE(shapes, nullptr);
    EXPECT_EQ(shapes->Render(), E_POINTER);
    testkit::ExpectError(L"zyk3D.SimpleObjects.1", IID_ISimpleObjects,
                         SystemText(E_POINTER) + L"Device Not Initialised.");

    // A shape whose device never came makes nothing and says why.
    IDispatch* d = nullptr;
    EXPECT_EQ(shapes->get_AddTeapot(Name(L"pot").b, &d), S_OK);
    ISimpleObject* pot = As<ISimpleObject>(d, IID_ISimpleObject);
    ASSERT_NE(pot, nullptr);
    EXPECT_EQ(pot->Render(), E_POINTER);
    testkit::ExpectError(L"zyk3D.SimpleObject.1", IID_ISimpleObject,
                         SystemText(E_POINTER) + L"SimpleObject Not Initialised.");
    EXPECT_EQ(pot->get_Texture(&d), E_POINTER);
    testkit::ExpectError(L"zyk3D.SimpleObject.1", IID_ISimpleObject,
                         SystemText(E_POINTER) + L"Texture Has Not Been Assigned.");
    IColour* c = testkit::Create<IColour>(L"zyk3D.Colour", IID_IColour);
    EXPECT_EQ(pot->put_Texture(c), E_INVALIDARG);
    testkit::TakeError();
    c->Release();
    pot->Release();
    shapes->Release();
}

TEST_F(ShapesOnDevice, SizesTakeEffectWithTypeAndEveryShapeIsMade)
{
    ISimpleObject* box = Box(L"box", 1, 2, 3);
    ASSERT_NE(box, nullptr);
    SimpleObjectTypes type = sot_None;
    box->get_Type(&type);
    EXPECT_EQ(type, sot_Box);
    float w = 0, h = 0, dp = 0;
    box->get_width(&w);
    box->get_Height(&h);
    box->get_Depth(&dp);
    EXPECT_EQ(w, 1.0f);
    EXPECT_EQ(h, 2.0f);
    EXPECT_EQ(dp, 3.0f);
    EXPECT_EQ(box->put_width(5), S_OK);
    box->get_Type(&type);
    EXPECT_EQ(type, sot_Box);
    EXPECT_EQ(box->Render(), S_OK);

    IDispatch* d = nullptr;
    EXPECT_EQ(shapes->get_AddSphere(Name(L"ball").b, 1.0f, &d), S_OK);
    d->Release();
    EXPECT_EQ(shapes->get_AddTeapot(Name(L"pot").b, &d), S_OK);
    d->Release();
    EXPECT_EQ(shapes->get_AddTorus(Name(L"ring").b, 12, 0.25f, 1.0f, &d), S_OK);
    d->Release();
    EXPECT_EQ(shapes->get_AddPolygon(Name(L"hex").b, 1.0f, 6, &d), S_OK);
    d->Release();

    // The cylinder's radii are optional: a script leaves them out.
    VARIANT r;
    VariantInit(&r);
    ASSERT_EQ(testkit::DispCall(shapes, L"AddCylinder", {testkit::VarBstr(L"can"), testkit::VarR4(2)}, &r, nullptr,
                                DISPATCH_PROPERTYGET),
              S_OK);
    ISimpleObject* can = As<ISimpleObject>(V_DISPATCH(&r), IID_ISimpleObject);
    ASSERT_NE(can, nullptr);
    float inner = 0, outer = 0;
    can->get_InnerRadius(&inner);
    can->get_OuterRadius(&outer);
    EXPECT_EQ(inner, 1.0f);
    EXPECT_EQ(outer, 1.0f);
    EXPECT_EQ(can->Render(), S_OK);
    can->Release();

    long n = 0;
    shapes->get_Count(&n);
    EXPECT_EQ(n, 6);
    ISimpleObject* again = Box(L"box", 1, 1, 1);
    shapes->get_Count(&n);
    EXPECT_EQ(n, 6);
    again->Release();

    ASSERT_EQ(device_->BeginScene(), S_OK);
    EXPECT_EQ(shapes->Render(), S_OK);
    device_->EndScene();

    EXPECT_EQ(box->Free(), S_OK);
    box->get_Type(&type);
    box->get_width(&w);
    EXPECT_EQ(type, sot_None);
    EXPECT_EQ(w, 0.0f);
    EXPECT_EQ(box->Render(), E_POINTER);
    testkit::TakeError();
    box->Release();
}

TEST_F(ShapesOnDevice, APolygonOfTwoSidesIsAddedWithoutAShape)
{
    IDispatch* d = nullptr;
    testkit::ClearError();
    EXPECT_EQ(shapes->get_AddPolygon(Name(L"line").b, 1.0f, 2, &d), S_OK);
    ISimpleObject* line = As<ISimpleObject>(d, IID_ISimpleObject);
    ASSERT_NE(line, nullptr);
    EXPECT_EQ(line->Render(), E_POINTER);
    testkit::ExpectError(L"zyk3D.SimpleObject.1", IID_ISimpleObject,
                         SystemText(E_POINTER) + L"SimpleObject Not Initialised.");
    // Another type that is no shape at all is refused with "Unknown Error.".
    EXPECT_TRUE(FAILED(line->put_Type(static_cast<SimpleObjectTypes>(9))));
    EXPECT_EQ(testkit::TakeError().description, L"Unknown Error.");
    line->Release();
}

TEST(SpritesTest, TransparencyIsCheckedAndSettingsAreKept)
{
    ISprites* sprites = testkit::Create<ISprites>(L"zyk3D.Sprites", IID_ISprites);
    ASSERT_NE(sprites, nullptr);
    IDispatch* d = reinterpret_cast<IDispatch*>(1);
    EXPECT_EQ(sprites->get_Add(Name(L"ghost").b, 1.5f, 0, 1, &d), E_FAIL);
    EXPECT_EQ(d, nullptr);
    testkit::ExpectError(L"zyk3D.Sprites.1", IID_ISprites,
                         SystemText(E_FAIL) + L"Transparency Setting Must be between 0.0 and 1.0.");
    EXPECT_EQ(sprites->get_Add(Name(L"nan").b, std::numeric_limits<float>::quiet_NaN(), 0, 1, &d), E_FAIL);
    testkit::TakeError();
    long n = -1;
    sprites->get_Count(&n);
    EXPECT_EQ(n, 0);

    // Rotation and scale are optional: 0 and 1.
    VARIANT r;
    VariantInit(&r);
    ASSERT_EQ(testkit::DispCall(sprites, L"Add", {testkit::VarBstr(L"hero"), testkit::VarR4(0)}, &r, nullptr,
                                DISPATCH_PROPERTYGET),
              S_OK);
    ISprite* hero = As<ISprite>(V_DISPATCH(&r), IID_ISprite);
    ASSERT_NE(hero, nullptr);
    float rotation = -1, scale = -1, alpha = -1;
    hero->get_Rotation(&rotation);
    hero->get_ScaleFactor(&scale);
    hero->get_Transparent(&alpha);
    EXPECT_EQ(rotation, 0.0f);
    EXPECT_EQ(scale, 1.0f);
    EXPECT_EQ(alpha, 0.0f);
    BSTR name = nullptr;
    hero->get_Name(&name);
    EXPECT_STREQ(name, L"hero");
    SysFreeString(name);

    EXPECT_EQ(hero->put_Transparent(1.0f), S_OK);
    EXPECT_EQ(hero->put_Transparent(-0.1f), E_FAIL);
    testkit::ExpectError(L"zyk3D.Sprite.1", IID_ISprite,
                         SystemText(E_FAIL) + L"Transparency Setting must be between 0.0 amd 1.0.");
    hero->get_Transparent(&alpha);
    EXPECT_EQ(alpha, 1.0f);

    VARIANT_BOOL on = 0;
    hero->get_Enabled(&on);
    EXPECT_EQ(on, 1); // a new sprite is drawn
    hero->put_Enabled(VARIANT_TRUE);
    hero->get_Enabled(&on);
    EXPECT_EQ(on, 1);
    EXPECT_EQ(hero->get_Texture(&d), E_POINTER);
    testkit::ExpectError(L"zyk3D.Sprite.1", IID_ISprite, SystemText(E_POINTER) + L"Texture Has Not Been Assigned.");

    // Without a device: the enabled sprite says so; Sprites.Render too.
    EXPECT_EQ(hero->Render(), E_POINTER);
    testkit::ExpectError(L"zyk3D.Sprite.1", IID_ISprite, SystemText(E_POINTER) + L"Device Not Initialised.");
    EXPECT_EQ(sprites->Render(), E_POINTER);
    testkit::TakeError();

    EXPECT_EQ(hero->Free(), S_OK);
    EXPECT_EQ(hero->get_Position(&d), E_POINTER);
    testkit::ExpectError(L"zyk3D.Sprite.1", IID_ISprite, SystemText(E_POINTER) + L"Position Not Initialised.");
    hero->Release();
    sprites->Release();
}

TEST(SpritesTest, AnEmptyCollectionOrDisabledSpritesDoNotTouchTheDevice)
{
    ISprites* sprites = testkit::Create<ISprites>(L"zyk3D.Sprites", IID_ISprites);
    ASSERT_NE(sprites, nullptr);
    // A device whose every call would fault: nothing may call it.
    device_fixture::BrokenDevice broken;
    sprites->put_Device(broken.Handle());
    EXPECT_EQ(sprites->Render(), S_OK);
    IDispatch* d = nullptr;
    ASSERT_EQ(sprites->get_Add(Name(L"a").b, 1.0f, 0, 1, &d), S_OK);
    ISprite* a = As<ISprite>(d, IID_ISprite);
    a->put_Enabled(0);
    EXPECT_EQ(a->Render(), S_OK);
    a->Release();
    sprites->Release();
}

TEST_F(ShapesOnDevice, ASpriteWithoutATextureStopsTheSprites)
{
    ISprites* sprites = testkit::Create<ISprites>(L"zyk3D.Sprites", IID_ISprites);
    ASSERT_NE(sprites, nullptr);
    sprites->put_Device(DeviceHandle());
    IDispatch* d = nullptr;
    ASSERT_EQ(sprites->get_Add(Name(L"bare").b, 1.0f, 0, 1, &d), S_OK);
    d->Release();
    ASSERT_EQ(device_->BeginScene(), S_OK);
    HRESULT hr = sprites->Render();
    device_->EndScene();
    EXPECT_TRUE(FAILED(hr));
    auto e = testkit::TakeError();
    EXPECT_TRUE(testkit::EndsWith(e.description, L"Sprite Failed to Render."));
    EXPECT_EQ(e.source, L"zyk3D.Sprites.1");
    sprites->Release();
}

TEST_F(ShapesOnDevice, ShapesAndSpritesThatLeaveTheirCollectionLeaveTheDevice)
{
    // A shape leaves with what it made on the device.
    ISimpleObject* removed = Box(L"removed", 1, 1, 1);
    ISimpleObject* replaced = Box(L"same", 1, 1, 1);
    ISimpleObject* second = Box(L"same", 2, 2, 2);
    ASSERT_TRUE(removed && replaced && second);
    VARIANT key = testkit::VarBstr(L"removed");
    EXPECT_EQ(shapes->Remove(key), S_OK);
    VariantClear(&key);
    EXPECT_EQ(removed->Render(), E_POINTER);
    testkit::ExpectError(L"zyk3D.SimpleObject.1", IID_ISimpleObject,
                         SystemText(E_POINTER) + L"SimpleObject Not Initialised.");
    EXPECT_EQ(replaced->Render(), S_OK); // replaced by an equal key, it was not let go

    // A sprite that left answers without calling the device it had.
    ISprites* sprites = testkit::Create<ISprites>(L"zyk3D.Sprites", IID_ISprites);
    ASSERT_NE(sprites, nullptr);
    device_fixture::BrokenDevice broken;
    sprites->put_Device(broken.Handle());
    IDispatch* d = nullptr;
    ASSERT_EQ(sprites->get_Add(Name(L"a").b, 1.0f, 0, 1, &d), S_OK);
    ISprite* a = As<ISprite>(d, IID_ISprite);
    key = testkit::VarI4(1);
    EXPECT_EQ(sprites->Remove(key), S_OK);
    EXPECT_EQ(a->Render(), E_POINTER);
    testkit::ExpectError(L"zyk3D.Sprite.1", IID_ISprite, SystemText(E_POINTER) + L"Device Not Initialised.");
    a->Release();
    sprites->Release();
    for (ISimpleObject* o : {removed, replaced, second}) o->Release();
}

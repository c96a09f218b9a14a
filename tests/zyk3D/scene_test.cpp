// Whole frames of a Device3D as the screen shows them: a .x model lit by the ambient light,
// a textured shape with the texture's default states, a teapot, and a half-transparent
// sprite over the clear colour.
#include "testkit.h"
#include "images.h"
#include "zyk3D.h"
#include <string>

using testkit::As;

namespace {

const int kSize = 200;

struct Name {
    explicit Name(const wchar_t* s) : b(SysAllocString(s)) {}
    explicit Name(const std::wstring& s) : b(SysAllocString(s.c_str())) {}
    ~Name() { SysFreeString(b); }
    BSTR b;
};

std::wstring Write(const char* name, const std::string& bytes)
{
    const std::string path = testkit::TempPath(name);
    testkit::WriteAll(path, bytes);
    return testkit::Widen(path);
}

std::wstring Write(const char* name, const testkit::Bytes& bytes)
{
    return Write(name, std::string(bytes.begin(), bytes.end()));
}

// A 2 x 2 square at z = 0, both sides, in one red material.
const char kRedSquare[] = R"(xof 0302txt 0032
Mesh Square {
 4;
 -1.000000;-1.000000;0.000000;,
 1.000000;-1.000000;0.000000;,
 1.000000;1.000000;0.000000;,
 -1.000000;1.000000;0.000000;;
 2;
 4;0,1,2,3;,
 4;3,2,1,0;;
 MeshMaterialList {
  1;
  2;
  0,0;;
  Material Red {
   1.000000;0.000000;0.000000;1.000000;;
   0.000000;
   0.000000;0.000000;0.000000;;
   0.000000;0.000000;0.000000;;
  }
 }
}
)";

class SceneTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { window = testkit::CreateTestWindow(kSize, kSize, "scene"); }
    static void TearDownTestSuite() { DestroyWindow(window); }
    void SetUp() override
    {
        device = testkit::Create<IDevice3D>(L"zyk3D.Device3D", IID_IDevice3D);
        ASSERT_NE(device, nullptr);
        device->put_Window(static_cast<long>(reinterpret_cast<LONG_PTR>(window)));
        ASSERT_EQ(device->Initialise(0, kSize, kSize, VARIANT_FALSE, 0), S_OK);
        testkit::PumpMessages();
        // A white ambient light: every face shows its material's own colour.
        IDispatch* d = nullptr;
        device->get_Ambient(&d);
        IColour* ambient = As<IColour>(d, IID_IColour);
        ambient->put_Red(1);
        ambient->put_Green(1);
        ambient->put_Blue(1);
        ambient->put_Alpha(1);
        ambient->Release();
        // The client updates the camera it looks through: "Default", at (0, 0, 10) looking
        // at the origin with a quarter turn of view.
        ICameras* cameras = Child<ICameras>(&IDevice3D::get_Cameras, IID_ICameras);
        VARIANT key = testkit::VarBstr(L"Default"), item;
        VariantInit(&item);
        ASSERT_EQ(cameras->Item(key, &item), S_OK);
        ICamera* camera = As<ICamera>(V_DISPATCH(&item), IID_ICamera);
        ASSERT_EQ(camera->Update(), S_OK);
        camera->Release();
        VariantClear(&key);
        cameras->Release();
    }
    void TearDown() override
    {
        if (device) {
            device->Free();
            device->Release();
        }
        testkit::PumpMessages();
    }
    template <class T>
    T* Child(HRESULT (STDMETHODCALLTYPE IDevice3D::*get)(IDispatch**), REFIID iid)
    {
        IDispatch* d = nullptr;
        EXPECT_EQ((device->*get)(&d), S_OK);
        return As<T>(d, iid);
    }
    std::function<void()> Frame(float r, float g, float b)
    {
        return [this, r, g, b] {
            EXPECT_EQ(device->Clear(r, g, b, 1), S_OK);
            EXPECT_EQ(device->Render(), S_OK);
            EXPECT_EQ(device->Update(), S_OK);
        };
    }
    // Makes the device's material white, through an object's Material.
    void WhiteMaterial()
    {
        IObjects* objects = Child<IObjects>(&IDevice3D::get_Objects, IID_IObjects);
        IDispatch* d = nullptr;
        ASSERT_EQ(objects->get_Add(Name(L"paint").b, VARIANT_FALSE, &d), S_OK);
        IObject* o = As<IObject>(d, IID_IObject);
        o->get_Material(&d);
        IMaterial* m = As<IMaterial>(d, IID_IMaterial);
        for (auto get : {&IMaterial::get_Ambient, &IMaterial::get_Diffuse}) {
            (m->*get)(&d);
            IColour* c = As<IColour>(d, IID_IColour);
            c->put_Red(1);
            c->put_Green(1);
            c->put_Blue(1);
            c->put_Alpha(1);
            c->Release();
        }
        EXPECT_EQ(m->Apply(), S_OK);
        m->Release();
        o->Release();
        objects->Release();
    }
    ITexture* LoadTexture(const std::wstring& file)
    {
        ITextures* textures = Child<ITextures>(&IDevice3D::get_Textures, IID_ITextures);
        IDispatch* d = nullptr;
        EXPECT_EQ(textures->get_LoadFile(Name(file).b, &d), S_OK) << testkit::Narrow(testkit::TakeError().description);
        textures->Release();
        return As<ITexture>(d, IID_ITexture);
    }

    static HWND window;
    IDevice3D* device = nullptr;
};
HWND SceneTest::window = nullptr;

} // namespace

TEST_F(SceneTest, AModelFileShowsItsMaterialWhereTheCameraLooks)
{
    IObjects* objects = Child<IObjects>(&IDevice3D::get_Objects, IID_IObjects);
    ASSERT_NE(objects, nullptr);
    IDispatch* d = nullptr;
    ASSERT_EQ(objects->get_LoadFile(Name(Write("zyk_square.x", std::string(kRedSquare))).b, Name(L"square").b,
                                    VARIANT_TRUE, &d),
              S_OK);
    IObject* square = As<IObject>(d, IID_IObject);
    BSTR file = nullptr;
    square->get_Filename(&file);
    EXPECT_TRUE(testkit::EndsWith(file, L"zyk_square.x"));
    SysFreeString(file);

    auto frame = Frame(0, 0, 1);
    frame();
    EXPECT_TRUE(testkit::ScreenShows(window, kSize / 2, kSize / 2, {255, 0, 0}, frame));
    EXPECT_TRUE(testkit::ScreenShows(window, 2, 2, {0, 0, 255}, frame));

    // Hidden, it is gone from the next frame.
    square->put_Visible(VARIANT_FALSE);
    EXPECT_TRUE(testkit::ScreenShows(window, kSize / 2, kSize / 2, {0, 0, 255}, frame));
    square->Release();
    objects->Release();
}

TEST_F(SceneTest, BitmapAndTargaTexturesDrawOnAShapeWithTheDefaultStates)
{
    WhiteMaterial();
    ISimpleObjects* shapes = Child<ISimpleObjects>(&IDevice3D::get_SimpleObjects, IID_ISimpleObjects);
    IDispatch* d = nullptr;
    ASSERT_EQ(shapes->get_AddBox(Name(L"box").b, 4, 4, 4, &d), S_OK);
    ISimpleObject* box = As<ISimpleObject>(d, IID_ISimpleObject);

    ITexture* green = LoadTexture(Write("zyk_scene_green.bmp", testkit::Bmp(8, 8, [](int, int) { return 0x00FF00u; })));
    ASSERT_NE(green, nullptr);
    ASSERT_EQ(box->put_Texture(green), S_OK);
    auto frame = Frame(0, 0, 0);
    frame();
    EXPECT_TRUE(testkit::ScreenShows(window, kSize / 2, kSize / 2, {0, 255, 0}, frame));

    ITexture* magenta =
        LoadTexture(Write("zyk_scene_magenta.tga", testkit::Tga24(8, 8, [](int, int) { return 0xFF00FFu; })));
    ASSERT_NE(magenta, nullptr);
    ASSERT_EQ(box->put_Texture(magenta), S_OK);
    EXPECT_TRUE(testkit::ScreenShows(window, kSize / 2, kSize / 2, {255, 0, 255}, frame));

    magenta->Release();
    green->Release();
    box->Release();
    shapes->Release();
}

TEST_F(SceneTest, ATeapotDrawsWhereTheCameraLooks)
{
    WhiteMaterial();
    ISimpleObjects* shapes = Child<ISimpleObjects>(&IDevice3D::get_SimpleObjects, IID_ISimpleObjects);
    IDispatch* d = nullptr;
    ASSERT_EQ(shapes->get_AddTeapot(Name(L"pot").b, &d), S_OK);
    d->Release();
    auto frame = Frame(0, 0, 1);
    frame();
    // Lit by the white ambient light through the white material: white where it stands.
    EXPECT_TRUE(testkit::ScreenShows(window, kSize / 2, kSize / 2, {255, 255, 255}, frame));
    EXPECT_TRUE(testkit::ScreenShows(window, 2, 2, {0, 0, 255}, frame));
    shapes->Release();
}

TEST_F(SceneTest, AHalfTransparentSpriteMixesWithWhatIsBehindIt)
{
    ITexture* green =
        LoadTexture(Write("zyk_sprite_green.bmp", testkit::Bmp(8, 8, [](int, int) { return 0x00FF00u; })));
    ASSERT_NE(green, nullptr);
    ISprites* sprites = Child<ISprites>(&IDevice3D::get_Sprites, IID_ISprites);
    IDispatch* d = nullptr;
    ASSERT_EQ(sprites->get_Add(Name(L"ghost").b, 0.5f, 0, 4, &d), S_OK);
    ISprite* ghost = As<ISprite>(d, IID_ISprite);
    ASSERT_EQ(ghost->put_Texture(green), S_OK);
    ghost->get_Position(&d);
    IPosition* at = As<IPosition>(d, IID_IPosition);
    at->put_X(kSize / 2);
    at->put_Y(kSize / 2);
    at->Release();

    auto frame = Frame(1, 0, 0);
    frame();
    EXPECT_TRUE(testkit::ScreenShows(window, kSize / 2, kSize / 2, {128, 128, 0}, frame, 2));
    EXPECT_TRUE(testkit::ScreenShows(window, 2, 2, {255, 0, 0}, frame));

    // Opaque, the sprite covers what is behind it; disabled, it is not drawn.
    ghost->put_Transparent(1.0f);
    EXPECT_TRUE(testkit::ScreenShows(window, kSize / 2, kSize / 2, {0, 255, 0}, frame));
    ghost->put_Enabled(VARIANT_FALSE);
    EXPECT_TRUE(testkit::ScreenShows(window, kSize / 2, kSize / 2, {255, 0, 0}, frame));
    ghost->Release();
    sprites->Release();
    green->Release();
}

TEST_F(SceneTest, SpritesLeaveTheDeviceAsTheModelsNeedIt)
{
    // A sprite in the corner turns lighting off and binds its texture while it draws; the
    // red square drawn in the next frames must still be lit red and untextured.
    IObjects* objects = Child<IObjects>(&IDevice3D::get_Objects, IID_IObjects);
    IDispatch* d = nullptr;
    ASSERT_EQ(objects->get_LoadFile(Name(Write("zyk_square2.x", std::string(kRedSquare))).b, Name(L"square").b,
                                    VARIANT_TRUE, &d),
              S_OK);
    d->Release();
    objects->Release();
    ITexture* green =
        LoadTexture(Write("zyk_corner_green.bmp", testkit::Bmp(8, 8, [](int, int) { return 0x00FF00u; })));
    ISprites* sprites = Child<ISprites>(&IDevice3D::get_Sprites, IID_ISprites);
    ASSERT_EQ(sprites->get_Add(Name(L"corner").b, 1.0f, 0, 2, &d), S_OK);
    ISprite* corner = As<ISprite>(d, IID_ISprite);
    ASSERT_EQ(corner->put_Texture(green), S_OK);
    corner->get_Position(&d);
    IPosition* at = As<IPosition>(d, IID_IPosition);
    at->put_X(20);
    at->put_Y(20);
    at->Release();

    auto frame = Frame(0, 0, 1);
    frame();
    frame();
    EXPECT_TRUE(testkit::ScreenShows(window, 20, 20, {0, 255, 0}, frame));
    EXPECT_TRUE(testkit::ScreenShows(window, kSize / 2, kSize / 2, {255, 0, 0}, frame));
    corner->Release();
    sprites->Release();
    green->Release();
}

TEST_F(SceneTest, ASecondInitialiseDrawsTheSceneItHolds)
{
    // A shape in the first of two textures of one file: no longer filed, it is still the
    // shape's, and both are drawn on the device of a second Initialise.
    WhiteMaterial();
    ISimpleObjects* shapes = Child<ISimpleObjects>(&IDevice3D::get_SimpleObjects, IID_ISimpleObjects);
    IDispatch* d = nullptr;
    ASSERT_EQ(shapes->get_AddBox(Name(L"box").b, 4, 4, 4, &d), S_OK);
    ISimpleObject* box = As<ISimpleObject>(d, IID_ISimpleObject);
    const std::wstring file = Write("zyk_twice.bmp", testkit::Bmp(8, 8, [](int, int) { return 0x00FF00u; }));
    ITexture* first = LoadTexture(file);
    ITexture* second = LoadTexture(file);
    ASSERT_EQ(box->put_Texture(first), S_OK);
    ASSERT_EQ(device->Initialise(0, kSize, kSize, VARIANT_FALSE, 0), S_OK);
    testkit::PumpMessages();
    auto frame = Frame(0, 0, 0);
    frame();
    EXPECT_TRUE(testkit::ScreenShows(window, kSize / 2, kSize / 2, {0, 255, 0}, frame));
    second->Release();
    first->Release();
    box->Release();
    shapes->Release();
}

// GameScene: the sample scene set up on a Device3D, and each frame's camera move, Clear, Render and Update.
#include "scene.h"
#include "model.h"
#include "screen.h"
#include <cmath>
#include <vector>

namespace sample {

namespace {

// The interface iid of an IDispatch; the program ends when it does not answer (the
// IDispatch keeps its reference).
template <class T>
T* As(IDispatch* d, REFIID iid)
{
    T* p = nullptr;
    if (!d || FAILED(d->QueryInterface(iid, reinterpret_cast<void**>(&p)))) Fail("QueryInterface", E_NOINTERFACE);
    return p;
}

} // namespace

GameScene::GameScene(IDevice3D* device) : device_(device)
{
    // The camera that Initialise made, looking at the origin from (0, 2, 10).
    HRESULT hr;
    IDispatch* d = nullptr;
    device_->get_Cameras(&d);
    cameras_ = As<ICameras>(d, IID_ICameras);
    d->Release();
    V_VT(&cameraName_) = VT_BSTR;
    V_BSTR(&cameraName_) = SysAllocString(L"Default");
    VariantInit(&cameraItem_);
    hr = cameras_->Item(cameraName_, &cameraItem_);
    if (FAILED(hr)) Fail("Cameras.Item", hr);
    camera_ = As<ICamera>(V_DISPATCH(&cameraItem_), IID_ICamera);
    camera_->get_Position(&eyeDispatch_);
    eye_ = As<IPosition>(eyeDispatch_, IID_IPosition);
    eye_->put_Y(2.0f);
    hr = camera_->Update();
    if (FAILED(hr)) Fail("Camera.Update", hr);

    // A grey linear fog from 8 to 60, far enough not to hide the model.
    device_->get_Fog(&d);
    fog_ = As<IFog>(d, IID_IFog);
    d->Release();
    if (FAILED(hr = fog_->put_Mode(fm_Linear))) Fail("Fog.Mode", hr);
    if (FAILED(hr = fog_->put_StartingPos(8.0f))) Fail("Fog.StartingPos", hr);
    if (FAILED(hr = fog_->put_EndPosition(60.0f))) Fail("Fog.EndPosition", hr);
    if (FAILED(hr = fog_->put_Enabled(VARIANT_TRUE))) Fail("Fog.Enabled", hr);
    fog_->get_Colour(&d);
    fogColour_ = As<IColour>(d, IID_IColour);
    d->Release();
    fogColour_->put_Red(0.1f);
    fogColour_->put_Green(0.1f);
    fogColour_->put_Blue(0.2f);
    fogColour_->put_Alpha(1.0f);
    fog_->Update();

    // A dim ambient light and a white light from above and behind the camera's start.
    device_->get_Ambient(&d);
    IColour* ambient = As<IColour>(d, IID_IColour);
    d->Release();
    ambient->put_Red(0.25f);
    ambient->put_Green(0.25f);
    ambient->put_Blue(0.25f);
    ambient->put_Alpha(1.0f);
    ambient->Release();
    device_->get_Lights(&d);
    ILights* lights = As<ILights>(d, IID_ILights);
    d->Release();
    if (FAILED(hr = lights->get_Add(lt_Directional, 0, 0, 0, 1, 1, 1, 1, 1, 0.5f, 1, 1000, &d))) Fail("Lights.Add", hr);
    ILight* sun = As<ILight>(d, IID_ILight);
    d->Release();
    sun->get_Direction(&d);
    IPosition* direction = As<IPosition>(d, IID_IPosition);
    d->Release();
    direction->put_X(0.4f);
    direction->put_Y(-0.8f);
    direction->put_Z(0.5f);
    direction->Release();
    // The device takes a light's colours from its Diffuse, Specular and Ambient children.
    sun->get_Diffuse(&d);
    IColour* sunColour = As<IColour>(d, IID_IColour);
    d->Release();
    sunColour->put_Red(1.0f);
    sunColour->put_Green(1.0f);
    sunColour->put_Blue(0.9f);
    sunColour->put_Alpha(1.0f);
    sunColour->Release();
    if (FAILED(hr = sun->Update())) Fail("Light.Update", hr);
    sun->Release();
    lights->Release();

    // The model, written next to the frame file and loaded as the object "ship".
    char model[MAX_PATH] = {};
    GetFullPathNameA("sample_ship.x", MAX_PATH, model, nullptr);
    if (!sample::WriteSampleModel(model)) Fail("writing the model", E_FAIL);
    device_->get_Objects(&d);
    IObjects* objects = As<IObjects>(d, IID_IObjects);
    d->Release();
    wchar_t wideModel[MAX_PATH] = {};
    MultiByteToWideChar(CP_ACP, 0, model, -1, wideModel, MAX_PATH);
    BSTR modelName = SysAllocString(wideModel), shipName = SysAllocString(L"ship");
    if (FAILED(hr = objects->get_LoadFile(modelName, shipName, VARIANT_TRUE, &d))) Fail("Objects.LoadFile", hr);
    IObject* ship = As<IObject>(d, IID_IObject);
    d->Release();
    SysFreeString(modelName);
    SysFreeString(shipName);
    objects->Release();

    // A white material made current: the model restores it after drawing, so the shapes
    // drawn after it are lit in their textures' own colours.
    ship->get_Material(&d);
    IMaterial* white = As<IMaterial>(d, IID_IMaterial);
    d->Release();
    for (auto get : {&IMaterial::get_Ambient, &IMaterial::get_Diffuse}) {
        (white->*get)(&d);
        IColour* c = As<IColour>(d, IID_IColour);
        d->Release();
        c->put_Red(1.0f);
        c->put_Green(1.0f);
        c->put_Blue(1.0f);
        c->put_Alpha(1.0f);
        c->Release();
    }
    if (FAILED(hr = white->Apply())) Fail("Material.Apply", hr);
    white->Release();

    // A teapot at the origin, in a chequered texture on its own texture coordinates.
    char checker[MAX_PATH] = {};
    GetFullPathNameA("sample_checker.bmp", MAX_PATH, checker, nullptr);
    std::vector<DWORD> squares(64 * 64);
    for (int i = 0; i < 64 * 64; ++i) squares[i] = ((i % 64) / 8 + (i / 64) / 8) % 2 ? 0xF0F0F0 : 0x3070E0;
    if (!sample::WriteBmp(checker, 64, 64, squares)) Fail("writing the texture", E_FAIL);
    device_->get_Textures(&d);
    ITextures* textures = As<ITextures>(d, IID_ITextures);
    d->Release();
    BSTR checkerName = sample::AnsiBstr(checker);
    if (FAILED(hr = textures->get_LoadFile(checkerName, &d))) Fail("Textures.LoadFile", hr);
    ITexture* chequer = As<ITexture>(d, IID_ITexture);
    d->Release();
    chequer->put_Coords(tci_PassThru);
    chequer->put_SourceBlending(tbt_One);
    chequer->put_DestBlending(tbt_Zero);
    device_->get_SimpleObjects(&d);
    ISimpleObjects* shapes = As<ISimpleObjects>(d, IID_ISimpleObjects);
    d->Release();
    BSTR potName = SysAllocString(L"teapot");
    if (FAILED(hr = shapes->get_AddTeapot(potName, &d))) Fail("SimpleObjects.AddTeapot", hr);
    ISimpleObject* teapot = As<ISimpleObject>(d, IID_ISimpleObject);
    d->Release();
    if (FAILED(hr = teapot->put_Texture(chequer))) Fail("SimpleObject.Texture", hr);
    teapot->Release();
    shapes->Release();
    SysFreeString(potName);

    // The model has no textures of its own and would be drawn with whatever texture is
    // bound: it gets a white one, so that it shows its materials' colours.
    char plain[MAX_PATH] = {};
    GetFullPathNameA("sample_white.bmp", MAX_PATH, plain, nullptr);
    if (!sample::WriteBmp(plain, 8, 8, std::vector<DWORD>(64, 0xFFFFFF))) Fail("writing the texture", E_FAIL);
    BSTR plainName = sample::AnsiBstr(plain);
    if (FAILED(hr = textures->get_LoadFile(plainName, &d))) Fail("Textures.LoadFile", hr);
    ITexture* plainTexture = As<ITexture>(d, IID_ITexture);
    d->Release();
    plainTexture->put_Coords(tci_PassThru);
    plainTexture->put_SourceBlending(tbt_One);
    plainTexture->put_DestBlending(tbt_Zero);
    if (FAILED(hr = ship->put_Texture(plainTexture))) Fail("Object.Texture", hr);
    plainTexture->Release();
    ship->Release();
    SysFreeString(plainName);

    // A half-transparent badge in the top-left corner, drawn over everything.
    char badge[MAX_PATH] = {};
    GetFullPathNameA("sample_badge.bmp", MAX_PATH, badge, nullptr);
    std::vector<DWORD> badgePixels(32 * 32);
    for (int i = 0; i < 32 * 32; ++i) {
        const int x = i % 32, y = i / 32;
        badgePixels[i] = x < 3 || y < 3 || x > 28 || y > 28 ? 0x2040FF : 0xFFD020;
    }
    if (!sample::WriteBmp(badge, 32, 32, badgePixels)) Fail("writing the badge", E_FAIL);
    BSTR badgeName = sample::AnsiBstr(badge);
    if (FAILED(hr = textures->get_LoadFile(badgeName, &d))) Fail("Textures.LoadFile", hr);
    ITexture* badgeTexture = As<ITexture>(d, IID_ITexture);
    d->Release();
    device_->get_Sprites(&d);
    ISprites* sprites = As<ISprites>(d, IID_ISprites);
    d->Release();
    BSTR spriteName = SysAllocString(L"badge");
    if (FAILED(hr = sprites->get_Add(spriteName, 0.7f, 0.3f, 2.0f, &d))) Fail("Sprites.Add", hr);
    ISprite* sprite = As<ISprite>(d, IID_ISprite);
    d->Release();
    if (FAILED(hr = sprite->put_Texture(badgeTexture))) Fail("Sprite.Texture", hr);
    sprite->get_Position(&d);
    IPosition* corner = As<IPosition>(d, IID_IPosition);
    d->Release();
    corner->put_X(60.0f);
    corner->put_Y(60.0f);
    corner->Release();
    sprite->Release();
    sprites->Release();
    SysFreeString(spriteName);
    SysFreeString(badgeName);
    SysFreeString(checkerName);
    badgeTexture->Release();
    chequer->Release();
    textures->Release();
}

GameScene::~GameScene()
{
    fogColour_->Release();
    fog_->Release();
    eye_->Release();
    eyeDispatch_->Release();
    camera_->Release();
    VariantClear(&cameraItem_);
    VariantClear(&cameraName_);
    cameras_->Release();
}

void GameScene::Frame(int frame, int frames)
{
    // Once round the model at a distance of 6, a little above it.
    const float angle = 6.2831853f * static_cast<float>(frame) / frames + 0.6f;
    eye_->put_X(6.0f * std::sin(angle));
    eye_->put_Y(2.5f);
    eye_->put_Z(-6.0f * std::cos(angle));
    HRESULT hr;
    if (FAILED(hr = camera_->Update())) Fail("Camera.Update", hr);
    if (FAILED(hr = device_->Clear(0.1f, 0.1f, 0.2f, 1.0f))) Fail("Clear", hr);
    if (FAILED(hr = device_->Render())) Fail("Render", hr);
    if (FAILED(hr = device_->Update())) Fail("Update", hr);
}

} // namespace sample

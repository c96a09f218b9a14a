// The sample game: a window, a Device3D created by ProgID on the 3D adapter and with the
// options the player chose in the configuration applet, a lit .x model (written by the
// game itself) that the "Default" camera circles, a linear fog, a few hundred frames, the
// frame rate, and the last frame written to a .bmp file (and, under "tools/zyk game", a
// screenshot of the display taken while that frame is shown).
//
//   game.exe [last_frame.bmp [frames]]
#include "choices.h"
#include "model.h"
#include "screen.h"
#include "zyk3D.h"
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

const int kWidth = 640, kHeight = 480;
int kFrames = 300;

using sample::Fail;

template <class T>
T* As(IDispatch* d, REFIID iid)
{
    T* p = nullptr;
    if (!d || FAILED(d->QueryInterface(iid, reinterpret_cast<void**>(&p)))) Fail("QueryInterface", E_NOINTERFACE);
    return p;
}

// The D3DX device index and name of the adapter at a position of zyk3D.Devices, as the
// configuration applet lists them; false when there is no such adapter.
bool FindAdapter(long position, long& index, std::string& name)
{
    CLSID clsid;
    IDevices* devices = nullptr;
    if (FAILED(CLSIDFromProgID(L"zyk3D.Devices", &clsid)) ||
        FAILED(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDevices, reinterpret_cast<void**>(&devices))))
        return false;
    VARIANT at, item;
    V_VT(&at) = VT_I4;
    V_I4(&at) = position + 1;
    VariantInit(&item);
    bool found = false;
    if (SUCCEEDED(devices->Item(at, &item)) && V_VT(&item) == VT_DISPATCH && V_DISPATCH(&item)) {
        IDevice3D* adapter = nullptr;
        V_DISPATCH(&item)->QueryInterface(IID_IDevice3D, reinterpret_cast<void**>(&adapter));
        if (adapter) {
            BSTR text = nullptr;
            adapter->get_Index(&index);
            adapter->get_Name(&text);
            char narrow[256] = {};
            if (text) WideCharToMultiByte(CP_ACP, 0, text, -1, narrow, sizeof narrow - 1, nullptr, nullptr);
            SysFreeString(text);
            name = narrow;
            adapter->Release();
            found = true;
        }
    }
    VariantClear(&item);
    devices->Release();
    return found;
}

} // namespace

int main(int argc, char** argv)
{
    const char* out = argc > 1 ? argv[1] : "last_frame.bmp";
    if (argc > 2) kFrames = std::max(1, atoi(argv[2]));
    CoInitialize(nullptr);
    HWND window = sample::CreateGameWindow("Zykware sample game", kWidth, kHeight);

    CLSID clsid;
    HRESULT hr = CLSIDFromProgID(L"zyk3D.Device3D", &clsid);
    if (FAILED(hr)) Fail("CLSIDFromProgID", hr);
    IDevice3D* device = nullptr;
    hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDevice3D, reinterpret_cast<void**>(&device));
    if (FAILED(hr)) Fail("CoCreateInstance", hr);
    device->put_Window(static_cast<long>(reinterpret_cast<LONG_PTR>(window)));

    // What the player chose in the configuration applet: the 3D adapter before the device
    // starts, full screen (at the display's own size) or windowed, then the options.
    const sample::PlayerChoices choices = sample::ReadPlayerChoices();
    long adapterIndex = 0;
    std::string adapterName = "the default adapter";
    if (choices.stored && FindAdapter(choices.adapter3D, adapterIndex, adapterName)) device->put_Index(adapterIndex);
    const int width = choices.fullscreen ? GetSystemMetrics(SM_CXSCREEN) : kWidth;
    const int height = choices.fullscreen ? GetSystemMetrics(SM_CYSCREEN) : kHeight;
    hr = device->Initialise(0, width, height, choices.fullscreen ? VARIANT_TRUE : VARIANT_FALSE, 0);
    if (FAILED(hr)) Fail("Initialise", hr);
    if (choices.stored) {
        device->put_ShadeMode(choices.gouraud ? sm_Gouraud : sm_Flat);
        device->put_Specular(choices.specular ? VARIANT_TRUE : VARIANT_FALSE);
        device->put_AntiAlias(choices.antiAlias ? am_Sort_Independent : am_None);
        device->put_Dither(choices.dither ? VARIANT_TRUE : VARIANT_FALSE);
    }
    {
        // Read back from the device, so what is printed is what it uses.
        ShadeModes shade = sm_Unknown;
        VARIANT_BOOL specular = 0, dither = 0;
        AntiAliasModes antiAlias = am_Unknown;
        long index = -1;
        device->get_ShadeMode(&shade);
        device->get_Specular(&specular);
        device->get_AntiAlias(&antiAlias);
        device->get_Dither(&dither);
        device->get_Index(&index);
        printf("choices %s: 3D adapter %ld \"%s\" (device %ld), %s shading, specular %s, anti-aliasing %s, "
               "dithering %s, %s %dx%d\n",
               choices.stored ? "of the configuration applet" : "(none saved yet)", choices.adapter3D,
               adapterName.c_str(), index, shade == sm_Flat ? "flat" : shade == sm_Gouraud ? "Gouraud" : "unknown",
               specular ? "on" : "off", antiAlias == am_None ? "off" : "on", dither ? "on" : "off",
               choices.fullscreen ? "full screen" : "windowed", width, height);
        fflush(stdout);
    }
    // The first pump after Initialise repaints the client area once; frames come after it.
    sample::PumpMessages();

    // The camera that Initialise made, looking at the origin from (0, 2, 10).
    IDispatch* d = nullptr;
    device->get_Cameras(&d);
    ICameras* cameras = As<ICameras>(d, IID_ICameras);
    d->Release();
    VARIANT name, item;
    V_VT(&name) = VT_BSTR;
    V_BSTR(&name) = SysAllocString(L"Default");
    VariantInit(&item);
    hr = cameras->Item(name, &item);
    if (FAILED(hr)) Fail("Cameras.Item", hr);
    ICamera* camera = As<ICamera>(V_DISPATCH(&item), IID_ICamera);
    IDispatch* pd = nullptr;
    camera->get_Position(&pd);
    IPosition* eye = As<IPosition>(pd, IID_IPosition);
    eye->put_Y(2.0f);
    hr = camera->Update();
    if (FAILED(hr)) Fail("Camera.Update", hr);

    // A grey linear fog from 8 to 60, far enough not to hide the model.
    device->get_Fog(&d);
    IFog* fog = As<IFog>(d, IID_IFog);
    d->Release();
    if (FAILED(hr = fog->put_Mode(fm_Linear))) Fail("Fog.Mode", hr);
    if (FAILED(hr = fog->put_StartingPos(8.0f))) Fail("Fog.StartingPos", hr);
    if (FAILED(hr = fog->put_EndPosition(60.0f))) Fail("Fog.EndPosition", hr);
    if (FAILED(hr = fog->put_Enabled(VARIANT_TRUE))) Fail("Fog.Enabled", hr);
    fog->get_Colour(&d);
    IColour* fogColour = As<IColour>(d, IID_IColour);
    d->Release();
    fogColour->put_Red(0.1f);
    fogColour->put_Green(0.1f);
    fogColour->put_Blue(0.2f);
    fogColour->put_Alpha(1.0f);
    fog->Update();

    // A dim ambient light and a white light from above and behind the camera's start.
    device->get_Ambient(&d);
    IColour* ambient = As<IColour>(d, IID_IColour);
    d->Release();
    ambient->put_Red(0.25f);
    ambient->put_Green(0.25f);
    ambient->put_Blue(0.25f);
    ambient->put_Alpha(1.0f);
    ambient->Release();
    device->get_Lights(&d);
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
    device->get_Objects(&d);
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
    device->get_Textures(&d);
    ITextures* textures = As<ITextures>(d, IID_ITextures);
    d->Release();
    BSTR checkerName = sample::AnsiBstr(checker);
    if (FAILED(hr = textures->get_LoadFile(checkerName, &d))) Fail("Textures.LoadFile", hr);
    ITexture* chequer = As<ITexture>(d, IID_ITexture);
    d->Release();
    chequer->put_Coords(tci_PassThru);
    chequer->put_SourceBlending(tbt_One);
    chequer->put_DestBlending(tbt_Zero);
    device->get_SimpleObjects(&d);
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
    device->get_Sprites(&d);
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

    const float clear[3] = {0.1f, 0.1f, 0.2f};
    for (int frame = 0; frame < kFrames; ++frame) {
        sample::PumpMessages();
        // Once round the model at a distance of 6, a little above it.
        const float angle = 6.2831853f * static_cast<float>(frame) / kFrames + 0.6f;
        eye->put_X(6.0f * std::sin(angle));
        eye->put_Y(2.5f);
        eye->put_Z(-6.0f * std::cos(angle));
        if (FAILED(hr = camera->Update())) Fail("Camera.Update", hr);
        if (FAILED(hr = device->Clear(clear[0], clear[1], clear[2], 1.0f))) Fail("Clear", hr);
        if (FAILED(hr = device->Render())) Fail("Render", hr);
        if (FAILED(hr = device->Update())) Fail("Update", hr);
    }
    float rate = 0;
    device->get_FrameRate(&rate);
    printf("frames: %d, frame rate: %.1f frames per second\n", kFrames, static_cast<double>(rate));

    std::vector<DWORD> pixels;
    char full[MAX_PATH] = {};
    GetFullPathNameA(out, MAX_PATH, full, nullptr);
    if (sample::CaptureClient(window, kWidth, kHeight, pixels) && sample::WriteBmp(full, kWidth, kHeight, pixels)) {
        DWORD p = pixels[0];
        const DWORD centre = pixels[static_cast<size_t>(kHeight / 2) * kWidth + kWidth / 2];
        printf("last frame: %s (corner %lu, %lu, %lu, the background; centre %lu, %lu, %lu, the model)\n", full,
               p >> 16 & 0xFF, p >> 8 & 0xFF, p & 0xFF, centre >> 16 & 0xFF, centre >> 8 & 0xFF, centre & 0xFF);
    } else {
        fprintf(stderr, "could not write the last frame\n");
        return 1;
    }
    std::string shot = sample::OfferScreenshot();
    if (!shot.empty()) printf("screenshot of the display: %s\n", shot.c_str());

    // The world saved, and read back into a second device.
    char world[MAX_PATH] = {};
    GetFullPathNameA("sample_world.txt", MAX_PATH, world, nullptr);
    BSTR worldName = sample::AnsiBstr(world);
    device->Save(worldName);
    IDevice3D* second = nullptr;
    CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDevice3D, reinterpret_cast<void**>(&second));
    if (second) {
        second->Load(worldName);
        long counts[3] = {};
        auto count = [&](HRESULT (STDMETHODCALLTYPE IDevice3D::*get)(IDispatch**), long& n) {
            IDispatch* c = nullptr;
            if (SUCCEEDED((second->*get)(&c)) && c) {
                DISPPARAMS none{};
                VARIANT v;
                VariantInit(&v);
                LPOLESTR member = const_cast<LPOLESTR>(L"Count");
                DISPID id = 0;
                if (SUCCEEDED(c->GetIDsOfNames(IID_NULL, &member, 1, 0, &id)) &&
                    SUCCEEDED(c->Invoke(id, IID_NULL, 0, DISPATCH_PROPERTYGET, &none, &v, nullptr, nullptr)))
                    n = V_I4(&v);
                c->Release();
            }
        };
        count(&IDevice3D::get_Cameras, counts[0]);
        count(&IDevice3D::get_Lights, counts[1]);
        count(&IDevice3D::get_Objects, counts[2]);
        // Cameras and lights need an initialised device: the second one reads their blocks
        // and keeps none of them.
        printf("world: %s, read back into a second, uninitialised device: %ld cameras, %ld lights, %ld objects\n",
               world, counts[0], counts[1], counts[2]);
        second->Release();
    }
    SysFreeString(worldName);
    fflush(stdout);

    fogColour->Release();
    fog->Release();
    eye->Release();
    pd->Release();
    camera->Release();
    VariantClear(&item);
    VariantClear(&name);
    cameras->Release();
    device->Free();
    device->Release();
    DestroyWindow(window);
    CoUninitialize();
    return 0;
}

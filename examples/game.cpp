// The sample game: a window, a Device3D created by ProgID, a lit .x model (written by the
// game itself) that the "Default" camera circles, a linear fog, a few hundred frames, the
// frame rate, and the last frame written to a .bmp file (and, under "tools/zyk game", a screenshot of the display
// taken while that frame is shown).
#include "model.h"
#include "screen.h"
#include "zyk3D.h"
#include <cmath>
#include <cstdio>
#include <string>

namespace {

const int kWidth = 640, kHeight = 480, kFrames = 300;

void Fail(const char* what, HRESULT hr)
{
    std::string text;
    IErrorInfo* info = nullptr;
    if (GetErrorInfo(0, &info) == S_OK && info) {
        BSTR d = nullptr;
        info->GetDescription(&d);
        if (d) {
            char buf[512] = {};
            WideCharToMultiByte(CP_ACP, 0, d, -1, buf, sizeof buf - 1, nullptr, nullptr);
            text = buf;
        }
        SysFreeString(d);
        info->Release();
    }
    fprintf(stderr, "%s failed (0x%08lX) %s\n", what, static_cast<unsigned long>(hr), text.c_str());
    exit(1);
}

template <class T>
T* As(IDispatch* d, REFIID iid)
{
    T* p = nullptr;
    if (!d || FAILED(d->QueryInterface(iid, reinterpret_cast<void**>(&p)))) Fail("QueryInterface", E_NOINTERFACE);
    return p;
}

} // namespace

int main(int argc, char** argv)
{
    const char* out = argc > 1 ? argv[1] : "last_frame.bmp";
    CoInitialize(nullptr);
    HWND window = sample::CreateGameWindow("Zykware sample game", kWidth, kHeight);

    CLSID clsid;
    HRESULT hr = CLSIDFromProgID(L"zyk3D.Device3D", &clsid);
    if (FAILED(hr)) Fail("CLSIDFromProgID", hr);
    IDevice3D* device = nullptr;
    hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDevice3D, reinterpret_cast<void**>(&device));
    if (FAILED(hr)) Fail("CoCreateInstance", hr);
    device->put_Window(static_cast<long>(reinterpret_cast<LONG_PTR>(window)));
    hr = device->Initialise(0, kWidth, kHeight, VARIANT_FALSE, 0);
    if (FAILED(hr)) Fail("Initialise", hr);
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
    d->Release();
    SysFreeString(modelName);
    SysFreeString(shipName);
    objects->Release();

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

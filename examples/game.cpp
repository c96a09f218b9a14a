// The sample game: a window, a Device3D created by ProgID, the "Default" camera, a linear
// fog, a few hundred frames with a changing clear colour, the frame rate, and the last
// frame written to a .bmp file (and, under "tools/zyk game", a screenshot of the display
// taken while that frame is shown).
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

    // A grey linear fog from 5 to 50.
    device->get_Fog(&d);
    IFog* fog = As<IFog>(d, IID_IFog);
    d->Release();
    if (FAILED(hr = fog->put_Mode(fm_Linear))) Fail("Fog.Mode", hr);
    if (FAILED(hr = fog->put_StartingPos(5.0f))) Fail("Fog.StartingPos", hr);
    if (FAILED(hr = fog->put_EndPosition(50.0f))) Fail("Fog.EndPosition", hr);
    if (FAILED(hr = fog->put_Enabled(VARIANT_TRUE))) Fail("Fog.Enabled", hr);
    fog->get_Colour(&d);
    IColour* fogColour = As<IColour>(d, IID_IColour);
    d->Release();
    fogColour->put_Red(0.5f);
    fogColour->put_Green(0.5f);
    fogColour->put_Blue(0.5f);
    fogColour->put_Alpha(1.0f);
    fog->Update();

    float red = 0, green = 0, blue = 0;
    for (int frame = 0; frame < kFrames; ++frame) {
        sample::PumpMessages();
        const float t = static_cast<float>(frame) / kFrames;
        red = t;
        green = 0.5f + 0.5f * std::sin(t * 6.2831853f);
        blue = 1.0f - t;
        if (FAILED(hr = device->Clear(red, green, blue, 1.0f))) Fail("Clear", hr);
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
        printf("last frame: %s (top-left pixel %lu, %lu, %lu; cleared to %d, %d, %d)\n", full, p >> 16 & 0xFF,
               p >> 8 & 0xFF, p & 0xFF, static_cast<int>(red * 255), static_cast<int>(green * 255),
               static_cast<int>(blue * 255));
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

// The sample game: a window, a Device3D created by ProgID on the 3D adapter and with the
// options the player chose in the configuration applet, a lit .x model (written by the
// game itself) that the "Default" camera circles, a linear fog, a few hundred frames, the
// frame rate, and the last frame written to a .bmp file (and, under "tools/zyk game", a
// screenshot of the display taken while that frame is shown).
//
//   game.exe [last_frame.bmp [frames]]
#include "choices.h"
#include "scene.h"
#include "screen.h"
#include "zyk3D.h"
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

namespace {

const int kWidth = 640, kHeight = 480;
int kFrames = 300;

using sample::Fail;

// The D3DX device index and name of the adapter at a position of zyk3D.Devices, as the
// configuration applet lists them; false when there is no such adapter.
bool FindAdapter(long position, long& index, std::string& name)
{
    CLSID clsid;
    IDevices* devices = nullptr;
    if (FAILED(CLSIDFromProgID(L"zyk3D.Devices", &clsid)) ||
        FAILED(
            CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDevices, reinterpret_cast<void**>(&devices))))
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
               adapterName.c_str(), index,
               shade == sm_Flat      ? "flat"
               : shade == sm_Gouraud ? "Gouraud"
                                     : "unknown",
               specular ? "on" : "off", antiAlias == am_None ? "off" : "on", dither ? "on" : "off",
               choices.fullscreen ? "full screen" : "windowed", width, height);
        fflush(stdout);
    }
    // The first pump after Initialise repaints the client area once; frames come after it.
    sample::PumpMessages();

    // The scene: the model, a teapot, lights, fog and a badge; the camera circles them.
    auto scene = std::make_unique<sample::GameScene>(device);

    for (int frame = 0; frame < kFrames; ++frame) {
        sample::PumpMessages();
        scene->Frame(frame, kFrames);
    }
    float rate = 0;
    device->get_FrameRate(&rate);
    printf("frames: %d, frame rate: %.1f frames per second\n", kFrames, static_cast<double>(rate));

    std::vector<DWORD> pixels;
    char full[MAX_PATH] = {};
    GetFullPathNameA(out, MAX_PATH, full, nullptr);
    // The frame it drew: the window's client area, or the whole screen in full screen.
    const bool captured = choices.fullscreen ? sample::CaptureScreen(POINT{0, 0}, width, height, pixels)
                                             : sample::CaptureClient(window, width, height, pixels);
    if (captured && sample::WriteBmp(full, width, height, pixels)) {
        DWORD p = pixels[0];
        const DWORD centre = pixels[static_cast<size_t>(height / 2) * width + width / 2];
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

    scene.reset();
    device->Free();
    device->Release();
    DestroyWindow(window);
    CoUninitialize();
    return 0;
}

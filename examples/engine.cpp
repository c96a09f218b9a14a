// Opening a Device3D for the sample programs: created by its ProgID and initialised windowed.
#include "engine.h"
#include <cstdio>

namespace sample {

IDevice3D* OpenDevice3D(HWND window, int width, int height)
{
    CLSID clsid;
    IDevice3D* device = nullptr;
    if (FAILED(CLSIDFromProgID(L"zyk3D.Device3D", &clsid)) ||
        FAILED(
            CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDevice3D, reinterpret_cast<void**>(&device)))) {
        fprintf(stderr, "zyk3D.Device3D is not registered\n");
        return nullptr;
    }
    device->put_Window(static_cast<long>(reinterpret_cast<LONG_PTR>(window)));
    if (FAILED(device->Initialise(0, width, height, VARIANT_FALSE, 0))) {
        fprintf(stderr, "Device3D.Initialise failed\n");
        device->Release();
        return nullptr;
    }
    return device;
}

} // namespace sample

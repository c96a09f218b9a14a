// The zykGFX round of the soak benchmark: one ZYKGFX.Device created, initialised and freed.
#include "soak.h"
#include "com/serverbinding.h"
namespace gfx {
#include "zykGFX.h"
}
#include <cstdio>

namespace soak {

bool GfxRound(HWND window, int width, int height)
{
    CLSID clsid;
    gfx::IDevice* device = nullptr;
    if (FAILED(CLSIDFromProgID(L"ZYKGFX.Device", &clsid)) ||
        FAILED(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, gfx::IID_IDevice,
                                reinterpret_cast<void**>(&device)))) {
        fprintf(stderr, "ZYKGFX.Device is not registered\n");
        return false;
    }
    device->put_Window(static_cast<long>(reinterpret_cast<LONG_PTR>(window)));
    const HRESULT hr = device->Initialise(width, height, 0, 0, 0);
    if (FAILED(hr)) fprintf(stderr, "ZYKGFX.Device Initialise failed: 0x%08lX\n", static_cast<unsigned long>(hr));
    device->Free();
    device->Release();
    return SUCCEEDED(hr);
}

} // namespace soak

// The zykSOUND round of the soak benchmark: one ZYKSound.Device initialised, a sound added, freed.
#include "soak.h"
#include "com/serverbinding.h"
namespace sound {
#include "zykSOUND.h"
}
#include <cstdio>

namespace soak {

bool SoundRound(const wchar_t* wave)
{
    CLSID clsid;
    sound::IDevice* device = nullptr;
    if (FAILED(CLSIDFromProgID(L"ZYKSound.Device", &clsid)) ||
        FAILED(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, sound::IID_IDevice,
                                reinterpret_cast<void**>(&device)))) {
        fprintf(stderr, "ZYKSound.Device is not registered\n");
        return false;
    }
    HRESULT hr = device->Initialise();
    IDispatch* d = nullptr;
    sound::IBuffers* buffers = nullptr;
    if (SUCCEEDED(hr) && SUCCEEDED(hr = device->get_Buffers(&d))) {
        hr = d->QueryInterface(sound::IID_IBuffers, reinterpret_cast<void**>(&buffers));
        d->Release();
    }
    if (buffers) {
        BSTR name = SysAllocString(wave);
        IDispatch* sound = nullptr;
        hr = buffers->get_Add(name, VARIANT_FALSE, &sound);
        if (sound) sound->Release();
        SysFreeString(name);
        buffers->Release();
    }
    if (FAILED(hr)) fprintf(stderr, "ZYKSound.Device with a sound failed: 0x%08lX\n", static_cast<unsigned long>(hr));
    device->Free();
    device->Release();
    return SUCCEEDED(hr);
}

} // namespace soak

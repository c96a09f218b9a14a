#include "devices.h"
#include "create.h"

using zyk::com::Bstr;
using zyk::com::Ptr;

CSoundDevices::CSoundDevices()
{
    comInitialised_ = SUCCEEDED(InitialiseCOM());
    sound::GuardOf<CSoundDevices>([&] {
        HRESULT hr = DirectSoundEnumerateA(reinterpret_cast<LPDSENUMCALLBACKA>(&EnumSoundDriversCallback), this);
        if (FAILED(hr)) throw failure(hr, "DirectSoundEnumerate Function Failed.");
    });
}

CSoundDevices::~CSoundDevices()
{
    items_.Clear();
    if (comInitialised_) CoUninitialize();
}

BOOL CALLBACK CSoundDevices::EnumSoundDriversCallback(GUID* guid, const char* description, const char*, void* context)
{
    auto* self = static_cast<CSoundDevices*>(context);
    BOOL more = TRUE;
    sound::GuardOf<CSoundDevices>([&] {
        IUnknown* made = CreateComObject(CLSID_Device, IID_IDevice);
        if (!made) {
            more = FALSE;
            throw failure(E_FAIL, "Device Not Registered.");
        }
        Ptr<IDevice> device = Ptr<IDevice>::Adopt(reinterpret_cast<IDevice*>(made));
        Bstr name = Bstr::FromAnsi(description);
        device->put_Name(name.Get());
        if (guid) device->put_GUID(zyk::com::ToHandle(guid));
        self->items_.Put(name.Get(), device.Get());
    });
    return more;
}

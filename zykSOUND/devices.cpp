// CSoundDevices: one Device filed for each DirectSound driver that the enumeration reports.
#include "devices.h"
#include "com/create.h"

using zyk::com::Bstr;
using zyk::com::Ptr;

CSoundDevices::CSoundDevices() : Collection(TiesNone)
{
    // Each driver is reported by the callback on its own, so that what one left stays.
    HRESULT hr = DirectSoundEnumerateA(reinterpret_cast<LPDSENUMCALLBACKA>(&EnumSoundDriversCallback), this);
    if (FAILED(hr)) Member([&] { throw failure(hr, "DirectSoundEnumerate Function Failed."); });
}

CSoundDevices::~CSoundDevices() { items_.Clear(); }

BOOL CALLBACK CSoundDevices::EnumSoundDriversCallback(GUID* guid, const char* description, const char*, void* context)
{
    auto* self = static_cast<CSoundDevices*>(context);
    BOOL more = TRUE;
    self->Member([&] {
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

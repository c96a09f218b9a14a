#pragma once
#include "sound.h"
#include "com/collection.h"
#include "com/object.h"

// The DirectSound drivers of the machine, one Device each, filed under the driver's
// description; listed once, when the list is made.
class CSoundDevices : public zyk::com::CoClass<CSoundDevices, IDevices, &IID_IDevices, &CLSID_Devices> {
public:
    CSoundDevices();
    ~CSoundDevices() override;

    HRESULT STDMETHODCALLTYPE get__NewEnum(IUnknown** out) override { return items_.NewEnum(out); }
    HRESULT STDMETHODCALLTYPE Item(VARIANT index, VARIANT* out) override { return items_.Item(index, out); }
    HRESULT STDMETHODCALLTYPE get_Count(long* out) override { return items_.GetCount(out); }

private:
    static BOOL CALLBACK EnumSoundDriversCallback(GUID* guid, const char* description, const char* module, void* context);

    bool comInitialised_ = false;
    zyk::com::NamedMap<IDevice> items_;
};

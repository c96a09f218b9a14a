// CSoundDevices: the collection of the machine's DirectSound drivers.
#pragma once
#include "sound.h"
#include "com/collection.h"
#include "com/create.h"

// The DirectSound drivers of the machine, one Device each, filed under the driver's
// description; listed once, when the list is made. A device stands on its own: one that a
// client took from the list keeps working after the list is gone.
class CSoundDevices : public zyk::com::Collection<IDevices, &IID_IDevices, &CLSID_Devices, IDevice> {
public:
    CSoundDevices();
    ~CSoundDevices() override;

private:
    static BOOL CALLBACK EnumSoundDriversCallback(GUID* guid, const char* description, const char* module,
                                                  void* context);

    zyk::com::Apartment apartment_;
};

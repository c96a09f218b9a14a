// The sound devices, from the sound server's device list.
#include "analysis.h"
#include "applet.h"
#include "resource.h"
#include "com/serverbinding.h"
namespace sound {
#include "zykSOUND.h"
}

BOOL ListSoundDevices(HWND dialog)
{
    sound::IDevices* devices = nullptr;
    if (FAILED(CoCreateInstance(sound::CLSID_Devices, nullptr, CLSCTX_INPROC_SERVER, sound::IID_IDevices,
                                reinterpret_cast<void**>(&devices)))) {
        MarkNotRegistered(dialog, IDC_SOUND, {});
        return FALSE;
    }
    FillList<sound::IDevice>(GetDlgItem(dialog, IDC_SOUND), devices, [](sound::IDevice* device, auto& text) {
        BSTR name = nullptr;
        device->get_Name(&name);
        TakeText(name, text);
        return IDI_SOUND;
    });
    devices->Release();
    return TRUE;
}

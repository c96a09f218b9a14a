// The sound devices, from the sound server's device list.
#include "analysis.h"
#include "applet.h"
#include "resource.h"
#include "serverbinding.h"
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
    HWND list = GetDlgItem(dialog, IDC_SOUND);
    long count = 0;
    devices->get_Count(&count);
    for (long i = 1; i <= count; ++i) {
        sound::IDevice* device = ItemAt<sound::IDevice>(devices, i);
        if (!device) continue;
        char text[kTextSize];
        BSTR name = nullptr;
        device->get_Name(&name);
        TextFromBstr(name, text);
        SysFreeString(name);
        device->Release();
        AddComboItem(list, AppendIcon(IDI_SOUND), NextPosition(list), text);
    }
    devices->Release();
    return TRUE;
}

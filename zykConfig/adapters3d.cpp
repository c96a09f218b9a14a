// The 3D adapters, from the 3D engine's adapter list, pictured by hardware level.
#include "analysis.h"
#include "applet.h"
#include "resource.h"
#include "serverbinding.h"
namespace zyk3d {
#include "zyk3D.h"
}

namespace {

// The picture of a hardware level; a level the engine does not name shows the basic one.
int LevelIcon(zyk3d::HWLevels level)
{
    switch (level) {
    case zyk3d::hl_TnLHAL: return IDI_TNLHAL;
    case zyk3d::hl_Raster: return IDI_RASTER;
    case zyk3d::hl_Reference: return IDI_REFERENCE;
    case zyk3d::hl_2D:
    case zyk3d::hl_Highest:
    default: return IDI_RENDER2D;
    }
}

} // namespace

BOOL List3DAdapters(HWND dialog)
{
    zyk3d::IDevices* devices = nullptr;
    if (FAILED(CoCreateInstance(zyk3d::CLSID_Devices, nullptr, CLSCTX_INPROC_SERVER, zyk3d::IID_IDevices,
                                reinterpret_cast<void**>(&devices)))) {
        MarkNotRegistered(dialog, IDC_ADAPTERS3D, {IDC_DITHER, IDC_ANTIALIAS, IDC_SPECULAR, IDC_RENDERMODE});
        return FALSE;
    }
    HWND list = GetDlgItem(dialog, IDC_ADAPTERS3D);
    long count = 0;
    devices->get_Count(&count);
    for (long i = 1; i <= count; ++i) {
        zyk3d::IDevice3D* adapter = ItemAt<zyk3d::IDevice3D>(devices, i);
        if (!adapter) continue;
        char text[kTextSize];
        BSTR name = nullptr;
        adapter->get_Name(&name);
        TextFromBstr(name, text);
        SysFreeString(name);
        zyk3d::HWLevels level = zyk3d::hl_Highest;
        adapter->get_Level(&level);
        adapter->Release();
        AddComboItem(list, AppendIcon(LevelIcon(level)), NextPosition(list), text);
    }
    devices->Release();
    return TRUE;
}

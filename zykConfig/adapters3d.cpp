// The 3D adapters, from the 3D engine's adapter list, pictured by hardware level.
#include "analysis.h"
#include "applet.h"
#include "resource.h"
#include "com/serverbinding.h"
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
    FillList<zyk3d::IDevice3D>(GetDlgItem(dialog, IDC_ADAPTERS3D), devices, [](zyk3d::IDevice3D* adapter, auto& text) {
        BSTR name = nullptr;
        adapter->get_Name(&name);
        TakeText(name, text);
        zyk3d::HWLevels level = zyk3d::hl_Highest;
        adapter->get_Level(&level);
        return LevelIcon(level);
    });
    devices->Release();
    return TRUE;
}

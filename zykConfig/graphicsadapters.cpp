// The 2D adapters and their display modes, from the graphics server's adapter list.
#include "analysis.h"
#include "applet.h"
#include "resource.h"
#include <cstdio>
#include <string>
#include "com/serverbinding.h"
#include "com/trace.h"
namespace gfx {
#include "zykGFX.h"
}

using zyk::com::DebugOut;

namespace {

// Appends "WidthxHeightxDepth" of every mode of the adapter to the mode list.
void ListModes(gfx::IDevice* adapter, HWND modeList)
{
    IDispatch* found = nullptr;
    adapter->get_Modes(&found);
    auto* modes = static_cast<gfx::IModes*>(found);
    if (!modes) return;
    long count = 0;
    modes->get_Count(&count);
    for (long i = 1; i <= count; ++i) {
        gfx::IMode* mode = ItemAt<gfx::IMode>(modes, i);
        if (!mode) continue;
        long width = 0, height = 0, depth = 0;
        mode->get_Width(&width);
        mode->get_Height(&height);
        mode->get_Depth(&depth);
        mode->Release();
        char text[64];
        std::snprintf(text, sizeof text, "%ldx%ldx%ld", width, height, depth);
        SendMessageA(modeList, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    }
    modes->Release();
}

// "Description (Driver)" of an adapter; its modes go to the mode list on the way, while
// the adapter is initialised.
void DescribeAdapter(gfx::IDevice* adapter, HWND modeList, char (&described)[kTextSize])
{
    char part[kTextSize];
    BSTR value = nullptr;
    adapter->get_Description(&value);
    TakeText(value, part);
    std::string text = std::string(part) + " (";

    adapter->Initialise(0, 0, 0, 0, 1);
    IDispatch* found = nullptr;
    adapter->get_Hardware(&found);
    if (auto* hardware = static_cast<gfx::IHardware*>(found)) {
        value = nullptr;
        hardware->get_Driver(&value);
        TakeText(value, part);
        text += part;
        hardware->Release();
    }
    text += ")";
    ListModes(adapter, modeList);
    adapter->Free();
    lstrcpynA(described, text.c_str(), kTextSize);
}

} // namespace

BOOL ListGraphicsAdapters(HWND dialog)
{
    DebugOut("ZYKCONFIG: Creating Graphics Devices.\n");
    gfx::IDevices* devices = nullptr;
    if (FAILED(CoCreateInstance(gfx::CLSID_Devices, nullptr, CLSCTX_INPROC_SERVER, gfx::IID_IDevices,
                                reinterpret_cast<void**>(&devices)))) {
        MarkNotRegistered(dialog, IDC_ADAPTERS, {IDC_FULLSCREEN});
        return FALSE;
    }
    HWND modeList = GetDlgItem(dialog, IDC_MODES);
    FillList<gfx::IDevice>(GetDlgItem(dialog, IDC_ADAPTERS), devices, [&](gfx::IDevice* adapter, auto& text) {
        DebugOut("ZYKCONFIG: Description of Device => ");
        DescribeAdapter(adapter, modeList, text);
        DebugOut("%s", text);
        DebugOut("\n");
        return IDI_DISPLAY;
    });
    devices->Release();
    return TRUE;
}

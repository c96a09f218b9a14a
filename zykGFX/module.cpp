// The zykGFX server: its object map and exports.
#include "zykGFX.h"
#include "com/module.h"
#include "com/object.h"
#include "caps.h"
#include "colour.h"
#include "device.h"
#include "devices.h"
#include "hardware.h"
#include "mode.h"
#include "modes.h"
#include "object.h"
#include "objects.h"
#include "palette.h"
#include "texturememory.h"
#include "version.h"
#include "videomemory.h"

namespace {

using zyk::com::Creator;
using zyk::com::ObjectEntry;

// Registration runs the scripts in this order and stops at the first that fails.
const ObjectEntry kObjectMap[] = {
    {&CLSID_Device, 204, &Creator<CGfxDevice>, true, L"ZYKGFX.Device.1"},
    {&CLSID_Mode, 208, &Creator<CMode>, true, L"ZYKGFX.Mode.1"},
    {&CLSID_Modes, 209, &Creator<CModes>, true, L"ZYKGFX.Modes.1"},
    {&CLSID_Object, 210, &Creator<CGfxObject>, true, L"ZYKGFX.Object.1"},
    {&CLSID_Objects, 211, &Creator<CGfxObjects>, true, L"ZYKGFX.Objects.1"},
    {&CLSID_TextureMemory, 213, &Creator<CTextureMemory>, true, L"ZYKGFX.TextureMemory.1"},
    {&CLSID_VideoMemory, 215, &Creator<CVideoMemory>, true, L"ZYKGFX.VideoMemory.1"},
    {&CLSID_Version, 214, &Creator<CVersion>, true, L"ZYKGFX.Version.1"},
    {&CLSID_Caps, 202, &Creator<CCaps>, true, L"ZYKGFX.Caps.1"},
    {&CLSID_Hardware, 206, &Creator<CHardware>, true, L"ZYKGFX.Hardware.1"},
    {&CLSID_Palette, 212, &Creator<CPalette>, true, L"Gfx.Palette.1"},
    {&CLSID_Colour, 203, &Creator<CGfxColour>, true, L"Gfx.Colour.1"},
    {&CLSID_Devices, 102, &Creator<CGfxDevices>, true, L"ZYKGFX.Devices.1"},
};

} // namespace

ZYK_SERVER_EXPORTS(kObjectMap, LIBID_ZYKGFXLib, nullptr)

// The zykSOUND server: its object map and exports.
#include "zykSOUND.h"
#include "com/module.h"
#include "com/object.h"
#include "advbuffer.h"
#include "buffer.h"
#include "buffers.h"
#include "device.h"
#include "devices.h"

namespace {

using zyk::com::Creator;
using zyk::com::ObjectEntry;

// Registration runs the scripts in this order and stops at the first that fails.
const ObjectEntry kObjectMap[] = {
    {&CLSID_Device, 102, &Creator<CSoundDevice>, true, L"ZYKSound.Device.1"},
    {&CLSID_Buffer, 103, &Creator<CBuffer>, true, L"ZYKSound.Buffer.1"},
    {&CLSID_Buffers, 105, &Creator<CBuffers>, true, L"ZYKSound.Buffers.1"},
    {&CLSID_Devices, 106, &Creator<CSoundDevices>, true, L"ZYKSound.Devices.1"},
    {&CLSID_AdvBuffer, 107, &Creator<CAdvBuffer>, true, L"ZYKSound.AdvBuffer.1"},
};

} // namespace

ZYK_SERVER_EXPORTS(kObjectMap, LIBID_ZYKSOUNDLib, nullptr)

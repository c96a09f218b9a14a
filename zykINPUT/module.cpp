// The zykINPUT server: its object map and exports.
#include "zykINPUT.h"
#include "com/module.h"
#include "com/object.h"
#include "device.h"
#include "devices.h"

namespace {

using zyk::com::Creator;
using zyk::com::ObjectEntry;

// Registration runs the scripts in this order and stops at the first that fails.
const ObjectEntry kObjectMap[] = {
    {&CLSID_Device, 101, &Creator<CInputDevice>, true, L"ZYKInput.Device.1"},
    {&CLSID_Devices, 104, &Creator<CInputDevices>, true, L"ZYKInput.Devices.1"},
};

} // namespace

ZYK_SERVER_EXPORTS(kObjectMap, LIBID_ZYKINPUTLib, nullptr)

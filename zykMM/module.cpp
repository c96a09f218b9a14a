// The zykMM server: its object map and exports.
#include "zykMM.h"
#include "com/module.h"
#include "com/object.h"
#include "videodevice.h"

namespace {

using zyk::com::Creator;
using zyk::com::ObjectEntry;

const ObjectEntry kObjectMap[] = {
    {&CLSID_Device, 102, &Creator<CVideoDevice>, true, L"zykMM.Device.1"},
};

} // namespace

ZYK_SERVER_EXPORTS(kObjectMap, LIBID_ZYKMMLib, nullptr)

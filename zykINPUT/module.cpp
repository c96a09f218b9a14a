// The zykINPUT server: its object map, made from its class table, and exports.
#include "zykINPUT.h"
#include "zykINPUT_classes.h"
#include "com/module.h"
#include "com/object.h"
#include "device.h"
#include "devices.h"

namespace {

// Registration runs the scripts in this order and stops at the first that fails.
const zyk::com::ObjectEntry kObjectMap[] = {ZYKINPUT_CLASSES(ZYK_OBJECT_ENTRY)};

} // namespace

ZYK_SERVER_EXPORTS(kObjectMap, LIBID_ZYKINPUTLib, nullptr)

// The zykMM server: its object map, made from its class table, and exports.
#include "zykMM.h"
#include "zykMM_classes.h"
#include "com/module.h"
#include "com/object.h"
#include "videodevice.h"

namespace {

// Registration runs the scripts in this order and stops at the first that fails.
const zyk::com::ObjectEntry kObjectMap[] = {ZYKMM_CLASSES(ZYK_OBJECT_ENTRY)};

} // namespace

ZYK_SERVER_EXPORTS(kObjectMap, LIBID_ZYKMMLib, nullptr)

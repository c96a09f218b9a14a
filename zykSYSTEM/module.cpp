// The zykSYSTEM server: its object map, made from its class table, and exports.
#include "zykSYSTEM.h"
#include "zykSYSTEM_classes.h"
#include "com/module.h"
#include "com/object.h"
#include "bios.h"
#include "ce.h"
#include "cpu.h"
#include "drive.h"
#include "drives.h"
#include "memory.h"
#include "os.h"
#include "osversion.h"
#include "proppage.h"

namespace {

// Registration runs the scripts in this order and stops at the first that fails.
const zyk::com::ObjectEntry kObjectMap[] = {ZYKSYSTEM_CLASSES(ZYK_OBJECT_ENTRY)};

} // namespace

ZYK_SERVER_EXPORTS(kObjectMap, LIBID_ZYKSYSTEMLib, nullptr)

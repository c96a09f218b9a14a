// The zykGFX server: its object map, made from its class table, and exports.
#include "zykGFX.h"
#include "zykGFX_classes.h"
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

// Registration runs the scripts in this order and stops at the first that fails.
const zyk::com::ObjectEntry kObjectMap[] = {ZYKGFX_CLASSES(ZYK_OBJECT_ENTRY)};

} // namespace

ZYK_SERVER_EXPORTS(kObjectMap, LIBID_ZYKGFXLib, nullptr)

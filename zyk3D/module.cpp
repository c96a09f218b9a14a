// The zyk3D server: its object map, made from its class table, and exports.
#include "zyk3D.h"
#include "zyk3D_classes.h"
#include "com/module.h"
#include "com/object.h"
#include "colour.h"
#include "position.h"
// class headers
#include "point.h"
#include "points.h"
#include "texturecaps.h"
#include "textureformat.h"
#include "textureformats.h"
#include "devicecaps.h"
#include "devices.h"
#include "material.h"
#include "light.h"
#include "lights.h"
#include "device3d.h"
#include "texturestore.h"
#include "camera.h"
#include "cameras.h"
#include "flare.h"
#include "flares.h"
#include "fog.h"
#include "object.h"
#include "objects.h"
#include "part.h"
#include "parts.h"
#include "simpleobject.h"
#include "simpleobjects.h"
#include "sprite.h"
#include "sprites.h"
#include "texture.h"
#include "textures.h"

namespace {

// Registration runs the scripts in this order and stops at the first that fails.
const zyk::com::ObjectEntry kObjectMap[] = {ZYK3D_CLASSES(ZYK_OBJECT_ENTRY)};

} // namespace

ZYK_SERVER_EXPORTS(kObjectMap, LIBID_ZYK3DLib, &DestroyAllTextures)

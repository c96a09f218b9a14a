// The zyk3D server: its object map and exports.
#include "zyk3D.h"
#include "com/module.h"
#include "com/object.h"
#include "colour.h"
#include "position.h"
// class headers
#include "device3d.h"
#include "texturestore.h"
#include "camera.h"
#include "cameras.h"
#include "flare.h"
#include "flares.h"
#include "fog.h"

namespace {

using zyk::com::Creator;
using zyk::com::ObjectEntry;

// In the order of the server's class table; a class is listed once it is built.
const ObjectEntry kObjectMap[] = {
    {&CLSID_Colour, 102, &Creator<CColour>, true, L"zyk3D.Colour.1"},
    {&CLSID_Position, 114, &Creator<CPosition>, true, L"zyk3D.Position.1"},
    // object map entries
    {&CLSID_Device3D, 201, &Creator<CDevice3D>, true, L"zyk3D.Device3D.1"},
    {&CLSID_Camera, 101, &Creator<CCamera>, true, L"zyk3D.Camera.1"},
    {&CLSID_Cameras, 167, &Creator<CCameras>, true, L"zyk3D.Cameras.1"},
    {&CLSID_Flare, 166, &Creator<CFlare>, true, L"zyk3D.Flare.1"},
    {&CLSID_Flares, 125, &Creator<CFlares>, true, L"zyk3D.Flares.1"},
    {&CLSID_Fog, 106, &Creator<CFog>, true, L"zyk3D.Fog.1"},
};

} // namespace

ZYK_SERVER_EXPORTS(kObjectMap, LIBID_ZYK3DLib, &DestroyAllTextures)

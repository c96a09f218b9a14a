// The zyk3D server: its object map and exports.
#include "zyk3D.h"
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

using zyk::com::Creator;
using zyk::com::ObjectEntry;

// In the order of the server's class table; a class is listed once it is built.
// Registration runs the scripts in this order and stops at the first that fails.
const ObjectEntry kObjectMap[] = {
    {&CLSID_Camera, 101, &Creator<CCamera>, true, L"zyk3D.Camera.1"},
    {&CLSID_Cameras, 167, &Creator<CCameras>, true, L"zyk3D.Cameras.1"},
    {&CLSID_Colour, 102, &Creator<CColour>, true, L"zyk3D.Colour.1"},
    {&CLSID_Device3D, 201, &Creator<CDevice3D>, true, L"zyk3D.Device3D.1"},
    {&CLSID_DeviceCaps, 104, &Creator<CDeviceCaps>, true, L"zyk3D.DeviceCaps.1"},
    {&CLSID_Devices, 105, &Creator<CDevices>, false, L"zyk3D.Devices.1"},
    {&CLSID_Flare, 166, &Creator<CFlare>, true, L"zyk3D.Flare.1"},
    {&CLSID_Flares, 125, &Creator<CFlares>, true, L"zyk3D.Flares.1"},
    {&CLSID_Fog, 106, &Creator<CFog>, true, L"zyk3D.Fog.1"},
    {&CLSID_Light, 107, &Creator<CLight>, true, L"zyk3D.Light.1"},
    {&CLSID_Lights, 108, &Creator<CLights>, true, L"zyk3D.Lights.1"},
    {&CLSID_Material, 109, &Creator<CMaterial>, true, L"zyk3D.Material.1"},
    {&CLSID_Object, 110, &Creator<CObject>, true, L"zyk3D.Object.1"},
    {&CLSID_Objects, 111, &Creator<CObjects>, true, L"zyk3D.Objects.1"},
    {&CLSID_Part, 169, &Creator<CPart>, true, L"Zyk3D.Part.1"},
    {&CLSID_Parts, 170, &Creator<CParts>, true, L"zyk3D.Parts.1"},
    {&CLSID_Point, 112, &Creator<CPoint>, true, L"zyk3D.Point.1"},
    {&CLSID_Points, 113, &Creator<CPoints>, true, L"zyk3D.Points.1"},
    {&CLSID_Position, 114, &Creator<CPosition>, true, L"zyk3D.Position.1"},
    {&CLSID_SimpleObject, 122, &Creator<CSimpleObject>, true, L"zyk3D.SimpleObject.1"},
    {&CLSID_SimpleObjects, 123, &Creator<CSimpleObjects>, true, L"zyk3D.SimpleObjects.1"},
    {&CLSID_Sprite, 121, &Creator<CSprite>, true, L"zyk3D.Sprite.1"},
    {&CLSID_Sprites, 120, &Creator<CSprites>, true, L"zyk3D.Sprites.1"},
    {&CLSID_Texture, 115, &Creator<CTexture>, true, L"zyk3D.Texture.1"},
    {&CLSID_TextureCaps, 119, &Creator<CTextureCaps>, true, L"zyk3D.TextureCaps.1"},
    {&CLSID_TextureFormat, 117, &Creator<CTextureFormat>, true, L"zyk3D.TextureFormat.1"},
    {&CLSID_TextureFormats, 118, &Creator<CTextureFormats>, true, L"zyk3D.TextureFormats.1"},
    {&CLSID_Textures, 116, &Creator<CTextures>, true, L"zyk3D.Textures.1"},
    // object map entries
};

} // namespace

ZYK_SERVER_EXPORTS(kObjectMap, LIBID_ZYK3DLib, &DestroyAllTextures)

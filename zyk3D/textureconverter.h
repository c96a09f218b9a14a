// The texture store's converter: a record's image, read from a bitmap resource of the host
// program or a ".bmp" or ".tga" file, and the record's texture surface made from that
// image on a device, in a format the device offers and the image wants.
#pragma once
#include "texturestore.h"

// Loads the record's image: a bitmap resource of the host program of that name (whatever
// its extension), else the ".bmp" or ".tga" file of that name (see texturepath.h). S_OK,
// 0x887600FF (found in neither folder, or a ".bmp" that cannot be loaded), E_NOTIMPL (no
// or another extension), E_FAIL (a ".tga" that cannot be read or decoded), E_INVALIDARG
// (a null record, or a path that does not fit).
HRESULT LoadImageData(CTextureContainer* record);
HRESULT LoadBitmapFile(CTextureContainer* record, const char* path);
HRESULT LoadTargaFile(CTextureContainer* record, const char* path);

// Makes a fresh surface on the device from the record's size and image (its old surface
// is released first): S_OK, E_INVALIDARG (no record or device), E_FAIL (no size, no caps,
// no format that fits, no DirectDraw object) or DirectDraw's code. A surface whose image
// cannot be copied in is released again.
HRESULT RestoreContainer(CTextureContainer* record, IDirect3DDevice7* device);

// Copy the record's bitmap or pixels into its surface, stretched to the surface's size.
HRESULT CopyBitmapToSurface(CTextureContainer* record);
HRESULT CopyRgbaToSurface(CTextureContainer* record);

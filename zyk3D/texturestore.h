// The texture store: one process-wide list of texture records, each naming an image (a
// bitmap resource of the host program, a ".bmp" file or a ".tga" file) and holding the
// Direct3D texture surface made from it on the current device. Where a file is looked
// for is in texturepath.h; how an image is read and made into a surface, in
// textureconverter.h.
//
// Names are compared case-insensitively (lstrcmpiA). Names of any length up to the
// platform's path limit (kStoreNameMax characters) are kept whole; longer ones, and file
// names that do not fit under the texture folder, are refused (E_INVALIDARG).
//
// Uses
// ----
// A record is shared by everyone who names it, and counts its users:
//   * CreateTextureFromFile of a name that is not listed creates and loads a record with
//     one use; of a listed name it adds a use to that record (S_OK, nothing loaded again,
//     stage and flags of the record unchanged).
//   * CreateEmptyTexture creates a record with one use (a listed name is E_FAIL).
//   * AcquireTexture hands out the listed record of a name with one more use, or a new
//     record without an image (size 0 x 0) with one use. It is for users that put a
//     surface of their own into the record (a Texture object with a surface from D3DX);
//     such a user releases the surface it replaces and sets device to NULL.
//   * DestroyTexture drops one use of the (newest) record of the name and destroys the
//     record when none is left.
// Call DestroyTexture once for each call of the three above that succeeded, and only
// then: a record stays valid for as long as its user holds a use, so a user may keep the
// record pointer until its own DestroyTexture.
// Constructing a CTextureContainer directly also links it with one use, but makes a
// second record of a name that may be listed already; prefer AcquireTexture.
//
// Surfaces
// --------
// RestoreTexture / RestoreAllTextures give records a surface on a device. A record whose
// surface is present, not lost and made for that device is left alone, so restoring
// every frame costs nothing; a record without a surface, with a lost one
// (IsLost() == DDERR_SURFACELOST) or with one made for another device gets a fresh
// surface built from its size and image. A record without an image and of size 0 x 0
// (AcquireTexture) cannot be rebuilt: its unusable surface is released and the restore
// gives E_FAIL; its owner loads it again.
//
// Apartments
// ----------
// The store is one for the process, while its users are apartment-threaded objects, and
// objects of several apartments run at once: every function here runs under one process-
// wide lock (TextureStoreLock), and so do the construction and destruction of a record.
// A surface read from a record outside the lock may be released by a restore in another
// apartment at any moment: users that draw with it take it with a reference
// (HoldTextureSurface, HoldRecordSurface), and one that puts a surface of its own into its
// record does it through PutRecordSurface. GetTextureSurface (no reference) is for the
// thread that alone uses the store.
// A surface belongs to the device, and so to the apartment, that made it: the platform's
// surfaces may only be used and released on their device's thread. A record's surface is
// therefore its maker's: another apartment gets none from the lookups, leaves it alone when
// it restores, and hands it back to its maker when it would release it (the maker releases
// it at its next use of the store; what a thread that ended left is released at unload).
#pragma once
#include <windows.h>
#include <ddraw.h>
#include <d3d.h>
#include <cstdint>
#include <string>
#include <vector>

#include "texturepath.h"
#include "com/ptr.h"

// Creation flags (CTextureContainer::flags).
#define TEXTUREFLAG_WHITE_TRANSPARENT 0x1 // every colour but white gets full alpha
#define TEXTUREFLAG_BLACK_TRANSPARENT 0x2 // every colour but black gets full alpha
#define TEXTUREFLAG_PREFER_32BIT 0x4
#define TEXTUREFLAG_PREFER_16BIT 0x8 // wins over TEXTUREFLAG_PREFER_32BIT
#define TEXTUREFLAG_ALPHA 0x10       // has alpha; taken by CreateEmptyTexture only

// One texture record. Constructing links it at the head of TextureContainerList with
// one use; destroying unlinks it and frees what it owns.
struct CTextureContainer {
    CTextureContainer* next; // the next record of TextureContainerList
    std::string name;        // the key, whole
    DWORD width;             // image size in pixels, 0 until an image is loaded
    DWORD height;
    DWORD stage;                  // texture stage written into the surface description
    DWORD bitsPerPixel;           // bit depth of the loaded image, 0 until loaded
    DWORD flags;                  // TEXTUREFLAG_*
    BOOL hasAlpha;                // the surface is made in a format with alpha bits
    IDirectDrawSurface7* surface; // owned reference: the texture surface, or NULL
    HBITMAP bitmap;               // owned: image of a resource or ".bmp" file, or NULL
    // Owned: decoded ".tga" image, width * height pixels, row-major from the top-left,
    // each red << 24 | green << 16 | blue << 8 | alpha; empty when none. A record holds
    // at most one of bitmap and pixels.
    std::vector<uint32_t> pixels;
    LONG uses; // users holding the record (see "Uses" above)
    // The device the store made the surface for (identity only, no reference held);
    // NULL when the owner put the surface in, and then the surface's DirectDraw object
    // decides whether it belongs to a device.
    IDirect3DDevice7* device;
    // The thread (apartment) that made or put the surface; 0 for none, or for a surface set
    // directly, which every thread may use. Only that thread uses, replaces or releases it
    // (see "Apartments" above).
    DWORD owner;

    CTextureContainer(const char* name, DWORD stage, DWORD flags);
    ~CTextureContainer();
    // Releases the surface (and forgets its device); one of another thread is handed back
    // to that thread, which releases it at its next use of the store.
    void ReleaseSurface();
    // The surface if the calling thread may use it (its own), else NULL.
    IDirectDrawSurface7* OwnSurface() const;
    // Frees the bitmap and the pixels.
    void FreeImage();
    CTextureContainer(const CTextureContainer&) = delete;
    CTextureContainer& operator=(const CTextureContainer&) = delete;
};

// Head of the list, newest record first; NULL when empty.
extern CTextureContainer* TextureContainerList;

// Holds the store's process-wide lock while it lives (a thread may take it again).
class TextureStoreLock {
public:
    TextureStoreLock();
    ~TextureStoreLock();
    TextureStoreLock(const TextureStoreLock&) = delete;
    TextureStoreLock& operator=(const TextureStoreLock&) = delete;
};

// S_OK, E_INVALIDARG (null or over-long name or path), E_OUTOFMEMORY, or E_FAIL when the
// image cannot be loaded (no record is left then). No surface is made here.
HRESULT CreateTextureFromFile(const char* name, DWORD stage, DWORD flags);
// A record of the given size without an image: 16 bits a pixel, 32 with
// TEXTUREFLAG_PREFER_32BIT, alpha with TEXTUREFLAG_ALPHA. S_OK, E_INVALIDARG,
// E_FAIL (name listed), E_OUTOFMEMORY.
HRESULT CreateEmptyTexture(const char* name, DWORD width, DWORD height, DWORD stage, DWORD flags);
// The listed record with one use added, or a new imageless record; NULL for a null or
// over-long name or without memory. Drop the use with DestroyTexture.
CTextureContainer* AcquireTexture(const char* name, DWORD stage, DWORD flags);
// The newest record of the name, or NULL.
CTextureContainer* FindTexture(const char* name);

// A surface on the device for the record of the name (see "Surfaces" above): S_OK,
// 0x887600FF (DDERR_NOTFOUND) when not listed, E_INVALIDARG for a null device, E_FAIL
// when the device gives no caps or no usable format, or DirectDraw's code.
HRESULT RestoreTexture(const char* name, IDirect3DDevice7* device);
// Restores every record on the device; S_OK.
HRESULT RestoreAllTextures(IDirect3DDevice7* device);
// Releases the surface of the record of the name: S_OK, or 0x887600FF when not listed.
HRESULT InvalidateTexture(const char* name);
// Releases every record's surface; S_OK.
HRESULT InvalidateAllTextures();
// Releases the surfaces this thread made on a DirectDraw object, before the object goes: those
// of textures and of models alike, made again on the next device they are used on.
void InvalidateTexturesOf(IDirectDraw7* dd);
// Drops one use of the record of the name (see "Uses" above); S_OK, also when not listed.
HRESULT DestroyTexture(const char* name);
// The surface of the record of the name (no reference added), or NULL.
IDirectDrawSurface7* GetTextureSurface(const char* name);
// GetTextureSurface with a reference of the caller's own, or none.
zyk::com::Ptr<IDirectDrawSurface7> HoldTextureSurface(const char* name);
// The surface of a record the caller holds a use of, with a reference of its own, or none.
zyk::com::Ptr<IDirectDrawSurface7> HoldRecordSurface(CTextureContainer* record);
// Puts surface (its reference goes to the record) in place of the record's surface, which
// is released; the record then belongs to no device of the store's making.
void PutRecordSurface(CTextureContainer* record, IDirectDrawSurface7* surface);
// Frees every record whatever its uses: for the module's unload.
void DestroyAllTextures();

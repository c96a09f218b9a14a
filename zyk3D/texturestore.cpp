// The texture store (see texturestore.h): its records, their uses, and their surfaces
// restored and released.
#include "texturestore.h"
#include "textureconverter.h"
#include "zyk3D.h"
#include "com/boundary.h"
#include "com/failure.h"
#include "com/ptr.h"
#include "image/texture.h"

#include <cstdlib>
#include <cstring>
#include <new>

CTextureContainer* TextureContainerList = nullptr;

namespace {

// The store's lock: made at its first use, which may come from any thread, and kept for
// the process (the module's unload frees the records under it).
CRITICAL_SECTION& StoreLock()
{
    static CRITICAL_SECTION* lock = [] {
        static CRITICAL_SECTION section;
        InitializeCriticalSection(&section);
        return &section;
    }();
    return *lock;
}

// Surfaces released by a thread other than their maker's, waiting for it; under the lock.
struct Parked {
    DWORD owner;
    IDirectDrawSurface7* surface;
};
std::vector<Parked>& ParkedSurfaces()
{
    static std::vector<Parked>* parked = new std::vector<Parked>;
    return *parked;
}

// Releases what other threads handed back to the calling one.
void ReleaseParked()
{
    std::vector<Parked>& parked = ParkedSurfaces();
    if (parked.empty()) return;
    const DWORD self = GetCurrentThreadId();
    for (size_t i = 0; i < parked.size();) {
        if (parked[i].owner != self) {
            ++i;
            continue;
        }
        IDirectDrawSurface7* surface = parked[i].surface;
        parked.erase(parked.begin() + static_cast<std::ptrdiff_t>(i));
        surface->Release();
    }
}

// A name the store accepts as a key: present and no longer than a path.
bool ValidName(const char* name) { return name && strnlen(name, kStoreNameMax + 1) <= kStoreNameMax; }

// Whether the record's surface can stay for the device: present, not lost, and made
// for it. A surface holds its DirectDraw object alive, so comparing DirectDraw objects
// also tells a new device at the address of a released one.
bool SurfaceFits(CTextureContainer* record, IDirect3DDevice7* device)
{
    if (record->surface && record->owner && record->owner != GetCurrentThreadId()) return true; // another apartment's
    if (!record->surface || !device) return false;
    if (record->device && record->device != device) return false;
    if (record->surface->IsLost() == DDERR_SURFACELOST) return false;
    const zyk::com::Ptr<IDirectDraw7> mine = zyk::image::DirectDrawOf(record->surface);
    const zyk::com::Ptr<IDirectDraw7> its = zyk::image::DirectDrawOf(device);
    return !(mine && its && mine.Get() != its.Get());
}

// Restores one record, leaving a fitting surface alone.
HRESULT RestoreRecord(CTextureContainer* record, IDirect3DDevice7* device)
{
    return zyk::com::Boundary(CLSID_Texture, IID_ITexture, [&]() -> HRESULT {
        if (SurfaceFits(record, device)) return S_OK;
        return RestoreContainer(record, device);
    });
}

} // namespace

TextureStoreLock::TextureStoreLock()
{
    EnterCriticalSection(&StoreLock());
    ReleaseParked();
}

TextureStoreLock::~TextureStoreLock() { LeaveCriticalSection(&StoreLock()); }

CTextureContainer::CTextureContainer(const char* key, DWORD stageIn, DWORD flagsIn)
    : next(nullptr), width(0), height(0), stage(stageIn), bitsPerPixel(0), flags(flagsIn), hasAlpha(FALSE),
      surface(nullptr), bitmap(nullptr), uses(1), device(nullptr), owner(0)
{
    name = key ? key : "";
    TextureStoreLock locked;
    next = TextureContainerList;
    TextureContainerList = this;
}

CTextureContainer::~CTextureContainer()
{
    TextureStoreLock locked;
    ReleaseSurface();
    FreeImage();
    if (TextureContainerList == this) {
        TextureContainerList = next;
    } else {
        for (CTextureContainer* r = TextureContainerList; r; r = r->next) {
            if (r->next == this) {
                r->next = next;
                break;
            }
        }
    }
}

void CTextureContainer::ReleaseSurface()
{
    TextureStoreLock locked;
    if (surface) {
        if (owner && owner != GetCurrentThreadId()) {
            try {
                ParkedSurfaces().push_back({owner, surface});
            } catch (const std::bad_alloc&) {
                surface->Release(); // no room to hand it back: released here after all
            }
        } else {
            surface->Release();
        }
        surface = nullptr;
    }
    device = nullptr;
    owner = 0;
}

IDirectDrawSurface7* CTextureContainer::OwnSurface() const
{
    return surface && (!owner || owner == GetCurrentThreadId()) ? surface : nullptr;
}

void CTextureContainer::FreeImage()
{
    if (bitmap) {
        DeleteObject(bitmap);
        bitmap = nullptr;
    }
    std::vector<uint32_t>().swap(pixels);
}

HRESULT CreateTextureFromFile(const char* name, DWORD stage, DWORD flags)
{
    TextureStoreLock locked;
    if (!ValidName(name) || !FitsTextureFolder(name)) return E_INVALIDARG;
    if (CTextureContainer* listed = FindTexture(name)) {
        ++listed->uses;
        return S_OK;
    }
    CTextureContainer* record = new (std::nothrow) CTextureContainer(name, stage, flags);
    if (!record) return E_OUTOFMEMORY;

    // The platform loaders meet untrusted files: a fault inside them fails the load.
    HRESULT hr = E_FAIL;
    auto load = [&]() { hr = LoadImageData(record); };
    if (zyk::com::RunWithFaultFrame(load) != 0) hr = E_FAIL;
    if (FAILED(hr)) {
        delete record;
        return E_FAIL;
    }
    if (record->bitmap) {
        BITMAP bm = {};
        GetObjectA(record->bitmap, sizeof bm, &bm);
        record->width = static_cast<DWORD>(bm.bmWidth);
        record->height = static_cast<DWORD>(std::abs(bm.bmHeight));
        record->bitsPerPixel = bm.bmBitsPixel;
    }
    return S_OK;
}

HRESULT CreateEmptyTexture(const char* name, DWORD width, DWORD height, DWORD stage, DWORD flags)
{
    TextureStoreLock locked;
    if (!ValidName(name)) return E_INVALIDARG;
    if (FindTexture(name)) return E_FAIL;
    CTextureContainer* record = new (std::nothrow) CTextureContainer(name, stage, flags);
    if (!record) return E_OUTOFMEMORY;
    record->width = width;
    record->height = height;
    record->bitsPerPixel = (flags & TEXTUREFLAG_PREFER_32BIT) ? 32 : 16;
    record->hasAlpha = (flags & TEXTUREFLAG_ALPHA) ? TRUE : FALSE;
    return S_OK;
}

CTextureContainer* AcquireTexture(const char* name, DWORD stage, DWORD flags)
{
    TextureStoreLock locked;
    if (!ValidName(name)) return nullptr;
    if (CTextureContainer* listed = FindTexture(name)) {
        ++listed->uses;
        return listed;
    }
    return new (std::nothrow) CTextureContainer(name, stage, flags);
}

CTextureContainer* FindTexture(const char* name)
{
    TextureStoreLock locked;
    if (!name) return nullptr;
    for (CTextureContainer* r = TextureContainerList; r; r = r->next)
        if (lstrcmpiA(r->name.c_str(), name) == 0) return r;
    return nullptr;
}

HRESULT RestoreTexture(const char* name, IDirect3DDevice7* device)
{
    TextureStoreLock locked;
    return zyk::com::Boundary(CLSID_Texture, IID_ITexture, [&]() -> HRESULT {
        CTextureContainer* record = FindTexture(name);
        if (!record) return DDERR_NOTFOUND;
        return RestoreRecord(record, device);
    });
}

HRESULT RestoreAllTextures(IDirect3DDevice7* device)
{
    TextureStoreLock locked;
    return zyk::com::Boundary(CLSID_Texture, IID_ITexture, [&]() {
        // Each record is restored itself, also when several share a name.
        for (CTextureContainer* r = TextureContainerList; r; r = r->next) RestoreRecord(r, device);
    });
}

HRESULT InvalidateTexture(const char* name)
{
    TextureStoreLock locked;
    return zyk::com::Boundary(CLSID_Texture, IID_ITexture, [&]() -> HRESULT {
        CTextureContainer* record = FindTexture(name);
        if (!record) return DDERR_NOTFOUND;
        record->ReleaseSurface();
        return S_OK;
    });
}

HRESULT InvalidateAllTextures()
{
    TextureStoreLock locked;
    return zyk::com::Boundary(CLSID_Texture, IID_ITexture, [&]() {
        for (CTextureContainer* r = TextureContainerList; r; r = r->next) r->ReleaseSurface();
    });
}

void InvalidateTexturesOf(IDirectDraw7* dd)
{
    TextureStoreLock locked;
    for (CTextureContainer* r = TextureContainerList; r; r = r->next)
        if (IDirectDrawSurface7* surface = r->OwnSurface())
            if (zyk::image::DirectDrawOf(surface).Get() == dd) r->ReleaseSurface();
}

HRESULT DestroyTexture(const char* name)
{
    TextureStoreLock locked;
    return zyk::com::Boundary(CLSID_Texture, IID_ITexture, [&]() {
        CTextureContainer* record = FindTexture(name);
        if (record && --record->uses <= 0) delete record;
    });
}

IDirectDrawSurface7* GetTextureSurface(const char* name)
{
    TextureStoreLock locked;
    IDirectDrawSurface7* surface = nullptr;
    zyk::com::Boundary(CLSID_Texture, IID_ITexture, [&]() {
        if (CTextureContainer* record = FindTexture(name)) surface = record->OwnSurface();
    });
    return surface;
}

void DestroyAllTextures()
{
    TextureStoreLock locked;
    while (TextureContainerList) delete TextureContainerList;
    for (const Parked& p : ParkedSurfaces()) p.surface->Release();
    ParkedSurfaces().clear();
}

zyk::com::Ptr<IDirectDrawSurface7> HoldTextureSurface(const char* name)
{
    TextureStoreLock locked;
    return zyk::com::Ptr<IDirectDrawSurface7>(GetTextureSurface(name));
}

zyk::com::Ptr<IDirectDrawSurface7> HoldRecordSurface(CTextureContainer* record)
{
    TextureStoreLock locked;
    return zyk::com::Ptr<IDirectDrawSurface7>(record ? record->OwnSurface() : nullptr);
}

void PutRecordSurface(CTextureContainer* record, IDirectDrawSurface7* surface)
{
    TextureStoreLock locked;
    record->ReleaseSurface();
    record->surface = surface;
    if (surface) record->owner = GetCurrentThreadId();
}

#include "texturestore.h"
#include "zyk3D.h"
#include "com/boundary.h"
#include "com/failure.h"
#include "formats/bmp.h"
#include "formats/tga.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

CTextureContainer* TextureContainerList = nullptr;

namespace {

// The texture folder that names are tried under first.
char g_texturePath[512] = "";

constexpr size_t kNameMax = kStoreNameMax; // characters of a record name
constexpr size_t kPathMax = kStoreNameMax; // characters of a joined path

// Bytes of a file, or false when it cannot be opened or read in full.
bool ReadWholeFile(const char* path, std::vector<uint8_t>& bytes)
{
    FILE* f = fopen(path, "rb");
    if (!f) return false;
    bool ok = false;
    if (fseek(f, 0, SEEK_END) == 0) {
        const long size = ftell(f);
        if (size >= 0 && fseek(f, 0, SEEK_SET) == 0) {
            try {
                bytes.resize(static_cast<size_t>(size));
                ok = size == 0 || fread(bytes.data(), 1, bytes.size(), f) == bytes.size();
            } catch (const std::bad_alloc&) {
                ok = false;
            }
        }
    }
    fclose(f);
    return ok;
}

// folder + name into a buffer of the platform's path limit; false when it does not fit.
bool JoinPath(char (&out)[kPathMax + 1], const char* folder, const char* name)
{
    const size_t a = strlen(folder), b = strlen(name);
    if (a + b > kPathMax) return false;
    memcpy(out, folder, a);
    memcpy(out + a, name, b + 1);
    return true;
}

// A name the store accepts as a key: present and no longer than a path.
bool ValidName(const char* name) { return name && strnlen(name, kNameMax + 1) <= kNameMax; }

void ReleaseSurface(CTextureContainer* record)
{
    if (record->surface) {
        record->surface->Release();
        record->surface = nullptr;
    }
    record->device = nullptr;
}

void FreeImage(CTextureContainer* record)
{
    if (record->bitmap) {
        DeleteObject(record->bitmap);
        record->bitmap = nullptr;
    }
    std::vector<uint32_t>().swap(record->pixels);
}

// The DirectDraw object that a device renders through (AddRef'ed), or NULL.
IDirectDraw7* DirectDrawOfDevice(IDirect3DDevice7* device)
{
    IDirectDrawSurface7* target = nullptr;
    if (FAILED(device->GetRenderTarget(&target)) || !target) return nullptr;
    IDirectDraw7* dd = nullptr;
    if (FAILED(target->GetDDInterface(reinterpret_cast<void**>(&dd)))) dd = nullptr;
    target->Release();
    return dd;
}

IDirectDraw7* DirectDrawOfSurface(IDirectDrawSurface7* surface)
{
    IDirectDraw7* dd = nullptr;
    if (FAILED(surface->GetDDInterface(reinterpret_cast<void**>(&dd)))) dd = nullptr;
    return dd;
}

// Whether the record's surface can stay for the device: present, not lost, and made
// for it. A surface holds its DirectDraw object alive, so comparing DirectDraw objects
// also tells a new device at the address of a released one.
bool SurfaceFits(CTextureContainer* record, IDirect3DDevice7* device)
{
    if (!record->surface || !device) return false;
    if (record->device && record->device != device) return false;
    if (record->surface->IsLost() == DDERR_SURFACELOST) return false;
    IDirectDraw7* mine = DirectDrawOfSurface(record->surface);
    IDirectDraw7* its = DirectDrawOfDevice(device);
    const bool differ = mine && its && mine != its;
    if (mine) mine->Release();
    if (its) its->Release();
    return !differ;
}

// Restores one record, leaving a fitting surface alone.
HRESULT RestoreRecord(CTextureContainer* record, IDirect3DDevice7* device)
{
    return zyk::com::Boundary(CLSID_Texture, IID_ITexture, [&]() -> HRESULT {
        if (SurfaceFits(record, device)) return S_OK;
        return RestoreContainer(record, device);
    });
}

// The smallest power of two not below v (starting from 1), at most 2^31.
DWORD PowerOfTwoAtLeast(DWORD v)
{
    DWORD p = 1;
    while (p < v && p < 0x80000000u) p <<= 1;
    return p;
}

// A channel value c (0..255) placed into a colour mask: its top bits in the mask's bits.
DWORD PlaceChannel(DWORD c, DWORD mask)
{
    if (!mask) return 0;
    int low = 0;
    while (!(mask >> low & 1)) ++low;
    const int bits = __builtin_popcount(mask);
    const uint64_t v = bits <= 8 ? uint64_t(c >> (8 - bits)) : uint64_t(c) << (bits - 8);
    return static_cast<DWORD>((v << low) & mask);
}

HRESULT LockWaiting(IDirectDrawSurface7* surface, DDSURFACEDESC2& desc)
{
    HRESULT hr;
    do {
        desc = {};
        desc.dwSize = sizeof desc;
        hr = surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr);
    } while (hr == DDERR_WASSTILLDRAWING);
    return hr;
}

// A system-memory copy of the texture's description at another size, for staging.
HRESULT CreateStagingSurface(IDirectDraw7* dd, const DDSURFACEDESC2& texture, DWORD width, DWORD height,
                             IDirectDrawSurface7** out)
{
    DDSURFACEDESC2 desc = texture;
    desc.dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH | DDSD_PIXELFORMAT | DDSD_TEXTURESTAGE;
    desc.ddsCaps.dwCaps = DDSCAPS_TEXTURE | DDSCAPS_SYSTEMMEMORY;
    desc.ddsCaps.dwCaps2 = 0;
    desc.ddsCaps.dwCaps3 = 0;
    desc.ddsCaps.dwCaps4 = 0;
    desc.dwWidth = width;
    desc.dwHeight = height;
    *out = nullptr;
    return dd->CreateSurface(&desc, out, nullptr);
}

} // namespace

bool GetSdkMediaPath(char (&out)[kSdkMediaPathSize])
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\DirectX", 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    char value[512] = {};
    DWORD size = sizeof value, type = 0;
    const LONG rc = RegQueryValueExA(key, "DXSDK Samples Path", nullptr, &type, reinterpret_cast<BYTE*>(value), &size);
    RegCloseKey(key);
    if (rc != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return false;
    value[size < sizeof value ? size : sizeof value - 1] = 0;
    const size_t n = strlen(value);
    memcpy(out, value, n);
    memcpy(out + n, "\\D3DIM\\Media\\", 14);
    return true;
}

CTextureContainer::CTextureContainer(const char* key, DWORD stageIn, DWORD flagsIn)
    : next(TextureContainerList), width(0), height(0), stage(stageIn), bitsPerPixel(0), flags(flagsIn), hasAlpha(FALSE),
      surface(nullptr), bitmap(nullptr), uses(1), device(nullptr)
{
    name = key ? key : "";
    TextureContainerList = this;
}

CTextureContainer::~CTextureContainer()
{
    ReleaseSurface(this);
    FreeImage(this);
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

HRESULT CreateTextureFromFile(const char* name, DWORD stage, DWORD flags)
{
    if (!ValidName(name) || strlen(g_texturePath) + strlen(name) > kPathMax) return E_INVALIDARG;
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
    if (!ValidName(name)) return nullptr;
    if (CTextureContainer* listed = FindTexture(name)) {
        ++listed->uses;
        return listed;
    }
    return new (std::nothrow) CTextureContainer(name, stage, flags);
}

CTextureContainer* FindTexture(const char* name)
{
    if (!name) return nullptr;
    for (CTextureContainer* r = TextureContainerList; r; r = r->next)
        if (lstrcmpiA(r->name.c_str(), name) == 0) return r;
    return nullptr;
}

HRESULT LoadImageData(CTextureContainer* record)
{
    if (!record) return E_INVALIDARG;
    FreeImage(record);

    // A bitmap resource of the host program wins over any file.
    HANDLE image = LoadImageA(GetModuleHandleA(nullptr), record->name.c_str(), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION);
    if (image) {
        record->bitmap = static_cast<HBITMAP>(image);
        return S_OK;
    }

    char path[kPathMax + 1];
    if (!JoinPath(path, g_texturePath, record->name.c_str())) return E_INVALIDARG;
    FILE* f = fopen(path, "rb");
    if (!f) {
        // A joined SDK path that does not fit is a folder not tried.
        char sdk[kSdkMediaPathSize];
        if (GetSdkMediaPath(sdk) && JoinPath(path, sdk, record->name.c_str())) f = fopen(path, "rb");
    }
    if (!f) return DDERR_NOTFOUND;
    fclose(f);

    const char* extension = strrchr(record->name.c_str(), '.');
    if (!extension) return E_NOTIMPL;
    if (lstrcmpiA(extension, ".bmp") == 0) return LoadBitmapFile(record, path);
    if (lstrcmpiA(extension, ".tga") == 0) return LoadTargaFile(record, path);
    return E_NOTIMPL;
}

HRESULT LoadBitmapFile(CTextureContainer* record, const char* path)
{
    // The platform loader trusts the headers: only a file whose headers fit the bytes
    // present reaches it.
    std::vector<uint8_t> bytes;
    if (!ReadWholeFile(path, bytes)) return DDERR_NOTFOUND;
    zyk::formats::BmpInfo info;
    if (zyk::formats::CheckBmp(bytes.data(), bytes.size(), info) != zyk::formats::BmpResult::Ok) return DDERR_NOTFOUND;
    std::vector<uint8_t>().swap(bytes);

    HANDLE image = LoadImageA(nullptr, path, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION);
    if (!image) return DDERR_NOTFOUND;
    record->bitmap = static_cast<HBITMAP>(image);
    return S_OK;
}

HRESULT LoadTargaFile(CTextureContainer* record, const char* path)
{
    std::vector<uint8_t> bytes;
    if (!ReadWholeFile(path, bytes)) return E_FAIL;
    zyk::formats::TgaImage image;
    if (zyk::formats::DecodeTga(bytes.data(), bytes.size(), image) != zyk::formats::TgaResult::Ok) return E_FAIL;
    record->width = image.width;
    record->height = image.height;
    record->bitsPerPixel = image.bitsPerPixel;
    record->pixels = std::move(image.pixels);
    return S_OK;
}

HRESULT RestoreContainer(CTextureContainer* record, IDirect3DDevice7* device)
{
    if (!record) return E_INVALIDARG;
    ReleaseSurface(record);
    if (!device) return E_INVALIDARG;
    // Without a size there is nothing to build (an imageless record of its owner).
    if (!record->width || !record->height) return E_FAIL;

    D3DDEVICEDESC7 caps = {};
    if (FAILED(device->GetCaps(&caps))) return E_FAIL;

    DDSURFACEDESC2 desc = {};
    desc.dwSize = sizeof desc;
    desc.ddpfPixelFormat.dwSize = sizeof(DDPIXELFORMAT);
    desc.dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH | DDSD_PIXELFORMAT | DDSD_TEXTURESTAGE;
    desc.ddsCaps.dwCaps = DDSCAPS_TEXTURE;
    desc.dwTextureStage = record->stage;
    desc.dwWidth = record->width;
    desc.dwHeight = record->height;

    if (IsEqualGUID(caps.deviceGUID, IID_IDirect3DHALDevice) || IsEqualGUID(caps.deviceGUID, IID_IDirect3DTnLHalDevice))
        desc.ddsCaps.dwCaps2 = DDSCAPS2_TEXTUREMANAGE;
    else
        desc.ddsCaps.dwCaps |= DDSCAPS_SYSTEMMEMORY;

    const DWORD textureCaps = caps.dpcTriCaps.dwTextureCaps;
    if (textureCaps & D3DPTEXTURECAPS_POW2) {
        desc.dwWidth = PowerOfTwoAtLeast(desc.dwWidth);
        desc.dwHeight = PowerOfTwoAtLeast(desc.dwHeight);
    }
    const DWORD maxWidth = caps.dwMaxTextureWidth ? caps.dwMaxTextureWidth : 256;
    const DWORD maxHeight = caps.dwMaxTextureHeight ? caps.dwMaxTextureHeight : 256;
    if (desc.dwWidth > maxWidth) desc.dwWidth = maxWidth;
    if (desc.dwHeight > maxHeight) desc.dwHeight = maxHeight;
    if (textureCaps & D3DPTEXTURECAPS_SQUAREONLY) {
        const DWORD side = desc.dwWidth > desc.dwHeight ? desc.dwWidth : desc.dwHeight;
        desc.dwWidth = desc.dwHeight = side;
    }

    TextureFormatSearch search = {};
    search.wantedDepth = record->bitsPerPixel;
    if (record->flags & TEXTUREFLAG_PREFER_16BIT)
        search.wantedDepth = 16;
    else if (record->flags & TEXTUREFLAG_PREFER_32BIT)
        search.wantedDepth = 32;
    search.wantsAlpha = record->hasAlpha;
    search.wantsPalette = record->bitsPerPixel <= 8;
    search.found = FALSE;
    search.target = &desc.ddpfPixelFormat;
    if ((record->flags & (TEXTUREFLAG_WHITE_TRANSPARENT | TEXTUREFLAG_BLACK_TRANSPARENT)) && search.wantsPalette) {
        search.wantsAlpha = TRUE;
        search.wantsPalette = (textureCaps & D3DPTEXTURECAPS_ALPHAPALETTE) ? TRUE : FALSE;
    }
    device->EnumTextureFormats(TextureFormatCallback, &search);
    if (!search.found) {
        search.wantsPalette = FALSE;
        search.wantedDepth = 16;
        device->EnumTextureFormats(TextureFormatCallback, &search);
    }
    if (!search.found) return E_FAIL;

    IDirectDraw7* dd = DirectDrawOfDevice(device);
    if (!dd) return E_FAIL;
    HRESULT hr = dd->CreateSurface(&desc, &record->surface, nullptr);
    dd->Release();
    if (FAILED(hr)) {
        record->surface = nullptr;
        return hr;
    }
    record->device = device;

    hr = S_OK;
    if (record->bitmap)
        hr = CopyBitmapToSurface(record);
    else if (!record->pixels.empty())
        hr = CopyRgbaToSurface(record);
    // A surface without its image is no surface: the next restore tries again.
    if (FAILED(hr)) ReleaseSurface(record);
    return hr;
}

HRESULT CALLBACK TextureFormatCallback(DDPIXELFORMAT* format, void* context)
{
    auto* search = static_cast<TextureFormatSearch*>(context);
    if (!format || !search || !search->target) return D3DENUMRET_OK;
    if (format->dwFlags & (DDPF_LUMINANCE | DDPF_BUMPLUMINANCE | DDPF_BUMPDUDV)) return D3DENUMRET_OK;

    const bool take = search->wantsPalette
                          ? (format->dwFlags & DDPF_PALETTEINDEXED8) != 0
                          : format->dwRGBBitCount >= 16 && format->dwFourCC == 0 &&
                                format->dwRGBAlphaBitMask != 0xF000 &&
                                ((format->dwFlags & DDPF_ALPHAPIXELS) != 0) == (search->wantsAlpha != FALSE) &&
                                format->dwRGBBitCount == search->wantedDepth;
    if (!take) return D3DENUMRET_OK;
    memcpy(search->target, format, sizeof(DDPIXELFORMAT));
    search->found = TRUE;
    return D3DENUMRET_CANCEL;
}

HRESULT CopyBitmapToSurface(CTextureContainer* record)
{
    return zyk::com::Boundary(CLSID_Texture, IID_ITexture, [&]() -> HRESULT {
        if (!record || !record->surface || !record->bitmap) return E_INVALIDARG;
        IDirectDrawSurface7* texture = record->surface;
        IDirectDraw7* dd = DirectDrawOfSurface(texture);
        if (!dd) return E_FAIL;
        BITMAP bm = {};
        GetObjectA(record->bitmap, sizeof bm, &bm);
        const DWORD bmWidth = static_cast<DWORD>(bm.bmWidth), bmHeight = static_cast<DWORD>(std::abs(bm.bmHeight));
        DDSURFACEDESC2 desc = {};
        desc.dwSize = sizeof desc;
        texture->GetSurfaceDesc(&desc);

        IDirectDrawSurface7* staging = nullptr;
        HRESULT hr = CreateStagingSurface(dd, desc, bmWidth, bmHeight, &staging);
        if (FAILED(hr)) {
            dd->Release();
            return hr;
        }
        HDC memory = CreateCompatibleDC(nullptr);
        if (!memory) {
            staging->Release();
            dd->Release();
            return S_OK;
        }
        HGDIOBJ previous = SelectObject(memory, record->bitmap);

        const DWORD flags = record->flags;
        const bool keyed = (flags & (TEXTUREFLAG_WHITE_TRANSPARENT | TEXTUREFLAG_BLACK_TRANSPARENT)) != 0;
        if (desc.ddpfPixelFormat.dwRGBBitCount == 8) {
            RGBQUAD colours[256] = {};
            const UINT count = GetDIBColorTable(memory, 0, 256, colours);
            PALETTEENTRY entries[256] = {};
            for (UINT i = 0; i < count && i < 256; ++i) {
                entries[i].peRed = colours[i].rgbRed;
                entries[i].peGreen = colours[i].rgbGreen;
                entries[i].peBlue = colours[i].rgbBlue;
                const DWORD colour = colours[i].rgbRed | colours[i].rgbGreen << 8 | colours[i].rgbBlue << 16;
                if (flags & TEXTUREFLAG_BLACK_TRANSPARENT) {
                    if (colour != 0) entries[i].peFlags = 0xFF;
                } else if (flags & TEXTUREFLAG_WHITE_TRANSPARENT) {
                    if (colour != 0xFFFFFF) entries[i].peFlags = 0xFF;
                }
            }
            IDirectDrawPalette* palette = nullptr;
            const DWORD paletteCaps = DDPCAPS_8BIT | DDPCAPS_ALLOW256 | (keyed ? DDPCAPS_ALPHA : 0);
            if (SUCCEEDED(dd->CreatePalette(paletteCaps, entries, &palette, nullptr)) && palette) {
                staging->SetPalette(palette);
                texture->SetPalette(palette);
                palette->Release();
            }
        }

        HDC dc = nullptr;
        if (SUCCEEDED(staging->GetDC(&dc))) {
            BitBlt(dc, 0, 0, static_cast<int>(bmWidth), static_cast<int>(bmHeight), memory, 0, 0, SRCCOPY);
            staging->ReleaseDC(dc);
        }
        SelectObject(memory, previous);
        DeleteDC(memory);

        texture->Blt(nullptr, staging, nullptr, DDBLT_WAIT, nullptr);
        staging->Release();

        // Colour-keyed transparency: the key colour gets no alpha, every other full alpha.
        const DDPIXELFORMAT& pf = desc.ddpfPixelFormat;
        if (pf.dwRGBAlphaBitMask && keyed) {
            DDSURFACEDESC2 locked;
            if (SUCCEEDED(LockWaiting(texture, locked))) {
                const DWORD rgb = pf.dwRBitMask | pf.dwGBitMask | pf.dwBBitMask;
                const DWORD key = (flags & TEXTUREFLAG_WHITE_TRANSPARENT) ? rgb : 0;
                const DWORD alpha = pf.dwRGBAlphaBitMask;
                const DWORD bits = locked.ddpfPixelFormat.dwRGBBitCount;
                for (DWORD y = 0; y < locked.dwHeight; ++y) {
                    BYTE* row = static_cast<BYTE*>(locked.lpSurface) + y * locked.lPitch;
                    if (bits == 16) {
                        WORD* p = reinterpret_cast<WORD*>(row);
                        for (DWORD x = 0; x < locked.dwWidth; ++x) {
                            WORD v = static_cast<WORD>(p[x] & rgb);
                            if (v != key) v = static_cast<WORD>(v | alpha);
                            p[x] = v;
                        }
                    } else if (bits == 32) {
                        DWORD* p = reinterpret_cast<DWORD*>(row);
                        for (DWORD x = 0; x < locked.dwWidth; ++x) {
                            DWORD v = p[x] & rgb;
                            if (v != key) v |= alpha;
                            p[x] = v;
                        }
                    }
                }
                texture->Unlock(nullptr);
            }
        }
        dd->Release();
        return S_OK;
    });
}

HRESULT CopyRgbaToSurface(CTextureContainer* record)
{
    return zyk::com::Boundary(CLSID_Texture, IID_ITexture, [&]() -> HRESULT {
        if (!record || !record->surface) return E_INVALIDARG;
        if (record->pixels.size() < size_t(record->width) * record->height) return E_FAIL;
        IDirectDrawSurface7* texture = record->surface;
        IDirectDraw7* dd = DirectDrawOfSurface(texture);
        if (!dd) return E_FAIL;
        DDSURFACEDESC2 desc = {};
        desc.dwSize = sizeof desc;
        texture->GetSurfaceDesc(&desc);

        IDirectDrawSurface7* staging = nullptr;
        if (FAILED(CreateStagingSurface(dd, desc, record->width, record->height, &staging))) {
            dd->Release();
            return S_OK;
        }
        DDSURFACEDESC2 locked;
        HRESULT hr = LockWaiting(staging, locked);
        if (FAILED(hr)) {
            staging->Release();
            dd->Release();
            return hr;
        }

        const DDPIXELFORMAT& pf = locked.ddpfPixelFormat;
        // Pixels are written whole at the surface's depth: 4, 3, 2 or 1 bytes.
        DWORD bytes = (pf.dwRGBBitCount + 7) / 8;
        if (bytes < 1) bytes = 1;
        if (bytes > 4) bytes = 4;
        const DWORD w = locked.dwWidth < record->width ? locked.dwWidth : record->width;
        const DWORD h = locked.dwHeight < record->height ? locked.dwHeight : record->height;
        for (DWORD y = 0; y < h; ++y) {
            BYTE* row = static_cast<BYTE*>(locked.lpSurface) + y * locked.lPitch;
            const uint32_t* source = record->pixels.data() + size_t(y) * record->width;
            for (DWORD x = 0; x < w; ++x) {
                const uint32_t p = source[x];
                const DWORD value = PlaceChannel(p >> 24, pf.dwRBitMask) + PlaceChannel(p >> 16 & 0xFF, pf.dwGBitMask) +
                                    PlaceChannel(p >> 8 & 0xFF, pf.dwBBitMask) +
                                    PlaceChannel(p & 0xFF, pf.dwRGBAlphaBitMask);
                BYTE* out = row + size_t(x) * bytes;
                for (DWORD b = 0; b < bytes; ++b) out[b] = static_cast<BYTE>(value >> (8 * b));
            }
        }
        staging->Unlock(nullptr);

        texture->Blt(nullptr, staging, nullptr, DDBLT_WAIT, nullptr);
        staging->Release();
        dd->Release();
        return S_OK;
    });
}

HRESULT RestoreTexture(const char* name, IDirect3DDevice7* device)
{
    return zyk::com::Boundary(CLSID_Texture, IID_ITexture, [&]() -> HRESULT {
        CTextureContainer* record = FindTexture(name);
        if (!record) return DDERR_NOTFOUND;
        return RestoreRecord(record, device);
    });
}

HRESULT RestoreAllTextures(IDirect3DDevice7* device)
{
    return zyk::com::Boundary(CLSID_Texture, IID_ITexture, [&]() {
        // Each record is restored itself, also when several share a name.
        for (CTextureContainer* r = TextureContainerList; r; r = r->next) RestoreRecord(r, device);
    });
}

HRESULT InvalidateTexture(const char* name)
{
    return zyk::com::Boundary(CLSID_Texture, IID_ITexture, [&]() -> HRESULT {
        CTextureContainer* record = FindTexture(name);
        if (!record) return DDERR_NOTFOUND;
        ReleaseSurface(record);
        return S_OK;
    });
}

HRESULT InvalidateAllTextures()
{
    return zyk::com::Boundary(CLSID_Texture, IID_ITexture, [&]() {
        for (CTextureContainer* r = TextureContainerList; r; r = r->next) ReleaseSurface(r);
    });
}

HRESULT DestroyTexture(const char* name)
{
    return zyk::com::Boundary(CLSID_Texture, IID_ITexture, [&]() {
        CTextureContainer* record = FindTexture(name);
        if (record && --record->uses <= 0) delete record;
    });
}

IDirectDrawSurface7* GetTextureSurface(const char* name)
{
    IDirectDrawSurface7* surface = nullptr;
    zyk::com::Boundary(CLSID_Texture, IID_ITexture, [&]() {
        if (CTextureContainer* record = FindTexture(name)) surface = record->surface;
    });
    return surface;
}

const char* SetTexturePath(const char* path)
{
    lstrcpynA(g_texturePath, path ? path : "", sizeof g_texturePath);
    return g_texturePath;
}

void DestroyAllTextures()
{
    while (TextureContainerList) delete TextureContainerList;
}

// The texture store's converter (see textureconverter.h): images from resources and
// files, and texture surfaces made from them.
#include "textureconverter.h"
#include "texturepath.h"
#include "zyk3D.h"
#include "com/boundary.h"
#include "com/ptr.h"
#include "formats/tga.h"
#include "image/file.h"
#include "image/pixels.h"
#include "image/texture.h"

#include <cstdlib>
#include <cstring>
#include <new>

using zyk::com::Ptr;

namespace {

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
                             Ptr<IDirectDrawSurface7>& out)
{
    DDSURFACEDESC2 desc = texture;
    desc.dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH | DDSD_PIXELFORMAT | DDSD_TEXTURESTAGE;
    desc.ddsCaps.dwCaps = DDSCAPS_TEXTURE | DDSCAPS_SYSTEMMEMORY;
    desc.ddsCaps.dwCaps2 = 0;
    desc.ddsCaps.dwCaps3 = 0;
    desc.ddsCaps.dwCaps4 = 0;
    desc.dwWidth = width;
    desc.dwHeight = height;
    return dd->CreateSurface(&desc, out.Out(), nullptr);
}

// The format the record's image wants on a device with these texture caps: its own depth
// unless a flag prefers 16 or 32 bits, a palette for 8 bits or fewer; a colour-keyed
// palette image wants alpha, and keeps its palette only where palettes carry alpha.
zyk::image::FormatWish WishOf(const CTextureContainer& record, DWORD textureCaps)
{
    zyk::image::FormatWish wish;
    wish.depth = record.bitsPerPixel;
    if (record.flags & TEXTUREFLAG_PREFER_16BIT)
        wish.depth = 16;
    else if (record.flags & TEXTUREFLAG_PREFER_32BIT)
        wish.depth = 32;
    wish.alpha = record.hasAlpha != FALSE;
    wish.palette = record.bitsPerPixel <= 8;
    if ((record.flags & (TEXTUREFLAG_WHITE_TRANSPARENT | TEXTUREFLAG_BLACK_TRANSPARENT)) && wish.palette) {
        wish.alpha = true;
        wish.palette = (textureCaps & D3DPTEXTURECAPS_ALPHAPALETTE) != 0;
    }
    return wish;
}

} // namespace

HRESULT LoadImageData(CTextureContainer* record)
{
    if (!record) return E_INVALIDARG;
    record->FreeImage();

    // A bitmap resource of the host program wins over any file.
    HANDLE image = LoadImageA(GetModuleHandleA(nullptr), record->name.c_str(), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION);
    if (image) {
        record->bitmap = static_cast<HBITMAP>(image);
        return S_OK;
    }

    char path[kStoreNameMax + 1];
    const HRESULT found = FindTextureFile(record->name.c_str(), path);
    if (FAILED(found)) return found;

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
    HBITMAP bitmap = nullptr;
    try {
        bitmap = zyk::image::LoadCheckedBitmap(path);
    } catch (const std::bad_alloc&) {
        bitmap = nullptr;
    }
    if (!bitmap) return DDERR_NOTFOUND;
    record->bitmap = bitmap;
    return S_OK;
}

HRESULT LoadTargaFile(CTextureContainer* record, const char* path)
{
    std::vector<uint8_t> bytes;
    try {
        if (!zyk::image::ReadWholeFile(path, bytes)) return E_FAIL;
    } catch (const std::bad_alloc&) {
        return E_FAIL;
    }
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
    record->ReleaseSurface();
    if (!device) return E_INVALIDARG;
    // Without a size there is nothing to build (an imageless record of its owner).
    if (!record->width || !record->height) return E_FAIL;

    D3DDEVICEDESC7 caps = {};
    if (FAILED(device->GetCaps(&caps))) return E_FAIL;

    DDSURFACEDESC2 desc = {};
    desc.dwSize = sizeof desc;
    desc.dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH | DDSD_PIXELFORMAT | DDSD_TEXTURESTAGE;
    desc.ddsCaps.dwCaps = DDSCAPS_TEXTURE;
    desc.dwTextureStage = record->stage;
    desc.dwWidth = record->width;
    desc.dwHeight = record->height;
    zyk::image::PlaceTexture(caps, desc.ddsCaps);
    zyk::image::FitTextureSize(caps, desc.dwWidth, desc.dwHeight);

    std::vector<DDPIXELFORMAT> offered;
    try {
        zyk::image::OfferedFormats(device, offered);
    } catch (const std::bad_alloc&) {
        return E_FAIL;
    }
    const DDPIXELFORMAT* format = zyk::image::ChooseFormat(offered, WishOf(*record, caps.dpcTriCaps.dwTextureCaps));
    if (!format) return E_FAIL;
    desc.ddpfPixelFormat = *format;

    const Ptr<IDirectDraw7> dd = zyk::image::DirectDrawOf(device);
    if (!dd) return E_FAIL;
    HRESULT hr = dd->CreateSurface(&desc, &record->surface, nullptr);
    if (FAILED(hr)) {
        record->surface = nullptr;
        return hr;
    }
    record->device = device;
    record->owner = GetCurrentThreadId();

    hr = S_OK;
    if (record->bitmap)
        hr = CopyBitmapToSurface(record);
    else if (!record->pixels.empty())
        hr = CopyRgbaToSurface(record);
    // A surface without its image is no surface: the next restore tries again.
    if (FAILED(hr)) record->ReleaseSurface();
    return hr;
}

HRESULT CopyBitmapToSurface(CTextureContainer* record)
{
    return zyk::com::Boundary(CLSID_Texture, IID_ITexture, [&]() -> HRESULT {
        if (!record || !record->surface || !record->bitmap) return E_INVALIDARG;
        IDirectDrawSurface7* texture = record->surface;
        const Ptr<IDirectDraw7> dd = zyk::image::DirectDrawOf(texture);
        if (!dd) return E_FAIL;
        BITMAP bm = {};
        GetObjectA(record->bitmap, sizeof bm, &bm);
        const DWORD bmWidth = static_cast<DWORD>(bm.bmWidth), bmHeight = static_cast<DWORD>(std::abs(bm.bmHeight));
        DDSURFACEDESC2 desc = {};
        desc.dwSize = sizeof desc;
        texture->GetSurfaceDesc(&desc);

        Ptr<IDirectDrawSurface7> staging;
        const HRESULT hr = CreateStagingSurface(dd.Get(), desc, bmWidth, bmHeight, staging);
        if (FAILED(hr)) return hr;
        HDC memory = CreateCompatibleDC(nullptr);
        if (!memory) return S_OK;
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
            Ptr<IDirectDrawPalette> palette;
            const DWORD paletteCaps = DDPCAPS_8BIT | DDPCAPS_ALLOW256 | (keyed ? DDPCAPS_ALPHA : 0);
            if (SUCCEEDED(dd->CreatePalette(paletteCaps, entries, palette.Out(), nullptr)) && palette) {
                staging->SetPalette(palette.Get());
                texture->SetPalette(palette.Get());
            }
        }

        HDC dc = nullptr;
        if (SUCCEEDED(staging->GetDC(&dc))) {
            BitBlt(dc, 0, 0, static_cast<int>(bmWidth), static_cast<int>(bmHeight), memory, 0, 0, SRCCOPY);
            staging->ReleaseDC(dc);
        }
        SelectObject(memory, previous);
        DeleteDC(memory);

        texture->Blt(nullptr, staging.Get(), nullptr, DDBLT_WAIT, nullptr);
        staging.Reset();

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
        return S_OK;
    });
}

HRESULT CopyRgbaToSurface(CTextureContainer* record)
{
    return zyk::com::Boundary(CLSID_Texture, IID_ITexture, [&]() -> HRESULT {
        if (!record || !record->surface) return E_INVALIDARG;
        if (record->pixels.size() < size_t(record->width) * record->height) return E_FAIL;
        IDirectDrawSurface7* texture = record->surface;
        const Ptr<IDirectDraw7> dd = zyk::image::DirectDrawOf(texture);
        if (!dd) return E_FAIL;
        DDSURFACEDESC2 desc = {};
        desc.dwSize = sizeof desc;
        texture->GetSurfaceDesc(&desc);

        Ptr<IDirectDrawSurface7> staging;
        if (FAILED(CreateStagingSurface(dd.Get(), desc, record->width, record->height, staging))) return S_OK;
        DDSURFACEDESC2 locked;
        const HRESULT hr = LockWaiting(staging.Get(), locked);
        if (FAILED(hr)) return hr;
        zyk::image::WritePixels(locked, locked.ddpfPixelFormat, record->pixels.data(), record->width, record->height);
        staging->Unlock(nullptr);

        texture->Blt(nullptr, staging.Get(), nullptr, DDBLT_WAIT, nullptr);
        return S_OK;
    });
}

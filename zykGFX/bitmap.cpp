// Bitmaps on DirectDraw surfaces: copying, colour keys, saving a surface and reading a palette.
#include "bitmap.h"
#include "image/file.h"
#include "formats/bmp.h"
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

HRESULT DDCopyBitmap(IDirectDrawSurface7* surface, HBITMAP bitmap, int x, int y, int dx, int dy)
{
    if (!bitmap || !surface) return E_FAIL;
    surface->Restore();
    HDC image = CreateCompatibleDC(nullptr);
    if (!image) return E_FAIL;
    HGDIOBJ old = SelectObject(image, bitmap);
    BITMAP bm{};
    GetObjectA(bitmap, sizeof bm, &bm);
    if (dx == 0) dx = bm.bmWidth;
    if (dy == 0) dy = bm.bmHeight;
    DDSURFACEDESC2 desc{};
    desc.dwSize = sizeof desc;
    desc.dwFlags = DDSD_HEIGHT | DDSD_WIDTH;
    surface->GetSurfaceDesc(&desc);
    HDC dc = nullptr;
    HRESULT hr = surface->GetDC(&dc);
    if (SUCCEEDED(hr)) {
        StretchBlt(dc, 0, 0, static_cast<int>(desc.dwWidth), static_cast<int>(desc.dwHeight), image, x, y, dx, dy,
                   SRCCOPY);
        surface->ReleaseDC(dc);
    }
    SelectObject(image, old);
    DeleteDC(image);
    return hr;
}

namespace {

bool PixelThroughGdi(IDirectDrawSurface7* surface, COLORREF colour, COLORREF* saved)
{
    HDC dc = nullptr;
    if (FAILED(surface->GetDC(&dc))) return false;
    if (saved) *saved = GetPixel(dc, 0, 0);
    SetPixel(dc, 0, 0, colour);
    surface->ReleaseDC(dc);
    return true;
}

} // namespace

DWORD DDMatchColor(IDirectDrawSurface7* surface, COLORREF colour)
{
    DWORD result = CLR_INVALID;
    if (!surface) return result;
    COLORREF saved = CLR_INVALID;
    bool drawn = colour != CLR_INVALID && PixelThroughGdi(surface, colour, &saved);
    DDSURFACEDESC2 desc{};
    desc.dwSize = sizeof desc;
    HRESULT hr;
    while ((hr = surface->Lock(nullptr, &desc, 0, nullptr)) == DDERR_WASSTILLDRAWING) {}
    if (SUCCEEDED(hr)) {
        result = *static_cast<const DWORD*>(desc.lpSurface);
        const DWORD bits = desc.ddpfPixelFormat.dwRGBBitCount;
        if (bits < 32) result &= (1u << bits) - 1;
        surface->Unlock(nullptr);
    }
    if (drawn) PixelThroughGdi(surface, saved, nullptr);
    return result;
}

HRESULT DDSetSourceColorKey(IDirectDrawSurface7* surface, COLORREF colour)
{
    if (!surface) return E_POINTER;
    DDCOLORKEY key{};
    key.dwColorSpaceLowValue = DDMatchColor(surface, colour);
    key.dwColorSpaceHighValue = key.dwColorSpaceLowValue;
    return surface->SetColorKey(DDCKEY_SRCBLT, &key);
}

HRESULT SaveSurfaceBitmap(IDirectDrawSurface7* surface, const char* path)
{
    DDSURFACEDESC2 desc{};
    desc.dwSize = sizeof desc;
    HRESULT hr = surface->GetSurfaceDesc(&desc);
    if (FAILED(hr)) return hr;
    const int width = static_cast<int>(desc.dwWidth), height = static_cast<int>(desc.dwHeight);
    if (width <= 0 || height <= 0) return E_FAIL;

    // The surface's pixels through GDI, into a bottom-up 24-bit DIB section.
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 24;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!dib) return E_OUTOFMEMORY;
    HDC memory = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(memory, dib);
    HDC dc = nullptr;
    hr = surface->GetDC(&dc);
    if (SUCCEEDED(hr)) {
        BitBlt(memory, 0, 0, width, height, dc, 0, 0, SRCCOPY);
        surface->ReleaseDC(dc);
    }
    GdiFlush();
    SelectObject(memory, old);
    DeleteDC(memory);
    if (SUCCEEDED(hr)) {
        const DWORD stride = (static_cast<DWORD>(width) * 3 + 3) & ~3u, image = stride * static_cast<DWORD>(height);
        BITMAPFILEHEADER fh{};
        fh.bfType = 0x4D42;
        fh.bfOffBits = sizeof fh + sizeof bi.bmiHeader;
        fh.bfSize = fh.bfOffBits + image;
        bi.bmiHeader.biSizeImage = image;
        const bool written = zyk::image::WriteWholeFile(path, "wb", [&](FILE* f) {
            return fwrite(&fh, sizeof fh, 1, f) == 1 && fwrite(&bi.bmiHeader, sizeof bi.bmiHeader, 1, f) == 1 &&
                   fwrite(bits, 1, image, f) == image;
        });
        if (!written) hr = E_FAIL;
    }
    DeleteObject(dib);
    return hr;
}

HBITMAP LoadBitmapFile(const char* path, size_t maxBytes)
{
    if (!path || !*path) return nullptr;
    std::vector<uint8_t> bytes;
    if (!zyk::image::ReadWholeFile(path, bytes, maxBytes)) return nullptr;
    zyk::formats::BmpInfo info;
    if (zyk::formats::CheckBmp(bytes.data(), bytes.size(), info) != zyk::formats::BmpResult::Ok) return nullptr;
    if (!info.topDown) return zyk::image::LoadCheckedBitmap(path, maxBytes);

    // The headers as the file has them (the info header, its masks and colours, up to the
    // pixels), and the pixels, which the check found whole in the file.
    DWORD offset;
    memcpy(&offset, bytes.data() + 10, sizeof offset);
    std::vector<uint8_t> header(bytes.begin() + sizeof(BITMAPFILEHEADER), bytes.begin() + offset);
    const size_t stride = (static_cast<size_t>(info.width) * info.bitsPerPixel + 31) / 32 * 4;
    const size_t image = std::min<size_t>(stride * info.height, bytes.size() - offset);
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, reinterpret_cast<const BITMAPINFO*>(header.data()), DIB_RGB_COLORS,
                                      &bits, nullptr, 0);
    if (!bitmap || !bits) {
        if (bitmap) DeleteObject(bitmap);
        return nullptr;
    }
    memcpy(bits, bytes.data() + offset, image);
    GdiFlush();
    return bitmap;
}

namespace {

// The number of colours a header of up to 8 bits per pixel declares.
DWORD DeclaredColours(const BITMAPINFOHEADER& header)
{
    return header.biClrUsed ? header.biClrUsed : 1u << header.biBitCount;
}

bool FromResource(const char* name, PALETTEENTRY (&entries)[256], bool& found)
{
    found = false;
    HRSRC resource = FindResourceA(nullptr, name, MAKEINTRESOURCEA(2)); // RT_BITMAP
    if (!resource) return false;
    found = true;
    HGLOBAL loaded = LoadResource(nullptr, resource);
    const BYTE* data = loaded ? static_cast<const BYTE*>(LockResource(loaded)) : nullptr;
    const DWORD size = SizeofResource(nullptr, resource);
    if (!data) return true; // a resource that cannot be locked keeps the ramp
    if (size < sizeof(BITMAPINFOHEADER)) return true;
    BITMAPINFOHEADER header;
    memcpy(&header, data, sizeof header);
    if (header.biSize < sizeof header || header.biSize > size || header.biBitCount > 8) return true;
    // At most 256 colours, and only those whose bytes are in the resource.
    DWORD count = std::min<DWORD>({DeclaredColours(header), 256u, (size - header.biSize) / 4});
    const BYTE* quads = data + header.biSize;
    for (DWORD i = 0; i < count; ++i) entries[i] = PALETTEENTRY{quads[i * 4 + 2], quads[i * 4 + 1], quads[i * 4], 0};
    return true;
}

bool FromFile(const char* name, PALETTEENTRY (&entries)[256])
{
    std::vector<uint8_t> bytes;
    if (!zyk::image::ReadWholeFile(name, bytes, 64u << 20)) return false;
    const size_t headers = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
    if (bytes.size() < headers || bytes[0] != 'B' || bytes[1] != 'M') return false;
    BITMAPINFOHEADER header;
    memcpy(&header, bytes.data() + sizeof(BITMAPFILEHEADER), sizeof header);
    // The (up to) 1024 bytes after the headers, as far as the file has them.
    const size_t present = std::min<size_t>(bytes.size() - headers, sizeof entries);
    memcpy(entries, bytes.data() + headers, present);
    if (header.biSize == sizeof header && header.biBitCount <= 8) {
        const DWORD count = std::min<DWORD>({DeclaredColours(header), 256u, static_cast<DWORD>(present / 4)});
        for (DWORD i = 0; i < count; ++i) std::swap(entries[i].peRed, entries[i].peBlue);
    }
    return true;
}

} // namespace

void RampEntries(PALETTEENTRY (&entries)[256])
{
    for (int i = 0; i < 256; ++i) {
        entries[i].peRed = static_cast<BYTE>(((i >> 5) & 7) * 255 / 7);
        entries[i].peGreen = static_cast<BYTE>(((i >> 2) & 7) * 255 / 7);
        entries[i].peBlue = static_cast<BYTE>((i & 3) * 255 / 3);
        entries[i].peFlags = 0;
    }
}

bool LoadPaletteEntries(const char* name, PALETTEENTRY (&entries)[256])
{
    RampEntries(entries);
    if (!name || !*name) return true;
    bool found = false;
    if (FromResource(name, entries, found) || found) return true;
    return FromFile(name, entries);
}

// Textures from image files: a bitmap or Targa file decoded to 32-bit pixels, resized
// to the size the device takes, written into a texture surface in a format the device
// offers, with mip-levels averaged down from it.
#include "d3dx.h"

#include "formats/bmp.h"
#include "formats/tga.h"
#include "image/file.h"
#include "image/pixels.h"
#include "image/texture.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <new>

using namespace d3dx_detail;

namespace {

// Largest image decoded, in pixels (1 GiB of 32-bit pixels).
constexpr uint64_t kMaxPixels = uint64_t(16384) * 16384;

// Pixels are red << 24 | green << 16 | blue << 8 | alpha, row-major from the top-left,
// as the project's Targa reader gives them.
struct Image {
    DWORD width = 0, height = 0;
    std::vector<uint32_t> pixels;
};

bool EndsWithTga(const char* name)
{
    const char* dot = strrchr(name, '.');
    return dot && lstrcmpiA(dot, ".tga") == 0;
}

// A checked bitmap drawn by GDI into a 32-bit top-down DIB section.
HRESULT DecodeBitmap(const std::vector<uint8_t>& bytes, Image& image)
{
    using namespace zyk::formats;
    BmpInfo info;
    const BmpResult r = CheckBmp(bytes.data(), bytes.size(), info);
    if (r == BmpResult::BadFormat) return D3DXERR_UNSUPPORTEDFILEFORMAT;
    if (r != BmpResult::Ok) return D3DXERR_INVALIDFILEFORMAT;
    if (uint64_t(info.width) * info.height > kMaxPixels) return D3DXERR_UNSUPPORTEDFILEFORMAT;
    DWORD offBits = 0;
    memcpy(&offBits, bytes.data() + 10, sizeof(offBits));
    const auto* header = reinterpret_cast<const BITMAPINFO*>(bytes.data() + sizeof(BITMAPFILEHEADER));

    image.pixels.resize(size_t(info.width) * info.height);
    BITMAPINFO target = {};
    target.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    target.bmiHeader.biWidth = static_cast<LONG>(info.width);
    target.bmiHeader.biHeight = -static_cast<LONG>(info.height);
    target.bmiHeader.biPlanes = 1;
    target.bmiHeader.biBitCount = 32;
    target.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(nullptr, &target, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!dib || !bits) {
        if (dib) DeleteObject(dib);
        return D3DXERR_NOMEMORY;
    }
    HDC dc = CreateCompatibleDC(nullptr);
    if (!dc) {
        DeleteObject(dib);
        return D3DXERR_NOMEMORY;
    }
    HGDIOBJ old = SelectObject(dc, dib);
    const int w = static_cast<int>(info.width), h = static_cast<int>(info.height);
    const int lines =
        StretchDIBits(dc, 0, 0, w, h, 0, 0, w, h, bytes.data() + offBits, header, DIB_RGB_COLORS, SRCCOPY);
    GdiFlush();
    const auto* source = static_cast<const uint32_t*>(bits);
    for (size_t i = 0; i < image.pixels.size(); ++i) image.pixels[i] = (source[i] << 8) | 0xFF;
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(dib);
    if (lines == 0 || lines == static_cast<int>(GDI_ERROR)) return D3DXERR_INVALIDFILEFORMAT;
    image.width = info.width;
    image.height = info.height;
    return S_OK;
}

HRESULT DecodeTarga(const std::vector<uint8_t>& bytes, Image& image)
{
    using namespace zyk::formats;
    TgaImage tga;
    switch (DecodeTga(bytes.data(), bytes.size(), tga)) {
    case TgaResult::Ok: break;
    case TgaResult::NoMemory: return D3DXERR_NOMEMORY;
    case TgaResult::TooLarge: return D3DXERR_UNSUPPORTEDFILEFORMAT;
    case TgaResult::BadHeader: {
        // A colour map or another image type is a Targa file this reader does not take.
        const bool otherKind = bytes.size() >= 3 && (bytes[1] != 0 || (bytes[2] != 2 && bytes[2] != 10));
        return otherKind ? D3DXERR_UNSUPPORTEDFILEFORMAT : D3DXERR_INVALIDFILEFORMAT;
    }
    default: return D3DXERR_INVALIDFILEFORMAT;
    }
    image.width = tga.width;
    image.height = tga.height;
    image.pixels = std::move(tga.pixels);
    return S_OK;
}

HRESULT LoadImageFile(const char* name, Image& image)
{
    std::vector<uint8_t> bytes;
    if (!zyk::image::ReadWholeFile(name, bytes)) return DDERR_NOTFOUND;
    if (bytes.size() >= 2 && bytes[0] == 'B' && bytes[1] == 'M') return DecodeBitmap(bytes, image);
    if (EndsWithTga(name)) return DecodeTarga(bytes, image);
    return D3DXERR_UNSUPPORTEDFILEFORMAT;
}

bool HasAlpha(const Image& image)
{
    for (uint32_t p : image.pixels)
        if ((p & 0xFF) != 0xFF) return true;
    return false;
}

// --- resizing ----------------------------------------------------------------

uint32_t Mix(const uint32_t* p, const float* w, int n)
{
    uint32_t out = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        float c = 0;
        for (int i = 0; i < n; ++i) c += w[i] * static_cast<float>(p[i] >> shift & 0xFF);
        long v = std::lround(c);
        out |= static_cast<uint32_t>(v < 0 ? 0 : v > 255 ? 255 : v) << shift;
    }
    return out;
}

// The image at another size: the nearest pixel, or bilinear between the four nearest.
Image Resize(const Image& src, DWORD width, DWORD height, bool linear)
{
    if (src.width == width && src.height == height) return src;
    Image out;
    out.width = width;
    out.height = height;
    out.pixels.resize(size_t(width) * height);
    const float sx = static_cast<float>(src.width) / width, sy = static_cast<float>(src.height) / height;
    for (DWORD y = 0; y < height; ++y) {
        for (DWORD x = 0; x < width; ++x) {
            uint32_t& dst = out.pixels[size_t(y) * width + x];
            if (!linear) {
                const DWORD px = std::min<DWORD>(src.width - 1, static_cast<DWORD>((x + 0.5f) * sx));
                const DWORD py = std::min<DWORD>(src.height - 1, static_cast<DWORD>((y + 0.5f) * sy));
                dst = src.pixels[size_t(py) * src.width + px];
                continue;
            }
            const float fx = std::max(0.0f, (x + 0.5f) * sx - 0.5f), fy = std::max(0.0f, (y + 0.5f) * sy - 0.5f);
            const DWORD x0 = std::min<DWORD>(src.width - 1, static_cast<DWORD>(fx));
            const DWORD y0 = std::min<DWORD>(src.height - 1, static_cast<DWORD>(fy));
            const DWORD x1 = std::min<DWORD>(src.width - 1, x0 + 1), y1 = std::min<DWORD>(src.height - 1, y0 + 1);
            const float tx = fx - x0, ty = fy - y0;
            const uint32_t p[4] = {src.pixels[size_t(y0) * src.width + x0], src.pixels[size_t(y0) * src.width + x1],
                                   src.pixels[size_t(y1) * src.width + x0], src.pixels[size_t(y1) * src.width + x1]};
            const float w[4] = {(1 - tx) * (1 - ty), tx * (1 - ty), (1 - tx) * ty, tx * ty};
            dst = Mix(p, w, 4);
        }
    }
    return out;
}

// The next mip-level: each pixel the average of (or, for point filtering, the first of)
// the 2 x 2 pixels above it.
Image HalfSize(const Image& src, DWORD width, DWORD height, bool linear)
{
    Image out;
    out.width = width;
    out.height = height;
    out.pixels.resize(size_t(width) * height);
    for (DWORD y = 0; y < height; ++y) {
        const DWORD y0 = std::min<DWORD>(src.height - 1, 2 * y), y1 = std::min<DWORD>(src.height - 1, 2 * y + 1);
        for (DWORD x = 0; x < width; ++x) {
            const DWORD x0 = std::min<DWORD>(src.width - 1, 2 * x), x1 = std::min<DWORD>(src.width - 1, 2 * x + 1);
            const uint32_t p[4] = {src.pixels[size_t(y0) * src.width + x0], src.pixels[size_t(y0) * src.width + x1],
                                   src.pixels[size_t(y1) * src.width + x0], src.pixels[size_t(y1) * src.width + x1]};
            static const float kAverage[4] = {0.25f, 0.25f, 0.25f, 0.25f};
            out.pixels[size_t(y) * width + x] = linear ? Mix(p, kAverage, 4) : p[0];
        }
    }
    return out;
}

// --- pixel formats -------------------------------------------------------------

const D3DX_SURFACEFORMAT kAlphaChoice[] = {D3DX_SF_A8R8G8B8, D3DX_SF_A4R4G4B4, D3DX_SF_A1R5G5B5};
const D3DX_SURFACEFORMAT kOpaqueChoice[] = {D3DX_SF_X8R8G8B8, D3DX_SF_R8G8B8,   D3DX_SF_R5G6B5,   D3DX_SF_R5G5B5,
                                            D3DX_SF_X4R4G4B4, D3DX_SF_A8R8G8B8, D3DX_SF_A1R5G5B5, D3DX_SF_A4R4G4B4,
                                            D3DX_SF_R3G3B2,   D3DX_SF_A8L8,     D3DX_SF_L8};

bool Writable(D3DX_SURFACEFORMAT f)
{
    for (D3DX_SURFACEFORMAT w : kOpaqueChoice)
        if (w == f) return true;
    return f == D3DX_SF_A8;
}

// The device's pixel format for the wanted format, or the layer's choice.
HRESULT ChooseFormat(IDirect3DDevice7* device, D3DX_SURFACEFORMAT wanted, bool alpha, D3DX_SURFACEFORMAT* chosen,
                     DDPIXELFORMAT* pf)
{
    std::vector<DDPIXELFORMAT> offered;
    if (FAILED(zyk::image::OfferedFormats(device, offered))) return D3DXERR_ENUMFORMATSFAILED;
    auto find = [&](D3DX_SURFACEFORMAT f) {
        if (f == D3DX_SF_UNKNOWN || !Writable(f)) return false;
        for (const DDPIXELFORMAT& o : offered) {
            if (D3DXMakeSurfaceFormat(&o) == f) {
                *chosen = f;
                *pf = o;
                return true;
            }
        }
        return false;
    };
    if (find(wanted)) return S_OK;
    if (alpha)
        for (D3DX_SURFACEFORMAT f : kAlphaChoice)
            if (find(f)) return S_OK;
    for (D3DX_SURFACEFORMAT f : kOpaqueChoice)
        if (find(f)) return S_OK;
    return D3DXERR_ENUMFORMATSFAILED;
}

HRESULT WriteLevel(IDirectDrawSurface7* surface, const DDPIXELFORMAT& pf, const Image& image)
{
    DDSURFACEDESC2 locked = {};
    locked.dwSize = sizeof(locked);
    HRESULT hr = surface->Lock(nullptr, &locked, DDLOCK_WAIT | DDLOCK_WRITEONLY, nullptr);
    if (FAILED(hr)) return hr;
    zyk::image::WritePixels(locked, pf, image.pixels.data(), image.width, image.height);
    return surface->Unlock(nullptr);
}

// --- the texture ------------------------------------------------------------------

DWORD FullChain(DWORD width, DWORD height)
{
    DWORD levels = 1;
    for (DWORD side = std::max(width, height); side > 1; side >>= 1) ++levels;
    return levels;
}

bool CanMipMap(const D3DDEVICEDESC7& caps)
{
    const DWORD mip = D3DPTFILTERCAPS_MIPNEAREST | D3DPTFILTERCAPS_MIPLINEAR | D3DPTFILTERCAPS_LINEARMIPNEAREST |
                      D3DPTFILTERCAPS_LINEARMIPLINEAR | D3DPTFILTERCAPS_MIPFPOINT | D3DPTFILTERCAPS_MIPFLINEAR;
    return (caps.dpcTriCaps.dwTextureFilterCaps & mip) != 0;
}

HRESULT FillChain(IDirectDrawSurface7* top, const DDPIXELFORMAT& pf, Image image, bool linear)
{
    IDirectDrawSurface7* level = top;
    level->AddRef();
    HRESULT hr = S_OK;
    for (bool first = true;; first = false) {
        DDSURFACEDESC2 desc = {};
        desc.dwSize = sizeof(desc);
        hr = level->GetSurfaceDesc(&desc);
        if (FAILED(hr)) break;
        if (!first) image = HalfSize(image, desc.dwWidth, desc.dwHeight, linear);
        hr = WriteLevel(level, pf, image);
        if (FAILED(hr)) break;
        DDSCAPS2 caps = {};
        caps.dwCaps = DDSCAPS_TEXTURE | DDSCAPS_MIPMAP;
        IDirectDrawSurface7* next = nullptr;
        if (FAILED(level->GetAttachedSurface(&caps, &next)) || !next) break;
        level->Release();
        level = next;
    }
    level->Release();
    return hr;
}

} // namespace

HRESULT D3DXCreateTextureFromFile(IDirect3DDevice7* pDevice, DWORD* pFlags, DWORD* pWidth, DWORD* pHeight,
                                  D3DX_SURFACEFORMAT* pPixelFormat, IDirectDrawPalette* /*pDDPal*/,
                                  IDirectDrawSurface7** ppDDSurf, DWORD* pNumMipMaps, LPCSTR pSrcName,
                                  D3DX_FILTERTYPE filterType)
{
    if (!ppDDSurf) return D3DXERR_NULLPOINTER;
    *ppDDSurf = nullptr;
    if (!pDevice || !pSrcName) return D3DXERR_NULLPOINTER;
    const DWORD flags = pFlags ? *pFlags : 0;
    if (flags & ~(D3DX_TEXTURE_STAGE_MASK | D3DX_TEXTURE_NOMIPMAP)) return D3DXERR_INVALIDPARAMETER;
    if (filterType != D3DX_FT_POINT && filterType != D3DX_FT_LINEAR && filterType != D3DX_FT_DEFAULT)
        return D3DXERR_INVALIDPARAMETER;
    const bool linear = filterType != D3DX_FT_POINT;

    IDirectDrawSurface7* surface = nullptr;
    try {
        Image image;
        HRESULT hr = LoadImageFile(pSrcName, image);
        if (FAILED(hr)) return hr;

        D3DDEVICEDESC7 caps = {};
        hr = pDevice->GetCaps(&caps);
        if (FAILED(hr)) return hr;
        DWORD width = (pWidth && *pWidth != 0 && *pWidth != D3DX_DEFAULT) ? *pWidth : image.width;
        DWORD height = (pHeight && *pHeight != 0 && *pHeight != D3DX_DEFAULT) ? *pHeight : image.height;
        zyk::image::FitTextureSize(caps, width, height);

        D3DX_SURFACEFORMAT format = D3DX_SF_UNKNOWN;
        DDPIXELFORMAT pf = {};
        hr = ChooseFormat(pDevice, pPixelFormat ? *pPixelFormat : D3DX_SF_UNKNOWN, HasAlpha(image), &format, &pf);
        if (FAILED(hr)) return hr;

        DWORD levels = 1;
        if (pNumMipMaps && !(flags & D3DX_TEXTURE_NOMIPMAP) && CanMipMap(caps)) {
            const DWORD full = FullChain(width, height);
            levels = (*pNumMipMaps == 0 || *pNumMipMaps == D3DX_DEFAULT) ? full : std::min(*pNumMipMaps, full);
        }

        DDSURFACEDESC2 desc = {};
        desc.dwSize = sizeof(desc);
        desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT | DDSD_TEXTURESTAGE;
        desc.dwWidth = width;
        desc.dwHeight = height;
        desc.ddpfPixelFormat = pf;
        desc.dwTextureStage = flags & D3DX_TEXTURE_STAGE_MASK;
        desc.ddsCaps.dwCaps = DDSCAPS_TEXTURE;
        if (levels > 1) {
            desc.dwFlags |= DDSD_MIPMAPCOUNT;
            desc.dwMipMapCount = levels;
            desc.ddsCaps.dwCaps |= DDSCAPS_MIPMAP | DDSCAPS_COMPLEX;
        }
        zyk::image::PlaceTexture(caps, desc.ddsCaps);

        const zyk::com::Ptr<IDirectDraw7> dd = zyk::image::DirectDrawOf(pDevice);
        if (!dd) return D3DXERR_NODIRECTDRAWAVAILABLE;
        hr = dd->CreateSurface(&desc, &surface, nullptr);
        if (FAILED(hr)) {
            surface = nullptr;
            return hr;
        }
        hr = surface->GetSurfaceDesc(&desc);
        if (SUCCEEDED(hr)) hr = FillChain(surface, pf, Resize(image, desc.dwWidth, desc.dwHeight, linear), linear);
        if (FAILED(hr)) {
            SafeRelease(surface);
            return hr;
        }
        if (pWidth) *pWidth = desc.dwWidth;
        if (pHeight) *pHeight = desc.dwHeight;
        if (pPixelFormat) *pPixelFormat = format;
        if (pNumMipMaps) *pNumMipMaps = levels;
        *ppDDSurf = surface;
        return S_OK;
    } catch (const std::bad_alloc&) {
        SafeRelease(surface);
        return D3DXERR_NOMEMORY;
    }
}

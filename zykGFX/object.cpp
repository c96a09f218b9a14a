// CGfxObject: its surface, colour key, Create, Draw onto the back surface, and Save as a bitmap file.
#include "object.h"
#include "bitmap.h"
#include <algorithm>

using gfx::CodeText;

namespace {

const CodeText kCreateSurface[] = {
    {DDERR_OUTOFMEMORY, "Out of Memory."},
    {DDERR_INVALIDPARAMS, "Invalid Parameters."},
    {DDERR_INCOMPATIBLEPRIMARY, "Incompatible Primary Surface."},
    {DDERR_INVALIDCAPS, "Invalid Capabilities."},
    {DDERR_INVALIDOBJECT, "Invalid Object."},
    {DDERR_INVALIDPIXELFORMAT, "Invalid Pixel Format."},
    {DDERR_NOALPHAHW, "No Alpha Hardware Available."},
    {DDERR_NOCOOPERATIVELEVELSET, "No Cooperative Level Set."},
    {DDERR_NOEXCLUSIVEMODE, "Exclusive Mode Not Set."},
    {DDERR_NOFLIPHW, "No Flip Hardware Available."},
    {DDERR_NOOVERLAYHW, "No Overlay Hardware."},
    {DDERR_NOZBUFFERHW, "No Z-Buffer Hardware."},
    {DDERR_OUTOFVIDEOMEMORY, "Out of Video Memory."},
    {DDERR_NODIRECTDRAWHW, "No DirectDraw Hardware Available."},
    {DDERR_PRIMARYSURFACEALREADYEXISTS, "Primary Surface Already Exists."},
    {DDERR_NOEMULATION, "Emulation is not Supported."},
    {DDERR_UNSUPPORTEDMODE, "Unsupported Mode."},
    {DDERR_NOMIPMAPHW, "No MIPMAP Hardware Available."},
};

const CodeText kBlt[] = {
    {DDERR_UNSUPPORTED, "Unsupported Feature."},
    {DDERR_GENERIC, "Generic Error."},
    {DDERR_INVALIDPARAMS, "Invalid Parameters."},
    {DDERR_INVALIDCLIPLIST, "Invalid Clip List."},
    {DDERR_INVALIDOBJECT, "Invalid Object."},
    {DDERR_INVALIDRECT, "Invalid Rectangle Settings."},
    {DDERR_NOALPHAHW, "No Alpha Hardware Available."},
    {DDERR_NOCLIPLIST, "No Clip List."},
    {DDERR_NOMIRRORHW, "No Mirroring Hardware Available."},
    {DDERR_NORASTEROPHW, "No Raster Operation Hardware Available."},
    {DDERR_NOROTATIONHW, "No Rotation Hardware Available."},
    {DDERR_NOSTRETCHHW, "No Stretch Hardware Available."},
    {DDERR_NOZBUFFERHW, "No Z-Buffer Hardware Available."},
    {DDERR_SURFACEBUSY, "Surface is Busy."},
    {DDERR_SURFACELOST, "Surface is Lost."},
    {DDERR_WASSTILLDRAWING, "Was Still Drawing."},
    {DDERR_NOBLTHW, "No Blitter Hardware Available."},
    {DDERR_NODDROPSHW, "No DirectDraw ROPS Hardware Available."},
};

} // namespace

HRESULT CGfxObject::get_Height(long* out)
{
    return Member([&] { *zyk::com::CheckedOut(out) = height_; });
}

HRESULT CGfxObject::put_TransparencyColour(long colour)
{
    return Member([&] {
        if (!Surface()) throw failure(E_POINTER, "Surface Not Initialised.");
        keyColour_ = colour;
        DDSetSourceColorKey(Surface(), static_cast<COLORREF>(colour));
    });
}

HRESULT CGfxObject::put_BackSurface(long surface)
{
    return Member([&] { back_.Hold(surface); });
}

HRESULT CGfxObject::put_DD(long dd)
{
    return Member([&] { dd_.Hold(dd); });
}

HRESULT CGfxObject::Free()
{
    return Member([&] {
        if (!surface_) return;
        surface_.Reset();
        width_ = height_ = 0;
        dd_.Reset();
        back_.Reset();
    });
}

HRESULT CGfxObject::Create(long width, long height, long videoMemory)
{
    return Member([&]() -> HRESULT {
        if (!dd_) throw failure(E_POINTER, "DirectDraw Not Initialised.");
        width_ = width;
        height_ = height;
        surface_.Reset(); // a surface replaced by a new one is released
        DDSURFACEDESC2 desc =
            gfx::SurfaceDescription(width, height, videoMemory ? DDSCAPS_VIDEOMEMORY : DDSCAPS_OFFSCREENPLAIN);
        zyk::com::Ptr<IDirectDrawSurface7> made;
        HRESULT hr = dd_->CreateSurface(&desc, made.Out(), nullptr);
        surface_.Set(made);
        if (FAILED(hr)) {
            surface_.Reset();
            const char* text = gfx::TextOf(kCreateSurface, hr, nullptr);
            if (!text) return E_FAIL;
            throw failure(hr, text);
        }
        return S_OK;
    });
}

void CGfxObject::RestoreSurface()
{
    if (Surface()->IsLost() != DDERR_SURFACELOST) return;
    HRESULT hr = Surface()->Restore();
    if (FAILED(hr)) throw failure(hr, "RestoreSurface Function Failed.");
}

HRESULT CGfxObject::Draw(long x, long y, long width, long height, long regionX1, long regionY1, long regionX2,
                         long regionY2, long rotationAngle, long mirrorLeftRight, long mirrorUpDown)
{
    return Member([&] {
        if (!Surface()) throw failure(E_POINTER, "Surface Not Initialised.");
        if (!back_) throw failure(E_POINTER, "Back Surface Not Initialised.");
        const long w = width ? width : width_, h = height ? height : height_;
        RECT source, destination;
        if (regionX1 == 0) {
            // A 1:1 copy of the top-left w x h, less what falls off the screen.
            source = RECT{0, 0, w, h};
            destination = RECT{x, y, x + w, y + h};
            if (destination.left < 0) {
                source.left -= destination.left;
                destination.left = 0;
            }
            if (destination.top < 0) {
                source.top -= destination.top;
                destination.top = 0;
            }
            if (destination.right > screenWidth_) {
                source.right -= destination.right - screenWidth_;
                destination.right = screenWidth_;
            }
            if (destination.bottom > screenHeight_) {
                source.bottom -= destination.bottom - screenHeight_;
                destination.bottom = screenHeight_;
            }
            // Nothing of it is on the screen: nothing to draw.
            if (source.right <= source.left || source.bottom <= source.top) return;
        } else {
            if (!(regionX1 > 0 && regionY1 >= 0 && regionX2 <= width_ && regionY2 <= height_))
                throw failure(E_FAIL, "Invalid Region.");
            source = RECT{regionX1, regionY1, regionX2, regionY2};
            const long left = std::max(x, 0L), top = std::max(y, 0L);
            destination = RECT{left, top, left + w, top + h};
        }

        DWORD flags = DDBLT_WAIT;
        if (transparent_) flags |= DDBLT_KEYSRC;
        DDBLTFX fx{};
        fx.dwSize = sizeof fx;
        if (rotationAngle) {
            fx.dwRotationAngle = static_cast<DWORD>(rotationAngle);
            flags |= DDBLT_ROTATIONANGLE;
        }
        if (mirrorLeftRight) {
            fx.dwDDFX |= DDBLTFX_MIRRORLEFTRIGHT;
            flags |= DDBLT_DDFX;
        }
        if (mirrorUpDown) {
            fx.dwDDFX |= DDBLTFX_MIRRORUPDOWN;
            flags |= DDBLT_DDFX;
        }
        RestoreSurface();
        HRESULT hr = back_->Blt(&destination, Surface(), &source, flags, &fx);
        if (FAILED(hr)) throw failure(hr, gfx::TextOf(kBlt, hr));
    });
}

HRESULT CGfxObject::Save(BSTR filename)
{
    return Member([&] {
        if (!Surface()) throw failure(E_POINTER, "Surface Not Initialised.");
        if (!filename || !*filename) throw failure(E_INVALIDARG, "No Filename was given.");
        const std::string path = zyk::com::ToAnsi(filename);
        if (path.size() > zyk::com::kAnsiPathMax) throw failure(E_INVALIDARG, "Invalid Filename.");
        HRESULT hr = SaveSurfaceBitmap(Surface(), path.c_str());
        if (FAILED(hr)) throw failure(hr, "Failed to Save Bitmap.");
    });
}

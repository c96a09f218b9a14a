// CMode: Change, which switches the display to the mode.
#include "mode.h"

using gfx::CodeText;

namespace {

const CodeText kCooperativeLevel[] = {
    {DDERR_OUTOFMEMORY, "Out of Memory."},       {DDERR_INVALIDPARAMS, "Invalid Parameters."},
    {DDERR_INVALIDOBJECT, "Invalid Object."},    {DDERR_HWNDSUBCLASSED, "HWND is SubClassed."},
    {DDERR_HWNDALREADYSET, "HWND Already Set."}, {DDERR_EXCLUSIVEMODEALREADYSET, "Exclusive Mode Already Set."},
};

const CodeText kSetDisplayMode[] = {
    {DDERR_UNSUPPORTED, "Unsupported Feature."},
    {DDERR_GENERIC, "Generic Error."},
    {DDERR_INVALIDPARAMS, "Invalid Parameters."},
    {DDERR_INVALIDMODE, "Invalid Mode."},
    {DDERR_INVALIDOBJECT, "Invalid Object."},
    {DDERR_LOCKEDSURFACES, "Locked Surfaces detected."},
    {DDERR_NOEXCLUSIVEMODE, "Exclusive Mode Not Available."},
    {DDERR_SURFACEBUSY, "Surface is Busy."},
    {DDERR_WASSTILLDRAWING, "Was Still Drawing."},
    {DDERR_UNSUPPORTEDMODE, "Unsupported Mode."},
};

} // namespace

HRESULT CMode::put_DD(long dd)
{
    return Member([&] { dd_.Hold(dd); });
}

HRESULT CMode::Change()
{
    return Member([&] {
        if (!dd_) throw failure(E_POINTER, "DirectDraw Not Initialised.");
        HWND window = reinterpret_cast<HWND>(static_cast<LONG_PTR>(window_));
        HRESULT hr = dd_->SetCooperativeLevel(window, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN);
        if (FAILED(hr)) throw failure(hr, gfx::TextOf(kCooperativeLevel, hr));
        hr = dd_->SetDisplayMode(static_cast<DWORD>(width_), static_cast<DWORD>(height_), static_cast<DWORD>(depth_), 0,
                                 0);
        if (FAILED(hr)) {
            dd_->RestoreDisplayMode();
            throw failure(hr, gfx::TextOf(kSetDisplayMode, hr));
        }
    });
}

// CVideoMemory: the free and total video memory, from the driver's caps.
#include "videomemory.h"

using gfx::CodeText;

namespace {

const CodeText kGetCaps[] = {
    {DDERR_INVALIDPARAMS, "Invalid Parameters."},
    {DDERR_INVALIDOBJECT, "Invalid Object."},
};

} // namespace

HRESULT CVideoMemory::put_DD(long dd)
{
    return Member([&] { dd_.Hold(dd); });
}

void CVideoMemory::QueryVideoMemory()
{
    if (!dd_) throw failure(E_POINTER, "DirectDraw Not Initialised.");
    DDCAPS caps{};
    caps.dwSize = sizeof caps;
    HRESULT hr = dd_->GetCaps(&caps, nullptr);
    if (FAILED(hr)) throw failure(hr, gfx::TextOf(kGetCaps, hr));
    free_ = caps.dwVidMemFree;
    total_ = caps.dwVidMemTotal;
}

// A figure that cannot be read is a failure with its code, not the last figure with S_OK.
HRESULT CVideoMemory::get_Free(long* out)
{
    return Member([&] {
        *zyk::com::CheckedOut(out) = gfx::MemoryFigure(free_);
        QueryVideoMemory();
        *out = gfx::MemoryFigure(free_);
    });
}

HRESULT CVideoMemory::get_Total(long* out)
{
    return Member([&] {
        *zyk::com::CheckedOut(out) = gfx::MemoryFigure(total_);
        QueryVideoMemory();
        *out = gfx::MemoryFigure(total_);
    });
}

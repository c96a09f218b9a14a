// CCaps: each capability bit answered from the driver's caps, read afresh.
#include "caps.h"

namespace {

const char kObtain[] = "Failed to Obtain Capabilities.";
const char kObtainLower[] = "Failed to obtain Capabilities.";

} // namespace

HRESULT CCaps::put_DD(long dd)
{
    return Member([&] { dd_.Hold(dd); });
}

// The driver's caps into the record; false when there is no driver or it refuses.
bool CCaps::ReadCaps()
{
    if (!dd_) return false;
    caps_ = DDCAPS{};
    caps_.dwSize = sizeof caps_;
    return SUCCEEDED(dd_->GetCaps(&caps_, nullptr));
}

template <class Test>
HRESULT CCaps::Answer(long* out, const char* failed, Test&& test)
{
    return Member([&] {
        *zyk::com::CheckedOut(out) = 0;
        if (!ReadCaps()) throw failure(E_FAIL, failed);
        *out = test(caps_) ? 1 : 0;
    });
}

HRESULT CCaps::get_Accelerator(long* out)
{
    return Answer(out, kObtain, [](const DDCAPS& c) { return (c.dwCaps & DDCAPS_3D) != 0; });
}

HRESULT CCaps::get_Certified(long* out)
{
    return Answer(out, kObtainLower, [](const DDCAPS& c) { return (c.dwCaps2 & DDCAPS2_CERTIFIED) != 0; });
}

HRESULT CCaps::get_DMA(long* out)
{
    return Answer(out, kObtainLower, [](const DDCAPS& c) { return (c.dwCaps & DDCAPS_CANBLTSYSMEM) != 0; });
}

HRESULT CCaps::get_AsyncBlits(long* out)
{
    return Answer(out, kObtainLower, [](const DDCAPS& c) { return (c.dwSVBCaps & DDCAPS_BLTQUEUE) != 0; });
}

HRESULT CCaps::get_PageLocking(long* out)
{
    return Answer(out, kObtainLower, [](const DDCAPS& c) { return (c.dwCaps2 & DDCAPS2_NOPAGELOCKREQUIRED) == 0; });
}

HRESULT CCaps::get_RenderInWindow(long* out)
{
    return Answer(out, kObtainLower, [](const DDCAPS& c) { return (c.dwCaps2 & DDCAPS2_CANRENDERWINDOWED) != 0; });
}

HRESULT CCaps::get_Overlays(long* out)
{
    return Answer(out, kObtain, [](const DDCAPS& c) {
        return (c.dwCaps & DDCAPS_OVERLAY) != 0 && c.dwCurrVisibleOverlays != c.dwMaxVisibleOverlays;
    });
}

HRESULT CCaps::get_Rotation(long* out)
{
    return Answer(out, kObtainLower, [](const DDCAPS& c) { return (c.dwFXCaps & DDFXCAPS_BLTROTATION) != 0; });
}

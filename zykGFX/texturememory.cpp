// CTextureMemory: the free and total texture memory, asked of the DirectDraw object.
#include "texturememory.h"
#include "com/error.h"
#include <string>

namespace {

// The error description of the memory classes: what failed, why, and where.
HRESULT ReportMemoryError(HRESULT hr, const char* what, const char* reason, const char* member)
{
    std::string text = std::string("Description:\t") + what + "\nReason:\t" + reason +
                       "\n\nModule:\t\tCTextureMemory\nFunction:\t" + member;
    zyk::com::Bstr description = zyk::com::Bstr::FromAnsi(text.c_str());
    return zyk::com::PublishError(CTextureMemory::ClsId(), CTextureMemory::Iid(), description.Text(), hr);
}

} // namespace

HRESULT CTextureMemory::put_DD(long dd)
{
    return Member([&] { dd_.Hold(dd); });
}

HRESULT CTextureMemory::Query(long* out, bool free, const char* member)
{
    return Member([&]() -> HRESULT {
        if (!out) return E_POINTER;
        *out = 0;
        if (!dd_) return ReportMemoryError(E_POINTER, "DDx", "Not Initialised.", member);
        DDSCAPS2 caps{};
        caps.dwCaps = DDSCAPS_TEXTURE;
        DWORD total = 0, available = 0;
        HRESULT hr = dd_->GetAvailableVidMem(&caps, &total, &available);
        if (FAILED(hr)) return ReportMemoryError(hr, "GetAvailableVidMem", "Failed.", member);
        *out = gfx::MemoryFigure(free ? available : total);
        return S_OK;
    });
}

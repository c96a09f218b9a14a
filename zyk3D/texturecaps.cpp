// CTextureCaps: the texture capabilities and memory figures, asked of the device.
#include "texturecaps.h"
#include "com/create.h"
#include "errormaps.h"
#include "checks.h"
#include "com/failure.h"
#include "com/trace.h"
#include <cstring>

CTextureCaps::~CTextureCaps() { device_.Reset(); }

bool CTextureCaps::Query()
{
    HRESULT hr = Member([&] {
        if (!device_) throw failure(E_POINTER, "Device Not Initialised.");
        // Only a failure counts: a device may answer S_FALSE and leave the record as it is.
        memset(&stats_, 0, sizeof stats_);
        HRESULT got = device_->GetInfo(D3DDEVINFOID_TEXTUREMANAGER, &stats_, sizeof stats_);
        if (FAILED(got)) {
            ZYK_TRACE("GetInfo Failed. (Error Code=%lx).\n", static_cast<unsigned long>(got));
            throw failure(got, "Failed to Get Device Information.");
        }
        memset(&desc_, 0, sizeof desc_);
        got = device_->GetCaps(&desc_);
        if (FAILED(got)) {
            ZYK_TRACE("GetCaps Failed. (Error Code=%lx).\n", static_cast<unsigned long>(got));
            // Any other code than the refused call's has a text of its own.
            UINT id = LookupText(kRefusedCall, got);
            if (id == IDS_UNKNOWNERROR) throw failure(got, "Failed to Get Device Capabilities.");
            throw failure(got, id);
        }
    });
    return SUCCEEDED(hr);
}

// The getters report a device that cannot answer by one text, in place of the reason
// Query recorded.
template <class Record>
HRESULT CTextureCaps::Answer(long* out, Record CTextureCaps::*record, DWORD Record::*field)
{
    return Member([&] {
        RequireOut(out);
        *out = 0;
        if (!Query()) throw failure(E_POINTER, "Failed to obtain Device Information.");
        *out = static_cast<long>((this->*record).*field);
    });
}

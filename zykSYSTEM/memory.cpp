// CMemory: a figure read from the platform's 64-bit memory status.
#include "memory.h"

// The 64-bit figures, so that none wraps on a machine with more than 4 GB; a failed query
// leaves them 0.
HRESULT CMemory::Read(long* out, DWORDLONG MEMORYSTATUSEX::*field)
{
    return Member([&] {
        if (!out) return E_POINTER;
        status_ = MEMORYSTATUSEX{};
        status_.dwLength = sizeof status_;
        GlobalMemoryStatusEx(&status_);
        const DWORDLONG bytes = status_.*field;
        *out = bytes > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<long>(bytes);
        return S_OK;
    });
}

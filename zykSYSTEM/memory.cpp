#include "memory.h"

HRESULT CMemory::Read(long* out, SIZE_T MEMORYSTATUS::*field)
{
    if (!out) return E_POINTER;
    status_ = MEMORYSTATUS{};
    status_.dwLength = sizeof status_;
    GlobalMemoryStatus(&status_);
    *out = static_cast<long>(status_.*field);
    return S_OK;
}

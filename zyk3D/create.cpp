#include "create.h"
#include "com/trace.h"

HRESULT InitialiseCOM()
{
    return CoInitialize(nullptr);
}

IUnknown* CreateComObject(const CLSID& clsid, const IID& iid)
{
    void* p = nullptr;
    HRESULT hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, iid, &p);
    if (FAILED(hr) || !p) {
        OutputDebugStringA(hr == E_NOINTERFACE ? "CoCreateInstanceEx Failed. (No Interface).\n"
                                               : "CoCreateInstanceEx Failed.\n");
        return nullptr;
    }
    return static_cast<IUnknown*>(p);
}

// A small COM object of one interface (enumerators and the like): its own reference count,
// counted in the module lock while it lives.
#pragma once
#include "module.h"

namespace zyk::com {

template <class Itf, const IID* ItfId>
class Counted : public Itf {
public:
    Counted() { ThisModule().Lock(); }
    virtual ~Counted() { ThisModule().Unlock(); }
    Counted(const Counted&) = delete;
    Counted& operator=(const Counted&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override
    {
        if (!out) return E_POINTER;
        if (iid == IID_IUnknown || iid == *ItfId) {
            *out = static_cast<Itf*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&refs_); }
    ULONG STDMETHODCALLTYPE Release() override
    {
        LONG n = InterlockedDecrement(&refs_);
        if (n == 0) delete this;
        return n;
    }

private:
    volatile LONG refs_ = 1;
};

} // namespace zyk::com

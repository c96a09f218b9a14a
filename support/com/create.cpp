// InitialiseCOM, CreateComObject, and the creation scope that keeps one class factory per class id while open.
#include "create.h"
#include "trace.h"
#include <new>

HRESULT InitialiseCOM() { return CoInitialize(nullptr); }

namespace {

// The innermost open creation scope of the thread (objects are apartment-threaded).
thread_local CreationScope* openScope = nullptr;

} // namespace

CreationScope::CreationScope() : outer_(openScope) { openScope = this; }

CreationScope::~CreationScope()
{
    openScope = outer_;
    for (size_t i = 0; i < count_; ++i) entries_[i].factory->Release();
    delete[] entries_;
}

IClassFactory* CreationScope::Factory(const CLSID& clsid)
{
    CreationScope* scope = openScope;
    if (!scope) return nullptr;
    while (scope->outer_) scope = scope->outer_;
    for (size_t i = 0; i < scope->count_; ++i)
        if (IsEqualCLSID(scope->entries_[i].clsid, clsid)) return scope->entries_[i].factory;
    IClassFactory* factory = nullptr;
    if (FAILED(CoGetClassObject(clsid, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory,
                                reinterpret_cast<void**>(&factory))) ||
        !factory)
        return nullptr;
    if (scope->count_ == scope->capacity_) {
        const size_t capacity = scope->capacity_ ? scope->capacity_ * 2 : 16;
        auto* grown = new (std::nothrow) Entry[capacity];
        if (!grown) return factory->Release(), nullptr;
        for (size_t i = 0; i < scope->count_; ++i) grown[i] = scope->entries_[i];
        delete[] scope->entries_;
        scope->entries_ = grown;
        scope->capacity_ = capacity;
    }
    scope->entries_[scope->count_++] = {clsid, factory};
    return factory;
}

IUnknown* CreateComObject(const CLSID& clsid, const IID& iid)
{
    void* p = nullptr;
    IClassFactory* factory = CreationScope::Factory(clsid);
    HRESULT hr = factory ? factory->CreateInstance(nullptr, iid, &p)
                         : CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, iid, &p);
    if (FAILED(hr) || !p) {
        OutputDebugStringA(hr == E_NOINTERFACE ? "CoCreateInstanceEx Failed. (No Interface).\n"
                                               : "CoCreateInstanceEx Failed.\n");
        return nullptr;
    }
    return static_cast<IUnknown*>(p);
}

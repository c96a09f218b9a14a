// Module: the object map's class factories, lock count, registration scripts and type library.
#include "module.h"
#include "create.h"
#include "registrar.h"
#include "ptr.h"
#include <new>
#include <string>

namespace zyk::com {

namespace {

// Class factory of one object-map entry. The module keeps one reference on it; a client
// reference beyond that keeps the server locked.
class ClassFactory final : public IClassFactory {
public:
    ClassFactory(Module& module, const ObjectEntry& entry) : module_(module), entry_(entry) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override
    {
        if (!out) return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IClassFactory) {
            *out = static_cast<IClassFactory*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override
    {
        LONG n = InterlockedIncrement(&refs_);
        if (n == 2) module_.Lock();
        return n;
    }
    ULONG STDMETHODCALLTYPE Release() override
    {
        LONG n = InterlockedDecrement(&refs_);
        if (n == 1) module_.Unlock();
        if (n == 0) delete this;
        return n;
    }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) override
    {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (outer && !entry_.aggregatable) return CLASS_E_NOAGGREGATION;
        return entry_.create(outer, iid, out);
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override
    {
        if (lock)
            module_.Lock();
        else
            module_.Unlock();
        return S_OK;
    }

private:
    Module& module_;
    const ObjectEntry& entry_;
    LONG refs_ = 1;
};

std::wstring ModulePath(HINSTANCE instance)
{
    wchar_t path[MAX_PATH + 1] = {};
    DWORD n = GetModuleFileNameW(instance, path, MAX_PATH);
    return std::wstring(path, n);
}

// The registrar truncates the module path at an apostrophe unless it is doubled.
std::wstring QuoteForScript(const std::wstring& text)
{
    std::wstring out;
    for (wchar_t c : text) {
        out += c;
        if (c == L'\'') out += L'\'';
    }
    return out;
}

} // namespace

Module& ThisModule()
{
    static Module module;
    return module;
}

void Module::Init(const ObjectEntry* map, size_t count, HINSTANCE instance, const GUID& libid)
{
    map_ = map;
    count_ = count;
    instance_ = instance;
    libid_ = libid;
    factories_ = new (std::nothrow) IClassFactory*[count]();
}

void Module::Term()
{
    if (factories_) {
        for (size_t i = 0; i < count_; ++i)
            if (factories_[i]) factories_[i]->Release();
        delete[] factories_;
        factories_ = nullptr;
    }
    for (size_t i = 0; i < infoCount_; ++i) infos_[i].info->Release();
    infoCount_ = 0;
    if (typeLib_) typeLib_->Release();
    typeLib_ = nullptr;
}

LONG Module::Lock() { return InterlockedIncrement(&locks_); }
LONG Module::Unlock() { return InterlockedDecrement(&locks_); }

const ObjectEntry* Module::Find(REFCLSID clsid) const
{
    for (size_t i = 0; i < count_; ++i)
        if (*map_[i].clsid == clsid) return &map_[i];
    return nullptr;
}

const wchar_t* Module::ProgIdOf(REFCLSID clsid) const
{
    const ObjectEntry* e = Find(clsid);
    return e ? e->progId : nullptr;
}

HRESULT Module::GetClassObject(REFCLSID clsid, REFIID iid, void** out)
{
    if (!out) return E_POINTER;
    *out = nullptr;
    for (size_t i = 0; i < count_; ++i) {
        if (*map_[i].clsid != clsid) continue;
        if (!factories_) return E_OUTOFMEMORY;
        if (!factories_[i]) {
            factories_[i] = new (std::nothrow) ClassFactory(*this, map_[i]);
            if (!factories_[i]) return E_OUTOFMEMORY;
        }
        return factories_[i]->QueryInterface(iid, out);
    }
    return CLASS_E_CLASSNOTAVAILABLE;
}

HRESULT Module::RunScripts(bool registering)
{
    Ptr<IRegistrar> registrar;
    HRESULT hr = CoCreateInstance(kClsidRegistrar, nullptr, CLSCTX_INPROC_SERVER, kIidRegistrar,
                                  reinterpret_cast<void**>(registrar.Out()));
    if (FAILED(hr)) return hr;
    std::wstring path = ModulePath(instance_);
    registrar->AddReplacement(L"MODULE", QuoteForScript(path).c_str());
    HRESULT first = S_OK;
    for (size_t i = 0; i < count_; ++i) {
        hr = registering ? registrar->ResourceRegister(path.c_str(), map_[i].scriptId, L"REGISTRY")
                         : registrar->ResourceUnregister(path.c_str(), map_[i].scriptId, L"REGISTRY");
        if (FAILED(hr)) {
            if (registering) return hr; // registration stops at the first failing script
            if (SUCCEEDED(first)) first = hr;
        }
    }
    return first;
}

HRESULT Module::RegisterServer()
{
    Apartment com; // COM for the registration call, balanced on the way out
    HRESULT hr = RunScripts(true);
    if (FAILED(hr)) return hr;
    std::wstring path = ModulePath(instance_);
    Ptr<ITypeLib> lib;
    hr = LoadTypeLibEx(path.c_str(), REGKIND_NONE, lib.Out());
    if (FAILED(hr)) return hr;
    return RegisterTypeLib(lib.Get(), path.data(), nullptr);
}

HRESULT Module::UnregisterServer()
{
    Apartment com; // COM for the registration call, balanced on the way out
    HRESULT hr = RunScripts(false);
    std::wstring path = ModulePath(instance_);
    Ptr<ITypeLib> lib;
    if (SUCCEEDED(LoadTypeLibEx(path.c_str(), REGKIND_NONE, lib.Out()))) {
        TLIBATTR* attr = nullptr;
        if (SUCCEEDED(lib->GetLibAttr(&attr))) {
            UnRegisterTypeLib(attr->guid, attr->wMajorVerNum, attr->wMinorVerNum, attr->lcid, attr->syskind);
            lib->ReleaseTLibAttr(attr);
        }
    }
    return hr;
}

ITypeLib* Module::TypeLib()
{
    if (!typeLib_) {
        std::wstring path = ModulePath(instance_);
        if (FAILED(LoadTypeLibEx(path.c_str(), REGKIND_NONE, &typeLib_))) typeLib_ = nullptr;
    }
    return typeLib_;
}

ITypeInfo* Module::TypeInfo(REFIID iid)
{
    for (size_t i = 0; i < infoCount_; ++i)
        if (infos_[i].iid == iid) return infos_[i].info;
    ITypeLib* lib = TypeLib();
    if (!lib) return nullptr;
    ITypeInfo* info = nullptr;
    if (FAILED(lib->GetTypeInfoOfGuid(iid, &info)) || !info) return nullptr;
    if (infoCount_ == sizeof infos_ / sizeof infos_[0]) {
        info->Release();
        return nullptr;
    }
    infos_[infoCount_++] = {iid, info};
    return info;
}

} // namespace zyk::com

// InitialiseCOM, CreateComObject, the creation scope that keeps one class factory per class id while open, and the
// thread's own classes kept while the registration of classes stays unchanged.
#include "create.h"
#include "module.h"
#include "trace.h"
#include <new>

HRESULT InitialiseCOM() { return CoInitialize(nullptr); }

namespace {

// The innermost open creation scope of the thread (objects are apartment-threaded).
thread_local CreationScope* openScope = nullptr;

// Tells whether the registration of any class may have changed: it watches the class
// keys of the machine and of the user (everything under HKEY_CLASSES_ROOT) for a change
// of a key or a value, and counts the changes seen. Process-wide.
class RegistrationWatch {
public:
    RegistrationWatch()
    {
        InitializeCriticalSection(&lock_);
        event_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Software\\Classes", 0, KEY_NOTIFY, &machine_);
        RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Classes", 0, nullptr, 0, KEY_NOTIFY, nullptr, &user_, nullptr);
        armed_ = Arm();
    }
    ~RegistrationWatch()
    {
        if (machine_) RegCloseKey(machine_);
        if (user_) RegCloseKey(user_);
        if (event_) CloseHandle(event_);
        DeleteCriticalSection(&lock_);
    }
    RegistrationWatch(const RegistrationWatch&) = delete;
    RegistrationWatch& operator=(const RegistrationWatch&) = delete;

    // The number of changes seen so far, or -1 when the keys cannot be watched. A change
    // made before the call (by any thread or process) is counted by it.
    LONG Changes()
    {
        if (WaitForSingleObject(event_, 0) == WAIT_OBJECT_0) {
            EnterCriticalSection(&lock_);
            if (WaitForSingleObject(event_, 0) == WAIT_OBJECT_0) {
                // Watched again before the count moves on: a change after this point
                // signals anew, one before it is read by whoever sees the new count.
                ResetEvent(event_);
                armed_ = armed_ && Arm();
                InterlockedIncrement(&changes_);
            }
            LeaveCriticalSection(&lock_);
        }
        return armed_ ? changes_ : -1;
    }

private:
    bool Arm()
    {
        const DWORD filter = REG_NOTIFY_CHANGE_NAME | REG_NOTIFY_CHANGE_LAST_SET;
        return event_ && machine_ && user_ &&
               RegNotifyChangeKeyValue(machine_, TRUE, filter, event_, TRUE) == ERROR_SUCCESS &&
               RegNotifyChangeKeyValue(user_, TRUE, filter, event_, TRUE) == ERROR_SUCCESS;
    }

    CRITICAL_SECTION lock_;
    HANDLE event_ = nullptr;
    HKEY machine_ = nullptr, user_ = nullptr;
    volatile bool armed_ = false;
    volatile LONG changes_ = 0;
};

RegistrationWatch& Watch()
{
    static RegistrationWatch watch;
    return watch;
}

// The class objects of this module that COM handed this thread, by class id. COM reads a
// class's registration each time it is asked (several registry reads a creation); once it
// has handed the thread this module's own class object for a class id, the thread makes
// that class through it directly for as long as no class registration changes. No
// reference is held: the module keeps its class objects until it is unloaded.
struct OwnClass {
    CLSID clsid;
    IClassFactory* factory;
};
constexpr size_t kOwnClassesMax = 64;
thread_local OwnClass ownClasses[kOwnClassesMax];
thread_local size_t ownClassCount = 0;
thread_local LONG ownClassesSeen = -1; // the registration changes when they were kept
thread_local int creating = 0;         // creations under way on the thread (children inside parents)

bool IsOwnFactory(const CLSID& clsid, IClassFactory* factory)
{
    IClassFactory* own = nullptr;
    if (FAILED(zyk::com::ThisModule().GetClassObject(clsid, IID_IClassFactory, reinterpret_cast<void**>(&own))) || !own)
        return false;
    const bool same = own == factory;
    own->Release();
    return same;
}

// A creation without a scope. The registration is looked at once for a creation and the
// children it makes inside it.
HRESULT CreateThroughOwnClass(const CLSID& clsid, const IID& iid, void** out)
{
    if (creating == 0) {
        const LONG seen = Watch().Changes();
        if (seen < 0 || seen != ownClassesSeen) ownClassCount = 0;
        ownClassesSeen = seen;
    }
    if (ownClassesSeen < 0) return CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, iid, out);

    struct Nested {
        Nested() { ++creating; }
        ~Nested() { --creating; }
    } nested;
    for (size_t i = 0; i < ownClassCount; ++i)
        if (IsEqualCLSID(ownClasses[i].clsid, clsid)) return ownClasses[i].factory->CreateInstance(nullptr, iid, out);

    IClassFactory* factory = nullptr;
    HRESULT hr =
        CoGetClassObject(clsid, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory, reinterpret_cast<void**>(&factory));
    if (FAILED(hr) || !factory) return FAILED(hr) ? hr : E_FAIL;
    // Kept before the creation: the children that the new object makes find it too.
    if (ownClassCount < kOwnClassesMax && IsOwnFactory(clsid, factory)) ownClasses[ownClassCount++] = {clsid, factory};
    hr = factory->CreateInstance(nullptr, iid, out);
    factory->Release();
    return hr;
}

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
    HRESULT hr = factory ? factory->CreateInstance(nullptr, iid, &p) : CreateThroughOwnClass(clsid, iid, &p);
    if (FAILED(hr) || !p) {
        OutputDebugStringA(hr == E_NOINTERFACE ? "CoCreateInstanceEx Failed. (No Interface).\n"
                                               : "CoCreateInstanceEx Failed.\n");
        return nullptr;
    }
    return static_cast<IUnknown*>(p);
}

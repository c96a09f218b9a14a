// The server module: instance handle, lock count, object map, class factories,
// the embedded type library and the bodies of the four server exports.
#pragma once
#include <windows.h>
#include <ole2.h>
#include <oaidl.h>

namespace zyk::com {

using CreatorFn = HRESULT (*)(IUnknown* outer, REFIID iid, void** out);

// One class the server serves.
struct ObjectEntry {
    const CLSID* clsid;
    UINT scriptId; // "REGISTRY" resource with the class's registration script
    CreatorFn create;
    bool aggregatable;
    const wchar_t* progId; // versioned ProgID, the source of the class's error information
};

// The object-map entry of a row of a server's class table (<server>_classes.h, made from
// its CMakeLists.txt):
//   const ObjectEntry kObjectMap[] = {ZYKGFX_CLASSES(ZYK_OBJECT_ENTRY)};
#define ZYK_OBJECT_ENTRY(name, text, scriptId, impl, aggregatable, word, progId, toolbox, misc)                        \
    ::zyk::com::ObjectEntry{&CLSID_##name, scriptId, &::zyk::com::Creator<impl>, aggregatable, progId},

class Module {
public:
    // Called from DllMain on process attach and detach.
    void Init(const ObjectEntry* map, size_t count, HINSTANCE instance, const GUID& libid);
    void Term();

    HINSTANCE Instance() const { return instance_; }
    const GUID& LibId() const { return libid_; }

    LONG Lock();
    LONG Unlock();

    // The four export bodies.
    HRESULT GetClassObject(REFCLSID clsid, REFIID iid, void** out);
    HRESULT CanUnloadNow() const { return locks_ == 0 ? S_OK : S_FALSE; }
    HRESULT RegisterServer();
    HRESULT UnregisterServer();

    // Type information of an interface of the embedded type library (cached, not AddRef'ed).
    ITypeInfo* TypeInfo(REFIID iid);
    // Versioned ProgID of a class of this module, or nullptr.
    const wchar_t* ProgIdOf(REFCLSID clsid) const;
    const ObjectEntry* Find(REFCLSID clsid) const;

private:
    HRESULT RunScripts(bool registering);
    ITypeLib* TypeLib();

    HINSTANCE instance_ = nullptr;
    const ObjectEntry* map_ = nullptr;
    size_t count_ = 0;
    GUID libid_{};
    volatile LONG locks_ = 0;
    ITypeLib* typeLib_ = nullptr;
    struct CachedInfo {
        IID iid;
        ITypeInfo* info;
    };
    CachedInfo infos_[64] = {};
    size_t infoCount_ = 0;
    IClassFactory** factories_ = nullptr;
};

// The one module of the DLL that links this library.
Module& ThisModule();

} // namespace zyk::com

// Defines DllMain and the four exports for a server whose object map is MAP;
// ON_DETACH (a void() function, or nullptr) runs when the DLL is unloaded by FreeLibrary;
// at process exit the platform DLLs it would call may already be gone, so it does not.
#define ZYK_SERVER_EXPORTS(MAP, LIBID, ON_DETACH)                                                                      \
    extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved)                                  \
    {                                                                                                                  \
        if (reason == DLL_PROCESS_ATTACH) {                                                                            \
            ::zyk::com::ThisModule().Init(MAP, sizeof(MAP) / sizeof(MAP[0]), instance, LIBID);                         \
            DisableThreadLibraryCalls(instance);                                                                       \
        } else if (reason == DLL_PROCESS_DETACH) {                                                                     \
            void (*detach)() = ON_DETACH;                                                                              \
            if (detach && !reserved) detach();                                                                         \
            ::zyk::com::ThisModule().Term();                                                                           \
        }                                                                                                              \
        return TRUE;                                                                                                   \
    }                                                                                                                  \
    extern "C" HRESULT WINAPI DllCanUnloadNow() { return ::zyk::com::ThisModule().CanUnloadNow(); }                    \
    extern "C" HRESULT WINAPI DllGetClassObject(REFCLSID c, REFIID i, void** o)                                        \
    {                                                                                                                  \
        return ::zyk::com::ThisModule().GetClassObject(c, i, o);                                                       \
    }                                                                                                                  \
    extern "C" HRESULT WINAPI DllRegisterServer() { return ::zyk::com::ThisModule().RegisterServer(); }                \
    extern "C" HRESULT WINAPI DllUnregisterServer() { return ::zyk::com::ThisModule().UnregisterServer(); }

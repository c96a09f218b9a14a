// Creation of child objects by class id, as every parent of the engine does it.
#pragma once
#include <windows.h>
#include <unknwn.h>
#include "failure.h"
#include "ptr.h"
#include "tie.h"

// CoInitialize(NULL) on the calling thread; constructors call it and ignore the result.
HRESULT InitialiseCOM();

// CoCreateInstance in-process with no outer object. Returns the interface with one
// reference for the caller, or NULL after writing the failure to the debugger. While a
// CreationScope is open on the thread, each class's class object is fetched (and its
// registration read) once for the scope, and every creation goes through it.
IUnknown* CreateComObject(const CLSID& clsid, const IID& iid);

// Keeps the class objects that CreateComObject fetches while it is open, for work that
// creates many objects of few classes (a world load). Scopes nest: an inner one uses the
// outer one's class objects. A class that cannot be made is asked again each time, so it
// fails where it would have failed without the scope.
class CreationScope {
public:
    CreationScope();
    ~CreationScope();
    CreationScope(const CreationScope&) = delete;
    CreationScope& operator=(const CreationScope&) = delete;

    // The class object of the innermost open scope of this thread; NULL without a scope
    // or when the class cannot be made.
    static IClassFactory* Factory(const CLSID& clsid);

private:
    struct Entry {
        CLSID clsid;
        IClassFactory* factory;
    };
    Entry* entries_ = nullptr;
    size_t count_ = 0, capacity_ = 0;
    CreationScope* outer_;
};

// CreateComObject typed; on NULL throws failure(E_FAIL, notRegistered).
template <class Itf>
Itf* CreateChild(const CLSID& clsid, const IID& iid, const char* notRegistered)
{
    IUnknown* p = CreateComObject(clsid, iid);
    if (!p) throw failure(E_FAIL, notRegistered);
    return reinterpret_cast<Itf*>(p);
}

namespace zyk::com {

// COM on the calling thread for the holder's lifetime: InitialiseCOM when made, and
// CoUninitialize when let go if that succeeded. An object holds one as its first member, so
// that COM is there before its children are made and until after they are let go.
class Apartment {
public:
    Apartment() : result_(InitialiseCOM()) {}
    ~Apartment()
    {
        if (SUCCEEDED(result_)) CoUninitialize();
    }
    Apartment(const Apartment&) = delete;
    Apartment& operator=(const Apartment&) = delete;

    // What InitialiseCOM returned.
    HRESULT Result() const { return result_; }

private:
    HRESULT result_;
};

// CreateChild for an owner: the new child, tied under owner (tie.h), in a Ptr.
template <class Itf>
Ptr<Itf> CreateOwned(const CLSID& clsid, const IID& iid, const char* notRegistered, const Tie& owner)
{
    Ptr<Itf> child = Ptr<Itf>::Adopt(CreateChild<Itf>(clsid, iid, notRegistered));
    TieTo(child.Get(), owner);
    return child;
}

} // namespace zyk::com

// Creation of child objects by class id, as every parent of the engine does it.
#pragma once
#include <windows.h>
#include <unknwn.h>
#include "failure.h"

// CoInitialize(NULL) on the calling thread; constructors call it and ignore the result.
HRESULT InitialiseCOM();

// CoCreateInstance in-process with no outer object. Returns the interface with one
// reference for the caller, or NULL after writing the failure to the debugger.
IUnknown* CreateComObject(const CLSID& clsid, const IID& iid);

// CreateComObject typed; on NULL throws failure(E_FAIL, notRegistered).
template <class Itf>
Itf* CreateChild(const CLSID& clsid, const IID& iid, const char* notRegistered)
{
    IUnknown* p = CreateComObject(clsid, iid);
    if (!p) throw failure(E_FAIL, notRegistered);
    return reinterpret_cast<Itf*>(p);
}

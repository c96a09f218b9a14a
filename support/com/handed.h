// Pointers that a parent hands down to its children as 32-bit integers, and the children
// that a parent hands out to its client as IDispatch.
#pragma once
#include "ptr.h"

namespace zyk::com {

// A raw interface pointer handed down as a 32-bit integer, with a reference of the
// receiver's own for as long as it keeps the pointer (0 gives none).
template <class Itf>
Ptr<Itf> Hold(long handle)
{
    return Ptr<Itf>(FromHandle<Itf>(handle));
}

// The IDispatch of a child that a parent holds, into out. Throws Failure(E_POINTER, text)
// for a null out or a missing child ("Cannot return data to NULL Pointer." or missing),
// and Failure(hr, missing) when the child does not answer IDispatch.
template <class Failure, class Itf>
void DispatchOf(const Ptr<Itf>& held, IDispatch** out, const char* missing)
{
    if (!out) throw Failure(E_POINTER, "Cannot return data to NULL Pointer.");
    *out = nullptr;
    if (!held) throw Failure(E_POINTER, missing);
    HRESULT hr = held->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(out));
    if (FAILED(hr)) throw Failure(hr, missing);
}

} // namespace zyk::com

// Pointers that a parent hands down to its children as 32-bit integers, and the one way a
// parent hands a child out to its client as IDispatch.
#pragma once
#include "failure.h"
#include "ptr.h"

namespace zyk::com {

// A raw interface pointer handed down as a 32-bit integer, with a reference of the
// receiver's own for as long as it keeps the pointer (0 gives none).
template <class Itf>
Ptr<Itf> Hold(long handle)
{
    return Ptr<Itf>(FromHandle<Itf>(handle));
}

// The out-parameter of a getter, checked before anything is written to it: throws
// failure(E_POINTER, "Cannot return data to NULL Pointer.") when it is null.
template <class T>
T* CheckedOut(T* out)
{
    if (!out) throw failure(E_POINTER, "Cannot return data to NULL Pointer.");
    return out;
}

// The IDispatch of a child that a parent holds (a Ptr or a raw pointer), into out.
// Throws as CheckedOut for a null out, failure(E_POINTER, missing) for a missing child,
// and failure(hr, missing) when the child does not answer IDispatch.
template <class Itf>
void HandOut(Itf* child, IDispatch** out, const char* missing)
{
    *zyk::com::CheckedOut(out) = nullptr;
    if (!child) throw failure(E_POINTER, missing);
    HRESULT hr = child->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(out));
    if (FAILED(hr)) throw failure(hr, missing);
}
template <class Itf>
void HandOut(const Ptr<Itf>& held, IDispatch** out, const char* missing)
{
    HandOut(held.Get(), out, missing);
}

// HandOut for a getter whose failures carry no error information: E_POINTER for a null out
// or a missing child, or the child's QueryInterface result, returned rather than thrown.
template <class Held>
HRESULT HandOutCode(const Held& held, IDispatch** out)
{
    try {
        HandOut(held, out, "");
    } catch (const failure& f) {
        return f.Result();
    }
    return S_OK;
}

} // namespace zyk::com

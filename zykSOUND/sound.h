// What the classes of the sound server share: the member guard, the DirectSound entry
// points and the holding of handed-down pointers.
#pragma once
#include "zykSOUND.h"
#include "failure.h"
#include "com/ptr.h"
#include <mmsystem.h>
#include <dsound.h>
#include <utility>

namespace sound {

// Runs a member body of class T under the member convention, for T's class and interface.
template <class T, class Body>
HRESULT GuardOf(Body&& body)
{
    return Guard(T::ClsId(), T::Iid(), std::forward<Body>(body));
}

// A raw interface pointer handed down as a 32-bit integer, with a reference of the
// receiver's own for as long as it keeps the pointer (0 gives none).
template <class Itf>
zyk::com::Ptr<Itf> Hold(long handle)
{
    return zyk::com::Ptr<Itf>(zyk::com::FromHandle<Itf>(handle));
}

// The IDispatch of an object held by a parent; E_POINTER with text when there is none.
template <class Itf>
void DispatchOf(const zyk::com::Ptr<Itf>& held, IDispatch** out, const char* missing)
{
    if (!out) throw failure(E_POINTER, "Cannot return data to NULL Pointer.");
    *out = nullptr;
    if (!held) throw failure(E_POINTER, missing);
    HRESULT hr = held->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(out));
    if (FAILED(hr)) throw failure(hr, missing);
}

// Checks an out pointer of a member.
template <class T>
T* Out(T* out)
{
    if (!out) throw failure(E_POINTER, "Cannot return data to NULL Pointer.");
    return out;
}

} // namespace sound

// What the classes of the sound server share: the member guard, DirectSound, and the
// holding of handed-down pointers.
#pragma once
#include "zykSOUND.h"
#include "failure.h"
#include "com/handed.h"
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

using zyk::com::Hold;

// The IDispatch of an object held by a parent; E_POINTER with text when there is none.
template <class Itf>
void DispatchOf(const zyk::com::Ptr<Itf>& held, IDispatch** out, const char* missing)
{
    zyk::com::DispatchOf<failure>(held, out, missing);
}

// Checks an out pointer of a member.
template <class T>
T* Out(T* out)
{
    if (!out) throw failure(E_POINTER, "Cannot return data to NULL Pointer.");
    return out;
}

} // namespace sound

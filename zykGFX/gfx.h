// What the classes of the 2D graphics server share: the member guard, the tables that turn
// DirectDraw result codes into texts, and the holding of handed-down pointers.
#pragma once
#include "zykGFX.h"
#include "failure.h"
#include "com/ptr.h"
#include <ddraw.h>
#include <cstddef>
#include <utility>

namespace gfx {

// Runs a member body of class T under the member convention, for T's class and interface.
template <class T, class Body>
HRESULT GuardOf(Body&& body)
{
    return Guard(T::ClsId(), T::Iid(), std::forward<Body>(body));
}

// One row of a result-code table: a code and the text the client sees for it.
struct CodeText {
    HRESULT code;
    const char* text;
};

// The text for hr in a table, or other when the table does not list it.
template <size_t N>
const char* TextOf(const CodeText (&table)[N], HRESULT hr, const char* other = "Unknown Error.")
{
    for (const CodeText& row : table)
        if (row.code == hr) return row.text;
    return other;
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

} // namespace gfx

// What the classes of the 2D graphics server share: the member guard, the tables that turn
// DirectDraw result codes into texts, and the holding of handed-down pointers.
#pragma once
#include "zykGFX.h"
#include "failure.h"
#include "com/handed.h"
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

// Handed-down pointers and handed-out children, as every server holds them.
using zyk::com::Hold;

template <class Itf>
void DispatchOf(const zyk::com::Ptr<Itf>& held, IDispatch** out, const char* missing)
{
    zyk::com::DispatchOf<failure>(held, out, missing);
}

} // namespace gfx

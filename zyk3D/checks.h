// Checks that many members of the engine make before they answer.
#pragma once
#include "com/failure.h"
#include "errormaps.h"

// An out parameter the member is to write: a null one is E_POINTER "Null Pointer.".
template <class T>
void RequireOut(T* out)
{
    if (!out) throw failure(E_POINTER, IDS_NULLPOINTER);
}

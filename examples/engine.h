// What the sample programs share as clients of the 3D engine.
#pragma once
#include "zyk3D.h"
#include <oleauto.h>

namespace sample {

// The interface iid of an IDispatch a member handed out, which it releases; nullptr when
// there is none or it does not answer.
template <class T>
T* As(IDispatch* d, REFIID iid)
{
    T* p = nullptr;
    if (d) {
        d->QueryInterface(iid, reinterpret_cast<void**>(&p));
        d->Release();
    }
    return p;
}

// A Device3D created by its ProgID and initialised windowed on the window; nullptr (after
// a message on stderr) when either step fails.
IDevice3D* OpenDevice3D(HWND window, int width, int height);

} // namespace sample

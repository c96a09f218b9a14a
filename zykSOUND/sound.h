// What the classes of the sound server share: DirectSound, the error record and the
// hand-out of children, and the out-pointer check of their getters.
#pragma once
#include "zykSOUND.h"
#include "com/failure.h"
#include "com/handed.h"
#include <mmsystem.h>
#include <dsound.h>

namespace sound {

// Checks an out pointer of a getter that writes its result before it can fail.
template <class T>
T* Out(T* out)
{
    if (!out) throw failure(E_POINTER, "Cannot return data to NULL Pointer.");
    return out;
}

} // namespace sound

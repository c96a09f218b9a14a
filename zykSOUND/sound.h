// What the classes of the sound server share: DirectSound, the error record, and the
// hand-out of children and the out-pointer check of their getters.
#pragma once
#include "zykSOUND.h"
#include "com/failure.h"
#include "com/handed.h"
#include <mmsystem.h>
#include <dsound.h>

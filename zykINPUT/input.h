// What the classes of the controller-input server share: the publishing of error
// information, which its members do themselves, and the kinds of device it acts on.
#pragma once
#include "zykINPUT.h"
#include "com/error.h"
#include "com/ptr.h"
#include <dinput.h>

namespace input {

// The set-up and state a device gets, from its stored type.
enum class Kind { None, Mouse, Keyboard, Joystick, ForceFeedback };

// The stored type: a joystick with the traditional sub-type bits is filed as 2.
inline long StoredType(long type) { return (type & 0x204) == 0x204 ? 2 : type; }

// 2 and 4 are the joystick and the force-feedback device; any other type is read by the
// kind in its low byte, whatever its sub-type: a mouse (2), a keyboard (3), a joystick (4).
inline Kind KindOf(long type)
{
    if (type == 2) return Kind::Joystick;
    if (type == 4) return Kind::ForceFeedback;
    switch (type & 0xFF) {
    case DIDEVTYPE_MOUSE: return Kind::Mouse;
    case DIDEVTYPE_KEYBOARD: return Kind::Keyboard;
    case DIDEVTYPE_JOYSTICK: return Kind::Joystick;
    default: return Kind::None;
    }
}

} // namespace input

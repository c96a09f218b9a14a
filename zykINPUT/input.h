// What the classes of the controller-input server share: the member guard, which
// publishes error information itself, and the kinds of device the server acts on.
#pragma once
#include "zykINPUT.h"
#include "com/error.h"
#include "com/ptr.h"
#include <utility>
#include <dinput.h>

namespace input {

// Runs a member body that returns its HRESULT. The body publishes the error information
// it means to give; an exception or a machine fault inside it becomes E_FAIL with
// "Exception Raised." for the class and interface.
template <class Body>
HRESULT Guard(REFCLSID clsid, REFIID iid, Body&& body)
{
    HRESULT hr = E_FAIL;
    auto run = [&]() {
        try {
            hr = body();
        } catch (...) {
            hr = zyk::com::PublishError(clsid, iid, L"Exception Raised.", E_FAIL);
        }
    };
    if (zyk::com::RunWithFaultFrame(run) != 0) hr = zyk::com::PublishError(clsid, iid, L"Exception Raised.", E_FAIL);
    return hr;
}

template <class T, class Body>
HRESULT GuardOf(Body&& body)
{
    return input::Guard(T::ClsId(), T::Iid(), std::forward<Body>(body));
}

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

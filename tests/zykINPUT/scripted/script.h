// The state of the scripted joystick, shared between a test program and the test's own
// dinput.dll through a named section: the test writes it, the device reports it.
#pragma once
#ifndef DIRECTINPUT_VERSION
#define DIRECTINPUT_VERSION 0x0700
#endif
#include <windows.h>
#include <dinput.h>

namespace scripted {

constexpr wchar_t kSection[] = L"ZykScriptedJoystick";

struct Script {
    LONG axes;
    LONG buttons;
    LONG revision;
    LONG forceFeedback;      // nonzero: a force-feedback device is listed after the joystick
    DIJOYSTATE2 state;       // what GetDeviceState hands out
    LONG polls;              // Poll calls on an acquired device
    LONG rangeMin, rangeMax; // the last range set on the X axis
    LONG loseInput;          // this many state reads lose the device (and unacquire it) first
};

// The section, made by whichever side asks first; it lives while either holds its handle.
inline Script* Open(HANDLE* handle)
{
    *handle = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(Script), kSection);
    if (!*handle) return nullptr;
    return static_cast<Script*>(MapViewOfFile(*handle, FILE_MAP_ALL_ACCESS, 0, 0, sizeof(Script)));
}

// The instance ids the scripted devices are listed under.
constexpr GUID kJoystick = {0x5a0d1c01, 0x77e2, 0x4b61, {0x9c, 0x10, 0x2f, 0x41, 0x6a, 0x93, 0x01, 0x01}};
constexpr GUID kForceFeedback = {0x5a0d1c01, 0x77e2, 0x4b61, {0x9c, 0x10, 0x2f, 0x41, 0x6a, 0x93, 0x01, 0x02}};
constexpr char kJoystickName[] = "Scripted Joystick";
constexpr char kForceFeedbackName[] = "Scripted Wheel";
constexpr char kProductName[] = "Zykware Scripted Controller";

} // namespace scripted

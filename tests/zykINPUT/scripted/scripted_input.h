// The DirectInput object of the test's dinput.dll: it lists the scripted joystick (and,
// when the script asks, a force-feedback device) and nothing else, and creates them.
#pragma once
#include "script.h"

class ScriptedInput final : public IDirectInput7A {
public:
    explicit ScriptedInput(scripted::Script* script) : script_(script) {}

    STDMETHOD(QueryInterface)(REFIID iid, void** out) override;
    STDMETHOD_(ULONG, AddRef)() override { return InterlockedIncrement(&refs_); }
    STDMETHOD_(ULONG, Release)() override;

    STDMETHOD(CreateDevice)(REFGUID guid, LPDIRECTINPUTDEVICEA* out, LPUNKNOWN outer) override;
    STDMETHOD(EnumDevices)(DWORD type, LPDIENUMDEVICESCALLBACKA callback, LPVOID context, DWORD flags) override;
    STDMETHOD(GetDeviceStatus)(REFGUID guid) override;
    STDMETHOD(RunControlPanel)(HWND, DWORD) override { return DI_OK; }
    STDMETHOD(Initialize)(HINSTANCE, DWORD) override { return DI_OK; }
    STDMETHOD(FindDevice)(REFGUID, LPCSTR, LPGUID) override { return DIERR_DEVICENOTREG; }
    STDMETHOD(CreateDeviceEx)(REFGUID guid, REFIID iid, LPVOID* out, LPUNKNOWN outer) override;

private:
    bool Listed(REFGUID guid) const;

    scripted::Script* script_;
    LONG refs_ = 1;
};

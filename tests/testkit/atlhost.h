// The platform's control container for tests: atl.dll's "AtlAxWin" window class, which
// creates the control named by its window title, and AtlAxGetControl.
#pragma once
#include <windows.h>
#include <unknwn.h>

namespace testkit {

struct AtlHost {
    AtlHost()
    {
        module = LoadLibraryA("atl.dll");
        if (!module) return;
        auto init = reinterpret_cast<BOOL(WINAPI*)()>(reinterpret_cast<void*>(GetProcAddress(module, "AtlAxWinInit")));
        getControl = reinterpret_cast<HRESULT(WINAPI*)(HWND, IUnknown**)>(
            reinterpret_cast<void*>(GetProcAddress(module, "AtlAxGetControl")));
        ready = init && init() && getControl;
    }
    HMODULE module = nullptr;
    HRESULT(WINAPI* getControl)(HWND, IUnknown**) = nullptr;
    bool ready = false;
};

} // namespace testkit

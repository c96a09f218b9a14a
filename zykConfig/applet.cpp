// The Control Panel entry: one applet, whose double-click opens the configuration dialog.
#include "applet.h"
#include "resource.h"
#include <cpl.h>

AppletState& Applet()
{
    static AppletState state;
    return state;
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH) {
        Applet().module = instance;
        DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}

extern "C" LONG APIENTRY CPlApplet(HWND owner, UINT message, LPARAM first, LPARAM second)
{
    switch (message) {
    case CPL_INIT: {
        INITCOMMONCONTROLSEX classes{sizeof classes, ICC_WIN95_CLASSES | ICC_USEREX_CLASSES};
        InitCommonControlsEx(&classes);
        return 1;
    }
    case CPL_GETCOUNT: return 1;
    case CPL_INQUIRE:
        if (first == 0 && second) {
            auto* info = reinterpret_cast<CPLINFO*>(second);
            info->idIcon = IDI_APPLET;
            info->idName = IDS_APPLET_NAME;
            info->idInfo = IDS_APPLET_INFO;
            info->lData = 0;
        }
        return 0;
    case CPL_DBLCLK:
        if (first == 0) DialogBoxParamA(Applet().module, MAKEINTRESOURCEA(IDD_CONFIG), owner, &ConfigDialogProc, 0);
        return 0;
    default: return 0;
    }
}

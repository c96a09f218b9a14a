// Opens the configuration applet the way a player does, through the Control Panel
// (control.exe given the applet's file), waits until the dialog has asked the servers and
// shows their lists, and closes it with Cancel, so that no choice is saved. Under
// "tools/zyk config" a picture of the dialog is taken while it is shown.
//
//   applet.exe Z:\path\to\zykConfig.cpl
#include "screen.h"
#include <cstdio>
#include <string>

namespace {

const DWORD kLimitMs = 300000;

struct Search {
    HWND found = nullptr;
};

// The applet's dialog once its settings are loaded (the language's name is shown then).
BOOL CALLBACK FindDialog(HWND window, LPARAM context)
{
    char title[64] = {}, name[32] = {};
    GetWindowTextA(window, title, sizeof title);
    if (IsWindowVisible(window) && std::string(title) == "ZYK Configuration" &&
        GetDlgItemTextA(window, 1039, name, sizeof name) > 0) {
        reinterpret_cast<Search*>(context)->found = window;
        return FALSE;
    }
    return TRUE;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        fprintf(stderr, "usage: applet.exe <zykConfig.cpl>\n");
        return 2;
    }
    std::string command = std::string("control.exe \"") + argv[1] + "\"";
    STARTUPINFOA start{sizeof start};
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &start, &process)) {
        fprintf(stderr, "could not start %s (%lu)\n", command.c_str(), GetLastError());
        return 1;
    }
    Search search;
    const DWORD begun = GetTickCount();
    while (!search.found && GetTickCount() - begun < kLimitMs &&
           WaitForSingleObject(process.hProcess, 100) == WAIT_TIMEOUT)
        EnumWindows(&FindDialog, reinterpret_cast<LPARAM>(&search));
    if (!search.found) {
        fprintf(stderr, "the applet's dialog did not show\n");
        TerminateProcess(process.hProcess, 1);
        return 1;
    }
    // The dialog shows before it has painted itself. Whatever of it is still to be painted is
    // painted now (the Control Panel's thread handles each WM_PAINT before RedrawWindow
    // returns), and the Control Panel is let go idle, when Wine puts what was drawn on the
    // screen; only then is the picture offered.
    RedrawWindow(search.found, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    WaitForInputIdle(process.hProcess, kLimitMs);
    char text[64] = {};
    GetDlgItemTextA(search.found, 1020, text, sizeof text);
    printf("ZYK Configuration is open: processor %s", text);
    GetDlgItemTextA(search.found, 1021, text, sizeof text);
    printf(", %s\n", text);
    RECT area;
    GetWindowRect(search.found, &area);
    std::string shot = sample::OfferScreenshot(&area);
    if (!shot.empty()) printf("screenshot of the dialog: %s\n", shot.c_str());

    PostMessageA(search.found, WM_COMMAND, IDCANCEL, 0);
    if (WaitForSingleObject(process.hProcess, kLimitMs) != WAIT_OBJECT_0) {
        fprintf(stderr, "the Control Panel did not end after Cancel\n");
        TerminateProcess(process.hProcess, 1);
        return 1;
    }
    printf("closed with Cancel\n");
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return 0;
}

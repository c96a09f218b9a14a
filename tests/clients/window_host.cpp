// Runs a script client with a window to render into: makes a shown window, then runs
// "cscript //nologo <script> <window handle>" and pumps the window's messages until the
// script ends. Its exit code is the script's.
//   window_host <script.vbs>
#include <windows.h>
#include <cstdio>
#include <string>

int main(int argc, char** argv)
{
    if (argc < 2) {
        fprintf(stderr, "usage: window_host <script.vbs>\n");
        return 2;
    }
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "ZykScriptHostWindow";
    RegisterClassA(&wc);
    RECT r{0, 0, 200, 200};
    AdjustWindowRect(&r, WS_OVERLAPPEDWINDOW, FALSE);
    HWND window = CreateWindowExA(0, wc.lpszClassName, "script client", WS_OVERLAPPEDWINDOW, 40, 40, r.right - r.left,
                                  r.bottom - r.top, nullptr, nullptr, wc.hInstance, nullptr);
    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);

    std::string command = "cscript //nologo \"" + std::string(argv[1]) + "\" " +
                          std::to_string(static_cast<unsigned long>(reinterpret_cast<ULONG_PTR>(window)));
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi)) {
        fprintf(stderr, "cannot run: %s\n", command.c_str());
        return 2;
    }
    for (;;) {
        DWORD w = MsgWaitForMultipleObjects(1, &pi.hProcess, FALSE, INFINITE, QS_ALLINPUT);
        if (w == WAIT_OBJECT_0) break;
        MSG m;
        while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&m);
            DispatchMessageA(&m);
        }
    }
    DWORD code = 1;
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    DestroyWindow(window);
    return static_cast<int>(code);
}

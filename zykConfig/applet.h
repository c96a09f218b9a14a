// What one loaded applet keeps between the Control Panel's calls and its dialog's
// messages: the module its resources come from, the shared image list and heading font
// of the open dialog, and the current interface language.
#pragma once
#include <windows.h>
#include <commctrl.h>
#include <vector>

struct AppletState {
    HINSTANCE module = nullptr;     // from the entry point, so a renamed copy finds its resources
    HIMAGELIST images = nullptr;    // the 16x16 pictures of every list and of the tab strip
    HFONT captionFont = nullptr;    // bold Arial of the page and group headings
    long language = 0;              // 0 English, 1 French, 2 German, 3 Spanish
    const char* helpFile = nullptr; // the help file last asked for, while its viewer may run
    std::vector<int> withheld;      // option controls of servers that could not be created
};

AppletState& Applet();

INT_PTR CALLBACK ConfigDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

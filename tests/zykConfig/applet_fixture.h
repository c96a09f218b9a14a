// The applet loaded as the Control Panel loads it, and its dialog driven from a thread
// timer while the dialog's own modal loop runs.
#pragma once
#include "testkit.h"
#include <commctrl.h>
#include <cpl.h>
#include <functional>
#include <string>
#include <vector>

namespace applet {

// The applet's file, the sample game's and the sample that opens the applet, as Windows
// paths.
std::string AppletFile();
std::string GameFile();
std::string AppletSampleFile();

class Applet {
public:
    explicit Applet(const std::string& file = AppletFile());
    ~Applet();
    HMODULE Module() const { return module_; }
    LONG Call(UINT message, LPARAM first = 0, LPARAM second = 0);

    // Opens the dialog (CPL_DBLCLK) and runs body on it once the analysis is done and the
    // settings are shown; then the button closeWith is pressed, after whatever body
    // posted to the dialog. Returns false when no dialog showed.
    bool WithDialog(const std::function<void(HWND)>& body, int closeWith = IDCANCEL);

private:
    HMODULE module_ = nullptr;
    APPLET_PROC entry_ = nullptr;
};

// An enumeration callback that stops at the applet's dialog once it is shown (which it is
// once the analysis is done and the settings are shown), storing it in the HWND that found
// points to.
BOOL CALLBACK FindShownDialog(HWND window, LPARAM found);

// A ComboBoxEx item: its text and its image's index in the shared image list.
struct Item {
    std::string text;
    int image = -1;
};
std::vector<Item> Items(HWND dialog, int list);
std::vector<std::string> Strings(HWND dialog, int plainList); // a plain combo box
long Selection(HWND dialog, int list);
std::string Text(HWND dialog, int control);

// Whether entry index of the dialog's image list shows the applet's icon of that id.
bool ShowsIcon(HWND dialog, int index, HMODULE module, int iconId);

// A mouse click on a control (a button, or a flag that notifies clicks).
void Click(HWND dialog, int control);

// Switches the tab strip to a page as a click does, and tells which controls show.
void ClickTab(HWND dialog, int tab);
bool Shown(HWND dialog, int control);

// The windows of a dialog, itself included, that still await painting.
int Unpainted(HWND dialog);

// The settings key of the current user, as the applet writes it.
extern const char kSettingsKey[];
void DeleteSettings();
void WriteSetting(const char* name, const char* value);
// A value's text, or "(none)".
std::string Setting(const char* name);

} // namespace applet

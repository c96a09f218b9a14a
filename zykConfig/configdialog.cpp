// The configuration dialog: the progress window and analysis at its start, its pages,
// toggles and flags, and what it frees when it closes.
#include "analysis.h"
#include "applet.h"
#include "captions.h"
#include "configsettings.h"
#include "resource.h"
#include "com/trace.h"
#include <algorithm>
#include <cstdio>

using zyk::com::DebugOut;

namespace {

const char kWebSite[] = "http://www.zykware.co.uk/";

const int kPages[4][7] = {
    {IDC_GRAPHICS_HEADING, IDC_ADAPTERS, IDC_MODES, IDC_FULLSCREEN},
    {IDC_3D_HEADING, IDC_ADAPTERS3D, IDC_SPECULAR, IDC_ANTIALIAS, IDC_DITHER, IDC_RENDERMODE, IDC_3D_FRAME},
    {IDC_SOUND_HEADING, IDC_SOUND},
    {IDC_CONTROLLERS, IDC_ATTACHED, IDC_CONFIGURE, IDC_CONTROLLERS_HEADING},
};

// Whether COM was started by this dialog and is to be stopped when it closes.
bool comStarted = false;

bool Withheld(int control)
{
    const auto& withheld = Applet().withheld;
    return std::find(withheld.begin(), withheld.end(), control) != withheld.end();
}

// Takes a static's picture back and frees it.
void FreePicture(HWND control)
{
    HANDLE old = reinterpret_cast<HANDLE>(SendMessageA(control, STM_SETIMAGE, IMAGE_BITMAP, 0));
    if (old) DeleteObject(old);
}

void SelectPage(HWND dialog, int page)
{
    if (page < 1 || page > 4) return;
    for (int p = 1; p <= 4; ++p) {
        for (int control : kPages[p - 1]) {
            if (!control) continue;
            bool show = p == page && !Withheld(control);
            ShowWindow(GetDlgItem(dialog, control), show ? SW_SHOW : SW_HIDE);
        }
    }
}

void InsertTab(HWND tabs, const char* text, int image)
{
    TCITEMA item{};
    item.mask = TCIF_TEXT | TCIF_IMAGE;
    item.pszText = const_cast<char*>(text);
    item.iImage = image;
    SendMessageA(tabs, TCM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
}

// Fills the dialog: icons, the shared image list, the render modes, the heading font, the
// tab strip, then the five analysis steps with the progress window's bar.
BOOL InitialiseDialog(HWND dialog, HWND progress)
{
    AppletState& applet = Applet();
    comStarted = SUCCEEDED(CoInitialize(nullptr));

    HANDLE big = LoadImageA(applet.module, MAKEINTRESOURCEA(IDI_APPLET), IMAGE_ICON, 32, 32, LR_SHARED);
    HANDLE small = LoadImageA(applet.module, MAKEINTRESOURCEA(IDI_APPLET), IMAGE_ICON, 16, 16, LR_SHARED);
    SendMessageA(dialog, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
    SendMessageA(dialog, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));

    applet.withheld.clear();
    applet.images = ImageList_Create(16, 16, ILC_COLOR4 | ILC_MASK, 0, 256);
    if (applet.images) {
        ImageList_SetBkColor(applet.images, RGB(255, 255, 255));
        for (int list : {IDC_ADAPTERS, IDC_ADAPTERS3D, IDC_SOUND, IDC_CONTROLLERS, IDC_RENDERMODE})
            SendDlgItemMessageA(dialog, list, CBEM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(applet.images));
    }

    HWND renderMode = GetDlgItem(dialog, IDC_RENDERMODE);
    AddComboItem(renderMode, AppendIcon(IDI_FLAT), 0, "Flat", 0);
    AddComboItem(renderMode, AppendIcon(IDI_GOURAUD), 1, "Gouraud", 1);

    applet.captionFont = CreateFontA(-12, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, ANSI_CHARSET, 0, 0, 0, 0, "Arial");
    if (applet.captionFont) {
        for (int heading :
             {IDC_GRAPHICS_HEADING, IDC_3D_HEADING, IDC_SOUND_HEADING, IDC_CONTROLLERS_HEADING, IDC_SYSTEM_HEADING})
            SendDlgItemMessageA(dialog, heading, WM_SETFONT, reinterpret_cast<WPARAM>(applet.captionFont), TRUE);
    }

    // Inserted at the front one after the other, the tabs read Graphics, 3D, Sound,
    // Controller; each shows its page's own picture: a 2D adapter, a 3D adapter, a sound
    // device, a controller.
    HWND tabs = GetDlgItem(dialog, IDC_TABS);
    SendMessageA(tabs, TCM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(applet.images));
    SendMessageA(tabs, TCM_SETEXTENDEDSTYLE, 0, TCS_EX_FLATSEPARATORS);
    InsertTab(tabs, "Controller", AppendIcon(IDI_POINTER));
    InsertTab(tabs, "Sound", AppendIcon(IDI_SOUND));
    InsertTab(tabs, "3D", AppendIcon(IDI_TNLHAL));
    InsertTab(tabs, "Graphics", AppendIcon(IDI_DISPLAY));
    SendMessageA(tabs, TCM_SETCURSEL, 0, 0);

    struct Step {
        const char* text;
        BOOL (*run)(HWND);
    };
    const Step steps[] = {
        {"Analysing Graphics...", &ListGraphicsAdapters}, {"Analysing 3D...", &List3DAdapters},
        {"Analysing Sound...", &ListSoundDevices},        {"Analysing Controllers...", &ListControllers},
        {"Analysing CPU...", &ShowProcessorInfo},
    };
    HWND bar = progress ? GetDlgItem(progress, IDC_PROGRESS) : nullptr;
    BOOL all = TRUE;
    for (const Step& step : steps) {
        if (progress) SetDlgItemTextA(progress, IDC_STEP, step.text);
        SendMessageA(bar, PBM_STEPIT, 0, 0);
        // No messages are pumped while the servers are asked: the whole window, its
        // picture and the step's text included, is painted here.
        if (progress) RedrawWindow(progress, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        if (!step.run(dialog)) all = FALSE;
    }
    return all;
}

// The browser that the App Paths name, started on the product's page.
void VisitWebSite()
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\IEXPLORE.EXE", 0,
                      KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return;
    char browser[260] = {};
    DWORD size = sizeof browser - 1;
    DWORD type = 0;
    LONG read = RegQueryValueExA(key, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(browser), &size);
    RegCloseKey(key);
    if (read != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ) || !browser[0]) return;
    char command[sizeof browser + sizeof kWebSite + 4];
    int length = std::snprintf(command, sizeof command, "\"%s\" %s", browser, kWebSite);
    if (length > 0 && length < static_cast<int>(sizeof command)) WinExec(command, SW_SHOW);
}

// Everything the dialog made is freed before it goes: the help viewer it started, the kept
// controllers (before COM stops), the pictures of its statics, the heading font and the
// image list.
void ReleaseDialog(HWND dialog)
{
    AppletState& applet = Applet();
    QuitContextHelp(dialog);
    ReleaseControllers();
    if (comStarted) CoUninitialize();
    comStarted = false;
    ReleaseFlags(dialog);
    FreePicture(GetDlgItem(dialog, IDC_PICTURE));
    if (applet.captionFont) DeleteObject(applet.captionFont);
    applet.captionFont = nullptr;
    if (applet.images) ImageList_Destroy(applet.images);
    applet.images = nullptr;
}

BOOL OnCommand(HWND dialog, int control)
{
    switch (control) {
    case IDOK:
        SaveSettings(dialog);
        EndDialog(dialog, 0);
        return TRUE;
    case IDCANCEL: EndDialog(dialog, 0); return TRUE;
    case IDC_FULLSCREEN:
        SetFullscreenCaption(dialog, IsDlgButtonChecked(dialog, IDC_FULLSCREEN) == BST_CHECKED);
        return TRUE;
    case IDC_SPECULAR: SetSpecularCaption(dialog, IsDlgButtonChecked(dialog, IDC_SPECULAR) == BST_CHECKED); return TRUE;
    case IDC_ANTIALIAS:
        SetAntiAliasCaption(dialog, IsDlgButtonChecked(dialog, IDC_ANTIALIAS) == BST_CHECKED);
        return TRUE;
    case IDC_DITHER: SetDitherCaption(dialog, IsDlgButtonChecked(dialog, IDC_DITHER) == BST_CHECKED); return TRUE;
    case IDC_CONTROLLERS: ShowControllerState(dialog); return TRUE;
    case IDC_CONFIGURE: ConfigureController(dialog); return TRUE;
    case IDC_WEBSITE: VisitWebSite(); return TRUE;
    case IDC_FLAG_UK:
    case IDC_FLAG_FRA:
    case IDC_FLAG_GER:
    case IDC_FLAG_SPA:
        Applet().language = control == IDC_FLAG_UK ? 0 : control == IDC_FLAG_FRA ? 1 : control == IDC_FLAG_GER ? 2 : 3;
        ApplyLanguageCaptions(dialog);
        return TRUE;
    default: return FALSE;
    }
}

} // namespace

INT_PTR CALLBACK ConfigDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG: {
        HWND progress = CreateDialogParamA(Applet().module, MAKEINTRESOURCEA(IDD_PROGRESS), dialog, nullptr, 0);
        if (progress) {
            HWND bar = GetDlgItem(progress, IDC_PROGRESS);
            SendMessageA(bar, PBM_SETRANGE, 0, MAKELPARAM(0, 5));
            SendMessageA(bar, PBM_SETPOS, 0, 0);
            SendMessageA(bar, PBM_SETSTEP, 1, 0);
        }
        const bool initialised = InitialiseDialog(dialog, progress);
        DebugOut("%s", initialised ? "Initialisation of Dialog: Successful.\n" : "Initialisation of Dialog: Failed.\n");
        LoadSettings(dialog);
        SelectPage(dialog, 1);
        if (progress) {
            FreePicture(GetDlgItem(progress, IDC_PICTURE));
            DestroyWindow(progress);
        }
        return TRUE;
    }
    case WM_COMMAND: return OnCommand(dialog, LOWORD(wParam));
    case WM_NOTIFY:
        if (wParam == IDC_TABS)
            SelectPage(dialog, static_cast<int>(SendDlgItemMessageA(dialog, IDC_TABS, TCM_GETCURSEL, 0, 0)) + 1);
        return TRUE;
    case WM_HELP: ShowContextHelp(dialog, reinterpret_cast<const HELPINFO*>(lParam)); return TRUE;
    case WM_DESTROY: ReleaseDialog(dialog); return TRUE;
    default: return FALSE;
    }
}

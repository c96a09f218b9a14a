// Captions of the four interface languages. The captions are Unicode text, so that their
// accented letters show whatever the system's ANSI code page.
#include "captions.h"
#include "applet.h"
#include "resource.h"

namespace {

struct Language {
    int flagControl;
    int flag, currentFlag;
    const char* name;
    const char* helpFile;
};

const Language kLanguages[] = {
    {IDC_FLAG_UK, IDB_FLAG_UK, IDB_FLAG_UK_CURRENT, "English", "ZYKCFGUK.HLP"},
    {IDC_FLAG_FRA, IDB_FLAG_FRA, IDB_FLAG_FRA_CURRENT, "French", "ZYKCFGFRA.HLP"},
    {IDC_FLAG_GER, IDB_FLAG_GER, IDB_FLAG_GER_CURRENT, "German", "ZYKCFGGER.HLP"},
    {IDC_FLAG_SPA, IDB_FLAG_SPA, IDB_FLAG_SPA_CURRENT, "Spanish", "ZYKCFGSPA.HLP"},
};

// The controls that English and French caption, in the order they are set.
const int kCaptioned[] = {IDC_VENDOR_LABEL,        IDC_SPEED_LABEL,      IDC_FULLSCREEN, IDCANCEL,
                          IDC_CONTROLLERS_HEADING, IDC_GRAPHICS_HEADING, IDC_3D_HEADING, IDC_SYSTEM_HEADING};

const wchar_t* const kEnglish[] = {
    L"Processor",         L"Speed",       L"&Fullscreen",        L"\u00AB &Cancel", L"Controllers:",
    L"Graphics Adapter:", L"3D Adapter:", L"System Information:"};
const wchar_t* const kFrench[] = {
    L"Processeur",        L"Vitesse",         L"\u00C9cran plein", L"\u00AB &Annulez",
    L"Contr\u00F4leurs:", L"Gfx Adaptateur:", L"3D Adaptateur:",   L"Information du syst\u00E8me:"};

const Language* Current()
{
    long language = Applet().language;
    return language >= 0 && language < 4 ? &kLanguages[language] : nullptr;
}

// Shows the bitmap in a flag control and frees the one it replaces.
void SetFlag(HWND dialog, int control, int bitmap)
{
    HANDLE picture = LoadImageA(Applet().module, MAKEINTRESOURCEA(bitmap), IMAGE_BITMAP, 16, 16, 0);
    HANDLE old = reinterpret_cast<HANDLE>(
        SendDlgItemMessageA(dialog, control, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(picture)));
    if (old && old != picture) DeleteObject(old);
}

void SetCaption(HWND dialog, int control, bool set, const char* on, const char* off)
{
    SetDlgItemTextA(dialog, control, set ? on : off);
}

} // namespace

void ApplyLanguageCaptions(HWND dialog)
{
    for (const Language& language : kLanguages) SetFlag(dialog, language.flagControl, language.flag);
    const Language* current = Current();
    if (!current) return;
    SetFlag(dialog, current->flagControl, current->currentFlag);
    SetDlgItemTextA(dialog, IDC_LANGUAGE, current->name);

    const wchar_t* const* captions = Applet().language == 0 ? kEnglish : Applet().language == 1 ? kFrench : nullptr;
    if (!captions) return;
    for (int i = 0; i < 8; ++i) SetDlgItemTextW(dialog, kCaptioned[i], captions[i]);
}

void SetFullscreenCaption(HWND dialog, bool set) { SetCaption(dialog, IDC_FULLSCREEN, set, "Fullscreen", "Windowed"); }

void SetSpecularCaption(HWND dialog, bool set) { SetCaption(dialog, IDC_SPECULAR, set, "Specular On", "Specular Off"); }

void SetAntiAliasCaption(HWND dialog, bool set)
{
    SetCaption(dialog, IDC_ANTIALIAS, set, "AntiAlias On", "AntiAlias Off");
}

void SetDitherCaption(HWND dialog, bool set) { SetCaption(dialog, IDC_DITHER, set, "Dither On", "Dither Off"); }

void ShowContextHelp(HWND dialog, const HELPINFO* info)
{
    // Statics without an id (the separator line) report -1: only the low word is compared.
    if (!info || info->iContextType != HELPINFO_WINDOW || LOWORD(info->iCtrlId) == 0xFFFF) return;
    if (const Language* current = Current()) {
        WinHelpA(dialog, current->helpFile, HELP_CONTEXTPOPUP, static_cast<ULONG_PTR>(LOWORD(info->iCtrlId)));
        Applet().helpFile = current->helpFile;
    }
}

void QuitContextHelp(HWND dialog)
{
    const char* helpFile = Applet().helpFile;
    Applet().helpFile = nullptr;
    if (helpFile) WinHelpA(dialog, helpFile, HELP_QUIT, 0);
}

void ReleaseFlags(HWND dialog)
{
    for (const Language& language : kLanguages) {
        HANDLE old =
            reinterpret_cast<HANDLE>(SendDlgItemMessageA(dialog, language.flagControl, STM_SETIMAGE, IMAGE_BITMAP, 0));
        if (old) DeleteObject(old);
    }
}

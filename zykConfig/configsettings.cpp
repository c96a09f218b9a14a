// CConfigSettings: the player's choices in the registry, and the dialog loaded from and saved to them.
#include "configsettings.h"
#include "analysis.h"
#include "applet.h"
#include "captions.h"
#include "resource.h"
#include <cstdio>
#include <cstdlib>
#include <new>

namespace {

const char kKey[] = "Software\\VB and VBA Program Settings\\ZYK\\Config";

// Selects a plain list's item, or none when the index is not one of its items.
void Select(HWND dialog, int list, long index)
{
    LRESULT count = SendDlgItemMessageA(dialog, list, CB_GETCOUNT, 0, 0);
    WPARAM item = index >= 0 && index < count ? static_cast<WPARAM>(index) : static_cast<WPARAM>(-1);
    SendDlgItemMessageA(dialog, list, CB_SETCURSEL, item, 0);
}

long Selected(HWND dialog, int list)
{
    return static_cast<long>(SendDlgItemMessageA(dialog, list, CB_GETCURSEL, 0, 0));
}

void Check(HWND dialog, int box, long flag)
{
    SendDlgItemMessageA(dialog, box, BM_SETCHECK, flag ? BST_CHECKED : BST_UNCHECKED, 0);
}

bool Checked(HWND dialog, int box) { return SendDlgItemMessageA(dialog, box, BM_GETCHECK, 0, 0) != 0; }

// A list of a collection's items is saved and shown by the collection position that its
// items stand for, whichever items could not be listed.
void Choose(HWND dialog, int list, long position) { ChoosePosition(GetDlgItem(dialog, list), position); }

long Chosen(HWND dialog, int list) { return ChosenPosition(GetDlgItem(dialog, list)); }

} // namespace

CConfigSettings::CConfigSettings() : value_(new (std::nothrow) char[kValueSize]) {}

CConfigSettings::~CConfigSettings()
{
    CloseKey();
    delete[] value_;
}

void CConfigSettings::CloseKey()
{
    if (key_) RegCloseKey(key_);
    key_ = nullptr;
}

bool CConfigSettings::Read(const char* name)
{
    if (!value_) return false;
    ZeroMemory(value_, kValueSize);
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kKey, 0, KEY_QUERY_VALUE, &key) == ERROR_SUCCESS) {
        CloseKey();
        key_ = key;
    }
    // One byte is kept back, so that a value stored without its zero still ends in one; a
    // value too long for the buffer reads as empty.
    valueSize_ = kValueSize - 1;
    if (key_ &&
        RegQueryValueExA(key_, name, nullptr, nullptr, reinterpret_cast<BYTE*>(value_), &valueSize_) != ERROR_SUCCESS)
        ZeroMemory(value_, kValueSize);
    value_[kValueSize - 1] = 0;
    CloseKey();
    return true;
}

long CConfigSettings::ReadInteger(const char* name, long withoutBuffer)
{
    if (!Read(name)) return withoutBuffer;
    lastValue_ = value_[0] ? std::atol(value_) : 0;
    return lastValue_;
}

long CConfigSettings::ReadFlag(const char* name)
{
    if (!Read(name)) return 0;
    lastValue_ = std::atol(value_) != 0 ? 1 : 0;
    return lastValue_;
}

void CConfigSettings::Write(const char* name, long value)
{
    if (!value_) return;
    ZeroMemory(value_, kValueSize);
    std::snprintf(value_, kValueSize, "%ld", value);
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return;
    RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value_), lstrlenA(value_) + 1);
    RegCloseKey(key);
}

void LoadSettings(HWND dialog)
{
    CConfigSettings settings;
    // A language the applet does not know reads as English.
    const long language = settings.GetLanguage();
    Applet().language = language >= 0 && language <= 3 ? language : 0;
    ApplyLanguageCaptions(dialog);
    Choose(dialog, IDC_ADAPTERS, settings.Get2DRenderer());
    long fullscreen = settings.GetFullscreen();
    Check(dialog, IDC_FULLSCREEN, fullscreen);
    SetFullscreenCaption(dialog, fullscreen != 0);
    SetSpecularCaption(dialog, settings.GetSpecular() != 0);
    SetAntiAliasCaption(dialog, settings.GetAntiAlias() != 0);
    SetDitherCaption(dialog, settings.GetDither() != 0);
    Select(dialog, IDC_MODES, settings.GetDisplayMode());
    Choose(dialog, IDC_ADAPTERS3D, settings.Get3DRenderer());
    Check(dialog, IDC_ANTIALIAS, settings.GetAntiAlias());
    Check(dialog, IDC_SPECULAR, settings.GetSpecular());
    Check(dialog, IDC_DITHER, settings.GetDither());
    Choose(dialog, IDC_RENDERMODE, settings.GetRenderMode());
    Choose(dialog, IDC_SOUND, settings.GetSound());
    Choose(dialog, IDC_CONTROLLERS, settings.GetController());
    ShowControllerState(dialog);
}

void SaveSettings(HWND dialog)
{
    CConfigSettings settings;
    settings.Set2DRenderer(Chosen(dialog, IDC_ADAPTERS));
    settings.SetFullscreen(Checked(dialog, IDC_FULLSCREEN));
    settings.Set3DRenderer(Chosen(dialog, IDC_ADAPTERS3D));
    settings.SetSpecular(Checked(dialog, IDC_SPECULAR));
    settings.SetAntiAlias(Checked(dialog, IDC_ANTIALIAS));
    settings.SetDither(Checked(dialog, IDC_DITHER));
    settings.SetRenderMode(Chosen(dialog, IDC_RENDERMODE));
    settings.SetSound(Chosen(dialog, IDC_SOUND));
    settings.SetController(Chosen(dialog, IDC_CONTROLLERS));
    settings.SetDisplayMode(Selected(dialog, IDC_MODES));
    settings.SetLanguage(Applet().language);
}

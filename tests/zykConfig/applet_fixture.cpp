#include "applet_fixture.h"

namespace applet {

namespace {

std::string WindowsPath(std::string path)
{
    for (char& c : path)
        if (c == '/') c = '\\';
    return "Z:" + path;
}

struct Driving {
    const std::function<void(HWND)>* body = nullptr;
    int closeWith = IDCANCEL;
    bool ran = false;
};
Driving* driving = nullptr;

void CALLBACK OnTimer(HWND, UINT, UINT_PTR timer, DWORD)
{
    HWND dialog = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), &FindShownDialog, reinterpret_cast<LPARAM>(&dialog));
    if (!dialog || !driving || driving->ran) return;
    KillTimer(nullptr, timer);
    driving->ran = true;
    (*driving->body)(dialog);
    PostMessageA(dialog, WM_COMMAND, driving->closeWith, 0);
}

} // namespace

BOOL CALLBACK FindShownDialog(HWND window, LPARAM found)
{
    char title[64] = {};
    GetWindowTextA(window, title, sizeof title);
    // The dialog shows only once its initialisation (the analysis and the settings) is done.
    if (IsWindowVisible(window) && std::string(title) == "ZYK Configuration") {
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }
    return TRUE;
}

const char kSettingsKey[] = "Software\\VB and VBA Program Settings\\ZYK\\Config";

std::string AppletFile() { return WindowsPath(ZYK_APPLET_FILE); }
std::string GameFile() { return WindowsPath(ZYK_GAME_FILE); }
std::string AppletSampleFile() { return WindowsPath(ZYK_APPLET_SAMPLE_FILE); }

Applet::Applet(const std::string& file)
{
    module_ = LoadLibraryA(file.c_str());
    if (module_) entry_ = reinterpret_cast<APPLET_PROC>(GetProcAddress(module_, "CPlApplet"));
    EXPECT_TRUE(entry_) << "CPlApplet of " << file;
}

Applet::~Applet()
{
    if (entry_) {
        entry_(nullptr, CPL_STOP, 0, 0);
        entry_(nullptr, CPL_EXIT, 0, 0);
    }
    if (module_) FreeLibrary(module_);
}

LONG Applet::Call(UINT message, LPARAM first, LPARAM second)
{
    return entry_ ? entry_(GetDesktopWindow(), message, first, second) : -1;
}

bool Applet::WithDialog(const std::function<void(HWND)>& body, int closeWith)
{
    if (!entry_) return false;
    Driving state{&body, closeWith};
    driving = &state;
    UINT_PTR timer = SetTimer(nullptr, 0, 50, &OnTimer);
    Call(CPL_INIT);
    Call(CPL_DBLCLK, 0, 0);
    if (!state.ran) KillTimer(nullptr, timer);
    driving = nullptr;
    return state.ran;
}

std::vector<Item> Items(HWND dialog, int list)
{
    std::vector<Item> items;
    const LRESULT count = SendDlgItemMessageA(dialog, list, CB_GETCOUNT, 0, 0);
    for (int i = 0; i < count; ++i) {
        char text[260] = {};
        COMBOBOXEXITEMA item{};
        item.mask = CBEIF_TEXT | CBEIF_IMAGE;
        item.iItem = i;
        item.pszText = text;
        item.cchTextMax = sizeof text;
        SendDlgItemMessageA(dialog, list, CBEM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
        items.push_back({text, item.iImage});
    }
    return items;
}

std::vector<std::string> Strings(HWND dialog, int plainList)
{
    std::vector<std::string> strings;
    const LRESULT count = SendDlgItemMessageA(dialog, plainList, CB_GETCOUNT, 0, 0);
    for (int i = 0; i < count; ++i) {
        char text[260] = {};
        SendDlgItemMessageA(dialog, plainList, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
        strings.push_back(text);
    }
    return strings;
}

long Selection(HWND dialog, int list)
{
    return static_cast<long>(SendDlgItemMessageA(dialog, list, CB_GETCURSEL, 0, 0));
}

std::string Text(HWND dialog, int control)
{
    char text[260] = {};
    GetDlgItemTextA(dialog, control, text, sizeof text);
    return text;
}

bool ShowsIcon(HWND dialog, int index, HMODULE module, int iconId)
{
    auto shared = reinterpret_cast<HIMAGELIST>(SendDlgItemMessageA(dialog, 1001, CBEM_GETIMAGELIST, 0, 0));
    HIMAGELIST expected = ImageList_Create(16, 16, ILC_COLOR4 | ILC_MASK, 0, 1);
    ImageList_SetBkColor(expected, RGB(255, 255, 255));
    auto icon = static_cast<HICON>(LoadImageA(module, MAKEINTRESOURCEA(iconId), IMAGE_ICON, 16, 16, 0));
    ImageList_ReplaceIcon(expected, -1, icon);
    DestroyIcon(icon);
    // Both pictures drawn into 32-bit pixels and compared.
    auto draw = [](HIMAGELIST list, int i) {
        BITMAPINFO info{};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), 16, -16, 1, 32, BI_RGB};
        void* bits = nullptr;
        HDC dc = CreateCompatibleDC(nullptr);
        HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        HGDIOBJ old = SelectObject(dc, bitmap);
        ImageList_Draw(list, i, dc, 0, 0, ILD_NORMAL);
        GdiFlush();
        std::string pixels(static_cast<const char*>(bits), 16 * 16 * 4);
        SelectObject(dc, old);
        DeleteObject(bitmap);
        DeleteDC(dc);
        return pixels;
    };
    const bool same =
        shared && index >= 0 && index < ImageList_GetImageCount(shared) && draw(shared, index) == draw(expected, 0);
    ImageList_Destroy(expected);
    return same;
}

void Click(HWND dialog, int control)
{
    HWND target = GetDlgItem(dialog, control);
    SendMessageA(target, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    SendMessageA(target, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
}

void ClickTab(HWND dialog, int tab)
{
    HWND tabs = GetDlgItem(dialog, 1046);
    SendMessageA(tabs, TCM_SETCURSEL, tab, 0);
    NMHDR change{tabs, 1046, static_cast<UINT>(TCN_SELCHANGE)};
    SendMessageA(dialog, WM_NOTIFY, 1046, reinterpret_cast<LPARAM>(&change));
}

bool Shown(HWND dialog, int control)
{
    return (GetWindowLongA(GetDlgItem(dialog, control), GWL_STYLE) & WS_VISIBLE) != 0;
}

namespace {

BOOL CALLBACK CountUnpainted(HWND window, LPARAM count)
{
    if (GetUpdateRect(window, nullptr, FALSE)) ++*reinterpret_cast<int*>(count);
    return TRUE;
}

} // namespace

int Unpainted(HWND dialog)
{
    int count = GetUpdateRect(dialog, nullptr, FALSE) ? 1 : 0;
    EnumChildWindows(dialog, &CountUnpainted, reinterpret_cast<LPARAM>(&count));
    return count;
}

void DeleteSettings() { RegDeleteKeyA(HKEY_CURRENT_USER, kSettingsKey); }

void WriteSetting(const char* name, const char* value)
{
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, kSettingsKey, &key), ERROR_SUCCESS);
    RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value), static_cast<DWORD>(strlen(value) + 1));
    RegCloseKey(key);
}

std::string Setting(const char* name)
{
    char value[300] = {};
    DWORD size = sizeof value - 1, type = 0;
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return "(none)";
    const LONG read = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(value), &size);
    RegCloseKey(key);
    if (read != ERROR_SUCCESS) return "(none)";
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ)) << name;
    EXPECT_EQ(size, strlen(value) + 1) << name << ": the stored size counts the terminating zero";
    return value;
}

StandInClass::StandInClass(const CLSID& clsid, std::function<IUnknown*()> make) : make_(std::move(make))
{
    if (FAILED(CoRegisterClassObject(clsid, this, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &cookie_))) cookie_ = 0;
}

StandInClass::~StandInClass()
{
    if (cookie_) CoRevokeClassObject(cookie_);
}

HRESULT StandInClass::QueryInterface(REFIID iid, void** out)
{
    *out = iid == IID_IUnknown || iid == IID_IClassFactory ? this : nullptr;
    return *out ? S_OK : E_NOINTERFACE;
}

HRESULT StandInClass::CreateInstance(IUnknown* outer, REFIID iid, void** out)
{
    *out = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    IUnknown* made = make_();
    if (!made) return E_OUTOFMEMORY;
    const HRESULT hr = made->QueryInterface(iid, out);
    made->Release();
    return hr;
}

} // namespace applet

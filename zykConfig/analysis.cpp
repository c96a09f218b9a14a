// Helpers that the analysis steps share: bounded texts, the shared pictures, list items
// and the failure path of a server that cannot be created.
#include "analysis.h"
#include "applet.h"
#include "resource.h"
#include <commctrl.h>

void TakeText(BSTR text, char (&out)[kTextSize])
{
    ZeroMemory(out, sizeof out);
    if (text) WideCharToMultiByte(CP_ACP, 0, text, SysStringLen(text), out, kTextSize - 1, nullptr, nullptr);
    out[kTextSize - 1] = 0;
    SysFreeString(text);
}

int AppendIcon(int iconId)
{
    HIMAGELIST images = Applet().images;
    if (!images) return -1;
    auto icon = static_cast<HICON>(LoadImageA(Applet().module, MAKEINTRESOURCEA(iconId), IMAGE_ICON, 16, 16, 0));
    if (!icon) return -1;
    int index = ImageList_ReplaceIcon(images, -1, icon);
    DestroyIcon(icon);
    return index;
}

void AddComboItem(HWND combo, int image, int position, const char* text, long standsFor)
{
    COMBOBOXEXITEMA item{};
    item.mask = CBEIF_TEXT | CBEIF_INDENT | CBEIF_LPARAM;
    item.iItem = position;
    item.pszText = const_cast<char*>(text);
    item.cchTextMax = lstrlenA(text);
    item.iIndent = 0;
    item.lParam = standsFor;
    if (image != -1) {
        item.mask |= CBEIF_IMAGE | CBEIF_SELECTEDIMAGE;
        item.iImage = image;
        item.iSelectedImage = image;
    }
    SendMessageA(combo, CBEM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
}

int NextPosition(HWND combo)
{
    LRESULT count = SendMessageA(combo, CB_GETCOUNT, 0, 0);
    return count > 0 ? static_cast<int>(count) : 0;
}

long ChosenPosition(HWND combo)
{
    COMBOBOXEXITEMA item{};
    item.mask = CBEIF_LPARAM;
    item.iItem = SendMessageA(combo, CB_GETCURSEL, 0, 0);
    if (item.iItem < 0 || !SendMessageA(combo, CBEM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item))) return -1;
    return static_cast<long>(item.lParam);
}

void ChoosePosition(HWND combo, long position)
{
    WPARAM chosen = static_cast<WPARAM>(-1);
    const LRESULT count = SendMessageA(combo, CB_GETCOUNT, 0, 0);
    for (int i = 0; i < count && position >= 0; ++i) {
        COMBOBOXEXITEMA item{};
        item.mask = CBEIF_LPARAM;
        item.iItem = i;
        if (SendMessageA(combo, CBEM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item)) && item.lParam == position) {
            chosen = static_cast<WPARAM>(i);
            break;
        }
    }
    SendMessageA(combo, CB_SETCURSEL, chosen, 0);
}

void MarkNotRegistered(HWND dialog, int listId, std::initializer_list<int> hidden)
{
    HWND list = GetDlgItem(dialog, listId);
    EnableWindow(list, FALSE);
    for (int id : hidden) {
        ShowWindow(GetDlgItem(dialog, id), SW_HIDE);
        Applet().withheld.push_back(id);
    }
    char text[kTextSize] = {};
    LoadStringA(Applet().module, IDS_NOT_REGISTERED, text, kTextSize);
    AddComboItem(list, AppendIcon(IDI_NOT_REGISTERED), 0, text, 0);
    SendMessageA(list, CB_SETCURSEL, 0, 0);
}

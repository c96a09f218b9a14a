// The registry reader, the text returned as a BSTR, and the reflected messages that the controls pass on plain.
#include "system.h"
#include <new>
#include <vector>

namespace sys {

std::string ReadMachineText(const char* key, const char* value)
{
    HKEY opened = nullptr;
    // Reading needs no more than the right to query: a key that only an administrator may
    // change still reads.
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key, 0, KEY_QUERY_VALUE, &opened) != ERROR_SUCCESS) return std::string();
    std::string text;
    try {
        std::vector<char> buffer(260, 0);
        for (;;) {
            DWORD size = static_cast<DWORD>(buffer.size());
            LONG rc = RegQueryValueExA(opened, value, nullptr, nullptr, reinterpret_cast<BYTE*>(buffer.data()), &size);
            if (rc == ERROR_MORE_DATA) {
                buffer.assign(size + 1, 0);
                continue;
            }
            if (rc == ERROR_SUCCESS) {
                size = size < buffer.size() ? size : static_cast<DWORD>(buffer.size());
                text.assign(buffer.data(), size);
                text.resize(strnlen(text.c_str(), text.size()));
            }
            break;
        }
    } catch (const std::bad_alloc&) {
        RegCloseKey(opened);
        throw failure(E_OUTOFMEMORY, static_cast<UINT>(IDS_OUT_OF_MEMORY));
    }
    RegCloseKey(opened);
    return text;
}

void ReturnText(const std::string& text, BSTR* out)
{
    zyk::com::CheckedOut(out);
    *out = zyk::com::AnsiToBstr(text.c_str());
    if (!*out) throw failure(E_OUTOFMEMORY, static_cast<UINT>(IDS_OUT_OF_MEMORY));
}

bool IsPlainReflection(UINT msg)
{
    switch (msg) {
    case OCM_DRAWITEM:
    case OCM_MEASUREITEM:
    case OCM_DELETEITEM:
    case OCM_COMPAREITEM:
    case OCM_VKEYTOITEM:
    case OCM_CHARTOITEM:
    case OCM_NOTIFY:
    case OCM_COMMAND:
    case OCM_HSCROLL:
    case OCM_VSCROLL:
    case OCM_CTLCOLORBTN:
    case OCM_CTLCOLORDLG:
    case OCM_CTLCOLOREDIT:
    case OCM_CTLCOLORLISTBOX:
    case OCM_CTLCOLORMSGBOX:
    case OCM_CTLCOLORSCROLLBAR:
    case OCM_CTLCOLORSTATIC:
    case OCM_PARENTNOTIFY: return true;
    default: return false;
    }
}

} // namespace sys

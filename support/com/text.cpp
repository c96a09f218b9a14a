// ToAnsi and AnsiToBstr: text between BSTRs and the ANSI code page.
#include "text.h"

namespace zyk::com {

std::string ToAnsi(const wchar_t* text)
{
    std::string out;
    if (!text || !*text) return out;
    const int n = WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (n <= 1) return out;
    out.resize(static_cast<size_t>(n));
    if (!WideCharToMultiByte(CP_ACP, 0, text, -1, out.data(), n, nullptr, nullptr)) return {};
    out.resize(static_cast<size_t>(n) - 1);
    return out;
}

BSTR AnsiToBstr(const char* text)
{
    if (!text) text = "";
    const int n = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    if (n <= 0) return SysAllocString(L"");
    BSTR s = SysAllocStringLen(nullptr, static_cast<UINT>(n - 1));
    if (s) MultiByteToWideChar(CP_ACP, 0, text, -1, s, n);
    return s;
}

} // namespace zyk::com

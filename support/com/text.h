// Text between the wide strings of COM (BSTRs) and the ANSI code page, which the file,
// resource and drawing functions of the platform take.
#pragma once
#include <windows.h>
#include <oleauto.h>
#include <cstddef>
#include <string>

namespace zyk::com {

// The longest ANSI name or path, in bytes, that a MAX_PATH buffer holds with its terminator.
inline constexpr size_t kAnsiPathMax = MAX_PATH - 1;

// Wide text (a BSTR or any NUL-terminated string) in the ANSI code page, whole, up to its
// first NUL; NULL gives the empty text. A character the code page lacks becomes the code
// page's default character. Throws std::bad_alloc when there is no memory for the text.
std::string ToAnsi(const wchar_t* text);

// ANSI text as a new BSTR; NULL gives the empty string. NULL only when there is no memory.
BSTR AnsiToBstr(const char* text);

} // namespace zyk::com

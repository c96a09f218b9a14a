// Debugger-output helpers.
//   DebugOut  - a line written to the debugger in every build.
//   ZYK_TRACE - a progress trace, written only in debug builds; nothing depends on it.
#pragma once
#include <windows.h>
#include <cstdarg>
#include <cstdio>

namespace zyk::com {

inline void DebugOutV(const char* format, va_list args)
{
    char line[1024];
    vsnprintf(line, sizeof line, format, args);
    line[sizeof line - 1] = 0;
    OutputDebugStringA(line);
}

inline void DebugOut(const char* format, ...) __attribute__((format(printf, 1, 2)));
inline void DebugOut(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    DebugOutV(format, args);
    va_end(args);
}

} // namespace zyk::com

#ifdef NDEBUG
#define ZYK_TRACE(...) ((void)0)
#else
#define ZYK_TRACE(...) ::zyk::com::DebugOut(__VA_ARGS__)
#endif

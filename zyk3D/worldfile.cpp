#include "com/error.h"
#include "com/ptr.h"
#include "worldfile.h"
#include "com/trace.h"
#include <cstdarg>
#include <cstdlib>
#include <cstring>

namespace world {

void WriteLine(FILE* f, const char* format, ...)
{
    char line[256] = {};
    va_list args;
    va_start(args, format);
    vsnprintf(line, sizeof line, format, args);
    va_end(args);
    line[sizeof line - 1] = 0;
    fwrite(line, 1, strlen(line), f);
}

void WriteFloat(FILE* f, float value) { WriteLine(f, "%f\n", static_cast<double>(value)); }
void WriteUnsigned(FILE* f, DWORD value) { WriteLine(f, "%lu\n", static_cast<unsigned long>(value)); }
void WriteBoolean(FILE* f, short value) { WriteUnsigned(f, static_cast<DWORD>(static_cast<LONG>(value))); }
void WriteCount(FILE* f, long count) { WriteLine(f, "%ld\n", count); }

void WriteName(FILE* f, const wchar_t* name)
{
    // A name longer than the line buffer is cut so that the line stays one line.
    char text[255] = {};
    if (name) WideCharToMultiByte(CP_ACP, 0, name, -1, text, sizeof text - 1, nullptr, nullptr);
    text[sizeof text - 1] = 0;
    for (char& c : text)
        if (c == '\n' || c == '\r') c = ' ';
    WriteLine(f, "%s\n", text);
}

void ReadLine(FILE* f, char (&line)[256])
{
    memset(line, 0, sizeof line);
    if (!fgets(line, sizeof line, f)) {
        line[0] = 0;
        return;
    }
    size_t n = strlen(line);
    if (n && line[n - 1] == '\n') {
        line[--n] = 0;
    } else if (n == sizeof line - 1) {
        // The rest of an over-long line belongs to this line, not the next value.
        int c;
        while ((c = fgetc(f)) != EOF && c != '\n') {
        }
    }
    if (n && line[n - 1] == '\r') line[--n] = 0;
}

void SkipLine(FILE* f)
{
    char line[256];
    ReadLine(f, line);
}

float ReadFloat(FILE* f)
{
    char line[256];
    ReadLine(f, line);
    return static_cast<float>(atof(line));
}

long ReadInteger(FILE* f)
{
    char line[256];
    ReadLine(f, line);
    return static_cast<long>(static_cast<unsigned long>(strtoull(line, nullptr, 10)));
}

short ReadBoolean(FILE* f) { return static_cast<short>(ReadInteger(f) & 0xFFFF); }

BSTR ReadName(FILE* f)
{
    char line[256];
    ReadLine(f, line);
    return zyk::com::AnsiToBstr(line);
}

bool AtEnd(FILE* f)
{
    int c = fgetc(f);
    if (c == EOF) return true;
    ungetc(c, f);
    return false;
}

long ReadCount(FILE* f, const char* traceFormat)
{
    char line[256];
    ReadLine(f, line);
    ZYK_TRACE(traceFormat, line);
    (void)traceFormat;
    return static_cast<long>(static_cast<unsigned long>(strtoull(line, nullptr, 10)));
}

} // namespace world

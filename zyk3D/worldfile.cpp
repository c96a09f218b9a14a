// The world file's line reads and writes, the watch on its end, and the colour and material records.
#include "com/error.h"
#include "com/text.h"
#include "worldfile.h"
#include "formats/worldline.h"
#include "com/trace.h"
#include <cstdarg>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <io.h>

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
    // The whole name in the ANSI code page, on one line.
    std::string text = zyk::com::ToAnsi(name);
    for (char& c : text)
        if (c == '\n' || c == '\r') c = ' ';
    text.push_back('\n');
    fwrite(text.data(), 1, text.size(), f);
}

namespace {
thread_local EndWatch* openWatch = nullptr;
}

EndWatch::EndWatch(FILE* f) : stream_(f), outer_(openWatch) { openWatch = this; }

EndWatch::~EndWatch() { openWatch = outer_; }

void EndWatch::Note(FILE* f)
{
    for (EndWatch* w = openWatch; w; w = w->outer_)
        if (w->stream_ == f) {
            w->ended_ = true;
            return;
        }
}

std::string ReadText(FILE* f)
{
    std::string line;
    if (!zyk::formats::ReadWorldLine(f, line)) EndWatch::Note(f);
    return line;
}

void SkipLine(FILE* f) { ReadText(f); }

float ReadFloat(FILE* f) { return zyk::formats::WorldFloat(ReadText(f)); }

long ReadInteger(FILE* f) { return zyk::formats::WorldInteger(ReadText(f)); }

short ReadBoolean(FILE* f) { return static_cast<short>(ReadInteger(f) & 0xFFFF); }

BSTR ReadName(FILE* f)
{
    const std::string line = ReadText(f);
    return zyk::com::AnsiToBstr(line.c_str());
}

bool AtEnd(FILE* f)
{
    int c = fgetc(f);
    if (c == EOF) return true;
    ungetc(c, f);
    return false;
}

bool NextLineIs(FILE* f, const char* header)
{
    // Only a binary stream gives positions to come back to (a text stream's positions are
    // off on files whose lines end in LF alone): a text stream is taken to go on.
    const int fd = _fileno(f);
    const int mode = fd >= 0 ? _setmode(fd, _O_BINARY) : -1;
    if (mode != -1) _setmode(fd, mode);
    const long at = mode == _O_BINARY ? ftell(f) : -1;
    std::string line;
    const bool read = at < 0 ? !AtEnd(f) : zyk::formats::ReadWorldLine(f, line);
    if (!read) EndWatch::Note(f);
    if (at < 0) return read;
    fseek(f, at, SEEK_SET);
    return read && line == header;
}

void SkipLines(FILE* f, int count)
{
    for (int i = 0; i < count; ++i) SkipLine(f);
}

long ReadCount(FILE* f, const char* traceFormat)
{
    const std::string line = ReadText(f);
    ZYK_TRACE(traceFormat, line.c_str());
    (void)traceFormat;
    const long count = zyk::formats::WorldInteger(line);
    return count < 0 ? 0 : count;
}

void SaveColour(FILE* s, long f, IColour* colour)
{
    if (colour) {
        colour->Save(f);
        return;
    }
    WriteLine(s, "// Colour\n");
    for (int i = 1; i < kColourBlockLines; ++i) WriteFloat(s, 0.0f);
}

void LoadColour(FILE* s, long f, IColour* colour)
{
    if (colour)
        colour->Load(f);
    else
        SkipLines(s, kColourBlockLines);
}

void SaveMaterial(FILE* s, long f, IMaterial* material)
{
    if (material) {
        material->Save(f);
        return;
    }
    WriteLine(s, "// Material\n");
    for (int i = 0; i < 5; ++i) SaveColour(s, f, nullptr);
}

void LoadMaterial(FILE* s, long f, IMaterial* material)
{
    if (material)
        material->Load(f);
    else
        SkipLines(s, kMaterialBlockLines);
}

} // namespace world

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
thread_local ReadWatch* openWatch = nullptr;

bool Blank(const std::string& line) { return line.find_first_not_of(" \t\r") == std::string::npos; }
} // namespace

ReadWatch::ReadWatch(FILE* f) : stream_(f), outer_(openWatch) { openWatch = this; }

ReadWatch::~ReadWatch() { openWatch = outer_; }

void ReadWatch::Note(FILE* f, Problem problem)
{
    for (ReadWatch* w = openWatch; w; w = w->outer_)
        if (w->stream_ == f) {
            if (w->first_ == kNone) w->first_ = problem;
            return;
        }
}

std::string ReadText(FILE* f)
{
    std::string line;
    if (!zyk::formats::ReadWorldLine(f, line)) ReadWatch::Note(f, ReadWatch::kEnded);
    return line;
}

void SkipLine(FILE* f) { ReadText(f); }

void ReadHeader(FILE* f, const char* header)
{
    std::string line;
    if (!zyk::formats::ReadWorldLine(f, line))
        ReadWatch::Note(f, ReadWatch::kEnded);
    else if (line != header)
        ReadWatch::Note(f, ReadWatch::kDamaged);
}

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
    if (!read) ReadWatch::Note(f, ReadWatch::kEnded);
    if (at < 0) return read;
    fseek(f, at, SEEK_SET);
    return read && line == header;
}

long ReadCount(FILE* f, const char* traceFormat)
{
    std::string line;
    if (!zyk::formats::ReadWorldLine(f, line)) ReadWatch::Note(f, ReadWatch::kEnded);
    ZYK_TRACE(traceFormat, line.c_str());
    (void)traceFormat;
    int32_t count = 0;
    if (!zyk::formats::WorldCount(line, count)) {
        ReadWatch::Note(f, ReadWatch::kDamaged);
        // Read as it always was: the integer of the line, 0 when negative.
        count = zyk::formats::WorldInteger(line);
    }
    return count < 0 ? 0 : count;
}

void ReadEnd(FILE* f)
{
    std::string line;
    while (zyk::formats::ReadWorldLine(f, line))
        if (!Blank(line)) {
            ReadWatch::Note(f, ReadWatch::kDamaged);
            return;
        }
}

void SaveColour(FILE* s, long f, IColour* colour)
{
    if (colour) {
        colour->Save(f);
        return;
    }
    WriteLine(s, "// Colour\n");
    for (int i = 0; i < 4; ++i) WriteFloat(s, 0.0f);
}

void LoadColour(FILE* s, long f, IColour* colour)
{
    if (colour)
        colour->Load(f);
    else
        SkimColour(s);
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
        SkimMaterial(s);
}

// The colour block as CColour::Load reads it: the header and the four channels.
void SkimColour(FILE* s)
{
    ReadHeader(s, "// Colour");
    for (int i = 0; i < 4; ++i) SkipLine(s);
}

// The material block as CMaterial::Load reads it: the header and five colour blocks.
void SkimMaterial(FILE* s)
{
    ReadHeader(s, "// Material");
    for (int i = 0; i < 5; ++i) SkimColour(s);
}

} // namespace world

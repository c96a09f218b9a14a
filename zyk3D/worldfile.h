// Line I/O of the world file: one value a line, formatted and read through a 256-byte
// line buffer. The stream is the FILE* that Device3D opened, passed as a 32-bit integer.
#pragma once
#include <windows.h>
#include <cstdio>
#include "com/collection.h"
#include "com/error.h"
#include "com/ptr.h"

namespace world {

inline FILE* Stream(long f) { return reinterpret_cast<FILE*>(static_cast<LONG_PTR>(f)); }

void WriteLine(FILE* f, const char* format, ...) __attribute__((format(printf, 2, 3)));
void WriteFloat(FILE* f, float value);          // "%f"
void WriteUnsigned(FILE* f, DWORD value);       // "%u"
void WriteBoolean(FILE* f, short value);        // "%u" of the value widened with its sign
void WriteName(FILE* f, const wchar_t* name);   // "%S", bounded to one line
void WriteCount(FILE* f, long count);           // signed decimal

// Reads one line (at most 255 characters, newline removed); a missing line reads "".
void ReadLine(FILE* f, char (&line)[256]);
void SkipLine(FILE* f);
float ReadFloat(FILE* f);
long ReadInteger(FILE* f);                      // 32-bit wrap-around: 4294967295 reads -1
short ReadBoolean(FILE* f);                     // the low 16 bits of the integer
BSTR ReadName(FILE* f);

// Whether anything is left to read on the stream.
bool AtEnd(FILE* f);

// The count line of a collection section, traced with traceFormat ("... %s.\n").
long ReadCount(FILE* f, const char* traceFormat);

// A collection section: the count line, then each member's own block in map order.
template <class Map>
void SaveSection(FILE* s, long f, const Map& members)
{
    WriteCount(s, members.Count());
    members.ForEach([&](const auto&, auto* member) { member->Save(f); });
}

// The members of a section whose Add files every new member as "Temp": count times, make()
// adds one (a null result ends the section), the member reads its own block, and is filed
// again under the name read from it. A member already filed as "Temp" is kept aside and
// filed again once the new one has its own name.
template <class Member, class Make>
void LoadNamedMembers(FILE* s, long f, zyk::com::NamedMap<Member>& items, long count, Make&& make)
{
    for (long i = 0; i < count; ++i) {
        // A count larger than the blocks that follow ends with the file.
        if (AtEnd(s)) break;
        zyk::com::Ptr<Member> previous(items.Find(L"Temp"));
        zyk::com::Ptr<Member> member = make();
        if (!member) break;
        member->Load(f);
        zyk::com::Bstr name;
        member->get_Name(name.Out());
        items.Erase(L"Temp");
        if (previous) items.Put(L"Temp", previous.Get());
        items.Put(name.Text(), member.Get());
    }
}

// Runs a block member's body so that nothing it meets (a bad stream included) escapes:
// block members always return S_OK.
template <class Body>
HRESULT Block(long f, Body&& body)
{
    if (!f) return S_OK;
    auto run = [&]() {
        try {
            body(Stream(f));
        } catch (...) {
        }
    };
    zyk::com::RunWithFaultFrame(run);
    return S_OK;
}

} // namespace world

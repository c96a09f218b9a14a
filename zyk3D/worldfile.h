// Line I/O of the world file: one value a line. Numbers and headers are formatted through
// a 256-byte line buffer; names are written and read whole. The stream is the FILE* that
// Device3D opened, passed as a 32-bit integer. Device3D writes through a text stream (each
// newline stored as CR LF) and reads through a binary one, taking CR LF and LF alike, so
// that every other byte of a line comes back as written: character 26 would end a text
// stream that reads.
#pragma once
#include <windows.h>
#include <cstdio>
#include <string>
#include "zyk3D.h"
#include "com/collection.h"
#include "com/error.h"
#include "com/ptr.h"

namespace world {

inline FILE* Stream(long f) { return reinterpret_cast<FILE*>(static_cast<LONG_PTR>(f)); }

void WriteLine(FILE* f, const char* format, ...) __attribute__((format(printf, 2, 3)));
void WriteFloat(FILE* f, float value);        // "%f"
void WriteUnsigned(FILE* f, DWORD value);     // "%u"
void WriteBoolean(FILE* f, short value);      // "%u" of the value widened with its sign
void WriteName(FILE* f, const wchar_t* name); // "%S": the whole name, in the ANSI code page
void WriteCount(FILE* f, long count);         // signed decimal

// Reads one line, whole (newline removed); a missing line reads "" and is noted on the
// stream's watch.
std::string ReadText(FILE* f);
void SkipLine(FILE* f);
// A block's header line: read, and noted on the stream's watch when its text is another.
void ReadHeader(FILE* f, const char* header);
float ReadFloat(FILE* f);
long ReadInteger(FILE* f);  // 32-bit wrap-around: 4294967295 reads -1
short ReadBoolean(FILE* f); // the low 16 bits of the integer
BSTR ReadName(FILE* f);

// Watches a stream that a world file is read from, while it lives, and keeps the first
// thing wrong with it: a line wanted after the end of the stream (a line read, or a
// block's header looked for), or a line that is not what its place wants (a header of
// another text, a count that is not one, more than blank lines after the last section).
// Watches nest, one stream each; a stream read without a watch is read as it comes.
class ReadWatch {
public:
    enum Problem { kNone, kEnded, kDamaged };
    explicit ReadWatch(FILE* f);
    ~ReadWatch();
    ReadWatch(const ReadWatch&) = delete;
    ReadWatch& operator=(const ReadWatch&) = delete;
    Problem First() const { return first_; }
    // Notes a problem of f on the watch of f, if any.
    static void Note(FILE* f, Problem problem);

private:
    FILE* stream_;
    Problem first_ = kNone;
    ReadWatch* outer_;
};

// Whether anything is left to read on the stream.
bool AtEnd(FILE* f);
// Whether the next line is the header of a block (its whole text is header); the stream
// stays where it was. A stream that cannot go back (a text stream) answers whether
// anything is left. Callers look for a block that they expect: a stream at its end is
// noted on its watch.
bool NextLineIs(FILE* f, const char* header);

// The count line of a collection section, traced with traceFormat ("... %s.\n"); a
// negative count is 0. A line that is not a count is noted on the stream's watch.
long ReadCount(FILE* f, const char* traceFormat);

// What may follow the last section: blank lines only, or the stream's watch notes it.
void ReadEnd(FILE* f);

// Blocks of children that may be missing: a missing child writes the block a fresh one
// writes (a Colour's four channels are 0.0, and so are those of a Material's five
// colours), and reading into a missing child passes over its block, so that every block
// has its full length whatever the state of the object that writes or reads it.
void SaveColour(FILE* s, long f, IColour* colour);
void LoadColour(FILE* s, long f, IColour* colour);
void SaveMaterial(FILE* s, long f, IMaterial* material);
void LoadMaterial(FILE* s, long f, IMaterial* material);

// Reading through a block or a section as the Load of its class reads it, keeping
// nothing and changing nothing: what a whole file is checked with before any of it is
// loaded. Each is defined beside the Load it follows.
void SkimColour(FILE* s);   // worldfile.cpp
void SkimMaterial(FILE* s); // worldfile.cpp
void SkimCamera(FILE* s);   // camera.cpp
void SkimCameras(FILE* s);  // cameras.cpp
void SkimFog(FILE* s);      // fog.cpp
void SkimLight(FILE* s);    // light.cpp
void SkimLights(FILE* s);   // lights.cpp
void SkimTextures(FILE* s); // textures.cpp
void SkimObject(FILE* s);   // object.cpp
void SkimObjects(FILE* s);  // objects.cpp

// A section skimmed: the count line, then while the count lasts and the next line is a
// member's header, the member's block (as LoadNamedMembers and Lights' Load go on).
template <class Skim>
void SkimSection(FILE* s, const char* traceFormat, const char* header, Skim&& skim)
{
    const long count = ReadCount(s, traceFormat);
    for (long i = 0; i < count && NextLineIs(s, header); ++i) skim(s);
}

// A collection section: the count line, then each member's own block in map order.
template <class Map>
void SaveSection(FILE* s, long f, const Map& members)
{
    WriteCount(s, members.Count());
    members.ForEach([&](const auto&, auto* member) { member->Save(f); });
}

// The members of a section whose Add files every new member as "Temp": count times, make()
// adds one, the member reads its own block, and is filed again under the name read from it.
// A member already filed as "Temp" is kept aside meanwhile and filed again afterwards (both
// without leaving the collection). Filing a member again ties it again under the
// collection; refiled(member) is told each time, for a member whose own children are tied
// under it. When make() cannot add one (a device that cannot create it), the block is read
// into spare(), a member that is not filed, so that the sections after it stay in place.
// The section ends where the next line is not a member's header.
template <class Member, class Make, class Spare, class Refiled>
void LoadNamedMembers(FILE* s, long f, zyk::com::NamedMap<Member>& items, long count, const char* header, Make&& make,
                      Spare&& spare, Refiled&& refiled)
{
    auto file = [&](const wchar_t* name, Member* member) {
        items.Put(name, member);
        refiled(member);
    };
    for (long i = 0; i < count && NextLineIs(s, header); ++i) {
        zyk::com::Ptr<Member> previous = zyk::com::Ptr<Member>::Adopt(items.Take(L"Temp"));
        zyk::com::Ptr<Member> member = make();
        if (!member) {
            if (previous) file(L"Temp", previous.Get());
            if (zyk::com::Ptr<Member> unfiled = spare())
                unfiled->Load(f);
            else
                break;
            continue;
        }
        member->Load(f);
        zyk::com::Bstr name;
        member->get_Name(name.Out());
        zyk::com::Ptr<Member> taken = zyk::com::Ptr<Member>::Adopt(items.Take(L"Temp"));
        if (previous) file(L"Temp", previous.Get());
        file(name.Text(), member.Get());
    }
}

// A member made on its own, outside any collection, for reading a block into.
template <class Member>
zyk::com::Ptr<Member> Unfiled(const CLSID& clsid, const IID& iid)
{
    zyk::com::Ptr<Member> member;
    CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, iid, reinterpret_cast<void**>(member.Out()));
    return member;
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
        } catch (...) {}
    };
    zyk::com::RunWithFaultFrame(run);
    return S_OK;
}

} // namespace world

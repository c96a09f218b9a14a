// The hostile-argument client: every creatable class of every server, each walked in a
// child process of its own (see caller.cpp), its time bounded; a crash or hang is reported
// with the class, the member and the arguments of the call it happened in.
//   ZYK_HOSTILE_FULL=1     every value, every position at once, two levels down (long run)
//   ZYK_HOSTILE_JOBS=n     children at a time (default 4)
//   ZYK_HOSTILE_STALL=s    seconds without a new line in a child's log that make a hang (default 120)
//   ZYK_HOSTILE_CHILD_SECONDS=s  time for one child in all (default 900, full run 7200)
//   ZYK_HOSTILE_ONLY=text  only the classes whose "server.Class" name contains text
//   ZYK_HOSTILE_LEVELS=n   levels down into returned objects (CI 1, full run 2)
//   ZYK_HOSTILE_KEEP=1     keeps the children's folders and logs (kept anyway after a finding)
//   ZYK_HOSTILE_MEMBER_SECONDS=s  time for the calls of one member (CI default 6, full run none)
#include "hostile.h"
#include <gtest/gtest.h>
#include <ole2.h>
#include <shellapi.h>
#include <algorithm>
#include <cstdio>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

extern "C" const IID LIBID_ZYK3DLib, LIBID_ZYKGFXLib, LIBID_ZYKINPUTLib, LIBID_ZYKSOUNDLib, LIBID_ZYKMMLib,
    LIBID_ZYKSYSTEMLib;

namespace {

struct Server {
    const char* name;
    const GUID* libid;
};
const Server kServers[] = {
    {"zyk3D", &LIBID_ZYK3DLib},       {"zykGFX", &LIBID_ZYKGFXLib}, {"zykINPUT", &LIBID_ZYKINPUTLib},
    {"zykSOUND", &LIBID_ZYKSOUNDLib}, {"zykMM", &LIBID_ZYKMMLib},   {"zykSYSTEM", &LIBID_ZYKSYSTEMLib},
};

std::string Narrow(const std::wstring& s)
{
    std::string out;
    for (wchar_t c : s) out.push_back(c < 128 ? static_cast<char>(c) : '?');
    return out;
}
std::wstring Widen(const std::string& s) { return std::wstring(s.begin(), s.end()); }

long EnvNumber(const char* name, long fallback)
{
    char buffer[32] = "";
    if (!GetEnvironmentVariableA(name, buffer, sizeof buffer)) return fallback;
    return strtol(buffer, nullptr, 10);
}
std::string EnvText(const char* name)
{
    char buffer[256] = "";
    if (!GetEnvironmentVariableA(name, buffer, sizeof buffer)) return {};
    return buffer;
}

struct ClassRun {
    const Server* server;
    std::wstring cls;
};

// Every creatable class of every server, read from its registered type library.
std::vector<ClassRun> CreatableClasses()
{
    std::vector<ClassRun> out;
    for (const Server& s : kServers) {
        ITypeLib* lib = nullptr;
        EXPECT_EQ(LoadRegTypeLib(*s.libid, 1, 0, LOCALE_NEUTRAL, &lib), S_OK) << s.name;
        if (!lib) continue;
        for (UINT i = 0; i < lib->GetTypeInfoCount(); ++i) {
            ITypeInfo* ti = nullptr;
            if (FAILED(lib->GetTypeInfo(i, &ti))) continue;
            TYPEATTR* ta = nullptr;
            ti->GetTypeAttr(&ta);
            if (ta->typekind == TKIND_COCLASS && (ta->wTypeFlags & TYPEFLAG_FCANCREATE)) {
                BSTR name = nullptr;
                ti->GetDocumentation(MEMBERID_NIL, &name, nullptr, nullptr, nullptr);
                out.push_back({&s, name ? name : L""});
                SysFreeString(name);
            }
            ti->ReleaseTypeAttr(ta);
            ti->Release();
        }
        lib->Release();
    }
    return out;
}

std::vector<std::string> Lines(const std::wstring& path)
{
    std::vector<std::string> lines;
    HANDLE f = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE) return lines;
    std::string all;
    char buffer[65536];
    DWORD got = 0;
    while (ReadFile(f, buffer, sizeof buffer, &got, nullptr) && got) all.append(buffer, got);
    CloseHandle(f);
    std::istringstream in(all);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

void Append(const std::wstring& path, const std::string& line)
{
    HANDLE f = CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    const std::string text = line + "\n";
    WriteFile(f, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(f);
}

DWORD FileSize(const std::wstring& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data{};
    return GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data) ? data.nFileSizeLow : 0;
}

void RemoveTree(const std::wstring& folder)
{
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileW((folder + L"\\*").c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = fd.cFileName;
            if (name == L"." || name == L"..") continue;
            const std::wstring path = folder + L"\\" + name;
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(path);
            else
                DeleteFileW(path.c_str());
        } while (FindNextFileW(h, &fd));
        FindClose(h);
    }
    RemoveDirectoryW(folder.c_str());
}

struct Finding {
    std::string server, cls, what, where;
};

// One class's child, started again past a crashing call.
struct Child {
    ClassRun run;
    std::wstring folder, log;
    long skip = 0;
    int starts = 0;
    HANDLE process = nullptr;
    DWORD size = 0, changed = 0, began = 0;
    long calls = 0;
    bool finished = false;
    bool walked = true; // false for a class without IDispatch
};

class Runner {
public:
    // stallSeconds without a new log line, or childSeconds in all, make a child hung.
    Runner(long stallSeconds, long childSeconds) : stall_(stallSeconds), limit_(childSeconds) {}

    std::vector<Finding> findings;
    std::map<std::string, std::set<std::string>> members; // by server
    long calls = 0;

    bool Start(Child& c)
    {
        wchar_t self[MAX_PATH];
        GetModuleFileNameW(nullptr, self, MAX_PATH);
        wchar_t libid[64];
        StringFromGUID2(*c.run.server->libid, libid, 64);
        std::wstring command = L"\"" + std::wstring(self) + L"\" --hostile-child " + libid + L" " + c.run.cls + L" \"" +
                               c.log + L"\" " + std::to_wstring(c.skip);
        Append(c.log, "start " + std::to_string(c.skip));
        STARTUPINFOW si{sizeof si};
        PROCESS_INFORMATION pi{};
        if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, c.folder.c_str(), &si, &pi))
            return false;
        CloseHandle(pi.hThread);
        c.process = pi.hProcess;
        c.size = FileSize(c.log);
        c.changed = c.began = GetTickCount();
        ++c.starts;
        return true;
    }

    // What the child's last run wrote: its counts, its findings, and whether to start it
    // again past the call it ended in.
    void Collect(Child& c, DWORD exitCode, bool hung)
    {
        const std::vector<std::string> lines = Lines(c.log);
        size_t first = 0;
        for (size_t i = 0; i < lines.size(); ++i)
            if (lines[i].rfind("start ", 0) == 0) first = i + 1;
        long counted = 0, done = -1, lastCall = 0;
        std::string last;
        for (size_t i = first; i < lines.size(); ++i) {
            const std::string& l = lines[i];
            if (l.rfind("member ", 0) == 0) members[c.run.server->name].insert(l.substr(7));
            if (l.rfind("call ", 0) == 0) {
                ++counted;
                lastCall = strtol(l.c_str() + 5, nullptr, 10);
            }
            if (l.rfind("done ", 0) == 0) done = strtol(l.c_str() + 5, nullptr, 10);
            if (l.rfind("finding ", 0) == 0) Add(c, "wrong answer", l.substr(8));
            if (l.rfind("raised ", 0) == 0) raised_.insert(std::string(c.run.server->name) + " " + l.substr(7));
            if (l.find(" left out: its time is up") != std::string::npos) ++cut_;
            if (l.rfind("slow ", 0) == 0)
                slow_.push_back(std::string(c.run.server->name) + "." + Narrow(c.run.cls) + ": " + l);
            if (l.rfind("skipped class", 0) == 0) c.walked = false;
            if (l.rfind("done", 0) != 0) last = l;
        }
        const long made = done >= 0 ? done : counted;
        c.calls += made;
        calls += made;
        if (!hung && exitCode == 0 && done >= 0) {
            c.finished = true;
            return;
        }
        char what[64];
        if (hung && GetTickCount() - c.began > static_cast<DWORD>(limit_) * 1000)
            snprintf(what, sizeof what, "hang (still running after %ld s)", limit_);
        else if (hung)
            snprintf(what, sizeof what, "hang (no progress for %ld s)", stall_);
        else
            snprintf(what, sizeof what, "crash (exit code 0x%08lX)", exitCode);
        Add(c, what, last.empty() ? "before the first call" : last);
        // Past a crashing call the walk goes on; a crash outside the numbered calls ends it.
        if (last.rfind("call ", 0) == 0 && c.starts < 12) {
            c.skip = lastCall;
            c.finished = false;
        } else {
            c.finished = true;
        }
    }

    void Report() const
    {
        for (const std::string& r : raised_) printf("note: answered \"Exception Raised.\": %s\n", r.c_str());
        // The slowest calls, for the time a run takes.
        std::vector<std::pair<long, std::string>> slow;
        for (const std::string& s : slow_) slow.push_back({strtol(s.c_str() + s.find("slow ") + 5, nullptr, 10), s});
        std::sort(slow.rbegin(), slow.rend());
        if (!slow.empty()) printf("note: %zu calls took a second or more; the slowest:\n", slow.size());
        for (size_t i = 0; i < slow.size() && i < 5; ++i) printf("note: %s\n", slow[i].second.c_str());
        if (cut_) printf("note: %ld members got only the calls that fit in their time\n", cut_);
    }

    // Runs every child, jobs at a time, each started again past a call it crashed in.
    void RunAll(std::vector<Child>& children, long jobs)
    {
        size_t next = 0;
        std::vector<Child*> running, again;
        while (next < children.size() || !running.empty() || !again.empty()) {
            while (static_cast<long>(running.size()) < jobs && (!again.empty() || next < children.size())) {
                Child* c = !again.empty() ? again.back() : &children[next];
                if (!again.empty())
                    again.pop_back();
                else
                    ++next;
                if (Start(*c))
                    running.push_back(c);
                else
                    ADD_FAILURE() << "cannot start the child of " << Narrow(c->run.cls);
            }
            if (running.empty()) continue;
            std::vector<HANDLE> handles;
            for (Child* c : running) handles.push_back(c->process);
            WaitForMultipleObjects(static_cast<DWORD>(handles.size()), handles.data(), FALSE, 250);
            for (size_t i = 0; i < running.size();) {
                Child& c = *running[i];
                DWORD code = STILL_ACTIVE;
                GetExitCodeProcess(c.process, &code);
                const DWORD now = GetTickCount();
                const DWORD size = FileSize(c.log);
                if (size != c.size) {
                    c.size = size;
                    c.changed = now;
                }
                const bool hung = code == STILL_ACTIVE && (now - c.changed > static_cast<DWORD>(stall_) * 1000 ||
                                                           now - c.began > static_cast<DWORD>(limit_) * 1000);
                if (code == STILL_ACTIVE && !hung) {
                    ++i;
                    continue;
                }
                if (hung) {
                    TerminateProcess(c.process, 0xDEAD);
                    WaitForSingleObject(c.process, 10000);
                }
                CloseHandle(c.process);
                c.process = nullptr;
                Collect(c, code, hung);
                if (c.finished && c.walked)
                    printf("%s.%s: %ld calls, %lu s\n", c.run.server->name, Narrow(c.run.cls).c_str(), c.calls,
                           (now - c.began) / 1000);
                else if (c.finished)
                    printf("%s.%s: not walked, it has no IDispatch\n", c.run.server->name, Narrow(c.run.cls).c_str());
                else
                    again.push_back(&c);
                fflush(stdout);
                running.erase(running.begin() + static_cast<long>(i));
            }
        }
    }

private:
    void Add(const Child& c, const std::string& what, const std::string& where)
    {
        findings.push_back({c.run.server->name, Narrow(c.run.cls), what, where});
    }
    std::set<std::string> raised_;
    std::vector<std::string> slow_;
    long cut_ = 0;
    long stall_, limit_;
};

// Children of this program, each class's in a folder of its own under root.
Child ChildOf(const ClassRun& r, const std::wstring& root)
{
    Child c;
    c.run = r;
    c.folder = root + L"\\" + Widen(std::string(r.server->name) + "." + Narrow(r.cls));
    CreateDirectoryW(c.folder.c_str(), nullptr);
    c.log = c.folder + L"\\calls.log";
    return c;
}

std::wstring ScratchFolder(const wchar_t* name)
{
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring root = std::wstring(temp) + name + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(root.c_str(), nullptr);
    return root;
}

TEST(Hostile, EveryMemberOfEveryCreatableClass)
{
    const std::string only = EnvText("ZYK_HOSTILE_ONLY");
    const bool full = hostile::DepthFromEnvironment().full;
    const std::wstring root = ScratchFolder(L"zyk_hostile_");
    std::vector<Child> children;
    for (const ClassRun& r : CreatableClasses()) {
        const std::string name = std::string(r.server->name) + "." + Narrow(r.cls);
        if (only.empty() || name.find(only) != std::string::npos) children.push_back(ChildOf(r, root));
    }
    ASSERT_FALSE(children.empty());

    Runner runner(EnvNumber("ZYK_HOSTILE_STALL", 120), EnvNumber("ZYK_HOSTILE_CHILD_SECONDS", full ? 7200 : 900));
    const DWORD began = GetTickCount();
    runner.RunAll(children, std::max(1L, EnvNumber("ZYK_HOSTILE_JOBS", 4)));

    size_t memberCount = 0, walked = 0;
    for (const Child& c : children) walked += c.walked;
    for (const auto& [server, names] : runner.members) memberCount += names.size();
    runner.Report();
    for (const Finding& f : runner.findings)
        printf("FINDING %s.%s: %s at: %s\n", f.server.c_str(), f.cls.c_str(), f.what.c_str(), f.where.c_str());
    printf("hostile%s: %zu classes, %zu members, %ld calls in %lu s\n", full ? " (full)" : "", walked, memberCount,
           runner.calls, (GetTickCount() - began) / 1000);
    fflush(stdout);
    EXPECT_TRUE(runner.findings.empty()) << "crashes, hangs or wrong answers, listed above";
    if (runner.findings.empty() && EnvText("ZYK_HOSTILE_KEEP").empty()) RemoveTree(root);
}

// The runner itself: a child that crashes in a call is named with that call and started
// again past it; a child that stops writing is killed and named with its last call.
TEST(Hostile, NamesTheCallOfACrashAndOfAHang)
{
    static const Server selfTest{"selftest", &GUID_NULL};
    const std::wstring root = ScratchFolder(L"zyk_hostile_self_");
    std::vector<Child> children{ChildOf({&selfTest, L"SelfTestCrash"}, root),
                                ChildOf({&selfTest, L"SelfTestHang"}, root)};
    Runner runner(3, 600);
    runner.RunAll(children, 2);
    ASSERT_EQ(runner.findings.size(), 2u);
    for (const Finding& f : runner.findings) {
        if (f.cls == "SelfTestCrash") {
            EXPECT_EQ(f.what.rfind("crash (exit code 0x", 0), 0u) << f.what;
            EXPECT_EQ(f.where, "call 2 SelfTestCrash ISelfTest.Crash.call flags 1 (I4 -1)");
        } else {
            EXPECT_EQ(f.what, "hang (no progress for 3 s)");
            EXPECT_EQ(f.where, "call 1 SelfTestHang ISelfTest.Hang.call flags 1 (BSTR \"a\")");
        }
    }
    // Started again past the call that crashed or hung, each child finished its walk.
    EXPECT_TRUE(children[0].finished);
    EXPECT_EQ(children[0].calls, 3);
    EXPECT_EQ(children[0].starts, 2);
    EXPECT_TRUE(children[1].finished);
    EXPECT_EQ(children[1].starts, 2);
    RemoveTree(root);
}

} // namespace

int main(int argc, char** argv)
{
    int count = 0;
    wchar_t** args = CommandLineToArgvW(GetCommandLineW(), &count);
    if (count >= 6 && std::wstring(args[1]) == L"--hostile-child") {
        GUID libid{};
        CLSIDFromString(args[2], &libid);
        return hostile::RunChild(libid, args[3], args[4], wcstol(args[5], nullptr, 10));
    }
    testing::InitGoogleTest(&argc, argv);
    CoInitialize(nullptr);
    const int status = RUN_ALL_TESTS();
    CoUninitialize();
    return status;
}

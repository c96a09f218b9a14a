// The child of the hostile client: creates one class, walks its members through
// IDispatch::Invoke with hostile arguments, fresh and (where the class can be set up)
// initialised on a window of its own, and walks the objects its members hand out.
#include "hostile.h"
#include "values.h"
#include <ole2.h>
#include <olectl.h>
#include <algorithm>
#include <cstdlib>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace hostile {

Depth DepthFromEnvironment()
{
    Depth d;
    char buffer[16] = "";
    if (GetEnvironmentVariableA("ZYK_HOSTILE_FULL", buffer, sizeof buffer) && buffer[0] == '1') {
        d.full = true;
        d.levels = 2;
        d.memberMs = 0;
    }
    if (GetEnvironmentVariableA("ZYK_HOSTILE_LEVELS", buffer, sizeof buffer)) d.levels = atoi(buffer);
    if (GetEnvironmentVariableA("ZYK_HOSTILE_MEMBER_SECONDS", buffer, sizeof buffer))
        d.memberMs = static_cast<DWORD>(strtoul(buffer, nullptr, 10) * 1000);
    return d;
}

namespace {

std::string Narrow(const wchar_t* s, size_t n)
{
    if (!s || !n) return {};
    const int size = WideCharToMultiByte(CP_UTF8, 0, s, static_cast<int>(n), nullptr, 0, nullptr, nullptr);
    std::string out(size, '\0');
    WideCharToMultiByte(CP_UTF8, 0, s, static_cast<int>(n), out.data(), size, nullptr, nullptr);
    return out;
}
std::string Narrow(const std::wstring& s) { return Narrow(s.data(), s.size()); }
std::string Narrow(BSTR s) { return Narrow(s, SysStringLen(s)); }

class Log {
public:
    explicit Log(const std::wstring& path)
        : file_(CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr))
    {}
    ~Log() { CloseHandle(file_); }
    bool Open() const { return file_ != INVALID_HANDLE_VALUE; }
    // Written through at once: a line is in the file before the call it names is made.
    void Line(const std::string& text)
    {
        const std::string line = text + "\n";
        DWORD written = 0;
        WriteFile(file_, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    }

private:
    HANDLE file_;
};

// Members left out, each with its reason: the type library's name, the interface, the member.
struct Skip {
    const wchar_t *library, *itf, *member;
    const char* reason;
};
const Skip kSkipped[] = {
    {L"ZYKGFXLib", L"IMode", L"Change", "switches the whole display to another mode"},
    {L"ZYKINPUTLib", L"IDevice", L"RunControlPanel",
     "opens the device's control panel and waits for a person to close it"},
};

// Arguments that always get their plain value (0), with the reason.
struct Pin {
    const wchar_t *library, *itf, *member;
    int position;
    const char* reason;
};
const Pin kPinned[] = {
    {L"ZYK3DLib", L"IDevice3D", L"Initialise", 3, "Fullscreen: full screen takes the whole display"},
    {L"ZYKGFXLib", L"IDevice", L"Initialise", 2, "Fullscreen: full screen takes the whole display"},
};

// Members that end or empty what the others use: called after all the others of their object.
bool Destructive(const std::wstring& name)
{
    for (const wchar_t* n : {L"Remove", L"Clear", L"Initialise", L"Close", L"Free"})
        if (name == n) return true;
    return false;
}
int DestructiveRank(const std::wstring& name)
{
    const wchar_t* order[] = {L"Remove", L"Clear", L"Initialise", L"Close", L"Free"};
    for (int i = 0; i < 5; ++i)
        if (name == order[i]) return i;
    return -1;
}

struct Param {
    VARTYPE vt;
};

struct Member {
    MEMBERID id;
    INVOKEKIND kind;
    std::wstring name;
    std::vector<Param> params; // the [in] parameters
    bool address = false;      // hidden, and every parameter a long: a memory address as a number
    std::set<int> pinned;
    const char* skipped = nullptr;
};

const char* KindText(INVOKEKIND k)
{
    switch (k) {
    case INVOKE_PROPERTYGET: return "get";
    case INVOKE_PROPERTYPUT: return "put";
    case INVOKE_PROPERTYPUTREF: return "putref";
    default: return "call";
    }
}

// The plain argument of a parameter type.
const Value& Plain(const Member& m, VARTYPE vt)
{
    if (m.address) return kLong0;
    switch (vt) {
    case VT_BOOL: return kFalse;
    case VT_R4:
    case VT_R8: return kDouble1;
    case VT_BSTR: return kText;
    case VT_DISPATCH:
    case VT_UNKNOWN: return kNoObject;
    default: return kLong1;
    }
}

class Walker {
public:
    Walker(Log& log, long skipThrough, Depth depth) : log_(log), skipThrough_(skipThrough), depth_(depth) {}

    long Calls() const { return calls_; }

    // Walks obj and, below its levels, the objects its members hand out. Those are held
    // until Release, so that they outlive what the later members of obj did.
    void Walk(IDispatch* obj, const std::string& path, int level)
    {
        std::wstring library, itf;
        std::vector<Member> members;
        if (!Members(obj, library, itf, members)) {
            log_.Line("step " + path + " has no type information");
            return;
        }
        for (const Member& m : members) {
            const std::string name = Narrow(itf) + "." + Narrow(m.name) + "." + KindText(m.kind);
            if (m.skipped) {
                if (seen_.insert(name).second) log_.Line("skipped " + name + ": " + m.skipped);
                continue;
            }
            if (seen_.insert(name).second) log_.Line("member " + name);
            IDispatch* found = CallMember(obj, path, name, m, Plan(m));
            if (found && level < depth_.levels) {
                const std::string below = path + "/" + Narrow(m.name); // held_ may grow in the walk
                held_.push_back({found, below});
                Walk(found, below, level + 1);
            } else if (found) {
                found->Release();
            }
        }
        // What a client still asks after the destructive members ran: each property again,
        // plainly and with too many arguments.
        for (const Member& m : members) {
            if (m.skipped || m.kind != INVOKE_PROPERTYGET || m.id == DISPID_NEWENUM) continue;
            const std::string name = Narrow(itf) + "." + Narrow(m.name) + "." + KindText(m.kind);
            std::vector<const Value*> plain;
            for (const Param& p : m.params) plain.push_back(&Plain(m, p.vt));
            std::vector<std::vector<const Value*>> lists{plain};
            for (const auto& extras : TooMany(m)) lists.push_back(WithExtras(m, plain, extras));
            if (IDispatch* found = CallMember(obj, path + "(afterwards)", name, m, lists)) found->Release();
        }
    }

    // Walks an object the set-up made, one level down, and holds it (taking the reference).
    void Hold(IDispatch* obj, const std::string& path)
    {
        held_.push_back({obj, path});
        Walk(obj, path, 1);
    }

    void Release()
    {
        for (size_t i = held_.size(); i-- > 0;) {
            log_.Line("step release " + held_[i].second);
            held_[i].first->Release();
        }
        held_.clear();
    }

    // A late-bound call by name, outside the numbered calls (set-up).
    HRESULT Named(IDispatch* obj, const wchar_t* name, WORD flags, std::vector<VARIANT> args, VARIANT* result = nullptr)
    {
        DISPID id = 0;
        LPOLESTR n = const_cast<LPOLESTR>(name);
        HRESULT hr = obj->GetIDsOfNames(IID_NULL, &n, 1, LOCALE_USER_DEFAULT, &id);
        if (FAILED(hr)) return hr;
        std::vector<VARIANT> rg(args.rbegin(), args.rend());
        DISPID put = DISPID_PROPERTYPUT;
        DISPPARAMS dp{rg.data(), flags == DISPATCH_PROPERTYPUT ? &put : nullptr, static_cast<UINT>(rg.size()),
                      flags == DISPATCH_PROPERTYPUT ? 1u : 0u};
        hr = obj->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &dp, result, nullptr, nullptr);
        for (VARIANT& v : rg) VariantClear(&v);
        return hr;
    }

private:
    bool Members(IDispatch* obj, std::wstring& library, std::wstring& itf, std::vector<Member>& out)
    {
        ITypeInfo* ti = nullptr;
        if (FAILED(obj->GetTypeInfo(0, LOCALE_USER_DEFAULT, &ti)) || !ti) return false;
        // The dual interface's own description, without IUnknown and IDispatch.
        TYPEATTR* ta = nullptr;
        ti->GetTypeAttr(&ta);
        if (ta->typekind == TKIND_DISPATCH && (ta->wTypeFlags & TYPEFLAG_FDUAL)) {
            HREFTYPE ref = 0;
            ITypeInfo* vtbl = nullptr;
            if (SUCCEEDED(ti->GetRefTypeOfImplType(-1, &ref)) && SUCCEEDED(ti->GetRefTypeInfo(ref, &vtbl))) {
                ti->ReleaseTypeAttr(ta);
                ti->Release();
                ti = vtbl;
                ti->GetTypeAttr(&ta);
            }
        }
        BSTR name = nullptr;
        ti->GetDocumentation(MEMBERID_NIL, &name, nullptr, nullptr, nullptr);
        itf = name ? name : L"";
        SysFreeString(name);
        ITypeLib* lib = nullptr;
        UINT index = 0;
        if (SUCCEEDED(ti->GetContainingTypeLib(&lib, &index))) {
            BSTR libName = nullptr;
            lib->GetDocumentation(-1, &libName, nullptr, nullptr, nullptr);
            library = libName ? libName : L"";
            SysFreeString(libName);
            lib->Release();
        }
        for (UINT i = 0; i < ta->cFuncs; ++i) {
            FUNCDESC* fd = nullptr;
            if (FAILED(ti->GetFuncDesc(i, &fd))) continue;
            const bool restricted = fd->wFuncFlags & FUNCFLAG_FRESTRICTED;
            if (!restricted || fd->memid == DISPID_NEWENUM) {
                Member m{fd->memid, fd->invkind, L"", {}};
                BSTR member = nullptr;
                ti->GetDocumentation(fd->memid, &member, nullptr, nullptr, nullptr);
                m.name = member ? member : L"";
                SysFreeString(member);
                bool allLong = fd->cParams > 0;
                for (SHORT p = 0; p < fd->cParams; ++p) {
                    const ELEMDESC& e = fd->lprgelemdescParam[p];
                    if (e.paramdesc.wParamFlags & (PARAMFLAG_FRETVAL | PARAMFLAG_FOUT)) continue;
                    m.params.push_back(Param{e.tdesc.vt});
                    if (e.tdesc.vt != VT_I4) allLong = false;
                }
                m.address = (fd->wFuncFlags & FUNCFLAG_FHIDDEN) && allLong && !m.params.empty();
                for (const Skip& s : kSkipped)
                    if (library == s.library && itf == s.itf && m.name == s.member) m.skipped = s.reason;
                for (const Pin& p : kPinned)
                    if (library == p.library && itf == p.itf && m.name == p.member) m.pinned.insert(p.position);
                out.push_back(m);
            }
            ti->ReleaseFuncDesc(fd);
        }
        ti->ReleaseTypeAttr(ta);
        ti->Release();
        // Gets first, then puts, then methods; the destructive ones last, Free at the end.
        auto rank = [](const Member& m) {
            if (Destructive(m.name)) return 10 + DestructiveRank(m.name);
            return m.kind == INVOKE_PROPERTYGET ? 0 : m.kind == INVOKE_FUNC ? 2 : 1;
        };
        std::stable_sort(out.begin(), out.end(), [&](const Member& a, const Member& b) { return rank(a) < rank(b); });
        return true;
    }

    // The argument lists of one member: none, one short, the plain list, too many
    // arguments, each hostile value in each position, and (full runs) each value in every
    // position at once.
    std::vector<std::vector<const Value*>> Plan(const Member& m) const
    {
        std::vector<const Value*> plain;
        for (const Param& p : m.params) plain.push_back(&Plain(m, p.vt));
        std::vector<std::vector<const Value*>> lists;
        if (!plain.empty()) lists.push_back({});
        if (plain.size() > 1) lists.emplace_back(plain.begin(), plain.end() - 1);
        lists.push_back(plain);
        for (const auto& extras : TooMany(m)) lists.push_back(WithExtras(m, plain, extras));
        std::vector<const Value*> values;
        for (const Value& v : HostileValues())
            if ((v.ci || depth_.full) && (!m.address || v.address)) values.push_back(&v);
        for (size_t p = 0; p < plain.size(); ++p) {
            if (m.pinned.count(static_cast<int>(p))) continue;
            for (const Value* v : values) {
                lists.push_back(plain);
                lists.back()[p] = v;
            }
        }
        if (depth_.full && plain.size() > 1) {
            for (const Value* v : values) {
                lists.push_back(plain);
                for (size_t p = 0; p < plain.size(); ++p)
                    if (!m.pinned.count(static_cast<int>(p))) lists.back()[p] = v;
            }
        }
        return lists;
    }

    // The arguments beyond a member's own: a number (not for a memory address), a name, and
    // Empty, Null and Missing together.
    static std::vector<std::vector<const Value*>> TooMany(const Member& m)
    {
        std::vector<std::vector<const Value*>> out;
        if (!m.address) out.push_back({&kLong1});
        out.push_back({&kDefaultText});
        out.push_back({&HostileValues()[0], &HostileValues()[1], &HostileValues()[2]}); // Empty, Null, Missing
        return out;
    }

    // A property put's value stays its last argument (the named one): extra arguments go
    // before it, as in obj.Prop(extra) = value; other members get them after their own.
    static std::vector<const Value*> WithExtras(const Member& m, std::vector<const Value*> args,
                                                const std::vector<const Value*>& extras)
    {
        if (m.kind == INVOKE_PROPERTYPUT || m.kind == INVOKE_PROPERTYPUTREF)
            args.insert(args.empty() ? args.end() : args.end() - 1, extras.begin(), extras.end());
        else
            args.insert(args.end(), extras.begin(), extras.end());
        return args;
    }

    // Makes every call of a member; returns (with a reference) the first object it handed out.
    IDispatch* CallMember(IDispatch* obj, const std::string& path, const std::string& name, const Member& m,
                          const std::vector<std::vector<const Value*>>& lists)
    {
        IDispatch* found = nullptr;
        WORD flags = m.kind == INVOKE_PROPERTYGET   ? DISPATCH_PROPERTYGET
                     : m.kind == INVOKE_PROPERTYPUT ? DISPATCH_PROPERTYPUT
                     : m.kind == INVOKE_FUNC        ? DISPATCH_METHOD
                                                    : DISPATCH_PROPERTYPUTREF;
        const DWORD began = GetTickCount();
        for (size_t i = 0; i < lists.size(); ++i) {
            if (depth_.memberMs && GetTickCount() - began > depth_.memberMs) {
                log_.Line("step " + std::to_string(lists.size() - i) + " calls of " + path + " " + name +
                          " left out: its time is up");
                index_ += static_cast<long>(lists.size() - i);
                break;
            }
            // A property get with more arguments than its own as a script calls it: method or get.
            WORD f = (m.kind == INVOKE_PROPERTYGET && lists[i].size() > m.params.size())
                         ? (DISPATCH_METHOD | DISPATCH_PROPERTYGET)
                         : flags;
            VARIANT result;
            VariantInit(&result);
            if (!Call(obj, path, name, m.id, f, lists[i], &result)) continue;
            if (m.id == DISPID_NEWENUM && i + 1 < lists.size()) Enumerate(path, name, result);
            IDispatch* d = nullptr;
            if ((V_VT(&result) == VT_DISPATCH || V_VT(&result) == VT_UNKNOWN) && V_UNKNOWN(&result) && !found &&
                m.id != DISPID_NEWENUM)
                V_UNKNOWN(&result)->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&d));
            if (d) found = d;
            VariantClear(&result);
        }
        return found;
    }

    // One numbered call, logged before it is made. False when it was skipped.
    bool Call(IDispatch* obj, const std::string& path, const std::string& name, DISPID id, WORD flags,
              const std::vector<const Value*>& args, VARIANT* result)
    {
        const long n = ++index_;
        if (n <= skipThrough_) return false;
        std::string described;
        for (const Value* v : args) described += (described.empty() ? "" : ", ") + std::string(v->label);
        const std::string line = "call " + std::to_string(n) + " " + path + " " + name + " flags " +
                                 std::to_string(flags) + " (" + described + ")";
        log_.Line(line);
        Arena arena;
        std::vector<VARIANT> rg(args.size());
        for (size_t i = 0; i < args.size(); ++i) {
            VARIANT& v = rg[args.size() - 1 - i];
            VariantInit(&v);
            args[i]->make(v, arena, obj);
        }
        DISPID put = DISPID_PROPERTYPUT;
        const bool named = (flags == DISPATCH_PROPERTYPUT || flags == DISPATCH_PROPERTYPUTREF) && !args.empty();
        DISPPARAMS dp{rg.data(), named ? &put : nullptr, static_cast<UINT>(rg.size()), named ? 1u : 0u};
        EXCEPINFO excep{};
        UINT argErr = 0;
        SetErrorInfo(0, nullptr);
        const DWORD began = GetTickCount();
        const HRESULT hr = obj->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &dp, result, &excep, &argErr);
        const DWORD took = GetTickCount() - began;
        if (took >= 1000) log_.Line("slow " + std::to_string(took) + " ms: " + line);
        for (VARIANT& v : rg) VariantClear(&v);
        SysFreeString(excep.bstrSource);
        SysFreeString(excep.bstrDescription);
        SysFreeString(excep.bstrHelpFile);
        if (FAILED(hr)) Check(path, name);
        ++calls_;
        if (calls_ % 16 == 0) Pump();
        return true;
    }

    // The error a failed call left: a machine fault or exception the server's guard caught
    // is noted (the call still answered).
    void Check(const std::string& path, const std::string& name)
    {
        IErrorInfo* info = nullptr;
        if (GetErrorInfo(0, &info) != S_OK || !info) return;
        BSTR description = nullptr;
        info->GetDescription(&description);
        const std::string text = Narrow(description);
        SysFreeString(description);
        info->Release();
        if (text.size() >= 17 && text.compare(text.size() - 17, 17, "Exception Raised.") == 0 &&
            raised_.insert(path + " " + name).second)
            log_.Line("raised " + path + " " + name);
    }

    // A collection's enumerator, walked as For Each does and then some.
    void Enumerate(const std::string& path, const std::string& name, const VARIANT& result)
    {
        if (V_VT(&result) != VT_UNKNOWN && V_VT(&result) != VT_DISPATCH) return;
        if (!V_UNKNOWN(&result)) {
            log_.Line("finding " + path + " " + name + ": S_OK with a null enumerator");
            return;
        }
        IEnumVARIANT* e = nullptr;
        V_UNKNOWN(&result)->QueryInterface(IID_IEnumVARIANT, reinterpret_cast<void**>(&e));
        if (!e) {
            log_.Line("finding " + path + " " + name + ": the enumerator answers no IEnumVARIANT");
            return;
        }
        auto step = [&](const char* what, const std::function<void()>& f) {
            const long n = ++index_;
            if (n <= skipThrough_) return;
            log_.Line("call " + std::to_string(n) + " " + path + " " + name + " enumerator " + what);
            f();
            ++calls_;
        };
        for (int i = 0; i < 3; ++i)
            step("Next(1)", [&] {
                VARIANT v;
                VariantInit(&v);
                ULONG got = 0;
                e->Next(1, &v, &got);
                VariantClear(&v);
            });
        step("Next(3) without a count", [&] {
            VARIANT v[3];
            for (VARIANT& x : v) VariantInit(&x);
            e->Next(3, v, nullptr);
            for (VARIANT& x : v) VariantClear(&x);
        });
        step("Skip(0xFFFFFFFF)", [&] { e->Skip(0xFFFFFFFF); });
        step("Reset", [&] { e->Reset(); });
        step("Clone and Next(1)", [&] {
            IEnumVARIANT* c = nullptr;
            if (SUCCEEDED(e->Clone(&c)) && c) {
                VARIANT v;
                VariantInit(&v);
                c->Next(1, &v, nullptr);
                VariantClear(&v);
                c->Release();
            }
        });
        e->Release();
    }

    static void Pump()
    {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }

    Log& log_;
    long skipThrough_;
    Depth depth_;
    long index_ = 0, calls_ = 0;
    std::set<std::string> seen_, raised_;
    std::vector<std::pair<IDispatch*, std::string>> held_; // with the path it was walked under
};

VARIANT Long(long n)
{
    VARIANT v;
    V_VT(&v) = VT_I4;
    V_I4(&v) = n;
    return v;
}
VARIANT Text(const std::wstring& s)
{
    VARIANT v;
    V_VT(&v) = VT_BSTR;
    V_BSTR(&v) = SysAllocString(s.c_str());
    return v;
}

// A mono 8-bit WAVE of a short tone, for a sound to load.
void WriteWave(const wchar_t* path)
{
    std::string b = "RIFF";
    auto put32 = [&](uint32_t v) {
        for (int i = 0; i < 4; ++i) b.push_back(static_cast<char>(v >> (8 * i)));
    };
    auto put16 = [&](uint16_t v) {
        b.push_back(static_cast<char>(v));
        b.push_back(static_cast<char>(v >> 8));
    };
    const uint32_t samples = 2205;
    put32(36 + samples);
    b += "WAVEfmt ";
    put32(16);
    put16(1);
    put16(1);
    put32(22050);
    put32(22050);
    put16(1);
    put16(8);
    b += "data";
    put32(samples);
    for (uint32_t i = 0; i < samples; ++i) b.push_back(static_cast<char>((i / 10) % 2 ? 0xC0 : 0x40));
    HANDLE f = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    WriteFile(f, b.data(), static_cast<DWORD>(b.size()), &written, nullptr);
    CloseHandle(f);
}

// How a class is set up before its second walk, on the window given; empty for a class
// that has nothing to set up (it is walked once, fresh).
using Setup = std::function<void(Walker&, IDispatch*, HWND)>;
Setup SetupOf(const std::wstring& library, const std::wstring& cls)
{
    auto handle = [](HWND h) { return Long(static_cast<long>(reinterpret_cast<INT_PTR>(h))); };
    if (library == L"ZYK3DLib" && cls == L"Device3D")
        return [=](Walker& w, IDispatch* d, HWND h) {
            w.Named(d, L"Window", DISPATCH_PROPERTYPUT, {handle(h)});
            w.Named(d, L"Initialise", DISPATCH_METHOD, {Long(0), Long(128), Long(96)});
        };
    if (library == L"ZYKGFXLib" && cls == L"Device")
        return [=](Walker& w, IDispatch* d, HWND h) {
            w.Named(d, L"Window", DISPATCH_PROPERTYPUT, {handle(h)});
            w.Named(d, L"Initialise", DISPATCH_METHOD, {Long(128), Long(96), Long(0), Long(0), Long(0)});
        };
    if (library == L"ZYKSOUNDLib" && cls == L"Device")
        return [](Walker& w, IDispatch* d, HWND) {
            w.Named(d, L"Initialise", DISPATCH_METHOD, {});
            WriteWave(L"tone.wav");
            // The sound is walked first and held until the device's walk (Free and
            // Initialise among it) is over, as a client keeps the sounds it loaded.
            VARIANT buffers;
            VariantInit(&buffers);
            if (SUCCEEDED(w.Named(d, L"Buffers", DISPATCH_PROPERTYGET, {}, &buffers)) &&
                V_VT(&buffers) == VT_DISPATCH && V_DISPATCH(&buffers)) {
                VARIANT sound;
                VariantInit(&sound);
                if (SUCCEEDED(
                        w.Named(V_DISPATCH(&buffers), L"Add", DISPATCH_PROPERTYGET, {Text(L"tone.wav")}, &sound)) &&
                    V_VT(&sound) == VT_DISPATCH && V_DISPATCH(&sound)) {
                    V_DISPATCH(&sound)->AddRef();
                    w.Hold(V_DISPATCH(&sound), "Device(initialised)/tone.wav");
                }
                VariantClear(&sound);
                if (SUCCEEDED(w.Named(V_DISPATCH(&buffers), L"Item", DISPATCH_METHOD, {Long(1)}, &sound)) &&
                    V_VT(&sound) == VT_DISPATCH && V_DISPATCH(&sound)) {
                    V_DISPATCH(&sound)->AddRef();
                    w.Hold(V_DISPATCH(&sound), "Device(initialised)/Buffers/Item");
                }
                VariantClear(&sound);
            }
            VariantClear(&buffers);
        };
    if (library == L"ZYKINPUTLib" && cls == L"Devices")
        return [](Walker& w, IDispatch* d, HWND) {
            w.Named(d, L"hInstance", DISPATCH_PROPERTYPUT,
                    {Long(static_cast<long>(reinterpret_cast<INT_PTR>(GetModuleHandleA(nullptr))))});
        };
    if ((library == L"ZYKINPUTLib" && cls == L"Device") || (library == L"ZYKMMLib" && cls == L"Device"))
        return [=](Walker& w, IDispatch* d, HWND h) { w.Named(d, L"Window", DISPATCH_PROPERTYPUT, {handle(h)}); };
    return {};
}

HWND OwnWindow()
{
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "zyk hostile client";
    RegisterClassA(&wc);
    HWND h = CreateWindowExA(0, wc.lpszClassName, "zyk hostile client", WS_OVERLAPPEDWINDOW, 20, 20, 200, 160, nullptr,
                             nullptr, wc.hInstance, nullptr);
    ShowWindow(h, SW_SHOWNORMAL);
    UpdateWindow(h);
    return h;
}

// The parent's own test: a walk of three calls whose second crashes, and one whose first
// call never returns.
int SelfTest(Log& log, const std::wstring& className, long skipThrough)
{
    if (className == L"SelfTestHang" && skipThrough < 1) {
        log.Line("call 1 SelfTestHang ISelfTest.Hang.call flags 1 (BSTR \"a\")");
        Sleep(INFINITE);
    }
    long calls = 0;
    for (long n = skipThrough + 1; n <= 3 && className == L"SelfTestCrash"; ++n) {
        log.Line("call " + std::to_string(n) + " SelfTestCrash ISelfTest." + (n == 2 ? "Crash" : "Plain") +
                 ".call flags 1 (I4 -1)");
        ++calls;
        if (n == 2) RaiseException(EXCEPTION_ACCESS_VIOLATION, EXCEPTION_NONCONTINUABLE, 0, nullptr);
    }
    log.Line("done " + std::to_string(calls));
    return 0;
}

} // namespace

int RunChild(const GUID& libid, const std::wstring& className, const std::wstring& logPath, long skipThrough)
{
    Log log(logPath);
    if (!log.Open()) return 2;
    if (libid == GUID_NULL) return SelfTest(log, className, skipThrough);
    const Depth depth = DepthFromEnvironment();
    CoInitialize(nullptr);
    int status = 0;
    long calls = 0;
    {
        ITypeLib* lib = nullptr;
        ITypeInfo* coclass = nullptr;
        BSTR libName = nullptr;
        if (SUCCEEDED(LoadRegTypeLib(libid, 1, 0, LOCALE_NEUTRAL, &lib))) {
            lib->GetDocumentation(-1, &libName, nullptr, nullptr, nullptr);
            for (UINT i = 0; i < lib->GetTypeInfoCount() && !coclass; ++i) {
                BSTR name = nullptr;
                TYPEKIND kind;
                if (SUCCEEDED(lib->GetTypeInfoType(i, &kind)) && kind == TKIND_COCLASS &&
                    SUCCEEDED(lib->GetDocumentation(i, &name, nullptr, nullptr, nullptr)) && className == name)
                    lib->GetTypeInfo(i, &coclass);
                SysFreeString(name);
            }
            lib->Release();
        }
        const std::wstring library = libName ? libName : L"";
        SysFreeString(libName);
        if (!coclass) {
            log.Line("step no creatable class of that name");
            status = 3;
        } else {
            TYPEATTR* ta = nullptr;
            coclass->GetTypeAttr(&ta);
            const CLSID clsid = ta->guid;
            coclass->ReleaseTypeAttr(ta);
            coclass->Release();
            HWND window = OwnWindow();
            Walker walker(log, skipThrough, depth);
            const Setup setup = SetupOf(library, className);
            const std::string name = Narrow(className);
            for (int phase = 0; phase < (setup ? 2 : 1); ++phase) {
                const std::string path = name + (phase ? "(initialised)" : "");
                log.Line("step create " + path);
                IDispatch* obj = nullptr;
                HRESULT hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                                              reinterpret_cast<void**>(&obj));
                if (hr == E_NOINTERFACE) {
                    // A property page: a class that no client calls late-bound.
                    log.Line("skipped class: it has no IDispatch");
                    break;
                }
                if (FAILED(hr) || !obj) {
                    log.Line("step creation failed " + std::to_string(hr));
                    status = 4;
                    break;
                }
                if (phase) {
                    log.Line("step set up " + path);
                    setup(walker, obj, window);
                }
                walker.Walk(obj, path, 0);
                walker.Release();
                log.Line("step release " + path);
                obj->Release();
            }
            log.Line("step destroy the window and leave COM");
            DestroyWindow(window);
            calls = walker.Calls();
        }
    }
    CoFreeUnusedLibraries();
    CoUninitialize();
    if (status == 0) log.Line("done " + std::to_string(calls));
    return status;
}

} // namespace hostile

// Children let go by their owner, walked generically: every member of a held child is
// called through IDispatch with plain arguments after its owner let it go, in each of the
// ways an owner can (the child removed from its collection, the collection cleared, the
// owner freed, the owner released by the client). What a fresh object that nobody owns
// cannot do, a let-go child cannot do either: each member that fails on the fresh object
// with a text fails on the let-go child with a text, its "... Not Initialised." failure
// where the fresh object gives that; and no call crashes. Two more things an owner does do
// not let go: a member replaced by an Add with an equal key, and a list listed again or
// released (an adapter or controller taken from it): what such a child answers, it answers
// as one its owner still holds.
#include "testkit.h"
#include <algorithm>
#include <functional>
#include <map>
#include <string>
#include <vector>

using testkit::DispCall;
using testkit::DispGet;
using testkit::VarBool;
using testkit::VarBstr;
using testkit::VarI4;
using testkit::VarR4;

namespace {

struct Answer {
    HRESULT hr = S_OK;
    std::wstring text;
    bool Told() const { return FAILED(hr) && !text.empty(); }
    bool NotInitialised() const { return Told() && testkit::EndsWith(text, L"Not Initialised."); }
};

// The plain argument of a parameter type.
VARIANT Plain(VARTYPE vt)
{
    switch (vt) {
    case VT_BOOL: return VarBool(false);
    case VT_R4:
    case VT_R8: return VarR4(1.0f);
    case VT_BSTR: return VarBstr(L"a");
    case VT_DISPATCH:
    case VT_UNKNOWN: {
        VARIANT v;
        V_VT(&v) = VT_DISPATCH;
        V_DISPATCH(&v) = nullptr;
        return v;
    }
    default: return VarI4(1);
    }
}

// Every visible member of the object's dual interface, called once with plain arguments:
// gets first, then puts (each given back what its get gave, so that no put changes what
// the methods then do), then methods. Keyed "Name.get", "Name.put", "Name.call".
std::map<std::wstring, Answer> WalkMembers(IDispatch* obj)
{
    std::map<std::wstring, Answer> answers;
    ITypeInfo* ti = nullptr;
    if (FAILED(obj->GetTypeInfo(0, LOCALE_USER_DEFAULT, &ti)) || !ti) return answers;
    TYPEATTR* ta = nullptr;
    ti->GetTypeAttr(&ta);
    struct Member {
        MEMBERID id;
        INVOKEKIND kind;
        std::wstring name;
        std::vector<VARTYPE> params;
    };
    std::vector<Member> members;
    for (UINT i = 0; i < ta->cFuncs; ++i) {
        FUNCDESC* fd = nullptr;
        if (FAILED(ti->GetFuncDesc(i, &fd))) continue;
        if (!(fd->wFuncFlags & (FUNCFLAG_FRESTRICTED | FUNCFLAG_FHIDDEN)) && fd->memid != DISPID_NEWENUM) {
            BSTR name = nullptr;
            ti->GetDocumentation(fd->memid, &name, nullptr, nullptr, nullptr);
            Member m{fd->memid, fd->invkind, name ? name : L"", {}};
            SysFreeString(name);
            for (SHORT p = 0; p < fd->cParams; ++p) {
                const ELEMDESC& e = fd->lprgelemdescParam[p];
                if (!(e.paramdesc.wParamFlags & (PARAMFLAG_FRETVAL | PARAMFLAG_FOUT))) m.params.push_back(e.tdesc.vt);
            }
            members.push_back(m);
        }
        ti->ReleaseFuncDesc(fd);
    }
    ti->ReleaseTypeAttr(ta);
    ti->Release();
    auto rank = [](const Member& m) { return m.kind == INVOKE_PROPERTYGET ? 0 : m.kind == INVOKE_FUNC ? 2 : 1; };
    std::stable_sort(members.begin(), members.end(),
                     [&](const Member& a, const Member& b) { return rank(a) < rank(b); });
    std::map<MEMBERID, VARIANT> got;
    for (const Member& m : members) {
        std::vector<VARIANT> args;
        for (auto it = m.params.rbegin(); it != m.params.rend(); ++it) args.push_back(Plain(*it));
        const bool put = m.kind == INVOKE_PROPERTYPUT || m.kind == INVOKE_PROPERTYPUTREF;
        if (put && m.params.size() == 1 && got.count(m.id)) {
            VariantClear(&args[0]);
            VariantCopy(&args[0], &got[m.id]);
        }
        DISPID named = DISPID_PROPERTYPUT;
        DISPPARAMS dp{args.data(), put ? &named : nullptr, static_cast<UINT>(args.size()), put ? 1u : 0u};
        const WORD flags = m.kind == INVOKE_PROPERTYGET          ? DISPATCH_PROPERTYGET
                           : m.kind == INVOKE_FUNC               ? DISPATCH_METHOD
                           : put && m.kind == INVOKE_PROPERTYPUT ? DISPATCH_PROPERTYPUT
                                                                 : DISPATCH_PROPERTYPUTREF;
        VARIANT result;
        VariantInit(&result);
        EXCEPINFO excep{};
        Answer a;
        a.hr = obj->Invoke(m.id, IID_NULL, LOCALE_USER_DEFAULT, flags, &dp, &result, &excep, nullptr);
        if (a.hr == DISP_E_EXCEPTION) {
            a.hr = excep.scode;
            a.text = excep.bstrDescription ? excep.bstrDescription : L"";
        }
        testkit::FreeExcepInfo(excep);
        if (m.kind == INVOKE_PROPERTYGET && m.params.empty() && SUCCEEDED(a.hr) && V_VT(&result) != VT_DISPATCH &&
            V_VT(&result) != VT_UNKNOWN)
            VariantCopy(&got[m.id], &result);
        VariantClear(&result);
        for (VARIANT& v : args) VariantClear(&v);
        const wchar_t* kind = m.kind == INVOKE_PROPERTYGET ? L".get" : m.kind == INVOKE_FUNC ? L".call" : L".put";
        answers[m.name + kind] = a;
    }
    for (auto& [id, v] : got) VariantClear(&v);
    return answers;
}

IDispatch* Object(IDispatch* from, const wchar_t* name, std::vector<VARIANT> args = {})
{
    VARIANT v;
    VariantInit(&v);
    HRESULT hr = args.empty() ? DispGet(from, name, &v) : DispCall(from, name, args, &v);
    EXPECT_EQ(hr, S_OK) << testkit::Narrow(name);
    if (FAILED(hr) || V_VT(&v) != VT_DISPATCH) return nullptr;
    return V_DISPATCH(&v);
}

enum class Way { Removed, Cleared, OwnerFreed, OwnerReleased, Held, Replaced, ListedAgain, ListReleased };
const char* WayText(Way w)
{
    switch (w) {
    case Way::Removed: return "removed from its collection";
    case Way::Cleared: return "its collection cleared";
    case Way::OwnerFreed: return "its owner freed";
    case Way::OwnerReleased: return "its owner released";
    case Way::Held: return "held by its owner";
    case Way::Replaced: return "replaced by an equal key";
    case Way::ListedAgain: return "its list listed again";
    default: return "its list released";
    }
}
bool LetsGo(Way w) { return w < Way::Held; }

// One kind of child: how a fresh one that nobody owns is made, and how an owner makes one
// and lets it go in a given way. Make gives the child (a reference of the test's) after
// the owner let it go, and the owner in keep while the client still holds it.
struct Child {
    const wchar_t* progId;
    std::vector<Way> ways;
    std::function<IDispatch*(Way, HWND, IDispatch** keep)> make;
};

// The owner's collection named, with a member added by add; then the way applied.
IDispatch* LetGo(IDispatch* owner, const wchar_t* collection, const std::function<IDispatch*(IDispatch*)>& add,
                 const wchar_t* key, Way way)
{
    IDispatch* list = Object(owner, collection);
    if (!list) return nullptr;
    IDispatch* child = add(list);
    if (way == Way::Replaced) {
        if (IDispatch* again = add(list)) again->Release();
    }
    if (way == Way::Removed) {
        EXPECT_EQ(DispCall(list, L"Remove", {VarBstr(key)}), S_OK);
    }
    if (way == Way::Cleared) {
        EXPECT_EQ(DispCall(list, L"Clear", {}), S_OK);
    }
    if (way == Way::OwnerFreed) {
        EXPECT_EQ(DispCall(owner, L"Free", {}), S_OK);
    }
    list->Release();
    return child;
}

IDispatch* Device3D(HWND window)
{
    IDispatch* d = testkit::Create<IDispatch>(L"zyk3D.Device3D", IID_IDispatch);
    EXPECT_EQ(testkit::DispPut(d, L"Window", VarI4(static_cast<long>(reinterpret_cast<LONG_PTR>(window)))), S_OK);
    EXPECT_EQ(DispCall(d, L"Initialise", {VarI4(0), VarI4(64), VarI4(64)}), S_OK);
    return d;
}

IDispatch* GfxDevice(HWND window)
{
    IDispatch* list = testkit::Create<IDispatch>(L"ZYKGFX.Devices", IID_IDispatch);
    IDispatch* d = Object(list, L"Item", {VarI4(1)});
    list->Release();
    EXPECT_EQ(testkit::DispPut(d, L"Window", VarI4(static_cast<long>(reinterpret_cast<LONG_PTR>(window)))), S_OK);
    EXPECT_EQ(DispCall(d, L"Initialise", {VarI4(0), VarI4(0), VarI4(0), VarI4(0), VarI4(0)}), S_OK);
    return d;
}

IDispatch* SoundDevice()
{
    IDispatch* list = testkit::Create<IDispatch>(L"ZYKSound.Devices", IID_IDispatch);
    IDispatch* d = Object(list, L"Item", {VarI4(1)});
    list->Release();
    EXPECT_EQ(DispCall(d, L"Initialise", {}), S_OK);
    return d;
}

// A one-second silent 8-bit mono WAVE file.
std::string WaveFile()
{
    const std::string path = testkit::TempPath("lifetime.wav");
    std::string riff = "RIFF" + std::string(4, '\0') + "WAVEfmt ";
    const unsigned char fmt[] = {16, 0, 0, 0, 1, 0, 1, 0, 0x11, 0x2B, 0, 0, 0x11, 0x2B, 0, 0, 1, 0, 8, 0};
    riff.append(reinterpret_cast<const char*>(fmt), sizeof fmt);
    riff += "data";
    const unsigned int n = 11025;
    riff.append(reinterpret_cast<const char*>(&n), 4);
    riff.append(n, '\x80');
    const unsigned int size = static_cast<unsigned int>(riff.size() - 8);
    riff.replace(4, 4, reinterpret_cast<const char*>(&size), 4);
    testkit::WriteAll(path, riff);
    return path;
}

// Makes the child through its owner and lets it go; the client keeps the owner unless the
// way is to release it.
IDispatch* ThroughDevice(IDispatch* device, Way way, const std::function<IDispatch*(IDispatch*, Way)>& child,
                         IDispatch** keep)
{
    IDispatch* c = child(device, way);
    if (way == Way::OwnerReleased)
        device->Release();
    else
        *keep = device;
    return c;
}

const std::vector<Way> kAllWays{Way::Removed, Way::Cleared, Way::OwnerFreed, Way::OwnerReleased, Way::Replaced};
const std::vector<Way> kNoClear{Way::Removed, Way::OwnerFreed, Way::OwnerReleased, Way::Replaced};
const std::vector<Way> kOwnerOnly{Way::OwnerFreed, Way::OwnerReleased};
// A light is keyed by Add itself; a material or a 3D buffer replaced with its owner goes with it.
const std::vector<Way> kNoReplace{Way::Removed, Way::Cleared, Way::OwnerFreed, Way::OwnerReleased};

std::vector<Child> Children()
{
    auto in = [](const wchar_t* collection, const wchar_t* key, std::function<IDispatch*(IDispatch*)> add) {
        return [=](IDispatch* device, Way way) { return LetGo(device, collection, add, key, way); };
    };
    auto freeOnly = [](const wchar_t* name) {
        return [=](IDispatch* device, Way way) {
            IDispatch* c = Object(device, name);
            if (way == Way::OwnerFreed) {
                EXPECT_EQ(DispCall(device, L"Free", {}), S_OK);
            }
            return c;
        };
    };
    std::vector<Child> out;
    auto d3 = [](std::function<IDispatch*(IDispatch*, Way)> child) {
        return
            [=](Way way, HWND window, IDispatch** keep) { return ThroughDevice(Device3D(window), way, child, keep); };
    };
    out.push_back({L"zyk3D.Camera", kAllWays,
                   d3(in(L"Cameras", L"c", [](IDispatch* l) { return Object(l, L"Add", {VarBstr(L"c")}); }))});
    out.push_back({L"zyk3D.Light", kNoReplace, d3(in(L"Lights", L"Light0", [](IDispatch* l) {
                       return Object(l, L"Add",
                                     {VarI4(1), VarR4(0), VarR4(0), VarR4(0), VarR4(1), VarR4(1), VarR4(1), VarR4(1),
                                      VarR4(1), VarR4(0.5f), VarR4(1), VarR4(10)});
                   }))});
    out.push_back({L"zyk3D.Object", kAllWays, d3(in(L"Objects", L"o", [](IDispatch* l) {
                       return Object(l, L"Add", {VarBstr(L"o"), VarBool(true)});
                   }))});
    out.push_back({L"zyk3D.Material", kNoReplace, d3(in(L"Objects", L"o", [](IDispatch* l) {
                       IDispatch* o = Object(l, L"Add", {VarBstr(L"o"), VarBool(true)});
                       IDispatch* m = Object(o, L"Material");
                       o->Release();
                       return m;
                   }))});
    out.push_back({L"zyk3D.SimpleObject", kNoClear, d3(in(L"SimpleObjects", L"s", [](IDispatch* l) {
                       return Object(l, L"AddTeapot", {VarBstr(L"s")});
                   }))});
    out.push_back({L"zyk3D.Sprite", kNoClear, d3(in(L"Sprites", L"s", [](IDispatch* l) {
                       return Object(l, L"Add", {VarBstr(L"s"), VarR4(1), VarR4(0), VarR4(1)});
                   }))});
    out.push_back(
        {L"zyk3D.Texture", kAllWays, d3(in(L"Textures", L"Unnamed", [](IDispatch* l) { return Object(l, L"Add"); }))});
    out.push_back({L"zyk3D.Fog", kOwnerOnly, d3(freeOnly(L"Fog"))});
    auto gfx = [](std::function<IDispatch*(IDispatch*, Way)> child) {
        return
            [=](Way way, HWND window, IDispatch** keep) { return ThroughDevice(GfxDevice(window), way, child, keep); };
    };
    out.push_back({L"ZYKGFX.Object", kAllWays,
                   gfx(in(L"Objects", L"", [](IDispatch* l) { return Object(l, L"Add", {VarBstr(L"")}); }))});
    out.push_back({L"ZYKGFX.Mode", kOwnerOnly, gfx([](IDispatch* d, Way way) {
                       IDispatch* modes = Object(d, L"Modes");
                       IDispatch* m = Object(modes, L"Item", {VarI4(1)});
                       modes->Release();
                       if (way == Way::OwnerFreed) {
                           EXPECT_EQ(DispCall(d, L"Free", {}), S_OK);
                       }
                       return m;
                   })});
    for (const wchar_t* name : {L"Caps", L"TextureMemory", L"VideoMemory", L"Palette"}) {
        std::wstring progId = name == std::wstring(L"Palette") ? L"Gfx.Palette" : std::wstring(L"ZYKGFX.") + name;
        static std::vector<std::wstring> keep;
        keep.push_back(progId);
        out.push_back({keep.back().c_str(), kOwnerOnly, gfx(freeOnly(name))});
    }
    const std::string wave = WaveFile();
    static std::wstring waveName;
    waveName = testkit::Widen(wave);
    auto sound = [](std::function<IDispatch*(IDispatch*, Way)> child) {
        return [=](Way way, HWND, IDispatch** keep) { return ThroughDevice(SoundDevice(), way, child, keep); };
    };
    out.push_back({L"ZYKSound.Buffer", kAllWays, sound(in(L"Buffers", waveName.c_str(), [](IDispatch* l) {
                       return Object(l, L"Add", {VarBstr(waveName.c_str()), VarBool(true)});
                   }))});
    out.push_back({L"ZYKSound.AdvBuffer", kNoReplace, sound(in(L"Buffers", waveName.c_str(), [](IDispatch* l) {
                       IDispatch* b = Object(l, L"Add", {VarBstr(waveName.c_str()), VarBool(true)});
                       IDispatch* a = Object(b, L"Advance");
                       b->Release();
                       return a;
                   }))});
    // A controller of the input list: the list listed again (its module handle put once
    // more), or released, does not let it go.
    out.push_back({L"ZYKInput.Device", {Way::ListedAgain, Way::ListReleased}, [](Way way, HWND, IDispatch** keep) {
                       IDispatch* list = testkit::Create<IDispatch>(L"ZYKInput.Devices", IID_IDispatch);
                       const long module = static_cast<long>(reinterpret_cast<LONG_PTR>(GetModuleHandleW(nullptr)));
                       EXPECT_EQ(testkit::DispPut(list, L"hInstance", VarI4(module)), S_OK);
                       IDispatch* c = Object(list, L"Item", {VarI4(1)});
                       if (way == Way::ListedAgain) {
                           EXPECT_EQ(testkit::DispPut(list, L"hInstance", VarI4(module)), S_OK);
                       }
                       if (way == Way::ListReleased)
                           list->Release();
                       else
                           *keep = list;
                       return c;
                   }});
    return out;
}

} // namespace

TEST(Lifetime, EveryHeldChildAnswersNotInitialisedOnceItsOwnerLetItGo)
{
    testkit::ComScope com;
    HWND window = testkit::CreateTestWindow(64, 64, "lifetime");
    for (const Child& c : Children()) {
        if (std::none_of(c.ways.begin(), c.ways.end(), LetsGo)) continue;
        const std::string cls = testkit::Narrow(c.progId);
        IDispatch* fresh = testkit::Create<IDispatch>(c.progId, IID_IDispatch);
        ASSERT_NE(fresh, nullptr) << cls;
        std::map<std::wstring, Answer> needed;
        for (const auto& [member, answer] : WalkMembers(fresh))
            if (answer.Told()) needed[member] = answer;
        fresh->Release();
        EXPECT_FALSE(needed.empty()) << cls << ": a fresh object fails no member";
        for (Way way : c.ways) {
            if (!LetsGo(way)) continue;
            IDispatch* owner = nullptr;
            IDispatch* child = c.make(way, window, &owner);
            ASSERT_NE(child, nullptr) << cls << " " << WayText(way);
            auto answers = WalkMembers(child);
            for (const auto& [member, fresh] : needed) {
                const Answer& a = answers[member];
                EXPECT_TRUE(fresh.NotInitialised() ? a.NotInitialised() : a.Told())
                    << cls << " " << WayText(way) << ": " << testkit::Narrow(member) << " answered " << std::hex << a.hr
                    << " [" << testkit::Narrow(a.text) << "] where a fresh one answers " << fresh.hr << " ["
                    << testkit::Narrow(fresh.text) << "]";
            }
            child->Release();
            if (owner) owner->Release();
            testkit::PumpMessages();
        }
    }
    DestroyWindow(window);
}

// A child replaced by an equal key, or whose list was listed again or released, answers
// every member as a child its owner still holds answers it: what works there works here.
TEST(Lifetime, AChildItsOwnerStillNeedsKeepsWorking)
{
    testkit::ComScope com;
    HWND window = testkit::CreateTestWindow(64, 64, "lifetime");
    for (const Child& c : Children()) {
        if (std::all_of(c.ways.begin(), c.ways.end(), LetsGo)) continue;
        const std::string cls = testkit::Narrow(c.progId);
        IDispatch* owner = nullptr;
        IDispatch* held = c.make(Way::Held, window, &owner);
        ASSERT_NE(held, nullptr) << cls;
        const auto expected = WalkMembers(held);
        held->Release();
        if (owner) owner->Release();
        for (Way way : c.ways) {
            if (LetsGo(way)) continue;
            owner = nullptr;
            IDispatch* child = c.make(way, window, &owner);
            ASSERT_NE(child, nullptr) << cls << " " << WayText(way);
            auto answers = WalkMembers(child);
            for (const auto& [member, answer] : expected)
                if (SUCCEEDED(answer.hr))
                    EXPECT_TRUE(SUCCEEDED(answers[member].hr))
                        << cls << " " << WayText(way) << ": " << testkit::Narrow(member) << " answered " << std::hex
                        << answers[member].hr << " [" << testkit::Narrow(answers[member].text)
                        << "] where a held one succeeds";
            child->Release();
            if (owner) owner->Release();
            testkit::PumpMessages();
        }
    }
    DestroyWindow(window);
}

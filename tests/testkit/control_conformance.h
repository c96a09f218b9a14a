// What a container expects of every control of the system, checked for each control of a
// server: hosted by the platform's container (AtlAxWin) in a window of its own, also after
// the server was unloaded and loaded again; its events bound as a form binds them; drawn
// into a container's rectangle; its extent and stock properties persisted in a stream, a
// storage and a property bag; quick-activated in a site that has no ambient properties.
// A server's test program includes this once and instantiates the suite with its controls:
//
//   INSTANTIATE_TEST_SUITE_P(zykGFX, ControlConformance,
//                            testing::Values(testkit::ControlServer{L"zykGFX.dll", {{L"ZYKGFX.Devices", ...}}}));
#pragma once
#include "atlhost.h"
#include "events.h"
#include "testkit.h"
#include <cstddef>
#include <functional>
#include <map>
#include <optional>
#include <ostream>
#include <utility>

namespace testkit {

// What a control draws for a container.
enum class Drawing {
    Icon,        // the server's 32 x 32 icon at the top-left of the bounds, nothing beyond it
    Placeholder, // a rectangle over the bounds in the DC's pen and brush, its name centred
};

struct ControlTraits {
    const wchar_t* progId;
    const CLSID* clsid;
    const IID* iid;    // the control's dual interface
    const IID* events; // its outgoing dispinterface, the default source
    DWORD miscStatus;  // the OLEMISC bits of its content aspect
    Drawing drawing;
    std::optional<DWORD> iconColour = std::nullopt; // an icon's 0x00RRGGBB 16 right of and 12 below its corner
};

struct ControlServer {
    const wchar_t* module; // the server's file name
    std::vector<ControlTraits> controls;
};

inline void PrintTo(const ControlServer& server, std::ostream* out) { *out << Narrow(server.module); }

namespace conformance {

// A client site and nothing more: no ambient properties, no in-place site.
class BareSite final : public IOleClientSite {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override
    {
        *out = iid == IID_IUnknown || iid == IID_IOleClientSite ? this : nullptr;
        if (!*out) return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
    ULONG STDMETHODCALLTYPE Release() override { return --refs; }
    HRESULT STDMETHODCALLTYPE SaveObject() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetMoniker(DWORD, DWORD, IMoniker**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetContainer(IOleContainer**) override { return E_NOINTERFACE; }
    HRESULT STDMETHODCALLTYPE ShowObject() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnShowWindow(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE RequestNewObjectLayout() override { return E_NOTIMPL; }
    ULONG refs = 1;
};

// A property bag of 32-bit values, as a form keeps them.
class PropertyBag final : public IPropertyBag {
public:
    ~PropertyBag()
    {
        for (auto& [name, v] : values) VariantClear(&v);
    }
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override
    {
        *out = iid == IID_IUnknown || iid == IID_IPropertyBag ? this : nullptr;
        return *out ? S_OK : E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE Read(LPCOLESTR name, VARIANT* v, IErrorLog*) override
    {
        auto it = values.find(name);
        return it == values.end() ? E_INVALIDARG : VariantCopy(v, &it->second);
    }
    HRESULT STDMETHODCALLTYPE Write(LPCOLESTR name, VARIANT* v) override
    {
        VariantClear(&values[name]);
        return VariantCopy(&values[name], v);
    }
    long Long(const wchar_t* name) { return V_VT(&values[name]) == VT_I4 ? V_I4(&values[name]) : -1; }
    std::map<std::wstring, VARIANT> values;
};

// The reflected notifications that a child window of a control receives.
inline WNDPROC g_childProc = nullptr;
inline std::vector<std::pair<UINT, WPARAM>> g_reflected;

inline LRESULT CALLBACK RecordingProc(HWND w, UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg >= OCM__BASE && msg < OCM__BASE + 0x400) g_reflected.emplace_back(msg, wp);
    return CallWindowProcW(g_childProc, w, msg, wp, lp);
}

// The reflected notifications that a button child of window receives when it sends window
// a click.
inline std::vector<std::pair<UINT, WPARAM>> ReflectedClick(HWND window)
{
    HWND button = CreateWindowExW(0, L"BUTTON", L"b", WS_CHILD, 40, 40, 10, 10, window, reinterpret_cast<HMENU>(7),
                                  GetModuleHandleW(nullptr), nullptr);
    if (!button) return {};
    g_childProc =
        reinterpret_cast<WNDPROC>(SetWindowLongPtrW(button, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&RecordingProc)));
    g_reflected.clear();
    SendMessageW(window, WM_COMMAND, MAKEWPARAM(7, BN_CLICKED), reinterpret_cast<LPARAM>(button));
    auto reflected = std::exchange(g_reflected, {});
    DestroyWindow(button);
    return reflected;
}

// A placeholder drawn over bounds {20, 10, 180, 110} of a canvas: a black outline, white
// inside, the name centred on the baseline at the middle (dark pixels just above the centre
// row on both sides of the middle column, none far below it).
inline void ExpectPlaceholder(const Canvas& canvas)
{
    EXPECT_EQ(canvas.At(20, 10) & 0xFFFFFF, 0x000000u);
    EXPECT_EQ(canvas.At(179, 109) & 0xFFFFFF, 0x000000u);
    EXPECT_EQ(canvas.At(100, 10) & 0xFFFFFF, 0x000000u);
    EXPECT_EQ(canvas.At(25, 15) & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_EQ(canvas.At(175, 105) & 0xFFFFFF, 0xFFFFFFu);
    int left = 0, right = 0, below = 0;
    for (int y = 45; y < 60; ++y)
        for (int x = 21; x < 179; ++x)
            if ((canvas.At(x, y) & 0xFFFFFF) != 0xFFFFFFu) (x < 100 ? left : right)++;
    for (int y = 80; y < 108; ++y)
        for (int x = 21; x < 179; ++x)
            if ((canvas.At(x, y) & 0xFFFFFF) != 0xFFFFFFu) ++below;
    EXPECT_GT(left, 10);
    EXPECT_GT(right, 10);
    EXPECT_EQ(below, 0);
}

// A control's extent (HIMETRIC), as its IOleObject gives it.
inline SIZEL Extent(const zyk::com::Ptr<IUnknown>& control)
{
    SIZEL size{-1, -1};
    auto ole = control.As<IOleObject>(IID_IOleObject);
    EXPECT_TRUE(ole && ole->GetExtent(DVASPECT_CONTENT, &size) == S_OK);
    return size;
}

} // namespace conformance

class ControlConformance : public ::testing::TestWithParam<ControlServer> {
protected:
    // Runs check for each control of the server, with the control named in its failures.
    static void ForEachControl(const std::function<void(const ControlTraits&)>& check)
    {
        for (const ControlTraits& c : GetParam().controls) {
            SCOPED_TRACE(Narrow(c.progId));
            check(c);
        }
    }
};

TEST_P(ControlConformance, HostedByAtlAxWinInAWindowOfItsOwn)
{
    AtlHost atl;
    ASSERT_TRUE(atl.ready);
    HWND parent = CreateTestWindow(200, 150, "control host");
    ForEachControl([&](const ControlTraits& c) {
        HostedControl hosted(atl, parent, c.progId, 120, 80);
        ASSERT_TRUE(hosted.control);
        EXPECT_TRUE(hosted.control.As<IUnknown>(*c.iid));
        EXPECT_TRUE(hosted.control.As<IUnknown>(IID_IDispatch));

        // A visible child of the host that fills it, the window the control names.
        const HWND window = hosted.window;
        ASSERT_NE(window, nullptr);
        char className[32] = {};
        GetClassNameA(window, className, sizeof className);
        EXPECT_STREQ(className, "ZykControl");
        EXPECT_EQ(GetParent(window), hosted.host);
        EXPECT_TRUE(IsWindowVisible(window));
        RECT r{};
        GetClientRect(window, &r);
        EXPECT_EQ(r.right, 120);
        EXPECT_EQ(r.bottom, 80);
        HWND own = nullptr;
        auto ole = hosted.control.As<IOleWindow>(IID_IOleWindow);
        ASSERT_TRUE(ole);
        EXPECT_EQ(ole->GetWindow(&own), S_OK);
        EXPECT_EQ(own, window);
        ole.Reset();

        // A child's notification comes back to the child as an OCM_ message.
        const auto reflected = conformance::ReflectedClick(window);
        ASSERT_EQ(reflected.size(), 1u);
        EXPECT_EQ(reflected[0].first, static_cast<UINT>(OCM_COMMAND));
        EXPECT_EQ(reflected[0].second, MAKEWPARAM(7, BN_CLICKED));

        // The host's end takes the window, and the container lets go of the control.
        hosted.Close();
        EXPECT_FALSE(IsWindow(window));
        EXPECT_RELEASED(hosted.control);
    });
    DestroyWindow(parent);
    PumpMessages();
}

// Each control is hosted, its server unloaded and it is hosted again: run in a copy of the
// test program, where nothing else holds the server.
TEST_P(ControlConformance, GetTheirWindowAfterTheServerWasUnloadedAndLoadedAgain)
{
    const ControlServer& server = GetParam();
    if (GetEnvironmentVariableA("ZYK_RELOAD_CHILD", nullptr, 0)) {
        std::vector<const wchar_t*> progIds;
        for (const ControlTraits& c : server.controls) progIds.push_back(c.progId);
        ExpectControlsAfterReloads(server.module, progIds, 3);
        return;
    }
    const ::testing::TestInfo* self = ::testing::UnitTest::GetInstance()->current_test_info();
    const std::string module = Narrow(server.module),
                      copy = "zyk_reload_" + module.substr(0, module.find('.')) + ".exe";
    EXPECT_EQ(RunCopy(copy, std::string(self->test_suite_name()) + "." + self->name(), "ZYK_RELOAD_CHILD", "1", {}), 0)
        << "the copy failed (its output is above)";
}

TEST_P(ControlConformance, EventsBindAsAFormsWithEventsDoes)
{
    ForEachControl([](const ControlTraits& c) {
        auto control = Make<IUnknown>(c.progId, IID_IUnknown);
        ASSERT_TRUE(control);
        ExpectEventsBind(control.Get());
        EXPECT_RELEASED(control);
    });
}

TEST_P(ControlConformance, DrawsIntoTheRectangleGivenAndNoFurther)
{
    ForEachControl([](const ControlTraits& c) {
        auto view = Make<IViewObject2>(c.progId, IID_IViewObject2);
        ASSERT_TRUE(view);
        const DWORD fill = 0x00336699u;
        Canvas canvas(200, 120, fill);
        ASSERT_TRUE(canvas.Ready());
        RECTL bounds{20, 10, 180, 110};
        const RECTL given = bounds;
        ASSERT_EQ(
            view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, canvas.Dc(), &bounds, nullptr, nullptr, 0),
            S_OK);
        EXPECT_EQ(memcmp(&bounds, &given, sizeof bounds), 0); // the container's rectangle is left alone
        EXPECT_EQ(canvas.At(10, 5), fill);
        EXPECT_EQ(canvas.At(190, 115), fill);
        if (c.drawing == Drawing::Icon) {
            const DWORD icon = canvas.At(20 + 16, 10 + 12) & 0xFFFFFF;
            EXPECT_NE(icon, fill);
            EXPECT_EQ(icon, c.iconColour.value_or(icon));
            EXPECT_EQ(canvas.At(20 + 40, 10 + 40), fill); // nothing beyond its 32 x 32
        } else {
            conformance::ExpectPlaceholder(canvas);
        }
        EXPECT_EQ(view->Draw(DVASPECT_ICON, -1, nullptr, nullptr, nullptr, canvas.Dc(), &bounds, nullptr, nullptr, 0),
                  DV_E_DVASPECT);
        SIZEL extent{};
        EXPECT_EQ(view->GetExtent(DVASPECT_CONTENT, -1, nullptr, &extent), S_OK);
        EXPECT_GT(extent.cx, 0);
        EXPECT_RELEASED(view);
    });
}

// The extent and the stock properties (BorderColor, BorderStyle) are what a control keeps:
// saved into a stream, a storage's "Contents" stream and a property bag, and loaded back.
TEST_P(ControlConformance, PersistsItsExtentAndStockProperties)
{
    ForEachControl([](const ControlTraits& c) {
        using zyk::com::Ptr;
        auto a = Make<IUnknown>(c.progId, IID_IUnknown);
        ASSERT_TRUE(a);
        auto stream = a.As<IPersistStreamInit>(IID_IPersistStreamInit);
        ASSERT_TRUE(stream);
        ASSERT_EQ(stream->InitNew(), S_OK);
        EXPECT_EQ(stream->IsDirty(), S_FALSE);
        CLSID clsid{};
        EXPECT_EQ(stream->GetClassID(&clsid), S_OK);
        EXPECT_TRUE(IsEqualGUID(clsid, *c.clsid));

        // The stock properties from a bag: what the bag lacks (the extent) keeps its value.
        const SIZEL initial = conformance::Extent(a);
        conformance::PropertyBag stock;
        stock.values[L"BorderColor"] = VarI4(0x123456);
        stock.values[L"BorderStyle"] = VarI4(1);
        ASSERT_EQ(a.As<IPersistPropertyBag>(IID_IPersistPropertyBag)->Load(&stock, nullptr), S_OK);
        EXPECT_EQ(conformance::Extent(a).cx, initial.cx);
        SIZEL extent{2000, 1000};
        EXPECT_EQ(a.As<IOleObject>(IID_IOleObject)->SetExtent(DVASPECT_CONTENT, &extent), S_OK);
        EXPECT_EQ(stream->IsDirty(), S_OK);

        auto expectKept = [&](const Ptr<IUnknown>& b) {
            EXPECT_EQ(conformance::Extent(b).cx, 2000);
            EXPECT_EQ(conformance::Extent(b).cy, 1000);
            conformance::PropertyBag saved;
            EXPECT_EQ(b.As<IPersistPropertyBag>(IID_IPersistPropertyBag)->Save(&saved, TRUE, TRUE), S_OK);
            EXPECT_EQ(saved.Long(L"BorderColor"), 0x123456);
            EXPECT_EQ(saved.Long(L"BorderStyle"), 1);
        };
        Ptr<IStream> bytes;
        ASSERT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, bytes.Out()), S_OK);
        ASSERT_EQ(stream->Save(bytes.Get(), TRUE), S_OK);
        EXPECT_EQ(stream->IsDirty(), S_FALSE);
        auto b = Make<IUnknown>(c.progId, IID_IUnknown);
        auto load = b.As<IPersistStreamInit>(IID_IPersistStreamInit);
        ASSERT_TRUE(load);
        const LARGE_INTEGER zero{};
        bytes->Seek(zero, STREAM_SEEK_SET, nullptr);
        ASSERT_EQ(load->Load(bytes.Get()), S_OK);
        expectKept(b);
        // A stream of something else is refused.
        bytes->Seek(zero, STREAM_SEEK_SET, nullptr);
        const DWORD junk[2] = {0xDEADBEEF, 5};
        bytes->Write(junk, sizeof junk, nullptr);
        bytes->Seek(zero, STREAM_SEEK_SET, nullptr);
        EXPECT_TRUE(FAILED(load->Load(bytes.Get())));
        load.Reset();
        EXPECT_RELEASED(b);
        stream.Reset();

        Ptr<ILockBytes> memory;
        Ptr<IStorage> storage;
        ASSERT_EQ(CreateILockBytesOnHGlobal(nullptr, TRUE, memory.Out()), S_OK);
        ASSERT_EQ(StgCreateDocfileOnILockBytes(memory.Get(), STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0,
                                               storage.Out()),
                  S_OK);
        ASSERT_EQ(a.As<IPersistStorage>(IID_IPersistStorage)->Save(storage.Get(), TRUE), S_OK);
        auto d = Make<IUnknown>(c.progId, IID_IUnknown);
        ASSERT_EQ(d.As<IPersistStorage>(IID_IPersistStorage)->Load(storage.Get()), S_OK);
        expectKept(d);
        EXPECT_RELEASED(d);

        conformance::PropertyBag bag;
        ASSERT_EQ(a.As<IPersistPropertyBag>(IID_IPersistPropertyBag)->Save(&bag, TRUE, TRUE), S_OK);
        auto e = Make<IUnknown>(c.progId, IID_IUnknown);
        ASSERT_EQ(e.As<IPersistPropertyBag>(IID_IPersistPropertyBag)->Load(&bag, nullptr), S_OK);
        expectKept(e);
        EXPECT_RELEASED(e);
        EXPECT_RELEASED(a);
    });
}

TEST_P(ControlConformance, QuickActivatedInASiteWithoutAmbients)
{
    ForEachControl([](const ControlTraits& c) {
        conformance::BareSite site;
        EventSink sink(*c.events);
        auto control = Make<IUnknown>(c.progId, IID_IUnknown);
        ASSERT_TRUE(control);
        QACONTAINER container{};
        container.cbSize = sizeof container;
        container.pClientSite = &site;
        container.pUnkEventSink = &sink;
        container.colorBack = 0x00FF00;
        QACONTROL activated{};
        activated.cbSize = sizeof activated;
        ASSERT_EQ(control.As<IQuickActivate>(IID_IQuickActivate)->QuickActivate(&container, &activated), S_OK);
        EXPECT_EQ(activated.dwMiscStatus, c.miscStatus);
        EXPECT_EQ(site.refs, 2u); // the control keeps the site

        // The container's event sink is connected, under the cookie handed back.
        EXPECT_NE(activated.dwEventCookie, 0u);
        EXPECT_EQ(sink.refs, 2u);
        zyk::com::Ptr<IConnectionPoint> point;
        ASSERT_EQ(control.As<IConnectionPointContainer>(IID_IConnectionPointContainer)
                      ->FindConnectionPoint(*c.events, point.Out()),
                  S_OK);
        EXPECT_EQ(Connections(point.Get(), &sink), std::vector<DWORD>{activated.dwEventCookie});
        EXPECT_EQ(point->Unadvise(activated.dwEventCookie), S_OK);
        EXPECT_EQ(sink.refs, 1u);
        point.Reset();

        auto ole = control.As<IOleObject>(IID_IOleObject);
        ASSERT_TRUE(ole);
        zyk::com::Ptr<IOleClientSite> got;
        EXPECT_EQ(ole->GetClientSite(got.Out()), S_OK);
        EXPECT_EQ(got.Get(), &site);
        got.Reset();
        DWORD status = 0;
        EXPECT_EQ(ole->GetMiscStatus(DVASPECT_CONTENT, &status), S_OK);
        EXPECT_EQ(status, c.miscStatus);
        // No in-place site: no window, and a clear failure.
        EXPECT_TRUE(FAILED(ole->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, &site, 0, nullptr, nullptr)));
        EXPECT_EQ(ole->Close(OLECLOSE_NOSAVE), S_OK);
        EXPECT_EQ(site.refs, 1u);
        ole.Reset();

        // The class information names the outgoing interface and the coclass.
        auto info = control.As<IProvideClassInfo2>(IID_IProvideClassInfo2);
        ASSERT_TRUE(info);
        GUID events{};
        EXPECT_EQ(info->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &events), S_OK);
        EXPECT_TRUE(IsEqualGUID(events, *c.events));
        zyk::com::Ptr<ITypeInfo> coclass;
        ASSERT_EQ(info->GetClassInfo(coclass.Out()), S_OK);
        TYPEATTR* attr = nullptr;
        ASSERT_EQ(coclass->GetTypeAttr(&attr), S_OK);
        EXPECT_EQ(attr->typekind, TKIND_COCLASS);
        EXPECT_TRUE(IsEqualGUID(attr->guid, *c.clsid));
        coclass->ReleaseTypeAttr(attr);
        info.Reset();
        EXPECT_RELEASED(control);
    });
}

// Both structures' sizes are checked before either is read or written: a container's
// structure too short to hold its colour, or a control's too short for the event cookie,
// is refused with nothing taken from it and nothing connected.
TEST_P(ControlConformance, QuickActivateChecksBothSizesFirst)
{
    ForEachControl([](const ControlTraits& c) {
        conformance::BareSite site;
        EventSink sink(*c.events);
        auto qa = Make<IQuickActivate>(c.progId, IID_IQuickActivate);
        ASSERT_TRUE(qa);
        QACONTAINER container{};
        container.pClientSite = &site;
        container.pUnkEventSink = &sink;
        container.colorBack = 0x00FF00;
        QACONTROL control{};
        auto untouched = [&] {
            EXPECT_EQ(site.refs, 1u);
            EXPECT_EQ(sink.refs, 1u);
            EXPECT_EQ(control.dwMiscStatus, 0xEEEEEEEEu);
        };
        for (ULONG size : {ULONG(16), ULONG(offsetof(QACONTAINER, colorBack))}) {
            SCOPED_TRACE(size);
            container.cbSize = size;
            control = QACONTROL{sizeof(QACONTROL), 0xEEEEEEEE};
            EXPECT_EQ(qa->QuickActivate(&container, &control), E_INVALIDARG);
            untouched();
        }
        container.cbSize = sizeof container;
        control = QACONTROL{offsetof(QACONTROL, dwEventCookie), 0xEEEEEEEE};
        EXPECT_EQ(qa->QuickActivate(&container, &control), E_INVALIDARG);
        untouched();

        // A container structure without the last two pointers, and a control structure
        // without the activation policy, as older containers pass them.
        container.cbSize = offsetof(QACONTAINER, pOleControlSite);
        control = QACONTROL{offsetof(QACONTROL, dwPointerActivationPolicy), 0xEEEEEEEE};
        control.dwPointerActivationPolicy = 0xEEEEEEEE;
        EXPECT_EQ(qa->QuickActivate(&container, &control), S_OK);
        EXPECT_EQ(control.dwMiscStatus, c.miscStatus);
        EXPECT_NE(control.dwEventCookie, 0u);
        EXPECT_EQ(control.dwPointerActivationPolicy, 0xEEEEEEEEu);
        auto ole = qa.As<IOleObject>(IID_IOleObject);
        ASSERT_TRUE(ole);
        EXPECT_EQ(ole->Close(OLECLOSE_NOSAVE), S_OK);
        ole.Reset();
        EXPECT_RELEASED(qa);
        EXPECT_EQ(site.refs, 1u);
        EXPECT_EQ(sink.refs, 1u); // the control let go of its sink with itself
    });
}

} // namespace testkit

using testkit::ControlConformance;

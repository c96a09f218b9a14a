// The Devices control in a real container (the platform's AtlAxWin), also after the server
// was unloaded and loaded again, drawn for a container, persisted in a stream, a storage and
// a property bag, its events bound, and quick-activated in a site that has no ambient
// properties.
#include "gfx_fixture.h"
#include "atlhost.h"
#include "events.h"
#include <map>

using gfx_test::New;

namespace {

// The icon's screen colour, inside its 32 x 32 area.
const testkit::Rgb kIconBlue{0, 96, 200};

using Atl = testkit::AtlHost;

// Remembers the reflected notifications a child window receives.
WNDPROC g_buttonProc = nullptr;
std::vector<std::pair<UINT, WPARAM>> g_reflected;

LRESULT CALLBACK ButtonProc(HWND w, UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg >= OCM__BASE && msg < OCM__BASE + 0x400) g_reflected.emplace_back(msg, wp);
    return CallWindowProcW(g_buttonProc, w, msg, wp, lp);
}

// A client site and nothing more: no ambient properties, no in-place site.
class BareSite final : public IOleClientSite {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override
    {
        if (iid == IID_IUnknown || iid == IID_IOleClientSite) {
            *out = this;
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
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

class Bag final : public IPropertyBag {
public:
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
        if (it == values.end()) return E_INVALIDARG;
        return VariantCopy(v, &it->second);
    }
    HRESULT STDMETHODCALLTYPE Write(LPCOLESTR name, VARIANT* v) override
    {
        VARIANT copy;
        VariantInit(&copy);
        VariantCopy(&copy, v);
        values[name] = copy;
        return S_OK;
    }
    std::map<std::wstring, VARIANT> values;
};

template <class Itf>
Itf* Query(IUnknown* u, REFIID iid)
{
    Itf* p = nullptr;
    EXPECT_EQ(u->QueryInterface(iid, reinterpret_cast<void**>(&p)), S_OK);
    return p;
}

} // namespace

TEST(DevicesControl, HostedByAtlAxWinAsARealChildWindow)
{
    Atl atl;
    ASSERT_TRUE(atl.ready);
    HWND parent = testkit::CreateTestWindow(200, 150, "zykGFX control host");
    HWND host = CreateWindowExW(0, L"AtlAxWin", L"ZYKGFX.Devices", WS_CHILD | WS_VISIBLE, 10, 10, 64, 64, parent,
                                nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(host, nullptr);
    testkit::PumpMessages();
    IUnknown* u = nullptr;
    ASSERT_EQ(atl.getControl(host, &u), S_OK);
    ASSERT_NE(u, nullptr);
    IDevices* devices = Query<IDevices>(u, IID_IDevices);
    ASSERT_NE(devices, nullptr);
    long count = 0;
    EXPECT_EQ(devices->get_Count(&count), S_OK);
    EXPECT_GE(count, 1);

    // The control's own window, a visible child of the host, filling it.
    HWND control = GetWindow(host, GW_CHILD);
    ASSERT_NE(control, nullptr);
    long handle = 0;
    EXPECT_EQ(devices->get_Window(&handle), S_OK);
    EXPECT_EQ(reinterpret_cast<HWND>(static_cast<LONG_PTR>(handle)), control);
    char className[64] = {};
    GetClassNameA(control, className, sizeof className);
    EXPECT_STREQ(className, "ZykControl");
    EXPECT_TRUE(IsWindowVisible(control));
    RECT r;
    GetClientRect(control, &r);
    EXPECT_EQ(r.right, 64);
    EXPECT_EQ(r.bottom, 64);

    // Drawn: the icon at its top-left, the window's colour around it.
    auto redraw = [&] { RedrawWindow(control, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW); };
    EXPECT_TRUE(testkit::ScreenShows(control, 16, 12, kIconBlue, redraw, 2));
    const COLORREF window = GetSysColor(COLOR_WINDOW);
    EXPECT_TRUE(
        testkit::ScreenShows(control, 50, 50, {GetRValue(window), GetGValue(window), GetBValue(window)}, redraw, 2));

    // A child's notification comes back to the child as an OCM_ message.
    HWND button = CreateWindowExW(0, L"BUTTON", L"b", WS_CHILD, 40, 40, 10, 10, control, reinterpret_cast<HMENU>(7),
                                  GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(button, nullptr);
    g_buttonProc =
        reinterpret_cast<WNDPROC>(SetWindowLongPtrW(button, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ButtonProc)));
    g_reflected.clear();
    SendMessageW(control, WM_COMMAND, MAKEWPARAM(7, BN_CLICKED), reinterpret_cast<LPARAM>(button));
    ASSERT_EQ(g_reflected.size(), 1u);
    EXPECT_EQ(g_reflected[0].first, static_cast<UINT>(OCM_COMMAND));
    EXPECT_EQ(g_reflected[0].second, MAKEWPARAM(7, BN_CLICKED));
    DestroyWindow(button);

    devices->Release();
    u->Release();
    DestroyWindow(host);
    EXPECT_FALSE(IsWindow(control));
    DestroyWindow(parent);
}

// Runs in a fresh process, where nothing else holds the server.
TEST(DevicesControlReload, Child)
{
    if (!GetEnvironmentVariableA("ZYK_RELOAD_CHILD", nullptr, 0)) GTEST_SKIP() << "runs in a child";
    testkit::ExpectControlsAfterReloads(L"zykGFX.dll", {L"ZYKGFX.Devices"}, 3);
}

TEST(DevicesControl, GetsItsWindowAfterTheServerWasUnloadedAndLoadedAgain)
{
    EXPECT_EQ(testkit::RunCopy("zyk_gfx_reload.exe", "DevicesControlReload.Child", "ZYK_RELOAD_CHILD", "1", {}), 0)
        << "the child failed (its output is above)";
}

TEST(DevicesControl, EventsBindAsAFormsWithEventsDoes)
{
    IUnknown* u = New<IUnknown>(L"ZYKGFX.Devices", IID_IUnknown);
    ASSERT_NE(u, nullptr);
    testkit::ExpectEventsBind(u);
    u->Release();
}

TEST(DevicesControl, DrawsIntoARectangleOfItsOwn)
{
    IViewObject2* view = New<IViewObject2>(L"ZYKGFX.Devices", IID_IViewObject2);
    ASSERT_NE(view, nullptr);
    testkit::Canvas canvas(128, 128, 0x010203u);
    ASSERT_TRUE(canvas.Ready());
    RECTL bounds{10, 20, 110, 120};
    const RECTL given = bounds;
    EXPECT_EQ(view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, canvas.Dc(), &bounds, nullptr, nullptr, 0),
              S_OK);
    EXPECT_EQ(memcmp(&bounds, &given, sizeof bounds), 0);         // the container's rectangle is left alone
    EXPECT_EQ(canvas.At(10 + 16, 20 + 12) & 0xFFFFFF, 0x0060C8u); // the icon at the rectangle's top-left
    EXPECT_EQ(canvas.At(10 + 40, 20 + 40), 0x010203u);            // nothing beyond its 32 x 32
    EXPECT_EQ(canvas.At(5, 5), 0x010203u);
    EXPECT_EQ(view->Draw(DVASPECT_ICON, -1, nullptr, nullptr, nullptr, canvas.Dc(), &bounds, nullptr, nullptr, 0),
              DV_E_DVASPECT);

    SIZEL extent{};
    EXPECT_EQ(view->GetExtent(DVASPECT_CONTENT, -1, nullptr, &extent), S_OK);
    EXPECT_GT(extent.cx, 0);
    view->Release();
}

TEST(DevicesControl, PersistsItsStockProperties)
{
    IDevices* a = New<IDevices>(L"ZYKGFX.Devices", IID_IDevices);
    ASSERT_NE(a, nullptr);
    IPersistStreamInit* save = Query<IPersistStreamInit>(a, IID_IPersistStreamInit);
    ASSERT_EQ(save->InitNew(), S_OK);
    EXPECT_EQ(save->IsDirty(), S_FALSE);
    EXPECT_EQ(a->put_BorderColor(0x123456), S_OK);
    EXPECT_EQ(a->put_BorderStyle(1), S_OK);
    EXPECT_EQ(save->IsDirty(), S_OK);
    CLSID clsid{};
    EXPECT_EQ(save->GetClassID(&clsid), S_OK);
    EXPECT_TRUE(IsEqualGUID(clsid, CLSID_Devices));

    IStream* stream = nullptr;
    ASSERT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, &stream), S_OK);
    ASSERT_EQ(save->Save(stream, TRUE), S_OK);
    EXPECT_EQ(save->IsDirty(), S_FALSE);

    auto expectLoaded = [](IDevices* b) {
        OLE_COLOR colour = 0;
        long style = 0;
        b->get_BorderColor(&colour);
        b->get_BorderStyle(&style);
        EXPECT_EQ(colour, 0x123456u);
        EXPECT_EQ(style, 1);
    };
    IDevices* b = New<IDevices>(L"ZYKGFX.Devices", IID_IDevices);
    IPersistStreamInit* load = Query<IPersistStreamInit>(b, IID_IPersistStreamInit);
    LARGE_INTEGER zero{};
    stream->Seek(zero, STREAM_SEEK_SET, nullptr);
    ASSERT_EQ(load->Load(stream), S_OK);
    expectLoaded(b);
    // A stream of something else is refused.
    stream->Seek(zero, STREAM_SEEK_SET, nullptr);
    const DWORD junk[2] = {0xDEADBEEF, 5};
    stream->Write(junk, sizeof junk, nullptr);
    stream->Seek(zero, STREAM_SEEK_SET, nullptr);
    EXPECT_TRUE(FAILED(load->Load(stream)));
    load->Release();
    b->Release();
    stream->Release();

    // A storage's "Contents" stream.
    ILockBytes* bytes = nullptr;
    IStorage* storage = nullptr;
    ASSERT_EQ(CreateILockBytesOnHGlobal(nullptr, TRUE, &bytes), S_OK);
    ASSERT_EQ(StgCreateDocfileOnILockBytes(bytes, STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0, &storage),
              S_OK);
    IPersistStorage* ps = Query<IPersistStorage>(a, IID_IPersistStorage);
    ASSERT_EQ(ps->Save(storage, TRUE), S_OK);
    ps->Release();
    IDevices* c = New<IDevices>(L"ZYKGFX.Devices", IID_IDevices);
    IPersistStorage* pc = Query<IPersistStorage>(c, IID_IPersistStorage);
    ASSERT_EQ(pc->Load(storage), S_OK);
    expectLoaded(c);
    pc->Release();
    c->Release();
    storage->Release();
    bytes->Release();

    // A property bag, by name.
    Bag bag;
    IPersistPropertyBag* pb = Query<IPersistPropertyBag>(a, IID_IPersistPropertyBag);
    ASSERT_EQ(pb->Save(&bag, TRUE, TRUE), S_OK);
    pb->Release();
    EXPECT_EQ(V_I4(&bag.values[L"BorderColor"]), 0x123456);
    IDevices* d = New<IDevices>(L"ZYKGFX.Devices", IID_IDevices);
    IPersistPropertyBag* pd = Query<IPersistPropertyBag>(d, IID_IPersistPropertyBag);
    bag.values.erase(L"_cx"); // a missing property keeps its value
    ASSERT_EQ(pd->Load(&bag, nullptr), S_OK);
    expectLoaded(d);
    pd->Release();
    d->Release();
    for (auto& [name, v] : bag.values) VariantClear(&v);

    save->Release();
    a->Release();
}

TEST(DevicesControl, QuickActivatedInASiteWithoutAmbients)
{
    IUnknown* u = New<IUnknown>(L"ZYKGFX.Devices", IID_IUnknown);
    ASSERT_NE(u, nullptr);
    BareSite site;
    testkit::EventSink sink(DIID__IDevicesEvents);
    IQuickActivate* qa = Query<IQuickActivate>(u, IID_IQuickActivate);
    QACONTAINER container{};
    container.cbSize = sizeof container;
    container.pClientSite = &site;
    container.pUnkEventSink = &sink;
    container.colorBack = 0x00FF00;
    QACONTROL control{};
    control.cbSize = sizeof control;
    ASSERT_EQ(qa->QuickActivate(&container, &control), S_OK);
    EXPECT_EQ(control.dwMiscStatus, 131473u);
    EXPECT_EQ(site.refs, 2u); // the control keeps the site

    // The container's event sink is connected, under the cookie handed back.
    EXPECT_NE(control.dwEventCookie, 0u);
    EXPECT_EQ(sink.refs, 2u);
    IConnectionPointContainer* points = Query<IConnectionPointContainer>(u, IID_IConnectionPointContainer);
    IConnectionPoint* point = nullptr;
    ASSERT_EQ(points->FindConnectionPoint(DIID__IDevicesEvents, &point), S_OK);
    EXPECT_EQ(testkit::Connections(point, &sink), std::vector<DWORD>{control.dwEventCookie});
    EXPECT_EQ(point->Unadvise(control.dwEventCookie), S_OK);
    EXPECT_EQ(sink.refs, 1u);
    point->Release();
    points->Release();

    IOleObject* ole = Query<IOleObject>(u, IID_IOleObject);
    IOleClientSite* got = nullptr;
    EXPECT_EQ(ole->GetClientSite(&got), S_OK);
    EXPECT_EQ(got, &site);
    if (got) got->Release();
    DWORD status = 0;
    EXPECT_EQ(ole->GetMiscStatus(DVASPECT_CONTENT, &status), S_OK);
    EXPECT_EQ(status, 131473u);
    // No in-place site: no window, and a clear failure.
    EXPECT_TRUE(FAILED(ole->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, &site, 0, nullptr, nullptr)));
    EXPECT_EQ(ole->Close(OLECLOSE_NOSAVE), S_OK);
    EXPECT_EQ(site.refs, 1u);
    ole->Release();
    qa->Release();

    IProvideClassInfo2* info = Query<IProvideClassInfo2>(u, IID_IProvideClassInfo2);
    GUID events{};
    EXPECT_EQ(info->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &events), S_OK);
    EXPECT_TRUE(IsEqualGUID(events, DIID__IDevicesEvents));
    ITypeInfo* ti = nullptr;
    ASSERT_EQ(info->GetClassInfo(&ti), S_OK);
    TYPEATTR* attr = nullptr;
    ti->GetTypeAttr(&attr);
    EXPECT_EQ(attr->typekind, TKIND_COCLASS);
    EXPECT_TRUE(IsEqualGUID(attr->guid, CLSID_Devices));
    ti->ReleaseTypeAttr(attr);
    ti->Release();
    info->Release();
    u->Release();
}

// Both structures' sizes are checked before either is read or written: a container's
// structure too short to hold its colour, or a control's too short for the event cookie,
// is refused with nothing taken from it and nothing connected.
TEST(DevicesControl, QuickActivateChecksBothSizesFirst)
{
    IQuickActivate* qa = New<IQuickActivate>(L"ZYKGFX.Devices", IID_IQuickActivate);
    ASSERT_NE(qa, nullptr);
    BareSite site;
    testkit::EventSink sink(DIID__IDevicesEvents);
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
    const ULONG shortContainers[] = {16, offsetof(QACONTAINER, colorBack)};
    for (ULONG size : shortContainers) {
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

    // A container structure without the last two pointers, and a control structure without
    // the activation policy, as older containers pass them.
    container.cbSize = offsetof(QACONTAINER, pOleControlSite);
    control = QACONTROL{offsetof(QACONTROL, dwPointerActivationPolicy), 0xEEEEEEEE};
    control.dwPointerActivationPolicy = 0xEEEEEEEE;
    EXPECT_EQ(qa->QuickActivate(&container, &control), S_OK);
    EXPECT_EQ(control.dwMiscStatus, 131473u);
    EXPECT_NE(control.dwEventCookie, 0u);
    EXPECT_EQ(control.dwPointerActivationPolicy, 0xEEEEEEEEu);
    IOleObject* ole = nullptr;
    ASSERT_EQ(qa->QueryInterface(IID_IOleObject, reinterpret_cast<void**>(&ole)), S_OK);
    EXPECT_EQ(ole->Close(OLECLOSE_NOSAVE), S_OK);
    ole->Release();
    qa->Release();
    EXPECT_EQ(site.refs, 1u);
    EXPECT_EQ(sink.refs, 1u); // the control let go of its sink with itself
}

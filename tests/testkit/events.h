// What a container does with an object's events, for tests: the event sink of a form, the
// binding of that sink the way a form's WithEvents is bound (the default source interface
// from IProvideClassInfo2, FindConnectionPoint, Advise, EnumConnections, Unadvise), and
// controls hosted again after their server was unloaded.
#pragma once
#include "atlhost.h"
#include "testkit.h"
#include <ocidl.h>
#include <olectl.h>
#include <string>
#include <vector>

namespace testkit {

// A sink of one outgoing dispinterface: answers IUnknown, IDispatch and that interface,
// and counts its references.
class EventSink final : public IDispatch {
public:
    explicit EventSink(REFIID events) : events_(events) {}
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override
    {
        if (iid == IID_IUnknown || iid == IID_IDispatch || iid == events_) {
            *out = static_cast<IDispatch*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
    ULONG STDMETHODCALLTYPE Release() override { return --refs; }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* n) override
    {
        *n = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override
    {
        return S_OK;
    }
    ULONG refs = 1;

private:
    IID events_;
};

// The default source interface of an object, as a container reads it (IID_NULL without one).
inline IID DefaultSource(IUnknown* object)
{
    IID events = IID_NULL;
    IProvideClassInfo2* info = nullptr;
    EXPECT_EQ(object->QueryInterface(IID_IProvideClassInfo2, reinterpret_cast<void**>(&info)), S_OK);
    if (!info) return events;
    EXPECT_EQ(info->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &events), S_OK);
    // The class information names the same interface as the coclass's default source.
    ITypeInfo* coclass = nullptr;
    EXPECT_EQ(info->GetClassInfo(&coclass), S_OK);
    if (coclass) {
        TYPEATTR* attr = nullptr;
        coclass->GetTypeAttr(&attr);
        bool found = false;
        for (UINT i = 0; attr && i < attr->cImplTypes; ++i) {
            INT flags = 0;
            HREFTYPE ref = 0;
            ITypeInfo* source = nullptr;
            coclass->GetImplTypeFlags(i, &flags);
            if (flags != (IMPLTYPEFLAG_FDEFAULT | IMPLTYPEFLAG_FSOURCE)) continue;
            coclass->GetRefTypeOfImplType(i, &ref);
            if (SUCCEEDED(coclass->GetRefTypeInfo(ref, &source))) {
                TYPEATTR* s = nullptr;
                source->GetTypeAttr(&s);
                found = s && IsEqualGUID(s->guid, events);
                source->ReleaseTypeAttr(s);
                source->Release();
            }
        }
        EXPECT_TRUE(found) << "the coclass's default source is not " << Narrow(GuidText(events));
        coclass->ReleaseTypeAttr(attr);
        coclass->Release();
    }
    info->Release();
    return events;
}

// The cookies of a connection point's connections, each checked to carry its sink.
inline std::vector<DWORD> Connections(IConnectionPoint* point, IUnknown* sink)
{
    std::vector<DWORD> cookies;
    IEnumConnections* e = nullptr;
    EXPECT_EQ(point->EnumConnections(&e), S_OK);
    if (!e) return cookies;
    CONNECTDATA d{};
    ULONG n = 0;
    while (e->Next(1, &d, &n) == S_OK && n == 1) {
        EXPECT_EQ(d.pUnk, sink);
        cookies.push_back(d.dwCookie);
        d.pUnk->Release();
    }
    e->Release();
    return cookies;
}

// Binds a sink to the object's default source interface as a form's WithEvents does, twice
// over, enumerates the connections and takes them down again.
inline void ExpectEventsBind(IUnknown* object)
{
    const IID events = DefaultSource(object);
    IConnectionPointContainer* container = nullptr;
    ASSERT_EQ(object->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(&container)), S_OK);
    IConnectionPoint* point = nullptr;
    ASSERT_EQ(container->FindConnectionPoint(events, &point), S_OK);
    IConnectionPoint* none = nullptr;
    EXPECT_EQ(container->FindConnectionPoint(IID_IPropertyNotifySink, &none), CONNECT_E_NOCONNECTION);
    EXPECT_EQ(none, nullptr);

    // The container lists that one point, and the point names its interface and container.
    IEnumConnectionPoints* points = nullptr;
    ASSERT_EQ(container->EnumConnectionPoints(&points), S_OK);
    IConnectionPoint* listed[2] = {};
    ULONG n = 0;
    EXPECT_EQ(points->Next(2, listed, &n), S_FALSE);
    EXPECT_EQ(n, 1u);
    EXPECT_EQ(listed[0], point);
    if (listed[0]) listed[0]->Release();
    points->Release();
    IID iid{};
    EXPECT_EQ(point->GetConnectionInterface(&iid), S_OK);
    EXPECT_TRUE(IsEqualGUID(iid, events));
    IConnectionPointContainer* back = nullptr;
    EXPECT_EQ(point->GetConnectionPointContainer(&back), S_OK);
    EXPECT_EQ(back, container);
    if (back) back->Release();

    EventSink sink(events), other(IID_IPropertyNotifySink);
    DWORD first = 0, second = 0, refused = 7;
    EXPECT_EQ(point->Advise(&sink, &first), S_OK);
    EXPECT_EQ(point->Advise(&sink, &second), S_OK);
    EXPECT_NE(first, 0u);
    EXPECT_NE(first, second);
    EXPECT_EQ(sink.refs, 3u); // the point holds each connection's sink
    EXPECT_EQ(point->Advise(&other, &refused), CONNECT_E_CANNOTCONNECT);
    EXPECT_EQ(refused, 0u);
    EXPECT_EQ(other.refs, 1u);
    EXPECT_EQ(Connections(point, &sink), (std::vector<DWORD>{first, second}));

    EXPECT_EQ(point->Unadvise(first), S_OK);
    EXPECT_EQ(point->Unadvise(first), CONNECT_E_NOCONNECTION);
    EXPECT_EQ(Connections(point, &sink), (std::vector<DWORD>{second}));
    EXPECT_EQ(point->Unadvise(second), S_OK);
    EXPECT_TRUE(Connections(point, &sink).empty());
    EXPECT_EQ(sink.refs, 1u);
    point->Release();
    container->Release();
}

// A control hosted by AtlAxWin in parent: whether it made its own window inside the host.
inline bool HostedWithWindow(HWND parent, const wchar_t* progId)
{
    HWND host = CreateWindowExW(0, L"AtlAxWin", progId, WS_CHILD | WS_VISIBLE, 10, 10, 64, 64, parent, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
    PumpMessages();
    HWND control = host ? GetWindow(host, GW_CHILD) : nullptr;
    char name[32] = {};
    if (control) GetClassNameA(control, name, sizeof name);
    if (host) DestroyWindow(host);
    PumpMessages();
    return std::string(name) == "ZykControl";
}

// Hosts each control, unloads its server (CoFreeUnusedLibraries) and does it again, for the
// given number of rounds: the server must really unload, and each control get its window
// every time. For a fresh process (RunCopy), where nothing else holds the server.
inline void ExpectControlsAfterReloads(const wchar_t* server, const std::vector<const wchar_t*>& progIds, int rounds)
{
    AtlHost atl;
    ASSERT_TRUE(atl.ready);
    HWND parent = CreateTestWindow(160, 120, "control host");
    for (int round = 0; round < rounds; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        for (const wchar_t* progId : progIds) EXPECT_TRUE(HostedWithWindow(parent, progId)) << Narrow(progId);
        EXPECT_NE(GetModuleHandleW(server), nullptr);
        CoFreeUnusedLibraries();
        EXPECT_EQ(GetModuleHandleW(server), nullptr) << "the server stayed loaded";
    }
    DestroyWindow(parent);
}

} // namespace testkit

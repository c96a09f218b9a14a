// The server module as a client meets it: class objects, unloading, aggregation.
#include "testkit.h"
#include "zyk3D.h"

namespace {

HMODULE Server() { return GetModuleHandleA("zyk3D.dll"); }

HRESULT CanUnloadNow()
{
    auto fn = reinterpret_cast<HRESULT(WINAPI*)()>(GetProcAddress(Server(), "DllCanUnloadNow"));
    return fn ? fn() : E_NOTIMPL;
}

// An outer object that aggregates whatever it is given, counting its own references.
class Outer final : public IUnknown {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override
    {
        if (iid == IID_IUnknown) {
            *out = this;
            AddRef();
            return S_OK;
        }
        return inner ? inner->QueryInterface(iid, out) : E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
    ULONG STDMETHODCALLTYPE Release() override { return --refs; }
    IUnknown* inner = nullptr;
    ULONG refs = 1;
};

} // namespace

TEST(Module, UnloadsOnlyWhenNothingIsAlive)
{
    IColour* colour = nullptr;
    ASSERT_EQ(testkit::CreateByProgId(L"zyk3D.Colour", IID_IColour, reinterpret_cast<void**>(&colour)), S_OK);
    ASSERT_NE(Server(), nullptr);
    EXPECT_EQ(CanUnloadNow(), S_FALSE);
    IDispatch* dispatch = nullptr;
    ASSERT_EQ(colour->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch)), S_OK);
    colour->Release();
    EXPECT_EQ(CanUnloadNow(), S_FALSE); // still referenced through IDispatch
    dispatch->Release();
    EXPECT_EQ(CanUnloadNow(), S_OK);

    IClassFactory* factory = nullptr;
    ASSERT_EQ(CoGetClassObject(CLSID_Position, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory,
                               reinterpret_cast<void**>(&factory)),
              S_OK);
    EXPECT_EQ(factory->LockServer(TRUE), S_OK);
    EXPECT_EQ(CanUnloadNow(), S_FALSE);
    EXPECT_EQ(factory->LockServer(FALSE), S_OK);
    factory->Release();
    EXPECT_EQ(CanUnloadNow(), S_OK);
}

TEST(Module, UnknownClassIsNotAvailable)
{
    ASSERT_NE(Server(), nullptr);
    auto get =
        reinterpret_cast<HRESULT(WINAPI*)(REFCLSID, REFIID, void**)>(GetProcAddress(Server(), "DllGetClassObject"));
    ASSERT_NE(get, nullptr);
    void* p = reinterpret_cast<void*>(1);
    EXPECT_EQ(get(LIBID_ZYK3DLib, IID_IClassFactory, &p), CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(p, nullptr);
    EXPECT_EQ(get(CLSID_Colour, IID_IClassFactory, &p), S_OK);
    static_cast<IUnknown*>(p)->Release();
}

TEST(Module, AggregatedCreation)
{
    for (const CLSID* clsid : {&CLSID_Colour, &CLSID_Position}) {
        Outer outer;
        IUnknown* inner = nullptr;
        ASSERT_EQ(
            CoCreateInstance(*clsid, &outer, CLSCTX_INPROC_SERVER, IID_IUnknown, reinterpret_cast<void**>(&inner)),
            S_OK);
        outer.inner = inner;
        IDispatch* dispatch = nullptr;
        ASSERT_EQ(inner->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch)), S_OK);
        EXPECT_EQ(outer.refs, 2u); // the served interface counts on the outer object
        IUnknown* identity = nullptr;
        ASSERT_EQ(dispatch->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&identity)), S_OK);
        EXPECT_EQ(identity, static_cast<IUnknown*>(&outer));
        identity->Release();
        dispatch->Release();
        EXPECT_EQ(outer.refs, 1u);
        EXPECT_EQ(inner->Release(), 0u);

        void* p = nullptr;
        EXPECT_EQ(CoCreateInstance(*clsid, &outer, CLSCTX_INPROC_SERVER, IID_IDispatch, &p), CLASS_E_NOAGGREGATION);
    }
    EXPECT_EQ(CanUnloadNow(), S_OK);
}

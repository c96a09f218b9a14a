// What registration leaves in the registry for the thirteen classes and the control, and
// what the type library says of itself.
#include "gfx_fixture.h"
#include "zykGFX_classes.h"
#include "com/ptr.h"

using zyk::com::Ptr;

namespace {

const wchar_t kLibId[] = L"{0D2A0C47-1F49-4D08-80E6-756336F4BC00}";

// Each class of the server's class table with the interface it serves, I<Name>.
struct ClassInterface {
    const wchar_t* name;
    const CLSID* clsid;
    const IID* iid;
};
#define GFX_CLASS_INTERFACE(name, text, ...) ClassInterface{text, &CLSID_##name, &IID_I##name},
const ClassInterface kClasses[] = {ZYKGFX_CLASSES(GFX_CLASS_INTERFACE)};

// The classes that the type library hides.
bool Hidden(const std::wstring& name)
{
    return name == L"Mode" || name == L"Modes" || name == L"TextureMemory" || name == L"VideoMemory" ||
           name == L"Version";
}

} // namespace

TEST(Registration, EveryClassHasItsScriptKeys)
{
    testkit::ExpectRegistered(L"zykGFX.dll", kLibId, {ZYKGFX_CLASSES(ZYK_REGISTERED_CLASS)});

    for (const ClassInterface& c : kClasses) {
        SCOPED_TRACE(testkit::Narrow(c.name));
        // Creatable, and error information for its own interface only.
        Ptr<IUnknown> u;
        ASSERT_EQ(
            CoCreateInstance(*c.clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, reinterpret_cast<void**>(u.Out())),
            S_OK);
        Ptr<ISupportErrorInfo> s = u.As<ISupportErrorInfo>(IID_ISupportErrorInfo);
        ASSERT_TRUE(s);
        EXPECT_EQ(s->InterfaceSupportsErrorInfo(*c.iid), S_OK);
        EXPECT_EQ(s->InterfaceSupportsErrorInfo(IID_IDispatch), S_FALSE);
    }
}

TEST(Registration, TypeLibrary)
{
    Ptr<ITypeLib> lib;
    ASSERT_EQ(LoadRegTypeLib(LIBID_ZYKGFXLib, 1, 0, 0, lib.Out()), S_OK);
    BSTR name = nullptr, doc = nullptr;
    ASSERT_EQ(lib->GetDocumentation(-1, &name, &doc, nullptr, nullptr), S_OK);
    EXPECT_STREQ(name, L"ZYKGFXLib");
    EXPECT_STREQ(doc, L"Zykware (Graphics) 1.0 Type Library");
    SysFreeString(name);
    SysFreeString(doc);
    for (const ClassInterface& c : kClasses) {
        SCOPED_TRACE(testkit::Narrow(c.name));
        Ptr<ITypeInfo> info;
        ASSERT_EQ(lib->GetTypeInfoOfGuid(*c.clsid, info.Out()), S_OK);
        TYPEATTR* attr = nullptr;
        ASSERT_EQ(info->GetTypeAttr(&attr), S_OK);
        EXPECT_EQ(attr->typekind, TKIND_COCLASS);
        EXPECT_EQ((attr->wTypeFlags & TYPEFLAG_FHIDDEN) != 0, Hidden(c.name));
        EXPECT_TRUE(attr->wTypeFlags & TYPEFLAG_FCANCREATE);
        info->ReleaseTypeAttr(attr);
    }
}

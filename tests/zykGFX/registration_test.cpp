// What registration leaves in the registry for the thirteen classes and the control, and
// what the type library says of itself.
#include "gfx_fixture.h"

namespace {

const wchar_t kLibId[] = L"{0D2A0C47-1F49-4D08-80E6-756336F4BC00}";

struct ClassKeys {
    const wchar_t* word;
    const wchar_t* name;
    const CLSID* clsid;
    const IID* iid;
    bool hidden;
};
const ClassKeys kClasses[] = {
    {L"ZYKGFX", L"Device", &CLSID_Device, &IID_IDevice, false},
    {L"ZYKGFX", L"Mode", &CLSID_Mode, &IID_IMode, true},
    {L"ZYKGFX", L"Modes", &CLSID_Modes, &IID_IModes, true},
    {L"ZYKGFX", L"Object", &CLSID_Object, &IID_IObject, false},
    {L"ZYKGFX", L"Objects", &CLSID_Objects, &IID_IObjects, false},
    {L"ZYKGFX", L"TextureMemory", &CLSID_TextureMemory, &IID_ITextureMemory, true},
    {L"ZYKGFX", L"VideoMemory", &CLSID_VideoMemory, &IID_IVideoMemory, true},
    {L"ZYKGFX", L"Version", &CLSID_Version, &IID_IVersion, true},
    {L"ZYKGFX", L"Caps", &CLSID_Caps, &IID_ICaps, false},
    {L"ZYKGFX", L"Hardware", &CLSID_Hardware, &IID_IHardware, false},
    {L"Gfx", L"Palette", &CLSID_Palette, &IID_IPalette, false},
    {L"Gfx", L"Colour", &CLSID_Colour, &IID_IColour, false},
    {L"ZYKGFX", L"Devices", &CLSID_Devices, &IID_IDevices, false},
};

} // namespace

TEST(Registration, EveryClassHasItsScriptKeys)
{
    std::vector<testkit::RegisteredClass> classes;
    for (const ClassKeys& c : kClasses)
        classes.push_back({c.word, c.name, c.clsid, *c.clsid == CLSID_Devices ? 101 : 0, L"131473"});
    testkit::ExpectRegistered(L"zykGFX.dll", kLibId, classes);

    for (const ClassKeys& c : kClasses) {
        SCOPED_TRACE(testkit::Narrow(c.name));
        // Creatable, and error information for its own interface only.
        IUnknown* u = nullptr;
        ASSERT_EQ(CoCreateInstance(*c.clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, reinterpret_cast<void**>(&u)),
                  S_OK);
        ISupportErrorInfo* s = nullptr;
        ASSERT_EQ(u->QueryInterface(IID_ISupportErrorInfo, reinterpret_cast<void**>(&s)), S_OK);
        EXPECT_EQ(s->InterfaceSupportsErrorInfo(*c.iid), S_OK);
        EXPECT_EQ(s->InterfaceSupportsErrorInfo(IID_IDispatch), S_FALSE);
        s->Release();
        u->Release();
    }
}

TEST(Registration, TypeLibrary)
{
    ITypeLib* lib = nullptr;
    ASSERT_EQ(LoadRegTypeLib(LIBID_ZYKGFXLib, 1, 0, 0, &lib), S_OK);
    BSTR name = nullptr, doc = nullptr;
    ASSERT_EQ(lib->GetDocumentation(-1, &name, &doc, nullptr, nullptr), S_OK);
    EXPECT_STREQ(name, L"ZYKGFXLib");
    EXPECT_STREQ(doc, L"Zykware (Graphics) 1.0 Type Library");
    SysFreeString(name);
    SysFreeString(doc);
    for (const ClassKeys& c : kClasses) {
        SCOPED_TRACE(testkit::Narrow(c.name));
        ITypeInfo* info = nullptr;
        ASSERT_EQ(lib->GetTypeInfoOfGuid(*c.clsid, &info), S_OK);
        TYPEATTR* attr = nullptr;
        ASSERT_EQ(info->GetTypeAttr(&attr), S_OK);
        EXPECT_EQ(attr->typekind, TKIND_COCLASS);
        EXPECT_EQ((attr->wTypeFlags & TYPEFLAG_FHIDDEN) != 0, c.hidden);
        EXPECT_TRUE(attr->wTypeFlags & TYPEFLAG_FCANCREATE);
        info->ReleaseTypeAttr(attr);
        info->Release();
    }
    lib->Release();
}

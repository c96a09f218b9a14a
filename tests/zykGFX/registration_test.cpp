// What registration leaves in the registry for the thirteen classes and the control, and
// what the type library says of itself.
#include "gfx_fixture.h"

using testkit::KeyExists;
using testkit::ReadString;

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

std::wstring ServerPath()
{
    std::wstring path;
    ReadString(HKEY_CLASSES_ROOT, L"CLSID\\" + testkit::GuidText(CLSID_Devices) + L"\\InprocServer32", nullptr, path);
    return path;
}

} // namespace

TEST(Registration, EveryClassHasItsScriptKeys)
{
    for (const ClassKeys& c : kClasses) {
        SCOPED_TRACE(testkit::Narrow(c.name));
        const std::wstring id = testkit::GuidText(*c.clsid), plain = std::wstring(c.word) + L"." + c.name,
                           versioned = plain + L".1", cls = L"CLSID\\" + id, label = std::wstring(c.name) + L" Class";
        std::wstring v;
        ASSERT_TRUE(ReadString(HKEY_CLASSES_ROOT, versioned, nullptr, v));
        EXPECT_EQ(v, label);
        ASSERT_TRUE(ReadString(HKEY_CLASSES_ROOT, plain + L"\\CurVer", nullptr, v));
        EXPECT_EQ(v, versioned);
        ASSERT_TRUE(ReadString(HKEY_CLASSES_ROOT, plain + L"\\CLSID", nullptr, v));
        EXPECT_EQ(v, id);
        ASSERT_TRUE(ReadString(HKEY_CLASSES_ROOT, cls, nullptr, v));
        EXPECT_EQ(v, label);
        ASSERT_TRUE(ReadString(HKEY_CLASSES_ROOT, cls + L"\\ProgID", nullptr, v));
        EXPECT_EQ(v, versioned);
        EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, cls + L"\\Programmable"));
        ASSERT_TRUE(ReadString(HKEY_CLASSES_ROOT, cls + L"\\InprocServer32", L"ThreadingModel", v));
        EXPECT_EQ(v, L"Apartment");
        ASSERT_TRUE(ReadString(HKEY_CLASSES_ROOT, cls + L"\\TypeLib", nullptr, v));
        EXPECT_EQ(v, kLibId);
        EXPECT_EQ(KeyExists(HKEY_CLASSES_ROOT, cls + L"\\Control"), *c.clsid == CLSID_Devices);

        // Creatable, and error information for its own interface only.
        IUnknown* u = nullptr;
        ASSERT_EQ(CoCreateInstance(*c.clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, reinterpret_cast<void**>(&u)), S_OK);
        ISupportErrorInfo* s = nullptr;
        ASSERT_EQ(u->QueryInterface(IID_ISupportErrorInfo, reinterpret_cast<void**>(&s)), S_OK);
        EXPECT_EQ(s->InterfaceSupportsErrorInfo(*c.iid), S_OK);
        EXPECT_EQ(s->InterfaceSupportsErrorInfo(IID_IDispatch), S_FALSE);
        s->Release();
        u->Release();
    }
}

TEST(Registration, TheDevicesControlKeys)
{
    const std::wstring cls = L"CLSID\\" + testkit::GuidText(CLSID_Devices);
    EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, cls + L"\\Control"));
    EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, cls + L"\\Insertable"));
    std::wstring v;
    ASSERT_TRUE(ReadString(HKEY_CLASSES_ROOT, cls + L"\\ToolboxBitmap32", nullptr, v));
    EXPECT_EQ(v, ServerPath() + L", 101");
    ASSERT_TRUE(ReadString(HKEY_CLASSES_ROOT, cls + L"\\MiscStatus", nullptr, v));
    EXPECT_EQ(v, L"0");
    ASSERT_TRUE(ReadString(HKEY_CLASSES_ROOT, cls + L"\\MiscStatus\\1", nullptr, v));
    EXPECT_EQ(v, L"131473");
    ASSERT_TRUE(ReadString(HKEY_CLASSES_ROOT, cls + L"\\Version", nullptr, v));
    EXPECT_EQ(v, L"1.0");
    // The toolbox bitmap is in the module.
    HMODULE module = LoadLibraryExW(ServerPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(module, nullptr);
    HANDLE bitmap = LoadImageW(module, MAKEINTRESOURCEW(101), IMAGE_BITMAP, 0, 0, 0);
    EXPECT_NE(bitmap, nullptr);
    if (bitmap) DeleteObject(bitmap);
    FreeLibrary(module);
    // OLE reads the control's status bits from there.
    DWORD status = 0;
    EXPECT_EQ(OleRegGetMiscStatus(CLSID_Devices, DVASPECT_CONTENT, &status), S_OK);
    EXPECT_EQ(status, 131473u);
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

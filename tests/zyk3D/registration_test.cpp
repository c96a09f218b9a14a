// What registration leaves in the registry, and what the type library says.
#include "testkit.h"
#include "zyk3D.h"
#include "zyk3D_classes.h"

using testkit::KeyExists;
using testkit::ReadString;

namespace {

const wchar_t* kLibId = L"{D5D6703E-98E7-4E97-A0E7-0CB289291AA3}";

const std::vector<testkit::RegisteredClass> kClasses{ZYK3D_CLASSES(ZYK_REGISTERED_CLASS)};

std::wstring ServerPath()
{
    std::wstring path;
    ReadString(HKEY_CLASSES_ROOT, L"CLSID\\" + testkit::GuidText(CLSID_Colour) + L"\\InprocServer32", nullptr, path);
    return path;
}

HMODULE Server()
{
    static HMODULE module = LoadLibraryW(ServerPath().c_str());
    return module;
}

HRESULT CallExport(const char* name)
{
    auto fn = reinterpret_cast<HRESULT(WINAPI*)()>(GetProcAddress(Server(), name));
    return fn ? fn() : E_NOTIMPL;
}

void ExpectClassesRegistered() { testkit::ExpectRegistered(L"zyk3D.dll", kLibId, kClasses); }

} // namespace

TEST(Registration, ClassesHaveTheScriptKeys) { ExpectClassesRegistered(); }

TEST(Registration, TypeLibraryIdentity)
{
    ITypeLib* lib = nullptr;
    ASSERT_EQ(LoadTypeLibEx(ServerPath().c_str(), REGKIND_NONE, &lib), S_OK);
    TLIBATTR* attr = nullptr;
    ASSERT_EQ(lib->GetLibAttr(&attr), S_OK);
    EXPECT_EQ(testkit::GuidText(attr->guid), kLibId);
    EXPECT_EQ(attr->wMajorVerNum, 1);
    EXPECT_EQ(attr->wMinorVerNum, 0);
    lib->ReleaseTLibAttr(attr);
    BSTR name = nullptr, doc = nullptr;
    ASSERT_EQ(lib->GetDocumentation(-1, &name, &doc, nullptr, nullptr), S_OK);
    EXPECT_STREQ(name, L"ZYK3DLib");
    EXPECT_STREQ(doc, L"Zykware (3D) 1.0 Type Library");
    SysFreeString(name);
    SysFreeString(doc);

    // The registered type library is the embedded one.
    ITypeLib* registered = nullptr;
    ASSERT_EQ(LoadRegTypeLib(LIBID_ZYK3DLib, 1, 0, 0, &registered), S_OK);
    registered->Release();

    // ErrorCodes: 23 D3DX codes, stored as signed 32-bit integers.
    ITypeInfo* info = nullptr;
    MEMBERID member = 0;
    USHORT found = 1;
    wchar_t enumName[] = L"ErrorCodes";
    ASSERT_EQ(lib->FindName(enumName, 0, &info, &member, &found), S_OK);
    ASSERT_EQ(found, 1);
    TYPEATTR* ta = nullptr;
    ASSERT_EQ(info->GetTypeAttr(&ta), S_OK);
    EXPECT_EQ(ta->typekind, TKIND_ENUM);
    EXPECT_EQ(ta->cVars, 23);
    info->ReleaseTypeAttr(ta);
    VARDESC* first = nullptr;
    ASSERT_EQ(info->GetVarDesc(0, &first), S_OK);
    EXPECT_EQ(V_I4(first->lpvarValue), -931722312);
    info->ReleaseVarDesc(first);
    VARDESC* last = nullptr;
    ASSERT_EQ(info->GetVarDesc(22, &last), S_OK);
    EXPECT_EQ(static_cast<unsigned long>(V_I4(last->lpvarValue)), 0xC8770BDBul);
    info->ReleaseVarDesc(last);
    info->Release();
    lib->Release();
}

TEST(Registration, UnregisterRemovesTheKeysAndKeepsClsid)
{
    ASSERT_NE(Server(), nullptr);
    ASSERT_EQ(CallExport("DllUnregisterServer"), S_OK);
    for (const testkit::RegisteredClass& c : kClasses) {
        const std::wstring progId = std::wstring(c.progWord) + L"." + c.name;
        EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, progId)) << testkit::Narrow(progId);
        EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, progId + L".1")) << testkit::Narrow(progId);
        EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, L"CLSID\\" + testkit::GuidText(*c.clsid))) << testkit::Narrow(progId);
    }
    EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, L"CLSID"));
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, std::wstring(L"TypeLib\\") + kLibId));

    ASSERT_EQ(CallExport("DllRegisterServer"), S_OK);
    ExpectClassesRegistered();
    EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, std::wstring(L"TypeLib\\") + kLibId));
}

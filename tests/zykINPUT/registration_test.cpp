// What registration leaves in the registry for the two classes and the Devices control.
#include "testkit.h"
#include "zykINPUT.h"

using testkit::KeyExists;
using testkit::ReadString;

namespace {

const wchar_t kLibId[] = L"{6F06941F-377A-4C8E-893B-19AFB8CCCCB3}";

std::wstring ClassKey(const CLSID& clsid)
{
    return L"CLSID\\" + testkit::GuidText(clsid);
}

} // namespace

TEST(InputRegistration, BothClassesHaveTheirProgIdsAndTypeLibrary)
{
    struct Row {
        const wchar_t* name;
        const CLSID* clsid;
        const wchar_t* text;
    };
    const Row rows[] = {
        {L"Device", &CLSID_Device, L"{014F54C9-3D05-4EDF-BF49-4F9507FF8037}"},
        {L"Devices", &CLSID_Devices, L"{29D6A23B-8ABA-454B-B1DC-E636DB6AEA46}"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(testkit::Narrow(r.name));
        const std::wstring plain = std::wstring(L"ZYKInput.") + r.name, versioned = plain + L".1",
                           label = std::wstring(r.name) + L" Class", cls = ClassKey(*r.clsid);
        EXPECT_EQ(testkit::GuidText(*r.clsid), r.text);
        std::wstring v;
        ASSERT_TRUE(ReadString(HKEY_CLASSES_ROOT, versioned, nullptr, v));
        EXPECT_EQ(v, label);
        ASSERT_TRUE(ReadString(HKEY_CLASSES_ROOT, versioned + L"\\CLSID", nullptr, v));
        EXPECT_EQ(v, r.text);
        ASSERT_TRUE(ReadString(HKEY_CLASSES_ROOT, plain, nullptr, v));
        EXPECT_EQ(v, label);
        ASSERT_TRUE(ReadString(HKEY_CLASSES_ROOT, plain + L"\\CLSID", nullptr, v));
        EXPECT_EQ(v, r.text);
        ASSERT_TRUE(ReadString(HKEY_CLASSES_ROOT, plain + L"\\CurVer", nullptr, v));
        EXPECT_EQ(v, versioned);
        ASSERT_TRUE(ReadString(HKEY_CLASSES_ROOT, cls, nullptr, v));
        EXPECT_EQ(v, label);
        ASSERT_TRUE(ReadString(HKEY_CLASSES_ROOT, cls + L"\\ProgID", nullptr, v));
        EXPECT_EQ(v, versioned);
        ASSERT_TRUE(ReadString(HKEY_CLASSES_ROOT, cls + L"\\VersionIndependentProgID", nullptr, v));
        EXPECT_EQ(v, plain);
        EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, cls + L"\\Programmable"));
        ASSERT_TRUE(ReadString(HKEY_CLASSES_ROOT, cls + L"\\InprocServer32", L"ThreadingModel", v));
        EXPECT_EQ(v, L"Apartment");
        ASSERT_TRUE(ReadString(HKEY_CLASSES_ROOT, cls + L"\\InprocServer32", nullptr, v));
        EXPECT_TRUE(testkit::EndsWith(v, L"zykINPUT.dll")) << testkit::Narrow(v);
        ASSERT_TRUE(ReadString(HKEY_CLASSES_ROOT, cls + L"\\TypeLib", nullptr, v));
        EXPECT_EQ(v, kLibId);
        // Only the list is a control.
        EXPECT_EQ(KeyExists(HKEY_CLASSES_ROOT, cls + L"\\Control"), *r.clsid == CLSID_Devices);

        // Both names make the class.
        for (const std::wstring& id : {plain, versioned}) {
            CLSID resolved{};
            ASSERT_EQ(CLSIDFromProgID(id.c_str(), &resolved), S_OK) << testkit::Narrow(id);
            EXPECT_TRUE(IsEqualGUID(resolved, *r.clsid));
        }
    }
}

TEST(InputRegistration, TheDevicesControlKeys)
{
    const std::wstring cls = ClassKey(CLSID_Devices);
    EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, cls + L"\\Control"));
    EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, cls + L"\\Insertable"));
    std::wstring server, v;
    ASSERT_TRUE(ReadString(HKEY_CLASSES_ROOT, cls + L"\\InprocServer32", nullptr, server));
    ASSERT_TRUE(ReadString(HKEY_CLASSES_ROOT, cls + L"\\ToolboxBitmap32", nullptr, v));
    EXPECT_EQ(v, server + L", 103");
    ASSERT_TRUE(ReadString(HKEY_CLASSES_ROOT, cls + L"\\MiscStatus", nullptr, v));
    EXPECT_EQ(v, L"0");
    ASSERT_TRUE(ReadString(HKEY_CLASSES_ROOT, cls + L"\\MiscStatus\\1", nullptr, v));
    EXPECT_EQ(v, L"131473");
    ASSERT_TRUE(ReadString(HKEY_CLASSES_ROOT, cls + L"\\Version", nullptr, v));
    EXPECT_EQ(v, L"1.0");

    // The toolbox bitmap the key names is in the module.
    HMODULE module = LoadLibraryExW(server.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(module, nullptr);
    HANDLE bitmap = LoadImageW(module, MAKEINTRESOURCEW(103), IMAGE_BITMAP, 0, 0, 0);
    EXPECT_NE(bitmap, nullptr);
    if (bitmap) DeleteObject(bitmap);
    FreeLibrary(module);
}

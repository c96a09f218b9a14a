// Memory figures and the operating system's folders, names and version, compared with
// what the platform answers the test itself.
#include "system_fixture.h"

using sys_test::New;
using sys_test::Take;

TEST(Memory, TotalsAreThoseOfGlobalMemoryStatus)
{
    IMemory* memory = New<IMemory>(L"ZYKSystem.Memory", IID_IMemory);
    ASSERT_NE(memory, nullptr);
    MEMORYSTATUS status{};
    status.dwLength = sizeof status;
    GlobalMemoryStatus(&status);
    long v = 0;
    EXPECT_EQ(memory->get_TotalPhysical(&v), S_OK);
    EXPECT_EQ(v, static_cast<long>(status.dwTotalPhys));
    EXPECT_EQ(memory->get_TotalVirtual(&v), S_OK);
    EXPECT_EQ(v, static_cast<long>(status.dwTotalVirtual));
    EXPECT_EQ(memory->get_TotalPageFile(&v), S_OK);
    EXPECT_EQ(v, static_cast<long>(status.dwTotalPageFile));
    EXPECT_EQ(memory->get_FreePhysical(&v), S_OK);
    EXPECT_GT(v, 0);
    EXPECT_EQ(memory->get_FreeVirtual(&v), S_OK);
    EXPECT_GT(v, 0);
    EXPECT_LE(v, static_cast<long>(status.dwTotalVirtual));
    EXPECT_EQ(memory->get_FreePageFile(&v), S_OK);

    // Through IDispatch by name.
    VARIANT total;
    VariantInit(&total);
    EXPECT_EQ(testkit::DispGet(memory, L"TotalPhysical", &total), S_OK);
    EXPECT_EQ(V_VT(&total), VT_I4);
    EXPECT_EQ(V_I4(&total), static_cast<long>(status.dwTotalPhys));
    memory->Release();
}

TEST(Os, FoldersAndNamesAreThoseOfThePlatform)
{
    IOS* os = New<IOS>(L"ZYKSystem.OS", IID_IOS);
    ASSERT_NE(os, nullptr);
    char buffer[MAX_PATH] = {};
    BSTR s = nullptr;
    GetWindowsDirectoryA(buffer, MAX_PATH);
    EXPECT_EQ(os->get_WinDir(&s), S_OK);
    EXPECT_EQ(Take(s), testkit::Widen(buffer));
    GetSystemDirectoryA(buffer, MAX_PATH);
    EXPECT_EQ(os->get_SysDir(&s), S_OK);
    EXPECT_EQ(Take(s), testkit::Widen(buffer));
    GetTempPathA(MAX_PATH, buffer);
    EXPECT_EQ(os->get_TempDir(&s), S_OK);
    EXPECT_EQ(Take(s), testkit::Widen(buffer));
    DWORD size = MAX_PATH;
    GetComputerNameA(buffer, &size);
    EXPECT_EQ(os->get_ComputerName(&s), S_OK);
    EXPECT_EQ(Take(s), testkit::Widen(buffer));
    size = MAX_PATH;
    GetUserNameA(buffer, &size);
    EXPECT_EQ(os->get_User(&s), S_OK);
    EXPECT_EQ(Take(s), testkit::Widen(buffer));

    BSTR name = SysAllocString(L"OTHER");
    EXPECT_EQ(os->put_ComputerName(name), E_NOTIMPL);
    SysFreeString(name);
    EXPECT_EQ(os->get_WinDir(nullptr), E_POINTER);
    os->Release();
}

TEST(Os, VersionIsTheVersionObjectOfTheOperatingSystem)
{
    IOS* os = New<IOS>(L"ZYKSystem.OS", IID_IOS);
    ASSERT_NE(os, nullptr);
    IDispatch* d = nullptr;
    ASSERT_EQ(os->get_Version(&d), S_OK);
    IOSVersion* version = testkit::As<IOSVersion>(d, IID_IOSVersion);
    ASSERT_NE(version, nullptr);
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof info;
    ASSERT_TRUE(GetVersionExA(&info));
    long v = -1;
    EXPECT_EQ(version->get_Major(&v), S_OK);
    EXPECT_EQ(v, static_cast<long>(info.dwMajorVersion));
    EXPECT_EQ(version->get_Minor(&v), S_OK);
    EXPECT_EQ(v, static_cast<long>(info.dwMinorVersion));
    EXPECT_EQ(version->get_Build(&v), S_OK);
    EXPECT_EQ(v, static_cast<long>(info.dwBuildNumber));
    version->Release();

    // A script reaches the same through the OS object's IDispatch.
    VARIANT ver;
    VariantInit(&ver);
    ASSERT_EQ(testkit::DispGet(os, L"Version", &ver), S_OK);
    ASSERT_EQ(V_VT(&ver), VT_DISPATCH);
    VARIANT major;
    VariantInit(&major);
    EXPECT_EQ(testkit::DispGet(V_DISPATCH(&ver), L"Major", &major), S_OK);
    EXPECT_EQ(V_I4(&major), static_cast<long>(info.dwMajorVersion));
    VariantClear(&ver);
    os->Release();
}

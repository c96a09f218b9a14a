// Memory figures and the operating system's folders, names and version, compared with
// what the platform answers the test itself.
#include "system_fixture.h"
#include <cstdlib>

using sys_test::New;
using sys_test::Take;

// The platform's 64-bit figures, where those of 2 GB and more read 0x7FFFFFFF: on a host
// with much memory GlobalMemoryStatus answers up to 0xFFFFFFFF, which must not come back
// negative.
TEST(Memory, FiguresAreThoseOfThePlatformAndNeverNegative)
{
    IMemory* memory = New<IMemory>(L"ZYKSystem.Memory", IID_IMemory);
    ASSERT_NE(memory, nullptr);
    MEMORYSTATUSEX status{};
    status.dwLength = sizeof status;
    ASSERT_TRUE(GlobalMemoryStatusEx(&status));
    auto figure = [](DWORDLONG bytes) { return bytes > 0x7FFFFFFF ? 0x7FFFFFFFL : static_cast<long>(bytes); };
    long v = 0;
    EXPECT_EQ(memory->get_TotalPhysical(&v), S_OK);
    EXPECT_EQ(v, figure(status.ullTotalPhys));
    EXPECT_EQ(memory->get_TotalVirtual(&v), S_OK);
    EXPECT_EQ(v, figure(status.ullTotalVirtual));
    EXPECT_EQ(memory->get_TotalPageFile(&v), S_OK);
    EXPECT_EQ(v, figure(status.ullTotalPageFile));
    // Free figures move between calls: within a quarter of the total, or both saturated.
    const struct {
        HRESULT (STDMETHODCALLTYPE IMemory::*get)(long*);
        DWORDLONG free, total;
    } frees[] = {{&IMemory::get_FreePhysical, status.ullAvailPhys, status.ullTotalPhys},
                 {&IMemory::get_FreeVirtual, status.ullAvailVirtual, status.ullTotalVirtual},
                 {&IMemory::get_FreePageFile, status.ullAvailPageFile, status.ullTotalPageFile}};
    for (const auto& f : frees) {
        EXPECT_EQ((memory->*f.get)(&v), S_OK);
        EXPECT_GT(v, 0);
        EXPECT_LE(v, figure(f.total));
        EXPECT_LE(std::llabs(static_cast<long long>(v) - figure(f.free)), static_cast<long long>(figure(f.total) / 4));
    }

    // Through IDispatch by name.
    VARIANT total;
    VariantInit(&total);
    EXPECT_EQ(testkit::DispGet(memory, L"TotalPageFile", &total), S_OK);
    EXPECT_EQ(V_VT(&total), VT_I4);
    EXPECT_EQ(V_I4(&total), figure(status.ullTotalPageFile));
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

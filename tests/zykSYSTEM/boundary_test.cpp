// What every member answers around its body: the plain getters included, a member clears
// what an earlier failure left and, on success or a bare failure code, leaves no error
// information; and the objects that one object hands out stand on their own.
#include "system_fixture.h"
#include <functional>
#include <vector>

using sys_test::New;
using sys_test::Take;

namespace {

// A drive whose letter names no drive: its space members fail with a text.
IDrive* MissingDrive()
{
    IDrive* drive = New<IDrive>(L"ZYKSystem.Drive", IID_IDrive);
    if (!drive) return nullptr;
    wchar_t missing[2] = {0, 0};
    for (wchar_t c = L'Z'; c >= L'D' && !missing[0]; --c)
        if (!(GetLogicalDrives() & (1u << (c - L'A')))) missing[0] = c;
    BSTR letter = SysAllocString(missing);
    drive->put_Letter(letter);
    SysFreeString(letter);
    return drive;
}

} // namespace

TEST(Boundary, EveryMemberClearsAnEarlierFailureAndAPlainOneReportsNothing)
{
    IDrive* failing = MissingDrive();
    IDrives* drives = New<IDrives>(L"ZYKSystem.Drives", IID_IDrives);
    IMemory* memory = New<IMemory>(L"ZYKSystem.Memory", IID_IMemory);
    ICPU* cpu = New<ICPU>(L"ZYKSystem.CPU", IID_ICPU);
    IOS* os = New<IOS>(L"ZYKSystem.OS", IID_IOS);
    IOSVersion* version = New<IOSVersion>(L"ZYKSystem.OSVersion", IID_IOSVersion);
    ICE* ce = New<ICE>(L"ZYKSystem.CE", IID_ICE);
    ASSERT_TRUE(failing && drives && memory && cpu && os && version && ce);

    long n = 0;
    BSTR s = nullptr;
    dt_Types type = dt_Unknown;
    wv_OS kind = wv_Unknown;
    VARIANT item;
    VariantInit(&item);
    BSTR other = SysAllocString(L"OTHER");
    const struct {
        const char* member;
        std::function<HRESULT()> call;
        HRESULT expected;
    } calls[] = {
        {"Drive.Letter", [&] { return failing->get_Letter(&s); }, S_OK},
        {"Drive.Type", [&] { return failing->get_Type(&type); }, S_OK},
        {"Drive.Type(null)", [&] { return failing->get_Type(nullptr); }, E_POINTER},
        {"Drive.Letter(null)", [&] { return failing->get_Letter(nullptr); }, E_POINTER},
        {"Drives.Count", [&] { return drives->get_Count(&n); }, S_OK},
        {"Drives.Count(null)", [&] { return drives->get_Count(nullptr); }, E_POINTER},
        {"Drives.Item(0)", [&] { return drives->Item(testkit::VarI4(0), &item); }, E_INVALIDARG},
        {"Memory.TotalPhysical", [&] { return memory->get_TotalPhysical(&n); }, S_OK},
        {"Memory.FreeVirtual(null)", [&] { return memory->get_FreeVirtual(nullptr); }, E_POINTER},
        {"CPU.ProcessorCount", [&] { return cpu->get_ProcessorCount(&n); }, S_OK},
        {"CPU.ProcessorCount(null)", [&] { return cpu->get_ProcessorCount(nullptr); }, E_POINTER},
        {"CPU.Speed(null)", [&] { return cpu->get_Speed(nullptr); }, E_POINTER},
        {"OS.ComputerName put", [&] { return os->put_ComputerName(other); }, E_NOTIMPL},
        {"OSVersion.WinType", [&] { return version->get_WinType(&kind); }, S_OK},
        {"OSVersion.WinType(null)", [&] { return version->get_WinType(nullptr); }, E_POINTER},
        {"CE.Name", [&] { return ce->get_Name(&s); }, S_OK},
    };
    for (const auto& c : calls) {
        SCOPED_TRACE(c.member);
        long space = 5;
        ASSERT_EQ(failing->get_FreeSpace(&space), E_FAIL);
        EXPECT_EQ(c.call(), c.expected);
        EXPECT_FALSE(testkit::TakeError().present);
        SysFreeString(s);
        s = nullptr;
    }
    SysFreeString(other);
    for (IUnknown* u : std::vector<IUnknown*>{failing, drives, memory, cpu, os, version, ce}) u->Release();
}

// Neither a drive nor the version object needs anything of the object it came from.
TEST(Lifetime, ADriveAndTheVersionObjectOutliveTheObjectsThatHandedThemOut)
{
    IDrives* drives = New<IDrives>(L"ZYKSystem.Drives", IID_IDrives);
    IOS* os = New<IOS>(L"ZYKSystem.OS", IID_IOS);
    ASSERT_TRUE(drives && os);
    VARIANT item;
    VariantInit(&item);
    VARIANT key = testkit::VarBstr(L"C");
    ASSERT_EQ(drives->Item(key, &item), S_OK);
    VariantClear(&key);
    IDrive* drive = testkit::As<IDrive>(V_DISPATCH(&item), IID_IDrive);
    IDispatch* d = nullptr;
    ASSERT_EQ(os->get_Version(&d), S_OK);
    IOSVersion* version = testkit::As<IOSVersion>(d, IID_IOSVersion);
    drives->Release();
    os->Release();
    ASSERT_TRUE(drive && version);

    BSTR s = nullptr;
    EXPECT_EQ(drive->get_Letter(&s), S_OK);
    EXPECT_EQ(Take(s), L"C");
    long v = 0;
    EXPECT_EQ(drive->get_TotalSpace(&v), S_OK);
    EXPECT_GT(v, 0);
    dt_Types type = dt_Unknown;
    EXPECT_EQ(drive->get_Type(&type), S_OK);
    EXPECT_EQ(type, static_cast<dt_Types>(GetDriveTypeA("C:\\")));

    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof info;
    ASSERT_TRUE(GetVersionExA(&info));
    EXPECT_EQ(version->get_Major(&v), S_OK);
    EXPECT_EQ(v, static_cast<long>(info.dwMajorVersion));
    drive->Release();
    version->Release();
}

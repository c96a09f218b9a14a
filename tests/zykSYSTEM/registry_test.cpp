// The registry texts: BIOS, platform, bus and machine type and the registration texts,
// from values the tests create under HKEY_LOCAL_MACHINE.
#include "system_fixture.h"

using sys_test::MachineValue;
using sys_test::New;
using sys_test::Take;

namespace {

const char kPnp[] = "Enum\\Root\\*PNP0C01\\0000";

} // namespace

TEST(Registry, MissingKeysGiveEmptyTexts)
{
    sys_test::DeleteMachineKey("Enum\\Root\\*PNP0C01");
    IBIOS* bios = New<IBIOS>(L"ZYKSystem.BIOS", IID_IBIOS);
    ASSERT_NE(bios, nullptr);
    BSTR s = nullptr;
    EXPECT_EQ(bios->get_Name(&s), S_OK);
    EXPECT_EQ(Take(s), L"");
    EXPECT_EQ(bios->get_Version(&s), S_OK);
    EXPECT_EQ(Take(s), L"");
    VARIANT date;
    VariantInit(&date);
    EXPECT_EQ(bios->get_Date(&date), S_OK);
    EXPECT_EQ(V_VT(&date), VT_BSTR);
    VariantClear(&date);
    bios->Release();

    ICPU* cpu = New<ICPU>(L"ZYKSystem.CPU", IID_ICPU);
    ASSERT_NE(cpu, nullptr);
    EXPECT_EQ(cpu->get_BusType(&s), S_OK);
    EXPECT_EQ(Take(s), L"");
    EXPECT_EQ(cpu->get_MachineType(&s), S_OK);
    EXPECT_EQ(Take(s), L"");
    cpu->Release();

    ICE* ce = New<ICE>(L"ZYKSystem.CE", IID_ICE);
    ASSERT_NE(ce, nullptr);
    sys_test::DeleteMachineKey("Platform");
    EXPECT_EQ(ce->get_Product(&s), S_OK);
    EXPECT_EQ(Take(s), L"");
    ce->Release();
}

TEST(Registry, BiosAndProcessorTextsComeFromTheirValues)
{
    MachineValue name(kPnp, "BIOSName", "Zyk BIOS");
    MachineValue version(kPnp, "BIOSVersion", "4.51 PG");
    MachineValue bus(kPnp, "BusType", "ISA");
    MachineValue machine(kPnp, "MachineType", "IBM PC/AT");
    IBIOS* bios = New<IBIOS>(L"ZYKSystem.BIOS", IID_IBIOS);
    ASSERT_NE(bios, nullptr);
    BSTR s = nullptr;
    EXPECT_EQ(bios->get_Name(&s), S_OK);
    EXPECT_EQ(Take(s), L"Zyk BIOS");
    EXPECT_EQ(bios->get_Version(&s), S_OK);
    EXPECT_EQ(Take(s), L"4.51 PG");
    VARIANT v;
    VariantInit(&v);
    EXPECT_EQ(testkit::DispGet(bios, L"Name", &v), S_OK);
    EXPECT_EQ(V_VT(&v), VT_BSTR);
    EXPECT_EQ(std::wstring(V_BSTR(&v)), L"Zyk BIOS");
    VariantClear(&v);
    bios->Release();

    ICPU* cpu = New<ICPU>(L"ZYKSystem.CPU", IID_ICPU);
    ASSERT_NE(cpu, nullptr);
    EXPECT_EQ(cpu->get_BusType(&s), S_OK);
    EXPECT_EQ(Take(s), L"ISA");
    EXPECT_EQ(cpu->get_MachineType(&s), S_OK);
    EXPECT_EQ(Take(s), L"IBM PC/AT");
    cpu->Release();
}

TEST(Registry, BiosDateIsADateWhenItReadsAsOne)
{
    IBIOS* bios = New<IBIOS>(L"ZYKSystem.BIOS", IID_IBIOS);
    ASSERT_NE(bios, nullptr);
    {
        MachineValue date(kPnp, "BIOSDate", "1999-08-16");
        VARIANT v;
        VariantInit(&v);
        EXPECT_EQ(bios->get_Date(&v), S_OK);
        ASSERT_EQ(V_VT(&v), VT_DATE);
        SYSTEMTIME t{};
        VariantTimeToSystemTime(V_DATE(&v), &t);
        EXPECT_EQ(t.wYear, 1999);
        EXPECT_EQ(t.wMonth, 8);
        EXPECT_EQ(t.wDay, 16);
    }
    {
        MachineValue date(kPnp, "BIOSDate", "not a date");
        VARIANT v;
        VariantInit(&v);
        EXPECT_EQ(bios->get_Date(&v), S_OK);
        ASSERT_EQ(V_VT(&v), VT_BSTR);
        EXPECT_EQ(std::wstring(V_BSTR(&v)), L"not a date");
        VariantClear(&v);
    }
    bios->Release();
}

TEST(Registry, LongAndUnterminatedValuesReadWholeAndSafely)
{
    const std::string longName(700, 'N');
    MachineValue name(kPnp, "BIOSName", longName);
    // 260 bytes without a terminating NUL, as binary data.
    const std::string raw(260, 'V');
    MachineValue version(kPnp, "BIOSVersion", raw, REG_BINARY);
    IBIOS* bios = New<IBIOS>(L"ZYKSystem.BIOS", IID_IBIOS);
    ASSERT_NE(bios, nullptr);
    BSTR s = nullptr;
    EXPECT_EQ(bios->get_Name(&s), S_OK);
    EXPECT_EQ(Take(s), testkit::Widen(longName));
    EXPECT_EQ(bios->get_Version(&s), S_OK);
    EXPECT_EQ(Take(s), testkit::Widen(raw));
    EXPECT_EQ(bios->get_Name(nullptr), E_POINTER);
    bios->Release();
}

TEST(Registry, PlatformAndRegistrationTexts)
{
    MachineValue product("Platform", "ProductID", "ZYK-1");
    MachineValue maker("Platform", "Manufacturer", "Zykware");
    MachineValue model("Platform", "Model", "Z1");
    MachineValue pname("Platform", "Name", "Pocket");
    ICE* ce = New<ICE>(L"ZYKSystem.CE", IID_ICE);
    ASSERT_NE(ce, nullptr);
    BSTR s = nullptr;
    EXPECT_EQ(ce->get_Product(&s), S_OK);
    EXPECT_EQ(Take(s), L"ZYK-1");
    EXPECT_EQ(ce->get_Manufacturer(&s), S_OK);
    EXPECT_EQ(Take(s), L"Zykware");
    EXPECT_EQ(ce->get_Model(&s), S_OK);
    EXPECT_EQ(Take(s), L"Z1");
    EXPECT_EQ(ce->get_Name(&s), S_OK);
    EXPECT_EQ(Take(s), L"Pocket");
    ce->Release();

    const char* windows = "Software\\Microsoft\\Windows\\CurrentVersion";
    MachineValue owner(windows, "RegisteredOwner", "A. Player");
    MachineValue organisation(windows, "RegisteredOrganization", "Zyk Games");
    IOS* os = New<IOS>(L"ZYKSystem.OS", IID_IOS);
    ASSERT_NE(os, nullptr);
    EXPECT_EQ(os->get_RegOwner(&s), S_OK);
    EXPECT_EQ(Take(s), L"A. Player");
    EXPECT_EQ(os->get_RegOrganisation(&s), S_OK);
    EXPECT_EQ(Take(s), L"Zyk Games");
    std::wstring common;
    testkit::ReadString(HKEY_LOCAL_MACHINE, L"Software\\Microsoft\\Windows\\CurrentVersion", L"CommonFilesDir", common);
    EXPECT_EQ(os->get_CommonDir(&s), S_OK);
    EXPECT_EQ(Take(s), common);
    os->Release();
}

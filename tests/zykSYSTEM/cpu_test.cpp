// The processor as a client sees it, compared with what CPUID answers the test itself;
// and the classification and vendor table on made-up processors.
#include "system_fixture.h"
#include "cpuinfo.h"
#include <mmsystem.h>
#include <intrin.h>
#include <cstring>

using sys_test::New;

namespace {

struct Id {
    int leaf0[4], leaf1[4];
    Id()
    {
        __cpuid(leaf0, 0);
        __cpuid(leaf1, 1);
    }
};

} // namespace

TEST(Cpu, FieldsAreThoseOfCpuidThroughTheVtable)
{
    ICPU* cpu = New<ICPU>(L"ZYKSystem.CPU", IID_ICPU);
    ASSERT_NE(cpu, nullptr);
    Id id;
    long v = -1;
    EXPECT_EQ(cpu->get_CPUID(&v), S_OK);
    EXPECT_EQ(v, id.leaf0[0]);
    EXPECT_EQ(cpu->get_Family(&v), S_OK);
    EXPECT_EQ(v, (id.leaf1[0] >> 8) & 0xF);
    EXPECT_EQ(cpu->get_Model(&v), S_OK);
    EXPECT_EQ(v, (id.leaf1[0] >> 4) & 0xF);
    EXPECT_EQ(cpu->get_Stepping(&v), S_OK);
    EXPECT_EQ(v, id.leaf1[0] & 0xF);
    BOOL flag = -1;
    EXPECT_EQ(cpu->get_MMX(&flag), S_OK);
    EXPECT_EQ(flag, (id.leaf1[3] >> 23) & 1); // 1 for true, never -1
    int ext[4];
    __cpuid(ext, static_cast<int>(0x80000000u));
    int expected3DNow = 0;
    if (static_cast<unsigned>(ext[0]) >= 0x80000001u) {
        __cpuid(ext, static_cast<int>(0x80000001u));
        expected3DNow = (static_cast<unsigned>(ext[3]) >> 31) & 1;
    }
    EXPECT_EQ(cpu->get_AMD3DNow(&flag), S_OK);
    EXPECT_EQ(flag, expected3DNow);

    char vendor[13] = {};
    memcpy(vendor, &id.leaf0[1], 4);
    memcpy(vendor + 4, &id.leaf0[3], 4);
    memcpy(vendor + 8, &id.leaf0[2], 4);
    Manufacturers expectedVendor = Unknown;
    if (!strcmp(vendor, "GenuineIntel")) expectedVendor = Intel;
    if (!strcmp(vendor, "AuthenticAMD")) expectedVendor = AMD;
    Manufacturers m = Cyrix;
    EXPECT_EQ(cpu->get_Vendor(&m), S_OK);
    EXPECT_EQ(m, expectedVendor) << vendor;

    SYSTEM_INFO info{};
    GetSystemInfo(&info);
    EXPECT_EQ(cpu->get_ProcessorCount(&v), S_OK);
    EXPECT_EQ(v, static_cast<long>(info.dwNumberOfProcessors));

    // Every processor of today has FPU, CMOV, MMX and SSE: the last test that holds wins.
    Processors type = static_cast<Processors>(99);
    EXPECT_EQ(cpu->get_Type(&type), S_OK);
    EXPECT_EQ(type, cpuinfo::Classify(cpuinfo::ReadSignature(), 99));
    EXPECT_TRUE(type == PentiumIII || type == AMDK6 || type == AMDK62) << type;
    EXPECT_EQ(cpu->get_Family(nullptr), E_POINTER);
    cpu->Release();
}

TEST(Cpu, SpeedIsMeasuredOverASecondAndReadByName)
{
    IDispatch* cpu = New<IDispatch>(L"ZYKSystem.CPU", IID_IDispatch);
    ASSERT_NE(cpu, nullptr);
    const DWORD start = timeGetTime();
    VARIANT speed;
    VariantInit(&speed);
    ASSERT_EQ(testkit::DispGet(cpu, L"Speed", &speed), S_OK);
    const DWORD took = timeGetTime() - start;
    ASSERT_EQ(V_VT(&speed), VT_R4);
    std::printf("measured speed %.1f MHz in %lu ms\n", V_R4(&speed), static_cast<unsigned long>(took));
    EXPECT_GE(took, 1000u);
    EXPECT_GT(V_R4(&speed), 1.0f); // a figure, not a bound on the machine

    VARIANT family;
    VariantInit(&family);
    EXPECT_EQ(testkit::DispGet(cpu, L"Family", &family), S_OK);
    EXPECT_EQ(V_VT(&family), VT_I4);
    VARIANT mmx;
    VariantInit(&mmx);
    EXPECT_EQ(testkit::DispGet(cpu, L"MMX", &mmx), S_OK);
    EXPECT_EQ(V_I4(&mmx), 1);
    cpu->Release();
}

TEST(CpuInfo, ClassificationLetsTheLastTestThatHoldsWin)
{
    cpuinfo::Signature s;
    s.cpuid = true;
    s.signature = 0x673;
    s.highestBasic = 2;
    s.features = 1u | 1u << 15 | 1u << 23 | 1u << 25; // FPU, CMOV, MMX, SSE
    EXPECT_EQ(cpuinfo::Classify(s, 99), PentiumIII);
    s.features = 1u | 1u << 15 | 1u << 23;
    EXPECT_EQ(cpuinfo::Classify(s, 99), PentiumII);
    s.features = 1u | 1u << 23;
    EXPECT_EQ(cpuinfo::Classify(s, 99), PentiumMMX);
    s.signature = 5; // a whole signature of 5 is not above 5: no Pro tests
    s.features = 1u | 1u << 15 | 1u << 23 | 1u << 25;
    EXPECT_EQ(cpuinfo::Classify(s, 99), PentiumMMX);

    // The AMD tests come last.
    s.signature = 0x673;
    s.highestExtended = 0x80000001u;
    s.extFeatures = 1u | 1u << 23 | 1u << 31;
    EXPECT_EQ(cpuinfo::Classify(s, 99), AMDK62);
    s.extFeatures = 1u | 1u << 23;
    EXPECT_EQ(cpuinfo::Classify(s, 99), AMDK6);
    s.highestExtended = 0x80000000u; // no extended leaf: the AMD tests fail
    EXPECT_EQ(cpuinfo::Classify(s, 99), PentiumIII);

    // Nothing holds: the caller's value stays.
    cpuinfo::Signature none;
    EXPECT_EQ(cpuinfo::Classify(none, 99), 99);
    none.cpuid = true;
    none.signature = 4;
    none.features = 0xFFFFFFFFu;
    EXPECT_EQ(cpuinfo::Classify(none, 99), 99);
}

TEST(CpuInfo, VendorStringsMapToManufacturers)
{
    auto code = [](const char* text) {
        uint32_t w[3];
        memcpy(w, text, 12);
        return cpuinfo::VendorCode(w[0], w[1], w[2]);
    };
    EXPECT_EQ(code("AuthenticAMD"), 1);
    EXPECT_EQ(code("GenuineIntel"), 2);
    EXPECT_EQ(code("CyrixInstead"), 3);
    EXPECT_EQ(code("CentaurHauls"), 4);
    EXPECT_EQ(code("GenuineIntex"), 0);
    EXPECT_EQ(cpuinfo::Manufacturer(code("GenuineIntel")), Intel);
    EXPECT_EQ(cpuinfo::Manufacturer(code("AuthenticAMD")), AMD);
    EXPECT_EQ(cpuinfo::Manufacturer(code("CyrixInstead")), Cyrix);
    EXPECT_EQ(cpuinfo::Manufacturer(code("CentaurHauls")), Unknown);
    EXPECT_EQ(cpuinfo::Manufacturer(0), Unknown);
}

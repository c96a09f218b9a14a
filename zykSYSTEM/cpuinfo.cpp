// The CPUID signature and vendor, the processor's classification and caps, and its clock measured over a second.
#include "cpuinfo.h"
#include <windows.h>
#include <mmsystem.h>
#include <intrin.h>
#include <cstring>

namespace cpuinfo {

bool HasCpuid()
{
    uint32_t before = 0, after = 0;
    asm volatile("pushfl\n\t"
                 "popl %%eax\n\t"
                 "movl %%eax, %0\n\t"
                 "xorl $0x200000, %%eax\n\t"
                 "pushl %%eax\n\t"
                 "popfl\n\t"
                 "pushfl\n\t"
                 "popl %%eax\n\t"
                 "movl %%eax, %1\n\t"
                 "pushl %0\n\t"
                 "popfl\n\t"
                 : "=&r"(before), "=&r"(after)
                 :
                 : "eax", "cc");
    return ((before ^ after) & 0x200000) != 0;
}

Regs Cpuid(uint32_t leaf)
{
    int r[4] = {};
    __cpuid(r, static_cast<int>(leaf));
    return Regs{static_cast<uint32_t>(r[0]), static_cast<uint32_t>(r[1]), static_cast<uint32_t>(r[2]),
                static_cast<uint32_t>(r[3])};
}

Signature ReadSignature()
{
    Signature s;
    s.cpuid = HasCpuid();
    if (!s.cpuid) return s;
    Regs leaf0 = Cpuid(0);
    s.highestBasic = leaf0.eax;
    Regs leaf1 = Cpuid(1);
    s.signature = leaf1.eax;
    s.features = leaf1.edx;
    s.highestExtended = Cpuid(0x80000000u).eax;
    if (s.highestExtended >= 0x80000001u) s.extFeatures = Cpuid(0x80000001u).edx;
    return s;
}

namespace {

bool Bits(uint32_t value, uint32_t mask) { return (value & mask) == mask; }

} // namespace

long Classify(const Signature& s, long current)
{
    constexpr uint32_t kFpu = 1u << 0, kCmov = 1u << 15, kMmx = 1u << 23, kSse = 1u << 25, k3DNow = 1u << 31;
    long result = current;
    if (s.cpuid && s.signature > 4 && Bits(s.features, kFpu)) result = 0;                       // Pentium
    if (s.cpuid && s.signature > 4 && Bits(s.features, kFpu | kMmx)) result = 1;                // PentiumMMX
    if (s.cpuid && s.signature > 5 && Bits(s.features, kFpu | kCmov)) result = 2;               // PentiumPro
    if (s.cpuid && s.signature > 5 && Bits(s.features, kFpu | kCmov | kMmx)) result = 3;        // PentiumII
    if (s.cpuid && s.signature > 5 && Bits(s.features, kFpu | kCmov | kMmx | kSse)) result = 4; // PentiumIII
    const bool amd = s.cpuid && s.signature > 4 && s.highestBasic > 0 && s.highestExtended > 0x80000000u;
    if (amd && Bits(s.extFeatures, kFpu | kMmx)) result = 5;          // AMDK6
    if (amd && Bits(s.extFeatures, kFpu | kMmx | k3DNow)) result = 6; // AMDK62
    return result;
}

long VendorCode(uint32_t ebx, uint32_t edx, uint32_t ecx)
{
    struct Vendor {
        char text[13];
        long code;
    };
    static const Vendor kVendors[] = {
        {"AuthenticAMD", 1}, {"GenuineIntel", 2}, {"CyrixInstead", 3}, {"CentaurHauls", 4}};
    for (const Vendor& v : kVendors) {
        uint32_t w[3];
        memcpy(w, v.text, 12);
        if (w[0] == ebx && w[1] == edx && w[2] == ecx) return v.code;
    }
    return 0;
}

long Manufacturer(long vendorCode)
{
    switch (vendorCode) {
    case 1: return 1;   // AMD
    case 2: return 0;   // Intel
    case 3: return 2;   // Cyrix
    default: return -1; // Unknown
    }
}

namespace {

// Detected once per process: whether CPUID exists, and the feature words.
struct Caps {
    enum State { NotRun, NoCpuid, Run } state = NotRun;
    uint32_t features = 0, extEax = 0, extEdx = 0;
};

Caps& ProcessorCaps()
{
    static Caps caps;
    if (caps.state == Caps::NotRun) {
        if (!HasCpuid()) {
            caps.state = Caps::NoCpuid;
        } else {
            caps.features = Cpuid(1).edx;
            if (Cpuid(0x80000000u).eax >= 0x80000001u) {
                Regs ext = Cpuid(0x80000001u);
                caps.extEax = ext.eax;
                caps.extEdx = ext.edx;
            }
            caps.state = Caps::Run;
        }
    }
    return caps;
}

} // namespace

long QueryProcessorCaps(long selector)
{
    const Caps& caps = ProcessorCaps();
    if (caps.state != Caps::Run) return 0;
    switch (selector) {
    case 0: {
        Regs leaf0 = Cpuid(0);
        return VendorCode(leaf0.ebx, leaf0.edx, leaf0.ecx);
    }
    case 1: return static_cast<long>(caps.features);
    case 2: return static_cast<long>(caps.extEax);
    case 3: return static_cast<long>(caps.extEdx);
    default: return 0;
    }
}

float MeasureSpeed()
{
    // Start on a timer tick, so that the interval is whole ticks of the timer.
    DWORD t0 = timeGetTime(), t1;
    do {
        t1 = timeGetTime();
    } while (t1 - t0 < 2);
    const unsigned long long start = __rdtsc();
    while (timeGetTime() - t1 <= 1000) {}
    const unsigned long long end = __rdtsc();
    // The whole 64-bit count: processors of 4.3 GHz and more count past 2^32 in a second.
    return static_cast<float>(static_cast<double>(end - start) * 1e-6);
}

} // namespace cpuinfo

// The processor's identification: what the CPUID instruction reports, and the
// classification of the processor that the CPU class reports from it.
#pragma once
#include <cstdint>

namespace cpuinfo {

// Whether the processor has the CPUID instruction (bit 21 of EFLAGS can be toggled).
bool HasCpuid();

// One CPUID leaf: EAX, EBX, ECX, EDX. Only to be run where HasCpuid() holds.
struct Regs {
    uint32_t eax = 0, ebx = 0, ecx = 0, edx = 0;
};
Regs Cpuid(uint32_t leaf);

// What the classification looks at.
struct Signature {
    bool cpuid = false;           // the instruction exists
    uint32_t signature = 0;       // leaf 1 EAX, whole
    uint32_t features = 0;        // leaf 1 EDX
    uint32_t highestBasic = 0;    // leaf 0 EAX
    uint32_t highestExtended = 0; // leaf 0x80000000 EAX
    uint32_t extFeatures = 0;     // leaf 0x80000001 EDX (0 when absent)
};
Signature ReadSignature();

// The processor type: each test that holds overwrites the result, the last one wins;
// when none holds, current is returned unchanged. Values are those of `Processors`.
long Classify(const Signature& s, long current);

// The vendor code of the twelve vendor bytes (EBX, EDX, ECX of leaf 0): 1 "AuthenticAMD",
// 2 "GenuineIntel", 3 "CyrixInstead", 4 "CentaurHauls", 0 anything else.
long VendorCode(uint32_t ebx, uint32_t edx, uint32_t ecx);
// The `Manufacturers` value of a vendor code: AMD 1, Intel 0, Cyrix 2, else Unknown -1.
long Manufacturer(long vendorCode);

// Module-wide query of processor facts; selector 0 is the vendor code. 0 without CPUID
// and for selectors it does not know.
long QueryProcessorCaps(long selector);

// Time-stamp cycles counted over a timer interval of at least 1001 ms, in millions.
float MeasureSpeed();

} // namespace cpuinfo

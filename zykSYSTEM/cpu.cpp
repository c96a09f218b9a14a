// CCPU: the processor's identification, features, speed, bus and machine type and count.
#include "cpu.h"
#include "cpuinfo.h"

void CCPU::ReadCpuidInfo()
{
    cpuinfo::Regs leaf1 = cpuinfo::Cpuid(1);
    stepping_ = leaf1.eax & 0xF;
    model_ = (leaf1.eax >> 4) & 0xF;
    family_ = (leaf1.eax >> 8) & 0xF;
    processorType_ = (leaf1.eax >> 12) & 0xF;
    mmx_ = (leaf1.edx >> 23) & 1;
    highestLeaf_ = static_cast<long>(cpuinfo::Cpuid(0).eax);
}

// The member's body runs where the processor lacks CPUID too: the instruction then
// faults, and the member boundary turns the fault into E_FAIL "Exception Raised.".
template <class T, class F>
HRESULT CCPU::Field(T* out, F&& pick)
{
    return Member([&] {
        zyk::com::CheckedOut(out);
        ReadCpuidInfo();
        *out = static_cast<T>(pick());
    });
}

HRESULT CCPU::get_CPUID(long* out)
{
    return Field(out, [&] { return highestLeaf_; });
}
HRESULT CCPU::get_Family(long* out)
{
    return Field(out, [&] { return family_; });
}
HRESULT CCPU::get_Model(long* out)
{
    return Field(out, [&] { return model_; });
}
HRESULT CCPU::get_Stepping(long* out)
{
    return Field(out, [&] { return stepping_; });
}
HRESULT CCPU::get_MMX(BOOL* out)
{
    return Field(out, [&] { return mmx_ ? 1 : 0; });
}

HRESULT CCPU::get_Type(Processors* out)
{
    return Member([&] {
        zyk::com::CheckedOut(out);
        ReadCpuidInfo();
        // A processor that passes no test leaves the caller's value as it was.
        *out = static_cast<Processors>(cpuinfo::Classify(cpuinfo::ReadSignature(), *out));
    });
}

HRESULT CCPU::get_AMD3DNow(BOOL* out)
{
    return Member([&] {
        zyk::com::CheckedOut(out);
        *out = 0;
        if (cpuinfo::Cpuid(0x80000000u).eax >= 0x80000001u) *out = (cpuinfo::Cpuid(0x80000001u).edx >> 31) & 1;
    });
}

HRESULT CCPU::get_Vendor(Manufacturers* out)
{
    return Member([&] {
        zyk::com::CheckedOut(out);
        *out = static_cast<Manufacturers>(cpuinfo::Manufacturer(cpuinfo::QueryProcessorCaps(0)));
    });
}

HRESULT CCPU::get_Speed(float* out)
{
    return Member([&] {
        if (!out) return E_POINTER;
        *out = cpuinfo::MeasureSpeed();
        return S_OK;
    });
}

HRESULT CCPU::get_BusType(BSTR* out)
{
    return Member([&] { sys::ReturnText(sys::ReadMachineText(sys::kPnpKey, "BusType"), out); });
}

HRESULT CCPU::get_MachineType(BSTR* out)
{
    return Member([&] { sys::ReturnText(sys::ReadMachineText(sys::kPnpKey, "MachineType"), out); });
}

HRESULT CCPU::get_ProcessorCount(long* out)
{
    return Member([&] {
        SYSTEM_INFO info{};
        GetSystemInfo(&info);
        return zyk::com::CopyOut(static_cast<long>(info.dwNumberOfProcessors), out);
    });
}

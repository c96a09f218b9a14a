// CCPU: the processor.
#pragma once
#include "system.h"

// The processor: its identification through CPUID, its clock measured against the
// multimedia timer, and the bus and machine type from the registry. Read afresh on every
// call. Also an ActiveX control that shows an icon.
class CCPU : public sys::Control<ICPU, &IID_ICPU, &CLSID_CPU, &DIID__ICPUEvents> {
public:
    HRESULT STDMETHODCALLTYPE get_AMD3DNow(BOOL* out) override;
    HRESULT STDMETHODCALLTYPE get_CPUID(long* out) override;
    HRESULT STDMETHODCALLTYPE get_Family(long* out) override;
    HRESULT STDMETHODCALLTYPE get_Speed(float* out) override;
    HRESULT STDMETHODCALLTYPE get_MMX(BOOL* out) override;
    HRESULT STDMETHODCALLTYPE get_Model(long* out) override;
    HRESULT STDMETHODCALLTYPE get_Stepping(long* out) override;
    HRESULT STDMETHODCALLTYPE get_Type(Processors* out) override;
    HRESULT STDMETHODCALLTYPE get_Vendor(Manufacturers* out) override;
    HRESULT STDMETHODCALLTYPE get_BusType(BSTR* out) override;
    HRESULT STDMETHODCALLTYPE get_MachineType(BSTR* out) override;
    HRESULT STDMETHODCALLTYPE get_ProcessorCount(long* out) override;

private:
    // Leaf 1 split into its fields, leaf 0's highest basic leaf; faults without CPUID.
    void ReadCpuidInfo();
    // Runs a member that reads one field after ReadCpuidInfo.
    template <class T, class F>
    HRESULT Field(T* out, F&& pick);

    long stepping_ = 0, model_ = 0, family_ = 0, processorType_ = 0, highestLeaf_ = 0;
    short mmx_ = 0;
};

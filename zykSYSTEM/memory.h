// CMemory: the memory figures of the machine.
#pragma once
#include "system.h"

// Memory figures of the machine in bytes, read afresh on every call, as signed 32-bit
// values: a figure of 2 GB or more reads 0x7FFFFFFF. Also an ActiveX control that shows
// an icon.
class CMemory : public sys::Control<IMemory, &IID_IMemory, &CLSID_Memory, &DIID__IMemoryEvents> {
public:
    HRESULT STDMETHODCALLTYPE get_FreePageFile(long* out) override
    {
        return Read(out, &MEMORYSTATUSEX::ullAvailPageFile);
    }
    HRESULT STDMETHODCALLTYPE get_FreePhysical(long* out) override { return Read(out, &MEMORYSTATUSEX::ullAvailPhys); }
    HRESULT STDMETHODCALLTYPE get_FreeVirtual(long* out) override
    {
        return Read(out, &MEMORYSTATUSEX::ullAvailVirtual);
    }
    HRESULT STDMETHODCALLTYPE get_TotalPageFile(long* out) override
    {
        return Read(out, &MEMORYSTATUSEX::ullTotalPageFile);
    }
    HRESULT STDMETHODCALLTYPE get_TotalPhysical(long* out) override { return Read(out, &MEMORYSTATUSEX::ullTotalPhys); }
    HRESULT STDMETHODCALLTYPE get_TotalVirtual(long* out) override
    {
        return Read(out, &MEMORYSTATUSEX::ullTotalVirtual);
    }

private:
    HRESULT Read(long* out, DWORDLONG MEMORYSTATUSEX::*field);

    MEMORYSTATUSEX status_{};
};

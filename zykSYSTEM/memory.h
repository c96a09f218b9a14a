#pragma once
#include "system.h"

// Memory figures of the machine in bytes, as signed 32-bit values, read afresh on every
// call. Also an ActiveX control that shows an icon.
class CMemory : public sys::Control<CMemory, IMemory, &IID_IMemory, &CLSID_Memory, &DIID__IMemoryEvents> {
public:
    HRESULT STDMETHODCALLTYPE get_FreePageFile(long* out) override { return Read(out, &MEMORYSTATUS::dwAvailPageFile); }
    HRESULT STDMETHODCALLTYPE get_FreePhysical(long* out) override { return Read(out, &MEMORYSTATUS::dwAvailPhys); }
    HRESULT STDMETHODCALLTYPE get_FreeVirtual(long* out) override { return Read(out, &MEMORYSTATUS::dwAvailVirtual); }
    HRESULT STDMETHODCALLTYPE get_TotalPageFile(long* out) override { return Read(out, &MEMORYSTATUS::dwTotalPageFile); }
    HRESULT STDMETHODCALLTYPE get_TotalPhysical(long* out) override { return Read(out, &MEMORYSTATUS::dwTotalPhys); }
    HRESULT STDMETHODCALLTYPE get_TotalVirtual(long* out) override { return Read(out, &MEMORYSTATUS::dwTotalVirtual); }

private:
    HRESULT Read(long* out, SIZE_T MEMORYSTATUS::*field);

    MEMORYSTATUS status_{};
};

// CDeviceCaps: the bit-depth capabilities of a device.
#pragma once
#include "zyk3D.h"
#include "com/create.h"
#include "com/object.h"
#include "com/tie.h"
#include <d3d.h>

// Two capability questions about a device: the bit depths it renders at and the bit
// depths of the z-buffers it takes. Read afresh from the device on every call.
class CDeviceCaps : public zyk::com::CoClass<IDeviceCaps, &IID_IDeviceCaps, &CLSID_DeviceCaps> {
public:
    ~CDeviceCaps() override;

    HRESULT STDMETHODCALLTYPE put_Device(long device) override;
    HRESULT STDMETHODCALLTYPE get_Depth(BitDepths* out) override;
    HRESULT STDMETHODCALLTYPE get_ZBufferDepth(BitDepths* out) override;

private:
    // Fills desc_ from the device; false after recording why it could not.
    bool Query();
    HRESULT Depth(DWORD D3DDEVICEDESC7::*field, const char* failed, BitDepths* out);

    zyk::com::Apartment apartment_;
    D3DDEVICEDESC7 desc_{};
    // The device Device3D handed down, not referenced; void once the caps are let go.
    zyk::com::Handed<IDirect3DDevice7> device_{OwnTie()};
};

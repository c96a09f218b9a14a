// CDeviceCaps: the render and z-buffer bit depths, asked of the device's description.
#include "com/ptr.h"
#include "devicecaps.h"
#include "com/create.h"
#include "errormaps.h"
#include "checks.h"
#include "com/failure.h"
#include "com/trace.h"

CDeviceCaps::~CDeviceCaps() { device_.Reset(); }

HRESULT CDeviceCaps::put_Device(long device)
{
    return Member([&] { device_.Take(device); });
}

bool CDeviceCaps::Query()
{
    HRESULT hr = Member([&] {
        if (!device_) throw failure(E_POINTER, "Device Not Initialised.");
        HRESULT got = device_->GetCaps(&desc_);
        if (FAILED(got)) {
            ZYK_TRACE("GetCaps Failed. (Error Code=%lx).\n", static_cast<unsigned long>(got));
            throw failure(got, "GetCaps Function Failed.");
        }
    });
    return SUCCEEDED(hr);
}

// The getters report a device that cannot answer by their own text, in place of the
// reason Query recorded.
HRESULT CDeviceCaps::Depth(DWORD D3DDEVICEDESC7::*field, const char* failed, BitDepths* out)
{
    return Member([&] {
        RequireOut(out);
        if (!Query()) throw failure(E_FAIL, failed);
        *out = static_cast<BitDepths>(desc_.*field);
    });
}

HRESULT CDeviceCaps::get_Depth(BitDepths* out)
{
    return Depth(&D3DDEVICEDESC7::dwDeviceRenderBitDepth, "Failed to obtain Render Depth.", out);
}

HRESULT CDeviceCaps::get_ZBufferDepth(BitDepths* out)
{
    return Depth(&D3DDEVICEDESC7::dwDeviceZBufferBitDepth, "Failed to obtain Z-Buffer Depth.", out);
}

// CHardware: the adapter identified from its driver's identifier and the table of vendors.
#include "hardware.h"

namespace {

struct Vendor {
    DWORD id;
    const wchar_t* name;
    DWORD device; // 0: no device names
    const wchar_t* deviceName;
};

const Vendor kVendors[] = {
    {0x1002, L"ATI Technologies", 0x4742, L"Rage Pro"},
    {0x102C, L"Chips and Tech.", 0x00E4, L"65548 PCI"},
    {0x104C, L"Creative Labs", 0x3D07, L"Graphics Blaster Exxtreme"},
    {0x10DE, L"nVidia", 0x0101, L"GeForce DDR"},
    {0x121A, L"3Dfx Interactive", 0x0002, L"Voodoo 2 3D Accelerator"},
    {0x4147, L"Videologic", 0, nullptr},
};

const Vendor* FindVendor(DWORD id)
{
    for (const Vendor& v : kVendors)
        if (v.id == id) return &v;
    return nullptr;
}

HRESULT Number(VARIANT* out, DWORD value)
{
    if (!out) return E_POINTER;
    VariantInit(out);
    V_VT(out) = VT_I4;
    V_I4(out) = static_cast<LONG>(value);
    return S_OK;
}

HRESULT Text(VARIANT* out, const wchar_t* text)
{
    if (!out) return E_POINTER;
    VariantInit(out);
    V_VT(out) = VT_BSTR;
    V_BSTR(out) = SysAllocString(text);
    return V_BSTR(out) ? S_OK : E_OUTOFMEMORY;
}

} // namespace

HRESULT CHardware::put_DD(long dd)
{
    return Member([&] {
        dd_.Hold(dd);
        try {
            Identify();
        } catch (const failure&) {
            throw failure(E_FAIL, "Unable to Identify Device.");
        }
    });
}

void CHardware::Identify()
{
    driver_ = zyk::com::Bstr();
    whqlLevel_ = revision_ = subSysId_ = deviceId_ = vendorId_ = 0;
    if (!dd_) throw failure(E_POINTER, "DirectDraw Not Initialised.");
    DDDEVICEIDENTIFIER2 id{};
    HRESULT hr = dd_->GetDeviceIdentifier(&id, DDGDI_GETHOSTIDENTIFIER);
    if (FAILED(hr)) throw failure(hr, "GetDeviceIdentifier Function Failed.");
    deviceId_ = id.dwDeviceId;
    vendorId_ = id.dwVendorId;
    subSysId_ = id.dwSubSysId;
    revision_ = id.dwRevision;
    whqlLevel_ = id.dwWHQLLevel;
    id.szDriver[sizeof id.szDriver - 1] = 0;
    driver_ = zyk::com::Bstr::FromAnsi(id.szDriver);
}

HRESULT CHardware::get_Board(VARIANT* out)
{
    return Member([&] { return Number(out, subSysId_); });
}

HRESULT CHardware::get_Manufacturer(VARIANT* out)
{
    return Member([&] {
        const Vendor* v = FindVendor(vendorId_);
        return v ? Text(out, v->name) : Number(out, vendorId_);
    });
}

HRESULT CHardware::get_Device(VARIANT* out)
{
    return Member([&] {
        const Vendor* v = FindVendor(vendorId_);
        if (v && v->deviceName && v->device == deviceId_) return Text(out, v->deviceName);
        return Number(out, deviceId_);
    });
}

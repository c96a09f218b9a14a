// CBIOS: the BIOS name, version and date read from the registry.
#include "bios.h"

HRESULT CBIOS::get_Name(BSTR* out)
{
    return Member([&] { sys::ReturnText(sys::ReadMachineText(sys::kPnpKey, "BIOSName"), out); });
}

HRESULT CBIOS::get_Version(BSTR* out)
{
    return Member([&] { sys::ReturnText(sys::ReadMachineText(sys::kPnpKey, "BIOSVersion"), out); });
}

// A date when the text reads as one, else the text itself.
HRESULT CBIOS::get_Date(VARIANT* out)
{
    return Member([&] {
        zyk::com::CheckedOut(out);
        VariantInit(out);
        BSTR text = nullptr;
        sys::ReturnText(sys::ReadMachineText(sys::kPnpKey, "BIOSDate"), &text);
        V_VT(out) = VT_BSTR;
        V_BSTR(out) = text;
        VariantChangeType(out, out, 0, VT_DATE);
    });
}

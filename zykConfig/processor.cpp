// The processor's vendor and speed, from the system-information server.
#include "analysis.h"
#include "applet.h"
#include "resource.h"
#include <cstdio>
#include "com/serverbinding.h"
namespace sys {
#include "zykSYSTEM.h"
}

namespace {

const char* VendorName(sys::Manufacturers vendor)
{
    switch (vendor) {
    case sys::Intel: return "Intel";
    case sys::AMD: return "AMD";
    case sys::Cyrix: return "Cyrix";
    default: return "Unknown";
    }
}

} // namespace

BOOL ShowProcessorInfo(HWND dialog)
{
    sys::ICPU* cpu = nullptr;
    if (FAILED(CoCreateInstance(sys::CLSID_CPU, nullptr, CLSCTX_INPROC_SERVER, sys::IID_ICPU,
                                reinterpret_cast<void**>(&cpu)))) {
        SetDlgItemTextA(dialog, IDC_VENDOR, "Unavailable");
        SetDlgItemTextA(dialog, IDC_SPEED, "Unavailable");
        return FALSE;
    }
    auto vendor = static_cast<sys::Manufacturers>(-1);
    cpu->get_Vendor(&vendor);
    SetDlgItemTextA(dialog, IDC_VENDOR, VendorName(vendor));

    float speed = 0;
    cpu->get_Speed(&speed);
    char text[kTextSize];
    std::snprintf(text, sizeof text, "%.4g MHz", static_cast<double>(speed));
    SetDlgItemTextA(dialog, IDC_SPEED, text);
    cpu->Release();
    return TRUE;
}

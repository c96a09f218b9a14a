// The processor's vendor and speed, from the system-information server.
#include "analysis.h"
#include "applet.h"
#include "resource.h"
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
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

// The speed with four significant digits and " MHz", written out in full (12345.6 is
// "12350 MHz", never "1.235e+04 MHz"); "Unknown" when it is not a finite number.
void SpeedText(float speed, char (&text)[kTextSize])
{
    if (!std::isfinite(speed)) {
        lstrcpynA(text, "Unknown", kTextSize);
        return;
    }
    std::snprintf(text, kTextSize, "%.4g", static_cast<double>(speed));
    if (std::strchr(text, 'e')) {
        // The rounded value again, with as many decimals as four significant digits need.
        const double rounded = std::strtod(text, nullptr);
        const int exponent = static_cast<int>(std::floor(std::log10(std::fabs(rounded))));
        std::snprintf(text, kTextSize, "%.*f", exponent < 3 ? 3 - exponent : 0, rounded);
    }
    lstrcatA(text, " MHz");
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
    SpeedText(speed, text);
    SetDlgItemTextA(dialog, IDC_SPEED, text);
    cpu->Release();
    return TRUE;
}

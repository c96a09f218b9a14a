// The zykSYSTEM server: its object map and exports.
#include "zykSYSTEM.h"
#include "com/module.h"
#include "com/object.h"
#include "bios.h"
#include "ce.h"
#include "cpu.h"
#include "drive.h"
#include "drives.h"
#include "memory.h"
#include "os.h"
#include "osversion.h"
#include "proppage.h"

namespace {

using zyk::com::Creator;
using zyk::com::ObjectEntry;

// Registration runs the scripts in this order and stops at the first that fails.
const ObjectEntry kObjectMap[] = {
    {&CLSID_Memory, 102, &Creator<CMemory>, true, L"ZYKSystem.Memory.1"},
    {&CLSID_CPU, 104, &Creator<CCPU>, true, L"ZYKSystem.CPU.1"},
    {&CLSID_PropPage, 108, &Creator<CPropPage>, true, L"ZYKSystem.PropPage.1"},
    {&CLSID_OS, 111, &Creator<COS>, true, L"ZYKSystem.OS.1"},
    {&CLSID_OSVersion, 113, &Creator<COSVersion>, true, L"ZYKSystem.OSVersion.1"},
    {&CLSID_Drives, 115, &Creator<CDrives>, true, L"ZYKSystem.Drives.1"},
    {&CLSID_Drive, 117, &Creator<CDrive>, true, L"ZYKSystem.Drive.1"},
    {&CLSID_BIOS, 118, &Creator<CBIOS>, true, L"ZYKSystem.BIOS.1"},
    {&CLSID_CE, 119, &Creator<CCE>, true, L"ZYKSystem.CE.1"},
};

} // namespace

ZYK_SERVER_EXPORTS(kObjectMap, LIBID_ZYKSYSTEMLib, nullptr)

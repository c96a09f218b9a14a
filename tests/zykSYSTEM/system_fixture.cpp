#include "system_fixture.h"
#include <shlwapi.h>

namespace sys_test {

std::wstring Take(BSTR s)
{
    std::wstring text(s ? s : L"", s ? SysStringLen(s) : 0);
    SysFreeString(s);
    return text;
}

MachineValue::MachineValue(const char* key, const char* name, const std::string& data, DWORD type)
    : key_(key), name_(name)
{
    HKEY k = nullptr;
    EXPECT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, key, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, nullptr),
              ERROR_SUCCESS);
    if (!k) return;
    const size_t size = type == REG_SZ ? data.size() + 1 : data.size();
    EXPECT_EQ(RegSetValueExA(k, name, 0, type, reinterpret_cast<const BYTE*>(data.c_str()), static_cast<DWORD>(size)),
              ERROR_SUCCESS);
    RegCloseKey(k);
}

MachineValue::~MachineValue()
{
    HKEY k = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key_.c_str(), 0, KEY_ALL_ACCESS, &k) == ERROR_SUCCESS) {
        RegDeleteValueA(k, name_.c_str());
        RegCloseKey(k);
    }
}

void DeleteMachineKey(const char* key) { SHDeleteKeyA(HKEY_LOCAL_MACHINE, key); }

} // namespace sys_test

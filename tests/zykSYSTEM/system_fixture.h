// Shared helpers of the system-information tests.
#pragma once
#include "testkit.h"
#include "zykSYSTEM.h"
#include <string>

namespace sys_test {

// An object of the server by ProgID, through its interface.
template <class T>
T* New(const wchar_t* progId, REFIID iid)
{
    return testkit::Create<T>(progId, iid);
}

// A BSTR result taken over as a wide string (freed).
std::wstring Take(BSTR s);

// A string value under HKEY_LOCAL_MACHINE that lives for the scope; the key (and the
// keys above it that the scope made) are removed at its end.
class MachineValue {
public:
    MachineValue(const char* key, const char* name, const std::string& data, DWORD type = REG_SZ);
    ~MachineValue();

private:
    std::string key_, name_;
};

// Removes a key of HKEY_LOCAL_MACHINE and everything under it.
void DeleteMachineKey(const char* key);

} // namespace sys_test

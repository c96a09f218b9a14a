// failure: the HRESULT and client text of an error record, and its report as COM error information.
#include "failure.h"
#include "error.h"
#include "module.h"
#include "ptr.h"
#include <string>

namespace {

BSTR Copy(BSTR s) { return s ? SysAllocStringLen(s, SysStringLen(s)) : nullptr; }

} // namespace

failure::failure(HRESULT hr, const char* text) : result_(hr), description_(nullptr)
{
    std::string full;
    char* system = nullptr;
    DWORD n =
        FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_FROM_SYSTEM,
                       nullptr, static_cast<DWORD>(hr), MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
                       reinterpret_cast<char*>(&system), 0, nullptr);
    if (n && system) full.assign(system, n);
    if (system) LocalFree(system);
    full += text ? text : "";
    description_ = zyk::com::AnsiToBstr(full.c_str());
}

failure::failure(HRESULT hr, UINT id) : result_(hr), description_(nullptr)
{
    char text[512] = {};
    if (LoadStringA(zyk::com::ThisModule().Instance(), id, text, sizeof text) <= 0) text[0] = 0;
    description_ = zyk::com::AnsiToBstr(text);
}

failure::failure(const failure& other) : result_(other.result_), description_(Copy(other.description_)) {}

failure& failure::operator=(const failure& other)
{
    if (this != &other) {
        BSTR d = Copy(other.description_);
        SysFreeString(description_);
        description_ = d;
        result_ = other.result_;
    }
    return *this;
}

failure::~failure() { SysFreeString(description_); }

HRESULT failure::Report(const CLSID& clsid, const IID& iid) const
{
    return zyk::com::PublishError(clsid, iid, Description(), result_);
}

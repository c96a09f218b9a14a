// COS: the Windows, system, temporary and common folders, names, registration texts and Version.
#include "os.h"
#include <vector>

namespace {

const char kWindowsKey[] = "Software\\Microsoft\\Windows\\CurrentVersion";

// The text that fn(buffer, size) writes, grown until it fits; fn returns the length
// written, or the size needed when the buffer is too small, or 0 on failure.
template <class F>
std::string FolderText(F&& fn)
{
    std::vector<char> buffer(MAX_PATH, 0);
    for (;;) {
        DWORD n = fn(buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n == 0) return std::string();
        if (n < buffer.size()) return std::string(buffer.data(), n);
        buffer.assign(n + 1, 0);
    }
}

// The name that read (GetComputerNameA, GetUserNameA) writes, handed to the client.
void ReturnName(BSTR* out, BOOL(WINAPI* read)(char*, DWORD*), const char* failed)
{
    *zyk::com::CheckedOut(out) = nullptr;
    char buffer[256] = {};
    DWORD size = sizeof buffer;
    if (!read(buffer, &size)) throw failure(E_FAIL, failed);
    sys::ReturnText(buffer, out);
}

} // namespace

COS::COS()
{
    if (FAILED(apartment_.Result())) failure(apartment_.Result(), "Unable to Initialise COM.").Report(ClsId(), Iid());
    void* made = nullptr;
    HRESULT hr = CoCreateInstance(CLSID_OSVersion, nullptr, CLSCTX_INPROC_SERVER, IID_IOSVersion, &made);
    if (SUCCEEDED(hr) && made)
        version_ = zyk::com::Ptr<IOSVersion>::Adopt(static_cast<IOSVersion*>(made));
    else
        failure(FAILED(hr) ? hr : E_FAIL, "Unable to Create Version Interface.").Report(ClsId(), Iid());
}

COS::~COS() { version_.Reset(); }

template <class F>
HRESULT COS::Folder(BSTR* out, zyk::com::Bstr& cache, F&& fn)
{
    return Member([&] {
        *zyk::com::CheckedOut(out) = nullptr;
        std::string text;
        try {
            text = FolderText(fn);
        } catch (const std::bad_alloc&) {
            throw failure(E_OUTOFMEMORY, static_cast<UINT>(IDS_OUT_OF_MEMORY));
        }
        cache = zyk::com::Bstr::FromAnsi(text.c_str());
        if (FAILED(cache.CopyTo(out))) throw failure(E_OUTOFMEMORY, static_cast<UINT>(IDS_OUT_OF_MEMORY));
    });
}

HRESULT COS::get_WinDir(BSTR* out)
{
    return Folder(out, winDir_, [](char* b, DWORD n) { return static_cast<DWORD>(GetWindowsDirectoryA(b, n)); });
}

HRESULT COS::get_SysDir(BSTR* out)
{
    return Folder(out, otherDir_, [](char* b, DWORD n) { return static_cast<DWORD>(GetSystemDirectoryA(b, n)); });
}

HRESULT COS::get_TempDir(BSTR* out)
{
    return Folder(out, otherDir_, [](char* b, DWORD n) { return GetTempPathA(n, b); });
}

HRESULT COS::get_ComputerName(BSTR* out)
{
    return Member([&] { ReturnName(out, &GetComputerNameA, "Unable to obtain Computer Name."); });
}

HRESULT COS::get_User(BSTR* out)
{
    return Member([&] { ReturnName(out, &GetUserNameA, "Failed to obtain User Name."); });
}

HRESULT COS::get_Version(IDispatch** out)
{
    return Member([&] { zyk::com::HandOut(version_, out, "Failed to obtain Version Interface."); });
}

HRESULT COS::get_RegOwner(BSTR* out)
{
    return Member([&] { sys::ReturnText(sys::ReadMachineText(kWindowsKey, "RegisteredOwner"), out); });
}

HRESULT COS::get_RegOrganisation(BSTR* out)
{
    return Member([&] { sys::ReturnText(sys::ReadMachineText(kWindowsKey, "RegisteredOrganization"), out); });
}

HRESULT COS::get_CommonDir(BSTR* out)
{
    return Member([&] { sys::ReturnText(sys::ReadMachineText(kWindowsKey, "CommonFilesDir"), out); });
}

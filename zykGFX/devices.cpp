// CGfxDevices: one Device filed for each DirectDraw driver, Version, Machine, and the control's icon.
#include "devices.h"
#include "com/create.h"
#include "com/trace.h"
#include "resource.h"

using zyk::com::Bstr;
using zyk::com::Ptr;

namespace {

using DirectDrawEnumerateExFn = HRESULT(WINAPI*)(LPDDENUMCALLBACKEXA, void*, DWORD);

} // namespace

CGfxDevices::CGfxDevices()
{
    void* version = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_Version, nullptr, CLSCTX_INPROC_SERVER, IID_IVersion, &version)) && version)
        version_ = Ptr<IVersion>::Adopt(static_cast<IVersion*>(version));
    icon_ = static_cast<HICON>(LoadImageW(zyk::com::ThisModule().Instance(), MAKEINTRESOURCEW(IDI_DEVICES), IMAGE_ICON,
                                          32, 32, LR_DEFAULTCOLOR));
    Member([&] { EnumerateDevices(); });
}

CGfxDevices::~CGfxDevices()
{
    zyk::com::DebugOut("ZYK: (INFO) Device Clean Up.\n");
    items_.Clear();
    version_.Reset();
    if (icon_) DestroyIcon(icon_);
}

void CGfxDevices::EnumerateDevices()
{
    HMODULE ddraw = LoadLibraryA("ddraw.dll");
    if (!ddraw) throw failure(E_FAIL, "DDRAW.DLL Not Found.");
    HRESULT hr;
    if (auto enumerateEx = reinterpret_cast<DirectDrawEnumerateExFn>(GetProcAddress(ddraw, "DirectDrawEnumerateExA"))) {
        hr = enumerateEx(&DDEnumCallbackEx, this, DDENUM_ATTACHEDSECONDARYDEVICES | DDENUM_NONDISPLAYDEVICES);
    } else {
        hr = DirectDrawEnumerateA(&DDEnumCallback, this);
    }
    FreeLibrary(ddraw);
    if (FAILED(hr)) throw failure(hr, "Direct Draw Enumerate Failed.");
}

BOOL WINAPI CGfxDevices::DDEnumCallback(GUID* guid, LPSTR description, LPSTR name, void* context)
{
    return DDEnumCallbackEx(guid, description, name, context, nullptr);
}

BOOL WINAPI CGfxDevices::DDEnumCallbackEx(GUID* guid, LPSTR description, LPSTR name, void* context, HMONITOR)
{
    auto* self = static_cast<CGfxDevices*>(context);
    void* made = nullptr;
    if (FAILED(CoCreateInstance(CLSID_Device, nullptr, CLSCTX_INPROC_SERVER, IID_IDevice, &made)) || !made)
        return FALSE;
    Ptr<IDevice> device = Ptr<IDevice>::Adopt(static_cast<IDevice*>(made));
    Bstr key = Bstr::FromAnsi(name);
    Bstr text = Bstr::FromAnsi(description);
    device->put_Name(key.Get());
    device->put_Description(text.Get());
    device->put_GUID(guid ? zyk::com::ToHandle(guid) : 0);
    try {
        self->items_.Put(key.Get(), device.Get());
    } catch (...) {
        return FALSE;
    }
    return TRUE;
}

HRESULT CGfxDevices::get_Version(IDispatch** out)
{
    return Member([&] { zyk::com::HandOut(version_, out, "Version Not Initialised."); });
}

HRESULT CGfxDevices::put_Machine(BSTR name)
{
    return Member([&]() -> HRESULT {
        HRESULT hr = machine_.Assign(name);
        if (FAILED(hr)) return hr;
        items_.ForEach([&](const std::wstring&, IDevice* device) { device->put_Machine(machine_.Get()); });
        return S_OK;
    });
}

// The icon at the top-left of the container's rectangle, in a 32 x 32 area of its own.
HRESULT CGfxDevices::OnDraw(HDC dc, const RECT& bounds)
{
    RECT area = bounds;
    if (icon_) DrawIcon(dc, area.left, area.top, icon_);
    area.right = area.left + 32;
    area.bottom = area.top + 32;
    return S_OK;
}

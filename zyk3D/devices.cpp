// CDevices: the Direct3D interface taken from DirectDraw, and one Device3D filed for each D3DX device.
#include "devices.h"
#include "com/create.h"
#include "d3dx.h"
#include "errormaps.h"
#include "com/failure.h"
#include "com/ptr.h"
#include "com/trace.h"
#include <ddraw.h>

using zyk::com::Bstr;
using zyk::com::Ptr;

namespace {

// The two creation entry points of ddraw.dll, both taken from the library at run time so
// that a machine without it gets the list's own failure instead of a server that does not
// load.
using CreateEx = HRESULT(WINAPI*)(GUID*, void**, REFIID, IUnknown*);
using Create = HRESULT(WINAPI*)(GUID*, IDirectDraw**, IUnknown*);

} // namespace

CDevices::CDevices() : Collection(TiesNone)
{
    if (FAILED(Member([&] { LoadDirect3D(); }))) {
        failure(E_FAIL, "Failed to Initialised Direct3D.").Report(CLSID_Devices, IID_IDevices);
        return;
    }
    Member([&] { FileAdapters(); });
    ReleaseDirect3D();
}

CDevices::~CDevices()
{
    items_.Clear();
    ReleaseDirect3D();
}

void CDevices::ReleaseDirect3D() { d3d_.Reset(); }

// DirectDraw from the library loaded by name (the library stays loaded), and the
// Direct3D interface of its object.
void CDevices::LoadDirect3D()
{
    ZYK_TRACE("Loading DirectDraw --> ");
    HMODULE ddraw = LoadLibraryA("ddraw.dll");
    if (!ddraw) {
        ZYK_TRACE("Failed.\n");
        throw failure(E_FAIL, IDS_NODDRAW);
    }
    ZYK_TRACE("Succeeded.\n");

    Ptr<IUnknown> dd;
    HRESULT hr = E_FAIL;
    if (auto createEx = reinterpret_cast<CreateEx>(GetProcAddress(ddraw, "DirectDrawCreateEx"))) {
        hr = createEx(nullptr, reinterpret_cast<void**>(dd.Out()), IID_IDirectDraw7, nullptr);
    } else if (auto create = reinterpret_cast<Create>(GetProcAddress(ddraw, "DirectDrawCreate"))) {
        hr = create(nullptr, reinterpret_cast<IDirectDraw**>(dd.Out()), nullptr);
    }
    if (FAILED(hr) || !dd) throw failure(FAILED(hr) ? hr : E_FAIL, "Failed to Initialise DirectDraw.");

    hr = dd->QueryInterface(IID_IDirect3D7, reinterpret_cast<void**>(d3d_.Out()));
    if (FAILED(hr) || !d3d_) {
        d3d_.Detach(); // a refused query gives no reference
        throw failure(FAILED(hr) ? hr : E_NOINTERFACE, "Failed to Find a 3D Interface.");
    }
}

// One Device3D per D3DX device. D3DX stays started for the life of the process, so that
// Level works on the listed devices.
void CDevices::FileAdapters()
{
    ZYK_TRACE("Initialising Direct3DX --> ");
    HRESULT hr = D3DXInitialize();
    if (FAILED(hr)) {
        ZYK_TRACE("Failed. (Error Code=%lx)\n", static_cast<unsigned long>(hr));
        throw failure(hr, "Failed to Initialise Direct3DX.");
    }
    ZYK_TRACE("Succeeded.\n");

    DWORD count = D3DXGetDeviceCount();
    ZYK_TRACE("Number of Devices detected: %lu\n", static_cast<unsigned long>(count));
    for (DWORD i = 0; i < count; ++i) {
        D3DX_DEVICEDESC desc{};
        // A device D3DX cannot describe would be filed nameless as device 0: skip it.
        if (FAILED(D3DXGetDeviceDescription(i, &desc))) continue;
        Ptr<IDevice3D> device =
            Ptr<IDevice3D>::Adopt(reinterpret_cast<IDevice3D*>(CreateComObject(CLSID_Device3D, IID_IDevice3D)));
        if (!device) continue;
        device->put_GUID(static_cast<long>(reinterpret_cast<LONG_PTR>(&desc.d3dDeviceID)));
        desc.driverDesc[sizeof desc.driverDesc - 1] = 0;
        ZYK_TRACE("Device: '%s'\n", desc.driverDesc);
        Bstr name = Bstr::FromAnsi(desc.driverDesc);
        if (!name.Get()) throw failure(E_OUTOFMEMORY, IDS_OUTOFMEMORY);
        device->put_Name(name.Get());
        device->put_Index(static_cast<long>(desc.deviceIndex));
        items_.Put(name.Get(), device.Get());
    }
}

#pragma once
#include "zyk3D.h"
#include "com/collection.h"
#include "com/object.h"
#include <d3d.h>

// The 3D adapters that D3DX reports: one Device3D per adapter, not initialised, filed
// under the adapter's driver description. Filled once, when the list is made.
class CDevices : public zyk::com::CoClass<CDevices, IDevices, &IID_IDevices, &CLSID_Devices> {
public:
    CDevices();
    ~CDevices() override;

    HRESULT STDMETHODCALLTYPE get__NewEnum(IUnknown** out) override { return items_.NewEnum(out); }
    HRESULT STDMETHODCALLTYPE Item(VARIANT index, VARIANT* out) override { return items_.Item(index, out); }
    HRESULT STDMETHODCALLTYPE get_Count(long* out) override { return items_.GetCount(out); }

private:
    void LoadDirect3D();
    void FileAdapters();
    void ReleaseDirect3D();

    bool comInitialised_ = false;
    zyk::com::NamedMap<IDevice3D> items_;
    IDirect3D7* d3d_ = nullptr;   // held only while the adapters are listed
};

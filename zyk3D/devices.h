// CDevices: the collection of the machine's 3D adapters.
#pragma once
#include "zyk3D.h"
#include "com/collection.h"
#include "com/create.h"
#include "com/object.h"
#include "com/ptr.h"
#include <d3d.h>

// The 3D adapters that D3DX reports: one Device3D per adapter, not initialised, filed
// under the adapter's driver description. Filled once, when the list is made. Each
// Device3D stands on its own: one a client took from the list goes on working after the
// list is gone.
class CDevices : public zyk::com::Collection<IDevices, &IID_IDevices, &CLSID_Devices, IDevice3D> {
public:
    CDevices();
    ~CDevices() override;

private:
    void LoadDirect3D();
    void FileAdapters();
    void ReleaseDirect3D();

    zyk::com::Apartment apartment_;
    zyk::com::Ptr<IDirect3D7> d3d_; // held only while the adapters are listed
};

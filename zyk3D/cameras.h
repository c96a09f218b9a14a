// CCameras: the collection of a device's cameras.
#pragma once
#include "zyk3D.h"
#include "com/collection.h"
#include "com/create.h"
#include "com/object.h"
#include "com/tie.h"
#include <d3d.h>

// The cameras of a device, filed by the name given to Add.
class CCameras : public zyk::com::Collection<ICameras, &IID_ICameras, &CLSID_Cameras, ICamera> {
public:
    ~CCameras() override;

    HRESULT STDMETHODCALLTYPE get_Add(BSTR name, IDispatch** out) override;
    HRESULT STDMETHODCALLTYPE put_Device(long device) override
    {
        return Member([&] { device_.Take(device); });
    }
    HRESULT STDMETHODCALLTYPE Load(long f) override;
    HRESULT STDMETHODCALLTYPE Save(long f) override;

private:
    zyk::com::Apartment apartment_;
    // The device, handed to every camera Add makes; void once the collection is let go.
    zyk::com::Handed<IDirect3DDevice7> device_{OwnTie()};
};

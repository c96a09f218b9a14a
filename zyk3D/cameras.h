#pragma once
#include "zyk3D.h"
#include "com/collection.h"
#include "com/object.h"

// The cameras of a device, filed by the name given to Add.
class CCameras : public zyk::com::CoClass<CCameras, ICameras, &IID_ICameras, &CLSID_Cameras> {
public:
    CCameras();
    ~CCameras() override;

    HRESULT STDMETHODCALLTYPE get__NewEnum(IUnknown** out) override { return items_.NewEnum(out); }
    HRESULT STDMETHODCALLTYPE Item(VARIANT index, VARIANT* out) override { return items_.Item(index, out); }
    HRESULT STDMETHODCALLTYPE get_Add(BSTR name, IDispatch** out) override;
    HRESULT STDMETHODCALLTYPE Remove(VARIANT index) override { return items_.Remove(index); }
    HRESULT STDMETHODCALLTYPE get_Count(long* out) override { return items_.GetCount(out); }
    HRESULT STDMETHODCALLTYPE put_Device(long device) override
    {
        device_ = device;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Load(long f) override;
    HRESULT STDMETHODCALLTYPE Save(long f) override;
    HRESULT STDMETHODCALLTYPE Clear() override { return items_.Clear(); }

private:
    bool comInitialised_ = false;
    zyk::com::NamedMap<ICamera> items_;
    long device_ = 0;   // the raw device pointer, handed to every camera Add makes
};

#pragma once
#include "zyk3D.h"
#include "com/collection.h"
#include "com/object.h"

// Points filed as Point0, Point1, ... (the smallest number no point has), transformed all
// at once and drawn as one textured triangle when there are exactly three of them.
class CPoints : public zyk::com::CoClass<CPoints, IPoints, &IID_IPoints, &CLSID_Points> {
public:
    CPoints();
    ~CPoints() override;

    HRESULT STDMETHODCALLTYPE get__NewEnum(IUnknown** out) override { return items_.NewEnum(out); }
    HRESULT STDMETHODCALLTYPE Item(VARIANT index, VARIANT* out) override { return items_.Item(index, out); }
    HRESULT STDMETHODCALLTYPE Remove(VARIANT index) override { return items_.Remove(index); }
    HRESULT STDMETHODCALLTYPE get_Add(float x, float y, float z, IDispatch** out) override;
    // Stored only: the points themselves never touch the device.
    HRESULT STDMETHODCALLTYPE put_Device(long device) override
    {
        device_ = device;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_Count(long* out) override { return items_.GetCount(out); }
    HRESULT STDMETHODCALLTYPE Render(long fillMode) override;
    HRESULT STDMETHODCALLTYPE Clear() override { return items_.Clear(); }
    HRESULT STDMETHODCALLTYPE Rotate(float x, float y, float z) override;
    HRESULT STDMETHODCALLTYPE Move(float x, float y, float z) override;
    HRESULT STDMETHODCALLTYPE Scale(float x, float y, float z) override;
    // The points block of the world file is empty.
    HRESULT STDMETHODCALLTYPE Load(long) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE Save(long) override { return S_OK; }

private:
    template <class Call>
    HRESULT ForEachPoint(Call call);

    bool comInitialised_ = false;
    zyk::com::NamedMap<IPoint> items_;
    long device_ = 0;   // the raw IDirect3DDevice7 pointer, used by Render alone
};

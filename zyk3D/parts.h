#pragma once
#include "zyk3D.h"
#include "com/collection.h"
#include "com/object.h"
#include "com/ptr.h"

class CXFile;

// The .x model of one Object: loaded through the X-file loader and drawn whole. It has the
// members of a collection, but nothing is ever filed in it.
class CParts : public zyk::com::CoClass<CParts, IParts, &IID_IParts, &CLSID_Parts> {
public:
    CParts();
    ~CParts() override;

    HRESULT STDMETHODCALLTYPE get__NewEnum(IUnknown** out) override { return items_.NewEnum(out); }
    HRESULT STDMETHODCALLTYPE Item(VARIANT index, VARIANT* out) override { return items_.Item(index, out); }
    HRESULT STDMETHODCALLTYPE get_Count(long* out) override { return items_.GetCount(out); }
    HRESULT STDMETHODCALLTYPE put_Device(long device) override
    {
        device_ = device;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE put_Direct3D(long d3d) override
    {
        direct3d_ = d3d;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Load(BSTR filename) override;
    HRESULT STDMETHODCALLTYPE Render() override;

private:
    void DeleteModel();

    bool comInitialised_ = false;
    long direct3d_ = 0;   // stored only
    long device_ = 0;     // the raw IDirect3DDevice7 pointer
    zyk::com::Bstr lastName_;
    zyk::com::NamedMap<IPart> items_;
    CXFile* model_ = nullptr;
};

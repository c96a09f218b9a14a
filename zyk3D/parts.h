// CParts: the .x model of an object.
#pragma once
#include "zyk3D.h"
#include "com/collection.h"
#include "com/create.h"
#include "com/object.h"
#include "com/ptr.h"
#include "com/tie.h"
#include <d3d.h>

class CXFile;

// The .x model of one Object: loaded through the X-file loader and drawn whole. It has the
// members of a collection, but nothing is ever filed in it.
class CParts : public zyk::com::Collection<IParts, &IID_IParts, &CLSID_Parts, IPart> {
public:
    ~CParts() override;

    HRESULT STDMETHODCALLTYPE put_Device(long device) override
    {
        return Member([&] { device_.Take(device); });
    }
    HRESULT STDMETHODCALLTYPE put_Direct3D(long d3d) override
    {
        return Member([&] { direct3d_.Take(d3d); });
    }
    HRESULT STDMETHODCALLTYPE Load(BSTR filename) override;
    HRESULT STDMETHODCALLTYPE Render() override;

private:
    void DeleteModel();

    zyk::com::Apartment apartment_;
    // What the object handed down, not referenced; void once the parts are let go.
    zyk::com::Handed<IDirect3D7> direct3d_{OwnTie()}; // stored only
    zyk::com::Handed<IDirect3DDevice7> device_{OwnTie()};
    zyk::com::Bstr lastName_;
    CXFile* model_ = nullptr;
};

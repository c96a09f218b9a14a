#pragma once
#include "sound.h"
#include "com/collection.h"
#include "com/object.h"

// The loaded sounds of one device, each filed under the name it was loaded from.
class CBuffers : public zyk::com::CoClass<CBuffers, IBuffers, &IID_IBuffers, &CLSID_Buffers> {
public:
    CBuffers();
    ~CBuffers() override;

    HRESULT STDMETHODCALLTYPE get__NewEnum(IUnknown** out) override { return items_.NewEnum(out); }
    HRESULT STDMETHODCALLTYPE Item(VARIANT index, VARIANT* out) override { return items_.Item(index, out); }
    HRESULT STDMETHODCALLTYPE get_Add(BSTR filename, VARIANT_BOOL use3D, IDispatch** out) override;
    HRESULT STDMETHODCALLTYPE get_Count(long* out) override { return items_.GetCount(out); }
    HRESULT STDMETHODCALLTYPE put_DS(long ds) override;
    HRESULT STDMETHODCALLTYPE Remove(VARIANT index) override { return items_.Remove(index); }
    HRESULT STDMETHODCALLTYPE Clear() override { return items_.Clear(); }

private:
    bool comInitialised_ = false;
    zyk::com::NamedMap<IBuffer> items_;
    zyk::com::Ptr<IDirectSound> ds_;
};

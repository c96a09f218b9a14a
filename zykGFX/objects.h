#pragma once
#include "gfx.h"
#include "com/collection.h"
#include "com/object.h"

// The device's bitmap objects, filed under the file name they were loaded from.
class CGfxObjects : public zyk::com::CoClass<CGfxObjects, IObjects, &IID_IObjects, &CLSID_Objects> {
public:
    CGfxObjects();
    ~CGfxObjects() override;

    HRESULT STDMETHODCALLTYPE get__NewEnum(IUnknown** out) override { return items_.NewEnum(out); }
    HRESULT STDMETHODCALLTYPE Item(VARIANT index, VARIANT* out) override { return items_.Item(index, out); }
    HRESULT STDMETHODCALLTYPE put_DD(long dd) override;
    HRESULT STDMETHODCALLTYPE put_BackSurface(long surface) override;
    HRESULT STDMETHODCALLTYPE get_Add(BSTR filename, long width, long height, long videoMemory, IDispatch** out) override;
    HRESULT STDMETHODCALLTYPE get_Count(long* out) override { return items_.GetCount(out); }
    HRESULT STDMETHODCALLTYPE Remove(VARIANT index) override { return items_.Remove(index); }
    HRESULT STDMETHODCALLTYPE Clear() override { return items_.Clear(); }
    HRESULT STDMETHODCALLTYPE put_ScreenWidth(long v) override
    {
        screenWidth_ = v;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE put_ScreenHeight(long v) override
    {
        screenHeight_ = v;
        return S_OK;
    }

private:
    bool comInitialised_ = false;
    zyk::com::NamedMap<IObject> items_;
    zyk::com::Ptr<IDirectDraw7> dd_;
    zyk::com::Ptr<IDirectDrawSurface7> back_;
    long screenWidth_ = 0, screenHeight_ = 0;
};

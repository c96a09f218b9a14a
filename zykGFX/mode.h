#pragma once
#include "gfx.h"
#include "com/object.h"

// One display mode of a DirectDraw device, which can switch the display to itself.
class CMode : public zyk::com::CoClass<CMode, IMode, &IID_IMode, &CLSID_Mode> {
public:
    HRESULT STDMETHODCALLTYPE Change() override;
    HRESULT STDMETHODCALLTYPE get_Depth(long* out) override { return zyk::com::CopyOut(depth_, out); }
    HRESULT STDMETHODCALLTYPE put_Depth(long v) override { return Set(depth_, v); }
    HRESULT STDMETHODCALLTYPE get_Height(long* out) override { return zyk::com::CopyOut(height_, out); }
    HRESULT STDMETHODCALLTYPE put_Height(long v) override { return Set(height_, v); }
    HRESULT STDMETHODCALLTYPE get_RefreshRate(long* out) override { return zyk::com::CopyOut(refreshRate_, out); }
    HRESULT STDMETHODCALLTYPE put_RefreshRate(long v) override { return Set(refreshRate_, v); }
    HRESULT STDMETHODCALLTYPE get_Width(long* out) override { return zyk::com::CopyOut(width_, out); }
    HRESULT STDMETHODCALLTYPE put_Width(long v) override { return Set(width_, v); }
    HRESULT STDMETHODCALLTYPE put_DD(long dd) override;
    HRESULT STDMETHODCALLTYPE put_Window(long window) override { return Set(window_, window); }

private:
    static HRESULT Set(long& field, long v)
    {
        field = v;
        return S_OK;
    }

    long window_ = 0, width_ = 0, refreshRate_ = 0, height_ = 0, depth_ = 0;
    zyk::com::Ptr<IDirectDraw7> dd_;
};

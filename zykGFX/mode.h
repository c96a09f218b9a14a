// CMode: one display mode.
#pragma once
#include "gfx.h"
#include "com/object.h"

// One display mode of a DirectDraw device, which can switch the display to itself. Its
// sizes are stored values; only Change needs the device's DirectDraw object, which it
// loses when the device lets it go.
class CMode : public zyk::com::CoClass<IMode, &IID_IMode, &CLSID_Mode> {
public:
    HRESULT STDMETHODCALLTYPE Change() override;
    HRESULT STDMETHODCALLTYPE get_Depth(long* out) override { return Get(depth_, out); }
    HRESULT STDMETHODCALLTYPE put_Depth(long v) override { return Put(depth_, v); }
    HRESULT STDMETHODCALLTYPE get_Height(long* out) override { return Get(height_, out); }
    HRESULT STDMETHODCALLTYPE put_Height(long v) override { return Put(height_, v); }
    HRESULT STDMETHODCALLTYPE get_RefreshRate(long* out) override { return Get(refreshRate_, out); }
    HRESULT STDMETHODCALLTYPE put_RefreshRate(long v) override { return Put(refreshRate_, v); }
    HRESULT STDMETHODCALLTYPE get_Width(long* out) override { return Get(width_, out); }
    HRESULT STDMETHODCALLTYPE put_Width(long v) override { return Put(width_, v); }
    HRESULT STDMETHODCALLTYPE put_DD(long dd) override;
    HRESULT STDMETHODCALLTYPE put_Window(long window) override { return Put(window_, window); }

private:
    long window_ = 0, width_ = 0, refreshRate_ = 0, height_ = 0, depth_ = 0;
    zyk::com::Handed<IDirectDraw7> dd_{OwnTie()};
};

#pragma once
#include "gfx.h"
#include "com/object.h"

// One off-screen surface, usually holding a bitmap, drawn onto the device's back surface:
// clipped to the screen, with a source colour key, rotated, mirrored or stretched.
class CGfxObject : public zyk::com::CoClass<CGfxObject, IObject, &IID_IObject, &CLSID_Object> {
public:
    ~CGfxObject() override;

    HRESULT STDMETHODCALLTYPE get_Width(long* out) override { return zyk::com::CopyOut(width_, out); }
    HRESULT STDMETHODCALLTYPE put_Width(long v) override { return Set(width_, v); }
    HRESULT STDMETHODCALLTYPE get_Height(long* out) override;
    HRESULT STDMETHODCALLTYPE put_Height(long v) override { return Set(height_, v); }
    HRESULT STDMETHODCALLTYPE get_TransparencyColour(long* out) override { return zyk::com::CopyOut(keyColour_, out); }
    HRESULT STDMETHODCALLTYPE put_TransparencyColour(long colour) override;
    HRESULT STDMETHODCALLTYPE put_BackSurface(long surface) override;
    HRESULT STDMETHODCALLTYPE put_DD(long dd) override;
    HRESULT STDMETHODCALLTYPE get_Transparent(long* out) override { return zyk::com::CopyOut(transparent_, out); }
    HRESULT STDMETHODCALLTYPE put_Transparent(long v) override { return Set(transparent_, v ? 1 : 0); }
    HRESULT STDMETHODCALLTYPE Free() override;
    HRESULT STDMETHODCALLTYPE Draw(long x, long y, long width, long height, long regionX1, long regionY1, long regionX2,
                                   long regionY2, long rotationAngle, long mirrorLeftRight, long mirrorUpDown) override;
    HRESULT STDMETHODCALLTYPE Create(long width, long height, long videoMemory) override;
    HRESULT STDMETHODCALLTYPE get_Surface(long* out) override { return zyk::com::CopyOut(zyk::com::ToHandle(surface_.Get()), out); }
    HRESULT STDMETHODCALLTYPE put_ScreenHeight(long v) override { return Set(screenHeight_, v); }
    HRESULT STDMETHODCALLTYPE put_ScreenWidth(long v) override { return Set(screenWidth_, v); }
    HRESULT STDMETHODCALLTYPE Save(BSTR filename) override;

private:
    static HRESULT Set(long& field, long v)
    {
        field = v;
        return S_OK;
    }
    void RestoreSurface();

    long transparent_ = 0;
    long keyColour_ = 0;   // COLORREF 0x00BBGGRR
    long width_ = 0, height_ = 0, screenWidth_ = 0, screenHeight_ = 0;
    zyk::com::Ptr<IDirectDraw7> dd_;
    zyk::com::Ptr<IDirectDrawSurface7> surface_;
    zyk::com::Ptr<IDirectDrawSurface7> back_;
};

// CGfxObject: one bitmap object of a device.
#pragma once
#include "gfx.h"
#include "com/object.h"

// One off-screen surface, usually holding a bitmap, drawn onto the device's back surface:
// clipped to the screen, with a source colour key, rotated, mirrored or stretched. Its
// sizes and flags are stored values; the DirectDraw object, the back surface and the
// object's own surface (made by the device's DirectDraw object) are the device's: once the
// object's collection lets it go they are out of reach, and its surface is released before
// the device releases its DirectDraw object.
class CGfxObject : public zyk::com::CoClass<IObject, &IID_IObject, &CLSID_Object> {
public:
    HRESULT STDMETHODCALLTYPE get_Width(long* out) override { return Get(width_, out); }
    HRESULT STDMETHODCALLTYPE put_Width(long v) override { return Put(width_, v); }
    HRESULT STDMETHODCALLTYPE get_Height(long* out) override;
    HRESULT STDMETHODCALLTYPE put_Height(long v) override { return Put(height_, v); }
    HRESULT STDMETHODCALLTYPE get_TransparencyColour(long* out) override { return Get(keyColour_, out); }
    HRESULT STDMETHODCALLTYPE put_TransparencyColour(long colour) override;
    HRESULT STDMETHODCALLTYPE put_BackSurface(long surface) override;
    HRESULT STDMETHODCALLTYPE put_DD(long dd) override;
    HRESULT STDMETHODCALLTYPE get_Transparent(long* out) override { return Get(transparent_, out); }
    HRESULT STDMETHODCALLTYPE put_Transparent(long v) override { return Put(transparent_, v ? 1 : 0); }
    HRESULT STDMETHODCALLTYPE Free() override;
    HRESULT STDMETHODCALLTYPE Draw(long x, long y, long width, long height, long regionX1, long regionY1, long regionX2,
                                   long regionY2, long rotationAngle, long mirrorLeftRight, long mirrorUpDown) override;
    HRESULT STDMETHODCALLTYPE Create(long width, long height, long videoMemory) override;
    HRESULT STDMETHODCALLTYPE get_Surface(long* out) override { return Get(zyk::com::ToHandle(Surface()), out); }
    HRESULT STDMETHODCALLTYPE put_ScreenHeight(long v) override { return Put(screenHeight_, v); }
    HRESULT STDMETHODCALLTYPE put_ScreenWidth(long v) override { return Put(screenWidth_, v); }
    HRESULT STDMETHODCALLTYPE Save(BSTR filename) override;

private:
    // The object's surface while its owner holds it.
    IDirectDrawSurface7* Surface() const { return Held() ? surface_.Get() : nullptr; }
    void RestoreSurface();

    long transparent_ = 0;
    long keyColour_ = 0; // COLORREF 0x00BBGGRR
    long width_ = 0, height_ = 0, screenWidth_ = 0, screenHeight_ = 0;
    zyk::com::Handed<IDirectDraw7> dd_{OwnTie()};
    zyk::com::Handed<IDirectDrawSurface7> back_{OwnTie()};
    zyk::com::Kept<IDirectDrawSurface7> surface_{OwnTie()}; // made by the handed DirectDraw object
};

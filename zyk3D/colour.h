// CColour: an RGBA colour of the scene, and the helpers that read, pack and make one.
#pragma once
#include "zyk3D.h"
#include "com/object.h"
#include "com/ptr.h"
#include "pack.h"
#include <d3d.h>

// Four float channels, 0.0 after construction; stores any value.
class CColour : public zyk::com::CoClass<IColour, &IID_IColour, &CLSID_Colour> {
public:
    HRESULT STDMETHODCALLTYPE get_Red(float* out) override { return Get(red_, out); }
    HRESULT STDMETHODCALLTYPE put_Red(float value) override { return Put(red_, value); }
    HRESULT STDMETHODCALLTYPE get_Green(float* out) override { return Get(green_, out); }
    HRESULT STDMETHODCALLTYPE put_Green(float value) override { return Put(green_, value); }
    HRESULT STDMETHODCALLTYPE get_Blue(float* out) override { return Get(blue_, out); }
    HRESULT STDMETHODCALLTYPE put_Blue(float value) override { return Put(blue_, value); }
    HRESULT STDMETHODCALLTYPE get_Alpha(float* out) override { return Get(alpha_, out); }
    HRESULT STDMETHODCALLTYPE put_Alpha(float value) override { return Put(alpha_, value); }
    HRESULT STDMETHODCALLTYPE Save(long f) override;
    HRESULT STDMETHODCALLTYPE Load(long f) override;

private:
    float red_ = 0.0f, green_ = 0.0f, blue_ = 0.0f, alpha_ = 0.0f;
};

// Reads the four channels of a Colour object into value; a missing object leaves value as
// it is.
void ReadColour(IColour* colour, D3DCOLORVALUE& value);

// Reads the four channels of a Colour object and packs them (see pack.h).
DWORD PackColour(IColour* colour);

// A new Colour child with its four channels put to 0.0; failure(E_FAIL, "Colour Not
// Registered.") when none can be made.
zyk::com::Ptr<IColour> MakeColour();

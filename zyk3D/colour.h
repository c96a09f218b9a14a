#pragma once
#include "zyk3D.h"
#include "com/object.h"
#include "com/ptr.h"
#include "pack.h"

// Four float channels, 0.0 after construction; stores any value.
class CColour : public zyk::com::CoClass<CColour, IColour, &IID_IColour, &CLSID_Colour> {
public:
    HRESULT STDMETHODCALLTYPE get_Red(float* v) override { return Get(red_, v); }
    HRESULT STDMETHODCALLTYPE put_Red(float v) override { return Put(red_, v); }
    HRESULT STDMETHODCALLTYPE get_Green(float* v) override { return Get(green_, v); }
    HRESULT STDMETHODCALLTYPE put_Green(float v) override { return Put(green_, v); }
    HRESULT STDMETHODCALLTYPE get_Blue(float* v) override { return Get(blue_, v); }
    HRESULT STDMETHODCALLTYPE put_Blue(float v) override { return Put(blue_, v); }
    HRESULT STDMETHODCALLTYPE get_Alpha(float* v) override { return Get(alpha_, v); }
    HRESULT STDMETHODCALLTYPE put_Alpha(float v) override { return Put(alpha_, v); }
    HRESULT STDMETHODCALLTYPE Save(long f) override;
    HRESULT STDMETHODCALLTYPE Load(long f) override;

private:
    float red_ = 0.0f, green_ = 0.0f, blue_ = 0.0f, alpha_ = 0.0f;
};

// Reads the four channels of a Colour object and packs them (see pack.h).
DWORD PackColour(IColour* colour);

#pragma once
#include "zyk3D.h"
#include "com/object.h"
#include "com/ptr.h"

// A point in space, (0, 0, 0) after construction.
class CPosition : public zyk::com::CoClass<CPosition, IPosition, &IID_IPosition, &CLSID_Position> {
public:
    HRESULT STDMETHODCALLTYPE get_X(float* v) override { return zyk::com::CopyOut(x_, v); }
    HRESULT STDMETHODCALLTYPE put_X(float v) override { x_ = v; return S_OK; }
    HRESULT STDMETHODCALLTYPE get_Y(float* v) override { return zyk::com::CopyOut(y_, v); }
    HRESULT STDMETHODCALLTYPE put_Y(float v) override { y_ = v; return S_OK; }
    HRESULT STDMETHODCALLTYPE get_Z(float* v) override { return zyk::com::CopyOut(z_, v); }
    HRESULT STDMETHODCALLTYPE put_Z(float v) override { z_ = v; return S_OK; }

private:
    float x_ = 0.0f, y_ = 0.0f, z_ = 0.0f;
};

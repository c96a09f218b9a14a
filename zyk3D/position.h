#pragma once
#include "zyk3D.h"
#include "com/object.h"
#include "com/ptr.h"

// A point in space, (0, 0, 0) after construction.
class CPosition : public zyk::com::CoClass<CPosition, IPosition, &IID_IPosition, &CLSID_Position> {
public:
    HRESULT STDMETHODCALLTYPE get_X(float* v) override { return Get(x_, v); }
    HRESULT STDMETHODCALLTYPE put_X(float v) override { return Put(x_, v); }
    HRESULT STDMETHODCALLTYPE get_Y(float* v) override { return Get(y_, v); }
    HRESULT STDMETHODCALLTYPE put_Y(float v) override { return Put(y_, v); }
    HRESULT STDMETHODCALLTYPE get_Z(float* v) override { return Get(z_, v); }
    HRESULT STDMETHODCALLTYPE put_Z(float v) override { return Put(z_, v); }

private:
    float x_ = 0.0f, y_ = 0.0f, z_ = 0.0f;
};

// CPosition: a point in space, and MakePosition.
#pragma once
#include "zyk3D.h"
#include "com/object.h"
#include "com/ptr.h"

// A point in space, (0, 0, 0) after construction.
class CPosition : public zyk::com::CoClass<IPosition, &IID_IPosition, &CLSID_Position> {
public:
    HRESULT STDMETHODCALLTYPE get_X(float* out) override { return Get(x_, out); }
    HRESULT STDMETHODCALLTYPE put_X(float value) override { return Put(x_, value); }
    HRESULT STDMETHODCALLTYPE get_Y(float* out) override { return Get(y_, out); }
    HRESULT STDMETHODCALLTYPE put_Y(float value) override { return Put(y_, value); }
    HRESULT STDMETHODCALLTYPE get_Z(float* out) override { return Get(z_, out); }
    HRESULT STDMETHODCALLTYPE put_Z(float value) override { return Put(z_, value); }

private:
    float x_ = 0.0f, y_ = 0.0f, z_ = 0.0f;
};

// A new Position child put at (x, y, z); failure(E_FAIL, "Position Not Registered.") when
// none can be made.
zyk::com::Ptr<IPosition> MakePosition(float x, float y, float z);

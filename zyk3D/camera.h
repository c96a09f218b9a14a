// CCamera: a viewpoint of a Device3D, and the matrix helpers (camera::) it builds its matrices with.
#pragma once
#include "zyk3D.h"
#include "com/create.h"
#include "com/object.h"
#include "com/ptr.h"
#include <d3d.h>

// A viewpoint (Position), the point it looks at (LookAt), accumulated rotation angles
// and the world, view and projection matrices it hands to the device on Update.
class CCamera : public zyk::com::CoClass<ICamera, &IID_ICamera, &CLSID_Camera> {
public:
    CCamera();
    ~CCamera() override;

    HRESULT STDMETHODCALLTYPE get_LookAt(IDispatch** out) override;
    HRESULT STDMETHODCALLTYPE get_Position(IDispatch** out) override;
    HRESULT STDMETHODCALLTYPE put_Device(long device) override;
    HRESULT STDMETHODCALLTYPE Rotate(float x, float y, float z) override;
    HRESULT STDMETHODCALLTYPE Update() override;
    HRESULT STDMETHODCALLTYPE get_X(float* out) override { return Get(angleX_, out); }
    HRESULT STDMETHODCALLTYPE get_Y(float* out) override { return Get(angleY_, out); }
    HRESULT STDMETHODCALLTYPE get_Z(float* out) override { return Get(angleZ_, out); }
    HRESULT STDMETHODCALLTYPE get_Name(BSTR* out) override { return Get(name_, out); }
    HRESULT STDMETHODCALLTYPE put_Name(BSTR name) override { return Put(name_, name); }
    HRESULT STDMETHODCALLTYPE Load(long f) override;
    HRESULT STDMETHODCALLTYPE Save(long f) override;
    HRESULT STDMETHODCALLTYPE Reset() override
    {
        return Member([] {});
    }

private:
    HRESULT Child(const zyk::com::Ptr<IPosition>& child, const char* missing, IDispatch** out);
    void RequireDevice() const;

    zyk::com::Apartment apartment_;
    zyk::com::Bstr name_;
    zyk::com::Ptr<IPosition> position_;
    zyk::com::Ptr<IPosition> lookAt_;
    D3DMATRIX projection_{};
    D3DMATRIX view_{};
    D3DMATRIX world_{};
    float angleX_ = 0.0f, angleY_ = 0.0f, angleZ_ = 0.0f;
    // The device its collection handed down, not referenced: void once the camera is let go.
    zyk::com::Handed<IDirect3DDevice7> device_{OwnTie()};
};

namespace camera {

struct Vector {
    float x, y, z;
};

D3DMATRIX Identity();
D3DMATRIX Multiply(const D3DMATRIX& a, const D3DMATRIX& b); // a on the left
D3DMATRIX RotationX(float a);
D3DMATRIX RotationY(float a);
D3DMATRIX RotationZ(float a);
// Perspective projection: field of view (radians), aspect ratio, near and far planes.
D3DMATRIX Projection(float fov, float aspect, float nearPlane, float farPlane);
// The view matrix from eye towards at with up as the up hint; false (and out untouched)
// when eye and at coincide or no up direction can be found.
bool LookAtView(const Vector& eye, const Vector& at, const Vector& up, D3DMATRIX& out);

} // namespace camera

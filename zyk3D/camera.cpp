// CCamera: its Position and LookAt, Rotate, the matrices Update sends, and the matrix helpers it builds them with.
#include "com/ptr.h"
#include "camera.h"
#include "com/create.h"
#include "com/failure.h"
#include "com/handed.h"
#include "position.h"
#include "worldfile.h"
#include "com/trace.h"
#include <cmath>

namespace camera {

namespace {

constexpr float kSmall = 1e-6f;

float Dot(const Vector& a, const Vector& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
float Length(const Vector& v) { return std::sqrt(Dot(v, v)); }
Vector Scaled(const Vector& v, float s) { return {v.x * s, v.y * s, v.z * s}; }
Vector Minus(const Vector& a, const Vector& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
Vector Cross(const Vector& a, const Vector& b)
{
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

} // namespace

D3DMATRIX Identity()
{
    D3DMATRIX m{};
    m._11 = m._22 = m._33 = m._44 = 1.0f;
    return m;
}

D3DMATRIX Multiply(const D3DMATRIX& a, const D3DMATRIX& b)
{
    D3DMATRIX m{};
    const float* pa = &a._11;
    const float* pb = &b._11;
    float* pm = &m._11;
    for (int row = 0; row < 4; ++row)
        for (int col = 0; col < 4; ++col) {
            float sum = 0.0f;
            for (int k = 0; k < 4; ++k) sum += pa[row * 4 + k] * pb[k * 4 + col];
            pm[row * 4 + col] = sum;
        }
    return m;
}

namespace {

// A turn by a within the plane of axes i and j (0 for X, 1 for Y, 2 for Z), from i towards j.
D3DMATRIX Rotation(float a, int i, int j)
{
    D3DMATRIX m = Identity();
    float* e = &m._11;
    const float c = std::cos(a), s = std::sin(a);
    e[i * 4 + i] = c;
    e[i * 4 + j] = s;
    e[j * 4 + i] = -s;
    e[j * 4 + j] = c;
    return m;
}

} // namespace

D3DMATRIX RotationX(float a) { return Rotation(a, 1, 2); }
D3DMATRIX RotationY(float a) { return Rotation(a, 2, 0); }
D3DMATRIX RotationZ(float a) { return Rotation(a, 0, 1); }

D3DMATRIX Projection(float fov, float aspect, float nearPlane, float farPlane)
{
    D3DMATRIX m{};
    double half = fov / 2.0;
    float cot = static_cast<float>(std::cos(half) / std::sin(half));
    float q = farPlane / (farPlane - nearPlane);
    m._11 = aspect * cot;
    m._22 = cot;
    m._33 = q;
    m._34 = 1.0f;
    m._43 = -q * nearPlane;
    return m;
}

bool LookAtView(const Vector& eye, const Vector& at, const Vector& up, D3DMATRIX& out)
{
    Vector v = Minus(at, eye);
    float length = Length(v);
    if (length < kSmall) return false;
    v = Scaled(v, 1.0f / length);

    Vector u = Minus(up, Scaled(v, Dot(up, v)));
    length = Length(u);
    if (length < kSmall) {
        u = Minus(Vector{0.0f, 1.0f, 0.0f}, Scaled(v, v.y));
        length = Length(u);
        if (length < kSmall) {
            u = Minus(Vector{0.0f, 0.0f, 1.0f}, Scaled(v, v.z));
            length = Length(u);
            if (length < kSmall) return false;
        }
    }
    u = Scaled(u, 1.0f / length);
    Vector r = Cross(u, v);

    D3DMATRIX m = Identity();
    m._11 = r.x;
    m._12 = u.x;
    m._13 = v.x;
    m._21 = r.y;
    m._22 = u.y;
    m._23 = v.y;
    m._31 = r.z;
    m._32 = u.z;
    m._33 = v.z;
    m._41 = -Dot(eye, r);
    m._42 = -Dot(eye, u);
    m._43 = -Dot(eye, v);
    out = m;
    return true;
}

} // namespace camera

namespace {

// The projection every camera uses; it does not follow the window's shape.
constexpr float kFieldOfView = 1.570795f;
constexpr float kAspect = 1.0f;
constexpr float kNear = 1.0f;
constexpr float kFar = 1000.0f;

camera::Vector Read(IPosition* p)
{
    camera::Vector v{0.0f, 0.0f, 0.0f};
    p->get_X(&v.x);
    p->get_Y(&v.y);
    p->get_Z(&v.z);
    return v;
}

void Write(IPosition* p, float x, float y, float z)
{
    p->put_X(x);
    p->put_Y(y);
    p->put_Z(z);
}

} // namespace

CCamera::CCamera()
{
    world_ = camera::Identity();
    view_ = camera::Identity();
    Member([&] {
        ZYK_TRACE("Initialising Positional Details.\n");
        position_ = MakePosition(0.0f, 0.0f, 10.0f);
        ZYK_TRACE("Initialising Lookat Details.\n");
        lookAt_ = MakePosition(0.0f, 0.0f, 0.0f);
        projection_ = camera::Projection(kFieldOfView, kAspect, kNear, kFar);
    });
}

CCamera::~CCamera()
{
    lookAt_.Reset();
    position_.Reset();
}

// A null out pointer is refused with the child's own text.
HRESULT CCamera::Child(const zyk::com::Ptr<IPosition>& child, const char* missing, IDispatch** out)
{
    return Member([&] {
        if (!out) throw failure(E_POINTER, missing);
        zyk::com::HandOut(child, out, missing);
    });
}

HRESULT CCamera::get_LookAt(IDispatch** out) { return Child(lookAt_, "LookAt Not Initialised.", out); }

HRESULT CCamera::get_Position(IDispatch** out) { return Child(position_, "Position Not Initialised.", out); }

HRESULT CCamera::put_Device(long device)
{
    return Member([&] { device_.Take(device); });
}

void CCamera::RequireDevice() const
{
    if (!device_) {
        ZYK_TRACE("Update Failed. Device Not Set.\n");
        throw failure(E_POINTER, "Device Not Initialised.");
    }
}

HRESULT CCamera::Rotate(float x, float y, float z)
{
    return Member([&] {
        RequireDevice();
        ZYK_TRACE("Rotation Req: X=%f Y=%f Z=%f\n", x, y, z);
        angleX_ += x;
        D3DMATRIX world = camera::RotationX(angleX_);
        angleY_ += y;
        world = camera::Multiply(world, camera::RotationY(angleY_));
        angleZ_ += z;
        world = camera::Multiply(world, camera::RotationZ(angleZ_));
        world_ = world;
        ZYK_TRACE("New Rotation: X=%f Y=%f Z=%f\n", angleX_, angleY_, angleZ_);
        HRESULT hr = device_->SetTransform(D3DTRANSFORMSTATE_WORLD, &world_);
        if (FAILED(hr)) {
            ZYK_TRACE("SetTransform (World) Failed. (Error Code=%lx).\n", static_cast<unsigned long>(hr));
            throw failure(hr, "SetTransform Function Failed.");
        }
    });
}

HRESULT CCamera::Update()
{
    return Member([&] {
        RequireDevice();
        if (!position_) throw failure(E_POINTER, "Position Not Initialised.");
        if (!lookAt_) throw failure(E_POINTER, "LookAt Not Initialised.");
        camera::Vector eye = Read(position_.Get());
        camera::Vector at = Read(lookAt_.Get());

        HRESULT hr = device_->SetTransform(D3DTRANSFORMSTATE_WORLD, &world_);
        if (FAILED(hr)) {
            ZYK_TRACE("SetTransform (World) Failed. (Error Code=%lx).\n", static_cast<unsigned long>(hr));
            throw failure(hr, "World Transformation Failed.");
        }

        // Eye on the target (or no usable up direction): the previous view stays.
        camera::LookAtView(eye, at, camera::Vector{0.0f, 1.0f, 0.0f}, view_);
        hr = device_->SetTransform(D3DTRANSFORMSTATE_VIEW, &view_);
        if (FAILED(hr)) {
            ZYK_TRACE("SetTransform (View) Failed. (Error Code=%lx).\n", static_cast<unsigned long>(hr));
            throw failure(hr, "View Transformation Failed.");
        }

        hr = device_->SetTransform(D3DTRANSFORMSTATE_PROJECTION, &projection_);
        if (FAILED(hr)) {
            ZYK_TRACE("SetTransform (Projection) Failed. (Error Code=%lx).\n", static_cast<unsigned long>(hr));
            throw failure(hr, "Projection Transformation Failed.");
        }
    });
}

HRESULT CCamera::Save(long f)
{
    return Member([&] {
        world::Block(f, [&](FILE* s) {
            ZYK_TRACE("Saving Camera.\n");
            world::WriteLine(s, "// Camera\n");
            world::WriteName(s, name_.Text());
            world::WriteFloat(s, angleX_);
            world::WriteFloat(s, angleY_);
            world::WriteFloat(s, angleZ_);
            // A missing child still fills its three lines, so that the block keeps its length.
            for (IPosition* p : {position_.Get(), lookAt_.Get()}) {
                camera::Vector v = p ? Read(p) : camera::Vector{0.0f, 0.0f, 0.0f};
                world::WriteFloat(s, v.x);
                world::WriteFloat(s, v.y);
                world::WriteFloat(s, v.z);
            }
        });
    });
}

namespace {

// The lines of a camera block.
struct CameraBlock {
    zyk::com::Bstr name;
    float angleX, angleY, angleZ;
    camera::Vector position, lookAt;
};

camera::Vector ReadVector(FILE* s)
{
    camera::Vector v;
    v.x = world::ReadFloat(s);
    v.y = world::ReadFloat(s);
    v.z = world::ReadFloat(s);
    return v;
}

CameraBlock ReadCameraBlock(FILE* s)
{
    CameraBlock b;
    world::ReadHeader(s, "// Camera");
    b.name = zyk::com::Bstr::Adopt(world::ReadName(s));
    b.angleX = world::ReadFloat(s);
    b.angleY = world::ReadFloat(s);
    b.angleZ = world::ReadFloat(s);
    b.position = ReadVector(s);
    b.lookAt = ReadVector(s);
    return b;
}

} // namespace

void world::SkimCamera(FILE* s) { ReadCameraBlock(s); }

HRESULT CCamera::Load(long f)
{
    return Member([&] {
        world::Block(f, [&](FILE* s) {
            ZYK_TRACE("Loading Camera.\n");
            CameraBlock b = ReadCameraBlock(s);
            name_ = std::move(b.name);
            angleX_ = b.angleX;
            angleY_ = b.angleY;
            angleZ_ = b.angleZ;
            if (position_) Write(position_.Get(), b.position.x, b.position.y, b.position.z);
            if (lookAt_) Write(lookAt_.Get(), b.lookAt.x, b.lookAt.y, b.lookAt.z);
            Update();
        });
    });
}

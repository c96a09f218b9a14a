// CPoint: its Position child, and Move, Scale and Rotate as transforms of that position.
#include "point.h"
#include "camera.h"
#include "com/create.h"
#include "errormaps.h"
#include "checks.h"
#include "com/failure.h"
#include "com/handed.h"
#include "com/trace.h"
#include <initializer_list>

namespace {

using Matrix = D3DMATRIX;

// (x, y, z, 1) times m as a row vector, with no division by w.
void Apply(const Matrix& m, float& x, float& y, float& z)
{
    const float a = x, b = y, c = z;
    x = a * m._11 + b * m._21 + c * m._31 + m._41;
    y = a * m._12 + b * m._22 + c * m._32 + m._42;
    z = a * m._13 + b * m._23 + c * m._33 + m._43;
}

constexpr float kRadiansPerDegree = 0.017453292f;

Matrix Translation(float x, float y, float z) { return {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, x, y, z, 1}; }
Matrix Scaling(float x, float y, float z) { return {x, 0, 0, 0, 0, y, 0, 0, 0, 0, z, 0, 0, 0, 0, 1}; }

// Reads the position, runs the transforms in turn (a null one is skipped) and writes the
// result back, X, Y, Z.
void Transform(IPosition* position, std::initializer_list<const Matrix*> transforms)
{
    if (!position) throw failure(E_POINTER, "Position Not Initialised.");
    float x = 0.0f, y = 0.0f, z = 0.0f;
    position->get_X(&x);
    position->get_Y(&y);
    position->get_Z(&z);
    for (const Matrix* t : transforms)
        if (t) Apply(*t, x, y, z);
    position->put_X(x);
    position->put_Y(y);
    position->put_Z(z);
}

void Transform(IPosition* position, const Matrix& transform) { Transform(position, {&transform}); }

} // namespace

CPoint::CPoint()
{
    Member([&] {
        position_ = zyk::com::Ptr<IPosition>::Adopt(
            reinterpret_cast<IPosition*>(CreateComObject(CLSID_Position, IID_IPosition)));
        if (!position_) throw failure(E_POINTER, "Failed to Initialise Position.");
    });
}

CPoint::~CPoint() { position_.Reset(); }

HRESULT CPoint::get_Position(IDispatch** out)
{
    return Member([&] {
        RequireOut(out);
        zyk::com::HandOut(position_, out, "Position Not Initialised.");
    });
}

// Up to three turns, about X, then Y, then Z; an angle of exactly 0 is no turn.
HRESULT CPoint::Rotate(float x, float y, float z)
{
    return Member([&] {
        const Matrix ax = camera::RotationX(x * kRadiansPerDegree), ay = camera::RotationY(y * kRadiansPerDegree),
                     az = camera::RotationZ(z * kRadiansPerDegree);
        Transform(position_.Get(), {x != 0.0f ? &ax : nullptr, y != 0.0f ? &ay : nullptr, z != 0.0f ? &az : nullptr});
    });
}

HRESULT CPoint::Move(float x, float y, float z)
{
    return Member([&] { Transform(position_.Get(), Translation(x, y, z)); });
}

HRESULT CPoint::Scale(float x, float y, float z)
{
    return Member([&] { Transform(position_.Get(), Scaling(x, y, z)); });
}

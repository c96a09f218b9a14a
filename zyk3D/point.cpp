#include "point.h"
#include "com/create.h"
#include "errormaps.h"
#include "checks.h"
#include "com/failure.h"
#include "com/handed.h"
#include "com/trace.h"
#include <cmath>
#include <initializer_list>

namespace {

// A row-vector transform: (x, y, z, 1) times m, with no division by w.
struct Matrix {
    float m[4][4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};

    void Apply(float& x, float& y, float& z) const
    {
        const float a = x, b = y, c = z;
        x = a * m[0][0] + b * m[1][0] + c * m[2][0] + m[3][0];
        y = a * m[0][1] + b * m[1][1] + c * m[2][1] + m[3][1];
        z = a * m[0][2] + b * m[1][2] + c * m[2][2] + m[3][2];
    }
};

constexpr float kRadiansPerDegree = 0.017453292f;

enum class Axis { X, Y, Z };

Matrix Rotation(Axis axis, float degrees)
{
    const float r = degrees * kRadiansPerDegree;
    const float c = std::cos(r), s = std::sin(r);
    Matrix t;
    switch (axis) {
    case Axis::X:
        t.m[1][1] = c;
        t.m[1][2] = s;
        t.m[2][1] = -s;
        t.m[2][2] = c;
        break;
    case Axis::Y:
        t.m[0][0] = c;
        t.m[0][2] = -s;
        t.m[2][0] = s;
        t.m[2][2] = c;
        break;
    case Axis::Z:
        t.m[0][0] = c;
        t.m[0][1] = s;
        t.m[1][0] = -s;
        t.m[1][1] = c;
        break;
    }
    return t;
}

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
        if (t) t->Apply(x, y, z);
    position->put_X(x);
    position->put_Y(y);
    position->put_Z(z);
}

} // namespace

CPoint::CPoint()
{
    comInitialised_ = SUCCEEDED(InitialiseCOM());
    Member([&] {
        position_ = zyk::com::Ptr<IPosition>::Adopt(
            reinterpret_cast<IPosition*>(CreateComObject(CLSID_Position, IID_IPosition)));
        if (!position_) throw failure(E_POINTER, "Failed to Initialise Position.");
    });
}

CPoint::~CPoint()
{
    position_.Reset();
    if (comInitialised_) CoUninitialize();
}

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
        const Matrix ax = Rotation(Axis::X, x), ay = Rotation(Axis::Y, y), az = Rotation(Axis::Z, z);
        Transform(position_.Get(), {x != 0.0f ? &ax : nullptr, y != 0.0f ? &ay : nullptr, z != 0.0f ? &az : nullptr});
    });
}

HRESULT CPoint::Move(float x, float y, float z)
{
    return Member([&] {
        Matrix t;
        t.m[3][0] = x;
        t.m[3][1] = y;
        t.m[3][2] = z;
        Transform(position_.Get(), {&t});
    });
}

HRESULT CPoint::Scale(float x, float y, float z)
{
    return Member([&] {
        Matrix t;
        t.m[0][0] = x;
        t.m[1][1] = y;
        t.m[2][2] = z;
        Transform(position_.Get(), {&t});
    });
}

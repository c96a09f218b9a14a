// CPoint: a movable position in space.
#pragma once
#include "zyk3D.h"
#include "com/create.h"
#include "com/object.h"
#include "com/ptr.h"

// A position in space that can be moved, scaled and rotated. The coordinates live in a
// Position child made with the point; a point whose child could not be made has none.
class CPoint : public zyk::com::CoClass<IPoint, &IID_IPoint, &CLSID_Point> {
public:
    CPoint();
    ~CPoint() override;

    HRESULT STDMETHODCALLTYPE get_Position(IDispatch** out) override;
    HRESULT STDMETHODCALLTYPE Rotate(float x, float y, float z) override;
    HRESULT STDMETHODCALLTYPE Move(float x, float y, float z) override;
    HRESULT STDMETHODCALLTYPE Scale(float x, float y, float z) override;
    // A point's block of the world file is empty.
    HRESULT STDMETHODCALLTYPE Load(long) override
    {
        return Member([] {});
    }
    HRESULT STDMETHODCALLTYPE Save(long) override
    {
        return Member([] {});
    }

private:
    zyk::com::Apartment apartment_;
    zyk::com::Ptr<IPosition> position_;
};

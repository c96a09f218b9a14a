// CPoints: the collection of an object's points.
#pragma once
#include "zyk3D.h"
#include "com/collection.h"
#include "com/create.h"
#include "com/object.h"
#include "com/tie.h"
#include <d3d.h>

// Points filed as Point0, Point1, ... (the smallest number no point has), transformed all
// at once and drawn as one textured triangle when there are exactly three of them.
class CPoints : public zyk::com::Collection<IPoints, &IID_IPoints, &CLSID_Points, IPoint> {
public:
    ~CPoints() override;

    HRESULT STDMETHODCALLTYPE get_Add(float x, float y, float z, IDispatch** out) override;
    // Stored only: the points themselves never touch the device.
    HRESULT STDMETHODCALLTYPE put_Device(long device) override
    {
        return Member([&] { device_.Take(device); });
    }
    HRESULT STDMETHODCALLTYPE Render(long fillMode) override;
    HRESULT STDMETHODCALLTYPE Rotate(float x, float y, float z) override;
    HRESULT STDMETHODCALLTYPE Move(float x, float y, float z) override;
    HRESULT STDMETHODCALLTYPE Scale(float x, float y, float z) override;
    // The points block of the world file is empty.
    HRESULT STDMETHODCALLTYPE Load(long) override
    {
        return Member([] {});
    }
    HRESULT STDMETHODCALLTYPE Save(long) override
    {
        return Member([] {});
    }

private:
    template <class Call>
    HRESULT ForEachPoint(Call call);

    zyk::com::Apartment apartment_;
    // The device the object handed down, used by Render alone; void once let go.
    zyk::com::Handed<IDirect3DDevice7> device_{OwnTie()};
};

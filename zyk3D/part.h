// CPart: the element type of Parts.
#pragma once
#include "zyk3D.h"
#include "com/object.h"

// The element type of Parts. A model is held whole by its Parts, so a part does nothing.
class CPart : public zyk::com::CoClass<IPart, &IID_IPart, &CLSID_Part> {
public:
    HRESULT STDMETHODCALLTYPE Render() override
    {
        return Member([] {});
    }
    HRESULT STDMETHODCALLTYPE Move(float, float, float) override
    {
        return Member([] {});
    }
    HRESULT STDMETHODCALLTYPE Rotate(float, float, float) override
    {
        return Member([] {});
    }
    HRESULT STDMETHODCALLTYPE Scale(float) override
    {
        return Member([] {});
    }
};

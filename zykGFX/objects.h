// CGfxObjects: the collection of a device's bitmap objects.
#pragma once
#include "gfx.h"
#include "com/collection.h"
#include "com/create.h"
#include "com/object.h"

// The device's bitmap objects, filed under the file name they were loaded from. An object
// that leaves the collection (Remove, Clear, the collection's end) is let go: it keeps its
// own surface and values but no longer reaches the device.
class CGfxObjects : public zyk::com::Collection<IObjects, &IID_IObjects, &CLSID_Objects, IObject> {
public:
    ~CGfxObjects() override;

    HRESULT STDMETHODCALLTYPE put_DD(long dd) override;
    HRESULT STDMETHODCALLTYPE put_BackSurface(long surface) override;
    HRESULT STDMETHODCALLTYPE get_Add(BSTR filename, long width, long height, long videoMemory,
                                      IDispatch** out) override;
    HRESULT STDMETHODCALLTYPE put_ScreenWidth(long v) override { return Put(screenWidth_, v); }
    HRESULT STDMETHODCALLTYPE put_ScreenHeight(long v) override { return Put(screenHeight_, v); }

private:
    zyk::com::Apartment apartment_;
    zyk::com::Handed<IDirectDraw7> dd_{OwnTie()};
    zyk::com::Handed<IDirectDrawSurface7> back_{OwnTie()};
    long screenWidth_ = 0, screenHeight_ = 0;
};

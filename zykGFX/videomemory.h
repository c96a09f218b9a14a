// CVideoMemory: the video memory of a DirectDraw driver.
#pragma once
#include "gfx.h"
#include "com/object.h"

// Free and total video memory as the driver's caps give them; once the device lets it go,
// the figures fail as without a DirectDraw object.
class CVideoMemory : public zyk::com::CoClass<IVideoMemory, &IID_IVideoMemory, &CLSID_VideoMemory> {
public:
    HRESULT STDMETHODCALLTYPE get_Free(long* out) override;
    HRESULT STDMETHODCALLTYPE get_Total(long* out) override;
    HRESULT STDMETHODCALLTYPE put_DD(long dd) override;

private:
    void QueryVideoMemory();

    zyk::com::Handed<IDirectDraw7> dd_{OwnTie()};
    DWORD free_ = 0, total_ = 0; // the last figures read
};

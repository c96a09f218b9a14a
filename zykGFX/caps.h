// CCaps: the capabilities of a DirectDraw driver.
#pragma once
#include "gfx.h"
#include "com/object.h"

// The capability bits of a DirectDraw driver, read afresh by every getter; each answers
// 1 or 0, and fails as without a DirectDraw object once the device lets it go.
class CCaps : public zyk::com::CoClass<ICaps, &IID_ICaps, &CLSID_Caps> {
public:
    HRESULT STDMETHODCALLTYPE get_Accelerator(long* out) override;
    HRESULT STDMETHODCALLTYPE put_DD(long dd) override;
    HRESULT STDMETHODCALLTYPE get_Certified(long* out) override;
    HRESULT STDMETHODCALLTYPE get_DMA(long* out) override;
    HRESULT STDMETHODCALLTYPE get_AsyncBlits(long* out) override;
    HRESULT STDMETHODCALLTYPE get_PageLocking(long* out) override;
    HRESULT STDMETHODCALLTYPE get_RenderInWindow(long* out) override;
    HRESULT STDMETHODCALLTYPE get_Overlays(long* out) override;
    HRESULT STDMETHODCALLTYPE get_Rotation(long* out) override;

private:
    template <class Test>
    HRESULT Answer(long* out, const char* failed, Test&& test);
    bool ReadCaps();

    zyk::com::Handed<IDirectDraw7> dd_{OwnTie()};
    DDCAPS caps_{};
};

// CTextureFormat: one texture format of a device.
#pragma once
#include "zyk3D.h"
#include "com/object.h"

// One texture format of a device. It describes nothing yet: every member succeeds and
// gives no value (an out value is set to 0 so that a caller never reads garbage).
class CTextureFormat : public zyk::com::CoClass<ITextureFormat, &IID_ITextureFormat, &CLSID_TextureFormat> {
public:
    HRESULT STDMETHODCALLTYPE get_Count(long* out) override { return Nothing(out); }
    HRESULT STDMETHODCALLTYPE get_RGB(VARIANT_BOOL* out) override { return Nothing(out); }
    HRESULT STDMETHODCALLTYPE get_Alpha(VARIANT_BOOL* out) override { return Nothing(out); }
    HRESULT STDMETHODCALLTYPE get_Luminance(VARIANT_BOOL* out) override { return Nothing(out); }

private:
    template <class T>
    HRESULT Nothing(T* out)
    {
        return Member([&] {
            if (out) *out = 0;
        });
    }
};

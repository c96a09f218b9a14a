// CTextureFormats: the collection of a device's texture formats.
#pragma once
#include "zyk3D.h"
#include "com/enum.h"
#include "com/object.h"

// The texture formats of a device. It lists nothing yet and keeps nothing, not even the
// device: every member succeeds and gives no value (an empty enumerator, an empty
// VARIANT, a count of 0).
class CTextureFormats : public zyk::com::CoClass<ITextureFormats, &IID_ITextureFormats, &CLSID_TextureFormats> {
public:
    HRESULT STDMETHODCALLTYPE get__NewEnum(IUnknown** out) override
    {
        // A working enumerator of nothing: For Each over a null one ends a script host.
        return Member([&]() -> HRESULT {
            if (!out) return E_POINTER;
            *out = zyk::com::CreateVariantEnum({});
            return *out ? S_OK : E_OUTOFMEMORY;
        });
    }
    HRESULT STDMETHODCALLTYPE Item(VARIANT, VARIANT* out) override
    {
        return Member([&] {
            if (out) VariantInit(out);
        });
    }
    HRESULT STDMETHODCALLTYPE get_Count(long* out) override
    {
        return Member([&] {
            if (out) *out = 0;
        });
    }
    HRESULT STDMETHODCALLTYPE put_Device(long) override
    {
        return Member([] {});
    }
};

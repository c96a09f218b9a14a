// CTextureMemory: the texture memory of a DirectDraw object.
#pragma once
#include "gfx.h"
#include "com/object.h"

// Free and total texture memory of a DirectDraw object; once the device lets it go, the
// figures fail as without one.
class CTextureMemory : public zyk::com::CoClass<ITextureMemory, &IID_ITextureMemory, &CLSID_TextureMemory> {
public:
    HRESULT STDMETHODCALLTYPE get_Free(long* out) override { return Query(out, true, "get_Free"); }
    HRESULT STDMETHODCALLTYPE get_Total(long* out) override { return Query(out, false, "get_Total"); }
    HRESULT STDMETHODCALLTYPE put_DD(long dd) override;

private:
    HRESULT Query(long* out, bool free, const char* member);

    zyk::com::Handed<IDirectDraw7> dd_{OwnTie()};
};

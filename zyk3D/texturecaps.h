// CTextureCaps: the texture capabilities of a device.
#pragma once
#include "zyk3D.h"
#include "com/create.h"
#include "com/object.h"
#include "com/ptr.h"
#include "com/tie.h"
#include <d3d.h>

// The device's texture limits and its texture manager's statistics, asked afresh on every
// call. The getters give:
//   MaxWidth, MaxHeight   dwMaxTextureWidth, dwMaxTextureHeight of the device description
//   MinWidth, MinHeight   dwMinTextureWidth, dwMinTextureHeight of the device description
//   MemoryAlloc           dwTotalBytes of the statistics (bytes of all managed textures)
//   MemoryUsed            dwWorkingSetBytes of the statistics (bytes of those in video memory)
// A device that fills no statistics (it may answer S_FALSE and write nothing) gives 0 for
// the two memory figures. A getter that cannot ask writes 0.
class CTextureCaps : public zyk::com::CoClass<ITextureCaps, &IID_ITextureCaps, &CLSID_TextureCaps> {
public:
    ~CTextureCaps() override;

    HRESULT STDMETHODCALLTYPE get_MaxWidth(long* out) override { return Answer(out, &Desc::dwMaxTextureWidth); }
    HRESULT STDMETHODCALLTYPE get_MaxHeight(long* out) override { return Answer(out, &Desc::dwMaxTextureHeight); }
    HRESULT STDMETHODCALLTYPE get_MinWidth(long* out) override { return Answer(out, &Desc::dwMinTextureWidth); }
    HRESULT STDMETHODCALLTYPE get_MinHeight(long* out) override { return Answer(out, &Desc::dwMinTextureHeight); }
    HRESULT STDMETHODCALLTYPE get_MemoryAlloc(long* out) override { return Answer(out, &Stats::dwTotalBytes); }
    HRESULT STDMETHODCALLTYPE get_MemoryUsed(long* out) override { return Answer(out, &Stats::dwWorkingSetBytes); }
    HRESULT STDMETHODCALLTYPE put_Device(long device) override
    {
        return Member([&] { device_.Take(device); });
    }

private:
    // Fills stats_ and desc_ from the device; false after recording why it could not.
    bool Query();

    using Desc = D3DDEVICEDESC7;
    using Stats = D3DDEVINFO_TEXTUREMANAGER;
    // A field of the device description or of the statistics, asked afresh.
    HRESULT Answer(long* out, DWORD Desc::*field) { return Answer(out, &CTextureCaps::desc_, field); }
    HRESULT Answer(long* out, DWORD Stats::*field) { return Answer(out, &CTextureCaps::stats_, field); }
    template <class Record>
    HRESULT Answer(long* out, Record CTextureCaps::*record, DWORD Record::*field);

    zyk::com::Apartment apartment_;
    D3DDEVINFO_TEXTUREMANAGER stats_{};
    D3DDEVICEDESC7 desc_{};
    // The device its collection handed down, not referenced; void once the caps are let go.
    zyk::com::Handed<IDirect3DDevice7> device_{OwnTie()};
};

// Device3D's render options: the render states it reads from and writes to the device.
#include "device3d.h"
#include "com/failure.h"

// The four render-state properties with texts: a boolean one reads 1 for any non-zero
// state and writes TRUE for any non-zero value; the others pass values unchanged.
struct RenderOption {
    D3DRENDERSTATETYPE state;
    bool boolean;
    const char* getFailed;
    const char* setFailed;
};

namespace {

const RenderOption kAntiAlias{D3DRENDERSTATE_ANTIALIAS, false, "Failed to Obtain Anti-Alias Setting.",
                              "Failed to Set Anti-Alias Setting."};
const RenderOption kDither{D3DRENDERSTATE_DITHERENABLE, true, "Failed to Obtain Dither Setting.",
                           "Failed to Set Dither Setting."};
const RenderOption kShadeMode{D3DRENDERSTATE_SHADEMODE, false, "Failed to Obtain Shade Mode.",
                              "Failed to Set Shade Mode."};
const RenderOption kSpecular{D3DRENDERSTATE_SPECULARENABLE, true, "Failed to Obtain Specular Setting.",
                             "Failed to Set Specular Setting."};

} // namespace

template <class T>
HRESULT CDevice3D::GetOption(const RenderOption& option, T* out)
{
    return Member([&]() -> HRESULT {
        if (!out) return E_POINTER;
        if (!device_) throw failure(E_POINTER, "Device Not Initialised.");
        DWORD v = 0;
        HRESULT hr = device_->GetRenderState(option.state, &v);
        if (FAILED(hr)) throw failure(hr, option.getFailed);
        *out = static_cast<T>(option.boolean ? (v ? 1 : 0) : v);
        return S_OK;
    });
}

template <class T>
HRESULT CDevice3D::SetOption(const RenderOption& option, T value)
{
    return Member([&] {
        if (!device_) throw failure(E_POINTER, "Device Not Initialised.");
        const DWORD v = option.boolean ? (value ? TRUE : FALSE) : static_cast<DWORD>(value);
        HRESULT hr = device_->SetRenderState(option.state, v);
        if (FAILED(hr)) throw failure(hr, option.setFailed);
    });
}

HRESULT CDevice3D::get_AntiAlias(AntiAliasModes* out) { return GetOption(kAntiAlias, out); }
HRESULT CDevice3D::put_AntiAlias(AntiAliasModes mode) { return SetOption(kAntiAlias, mode); }
HRESULT CDevice3D::get_Dither(VARIANT_BOOL* out) { return GetOption(kDither, out); }
HRESULT CDevice3D::put_Dither(VARIANT_BOOL flag) { return SetOption(kDither, flag); }
HRESULT CDevice3D::get_ShadeMode(ShadeModes* out) { return GetOption(kShadeMode, out); }
HRESULT CDevice3D::put_ShadeMode(ShadeModes mode) { return SetOption(kShadeMode, mode); }
HRESULT CDevice3D::get_Specular(VARIANT_BOOL* out) { return GetOption(kSpecular, out); }
HRESULT CDevice3D::put_Specular(VARIANT_BOOL flag) { return SetOption(kSpecular, flag); }

// Cull and Outline answer by the device's code alone, and E_POINTER without a device. The
// cull mode is kept (kept not null) for the next Initialise: read back, or put while there
// is a device, whatever the device answers to the put.
template <class T>
HRESULT CDevice3D::GetBareOption(D3DRENDERSTATETYPE state, T* out, T* kept)
{
    return Member([&]() -> HRESULT {
        if (!device_ || !out) return E_POINTER;
        DWORD v = 0;
        HRESULT hr = device_->GetRenderState(state, &v);
        if (SUCCEEDED(hr)) {
            *out = static_cast<T>(v);
            if (kept) *kept = *out;
        }
        return hr;
    });
}

template <class T>
HRESULT CDevice3D::SetBareOption(D3DRENDERSTATETYPE state, T value, T* kept)
{
    return Member([&]() -> HRESULT {
        if (!device_) return E_POINTER;
        if (kept) *kept = value;
        return device_->SetRenderState(state, static_cast<DWORD>(value));
    });
}

HRESULT CDevice3D::get_Cull(CullModes* out) { return GetBareOption(D3DRENDERSTATE_CULLMODE, out, &cull_); }
HRESULT CDevice3D::put_Cull(CullModes mode) { return SetBareOption(D3DRENDERSTATE_CULLMODE, mode, &cull_); }
HRESULT CDevice3D::get_Outline(long* out) { return GetBareOption<long>(D3DRENDERSTATE_LINEPATTERN, out, nullptr); }
HRESULT CDevice3D::put_Outline(long pattern)
{
    return SetBareOption<long>(D3DRENDERSTATE_LINEPATTERN, pattern, nullptr);
}

// D3DX's code alone, without error information.
HRESULT CDevice3D::get_SurfaceFormat(SurfaceFormats* out)
{
    return Member([&]() -> HRESULT {
        if (!context_ || !out) return E_POINTER;
        D3DX_SURFACEFORMAT format = D3DX_SF_UNKNOWN;
        HRESULT hr = D3DXGetSurfaceFormat(index_, nullptr, D3DX_SC_COLORTEXTURE, 0, &format);
        if (SUCCEEDED(hr)) *out = static_cast<SurfaceFormats>(format);
        return hr;
    });
}

HRESULT CDevice3D::get_Graphics(IDispatch**)
{
    return Member([] { return E_NOTIMPL; });
}

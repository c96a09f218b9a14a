// Sprites: a texture drawn as a pre-transformed quad, scaled and turned about a pivot,
// blended at a transparency.
#include "d3dx.h"

#include <cmath>

namespace {

struct SpriteVertex {
    float x, y, z, rhw;
    D3DCOLOR diffuse, specular;
    float u, v;
};
constexpr DWORD kSpriteFVF = D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_SPECULAR | D3DFVF_TEX1;

bool Finite(float v) { return std::isfinite(v); }

} // namespace

HRESULT D3DXPrepareDeviceForSprite(IDirect3DDevice7* pDevice, BOOL zEnable)
{
    if (!pDevice) return D3DXERR_NULLPOINTER;
    const DWORD z = zEnable ? TRUE : FALSE;
    const struct {
        D3DRENDERSTATETYPE state;
        DWORD value;
    } renderStates[] = {
        {D3DRENDERSTATE_ALPHABLENDENABLE, TRUE},
        {D3DRENDERSTATE_SRCBLEND, D3DBLEND_SRCALPHA},
        {D3DRENDERSTATE_DESTBLEND, D3DBLEND_INVSRCALPHA},
        {D3DRENDERSTATE_ALPHATESTENABLE, TRUE},
        {D3DRENDERSTATE_ALPHAREF, 0},
        {D3DRENDERSTATE_ALPHAFUNC, D3DCMP_GREATER},
        {D3DRENDERSTATE_LIGHTING, FALSE},
        {D3DRENDERSTATE_FOGENABLE, FALSE},
        {D3DRENDERSTATE_SPECULARENABLE, FALSE},
        {D3DRENDERSTATE_CULLMODE, D3DCULL_NONE},
        {D3DRENDERSTATE_ZENABLE, z ? static_cast<DWORD>(D3DZB_TRUE) : static_cast<DWORD>(D3DZB_FALSE)},
        {D3DRENDERSTATE_ZWRITEENABLE, z},
        {D3DRENDERSTATE_ZFUNC, D3DCMP_LESSEQUAL},
        {D3DRENDERSTATE_WRAP0, 0},
    };
    for (const auto& s : renderStates) {
        HRESULT hr = pDevice->SetRenderState(s.state, s.value);
        if (FAILED(hr)) return hr;
    }
    const struct {
        DWORD stage;
        D3DTEXTURESTAGESTATETYPE state;
        DWORD value;
    } stageStates[] = {
        {0, D3DTSS_COLOROP, D3DTOP_MODULATE},
        {0, D3DTSS_COLORARG1, D3DTA_TEXTURE},
        {0, D3DTSS_COLORARG2, D3DTA_DIFFUSE},
        {0, D3DTSS_ALPHAOP, D3DTOP_MODULATE},
        {0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE},
        {0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE},
        {0, D3DTSS_MAGFILTER, D3DTFG_LINEAR},
        {0, D3DTSS_MINFILTER, D3DTFN_LINEAR},
        {0, D3DTSS_MIPFILTER, D3DTFP_NONE},
        {0, D3DTSS_ADDRESSU, D3DTADDRESS_CLAMP},
        {0, D3DTSS_ADDRESSV, D3DTADDRESS_CLAMP},
        {0, D3DTSS_TEXCOORDINDEX, 0},
        {0, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_DISABLE},
        {1, D3DTSS_COLOROP, D3DTOP_DISABLE},
        {1, D3DTSS_ALPHAOP, D3DTOP_DISABLE},
    };
    for (const auto& s : stageStates) {
        HRESULT hr = pDevice->SetTextureStageState(s.stage, s.state, s.value);
        if (FAILED(hr)) return hr;
    }
    return S_OK;
}

HRESULT D3DXDrawSpriteSimple(IDirectDrawSurface7* pTexture, IDirect3DDevice7* pDevice, const D3DXVECTOR3* ppointDest,
                             float alpha, float scale, float angleRad, const D3DXVECTOR2* pOffset,
                             const RECT* pSourceRect)
{
    if (!pTexture || !pDevice || !ppointDest) return D3DXERR_NULLPOINTER;
    if (!(alpha >= 0.0f && alpha <= 1.0f) || !Finite(scale) || !Finite(angleRad)) return E_INVALIDARG;
    if (!Finite(ppointDest->x) || !Finite(ppointDest->y) || !Finite(ppointDest->z)) return E_INVALIDARG;
    const D3DXVECTOR2 offset = pOffset ? *pOffset : D3DXVECTOR2{0, 0};
    if (!Finite(offset.x) || !Finite(offset.y)) return E_INVALIDARG;

    DDSURFACEDESC2 desc = {};
    desc.dwSize = sizeof(desc);
    HRESULT hr = pTexture->GetSurfaceDesc(&desc);
    if (FAILED(hr)) return hr;
    const LONG texW = static_cast<LONG>(desc.dwWidth), texH = static_cast<LONG>(desc.dwHeight);
    const RECT src = pSourceRect ? *pSourceRect : RECT{0, 0, texW, texH};
    if (src.left < 0 || src.top < 0 || src.left >= src.right || src.top >= src.bottom || src.right > texW ||
        src.bottom > texH)
        return E_INVALIDARG;

    // Corners about the pivot, turned, then placed with texel centres on pixel centres.
    const float halfW = (src.right - src.left) * scale / 2, halfH = (src.bottom - src.top) * scale / 2;
    const float c = std::cos(angleRad), s = std::sin(angleRad);
    const float u0 = static_cast<float>(src.left) / texW, u1 = static_cast<float>(src.right) / texW;
    const float v0 = static_cast<float>(src.top) / texH, v1 = static_cast<float>(src.bottom) / texH;
    const D3DCOLOR colour = static_cast<D3DCOLOR>(std::lround(alpha * 255.0f)) << 24 | 0xFFFFFF;
    SpriteVertex quad[4];
    const float corners[4][4] = {
        {-halfW, -halfH, u0, v0}, {halfW, -halfH, u1, v0}, {-halfW, halfH, u0, v1}, {halfW, halfH, u1, v1}};
    for (int i = 0; i < 4; ++i) {
        const float x = corners[i][0] - offset.x, y = corners[i][1] - offset.y;
        quad[i] = {ppointDest->x + x * c - y * s - 0.5f,
                   ppointDest->y + x * s + y * c - 0.5f,
                   ppointDest->z,
                   1.0f,
                   colour,
                   0,
                   corners[i][2],
                   corners[i][3]};
    }
    hr = pDevice->SetTexture(0, pTexture);
    if (FAILED(hr)) return hr;
    return pDevice->DrawPrimitive(D3DPT_TRIANGLESTRIP, kSpriteFVF, quad, 4, 0);
}

#pragma once
#include "zyk3D.h"
#include "com/object.h"
#include "com/ptr.h"
#include <d3d.h>
#include <string>

struct CTextureContainer;

// One texture of the scene: an image file loaded through D3DX into a surface that lives in
// a record of the texture store, and the texture-stage settings that Apply puts on the
// device with the surface. The texture holds one use of its record from LoadBitmap until
// the next LoadBitmap, a new Name, Free or its destruction.
class CTexture : public zyk::com::CoClass<CTexture, ITexture, &IID_ITexture, &CLSID_Texture> {
public:
    CTexture();
    ~CTexture() override;

    HRESULT STDMETHODCALLTYPE Apply() override;
    HRESULT STDMETHODCALLTYPE get_Height(long* out) override;
    HRESULT STDMETHODCALLTYPE get_width(long* out) override;
    HRESULT STDMETHODCALLTYPE LoadBitmap(BSTR filename) override;
    HRESULT STDMETHODCALLTYPE put_Device(long device) override
    {
        device_ = zyk::com::FromHandle<IDirect3DDevice7>(device);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_Name(BSTR* out) override;
    HRESULT STDMETHODCALLTYPE put_Name(BSTR name) override;
    HRESULT STDMETHODCALLTYPE get_Handle(long* out) override;
    HRESULT STDMETHODCALLTYPE get_Wrap(TextureWraps* out) override { return zyk::com::CopyOut(wrap_, out); }
    HRESULT STDMETHODCALLTYPE put_Wrap(TextureWraps v) override { wrap_ = v; return S_OK; }
    HRESULT STDMETHODCALLTYPE get_MagFilter(TextureMags* out) override { return zyk::com::CopyOut(magFilter_, out); }
    HRESULT STDMETHODCALLTYPE put_MagFilter(TextureMags v) override { magFilter_ = v; return S_OK; }
    HRESULT STDMETHODCALLTYPE get_Coords(TextureCoordIndexes* out) override { return zyk::com::CopyOut(coords_, out); }
    HRESULT STDMETHODCALLTYPE put_Coords(TextureCoordIndexes v) override { coords_ = v; return S_OK; }
    HRESULT STDMETHODCALLTYPE get_SourceBlending(TextureBlendTypes* out) override { return zyk::com::CopyOut(sourceBlending_, out); }
    HRESULT STDMETHODCALLTYPE put_SourceBlending(TextureBlendTypes v) override { sourceBlending_ = v; return S_OK; }
    HRESULT STDMETHODCALLTYPE get_DestBlending(TextureBlendTypes* out) override { return zyk::com::CopyOut(destBlending_, out); }
    HRESULT STDMETHODCALLTYPE put_DestBlending(TextureBlendTypes v) override { destBlending_ = v; return S_OK; }
    HRESULT STDMETHODCALLTYPE get_MinFilter(TextureMags* out) override { return zyk::com::CopyOut(minFilter_, out); }
    HRESULT STDMETHODCALLTYPE put_MinFilter(TextureMags v) override { minFilter_ = v; return S_OK; }
    HRESULT STDMETHODCALLTYPE get_ColourOp(TextureColourOps* out) override { return zyk::com::CopyOut(colourOp_, out); }
    HRESULT STDMETHODCALLTYPE put_ColourOp(TextureColourOps v) override { colourOp_ = v; return S_OK; }
    HRESULT STDMETHODCALLTYPE get_ColourArg1(TextureArgs* out) override { return zyk::com::CopyOut(colourArg1_, out); }
    HRESULT STDMETHODCALLTYPE put_ColourArg1(TextureArgs v) override { colourArg1_ = v; return S_OK; }
    HRESULT STDMETHODCALLTYPE get_ColourArg2(TextureArgs* out) override { return zyk::com::CopyOut(colourArg2_, out); }
    HRESULT STDMETHODCALLTYPE put_ColourArg2(TextureArgs v) override { colourArg2_ = v; return S_OK; }
    HRESULT STDMETHODCALLTYPE get_AlphaArg1(TextureArgs* out) override { return zyk::com::CopyOut(alphaArg1_, out); }
    HRESULT STDMETHODCALLTYPE put_AlphaArg1(TextureArgs v) override { alphaArg1_ = v; return S_OK; }
    HRESULT STDMETHODCALLTYPE get_AlphaArg2(TextureArgs* out) override { return zyk::com::CopyOut(alphaArg2_, out); }
    HRESULT STDMETHODCALLTYPE put_AlphaArg2(TextureArgs v) override { alphaArg2_ = v; return S_OK; }
    HRESULT STDMETHODCALLTYPE get_AlphaOp(TextureColourOps* out) override { return zyk::com::CopyOut(alphaOp_, out); }
    HRESULT STDMETHODCALLTYPE put_AlphaOp(TextureColourOps v) override { alphaOp_ = v; return S_OK; }
    HRESULT STDMETHODCALLTYPE Free() override;
    HRESULT STDMETHODCALLTYPE get_Stage(long* out) override { return zyk::com::CopyOut(stage_, out); }
    HRESULT STDMETHODCALLTYPE put_Stage(long v) override { stage_ = v; return S_OK; }
    HRESULT STDMETHODCALLTYPE put_DirectDraw(long) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE get_BumpMapOffsetLuminance(float* out) override { return Bump(D3DTSS_BUMPENVLOFFSET, out); }
    HRESULT STDMETHODCALLTYPE put_BumpMapOffsetLuminance(float v) override { return SetBump(D3DTSS_BUMPENVLOFFSET, v); }
    HRESULT STDMETHODCALLTYPE get_BumpEnvMat11(float* out) override { return Bump(D3DTSS_BUMPENVMAT11, out); }
    HRESULT STDMETHODCALLTYPE put_BumpEnvMat11(float v) override { return SetBump(D3DTSS_BUMPENVMAT11, v); }
    HRESULT STDMETHODCALLTYPE get_BumpEnvMat10(float* out) override { return Bump(D3DTSS_BUMPENVMAT10, out); }
    HRESULT STDMETHODCALLTYPE put_BumpEnvMat10(float v) override { return SetBump(D3DTSS_BUMPENVMAT10, v); }
    HRESULT STDMETHODCALLTYPE get_BumpEnvMat01(float* out) override { return Bump(D3DTSS_BUMPENVMAT01, out); }
    HRESULT STDMETHODCALLTYPE put_BumpEnvMat01(float v) override { return SetBump(D3DTSS_BUMPENVMAT01, v); }
    HRESULT STDMETHODCALLTYPE get_BumpEnvMat00(float* out) override { return Bump(D3DTSS_BUMPENVMAT00, out); }
    HRESULT STDMETHODCALLTYPE put_BumpEnvMat00(float v) override { return SetBump(D3DTSS_BUMPENVMAT00, v); }
    HRESULT STDMETHODCALLTYPE get_BumpMapScaleLuminance(float* out) override { return Bump(D3DTSS_BUMPENVLSCALE, out); }
    HRESULT STDMETHODCALLTYPE put_BumpMapScaleLuminance(float v) override { return SetBump(D3DTSS_BUMPENVLSCALE, v); }
    // The texture block of the world file is empty.
    HRESULT STDMETHODCALLTYPE Load(long) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE Save(long) override { return S_OK; }

private:
    // The bump settings live on the device's stage: a getter reads the stage's state
    // (0 without a device), a setter writes it (nothing without a device).
    HRESULT Bump(D3DTEXTURESTAGESTATETYPE state, float* out);
    HRESULT SetBump(D3DTEXTURESTAGESTATETYPE state, float value);
    HRESULT SurfaceSize(DWORD DDSURFACEDESC2::*side, const char* missing, long* out);
    void DropRecord();
    IDirectDrawSurface7* Surface() const;

    bool comInitialised_ = false;
    TextureCoordIndexes coords_ = tci_CameraSpaceRefVector;
    TextureMags magFilter_ = tm_Point;
    TextureMags minFilter_ = tm_Point;
    TextureWraps wrap_ = tw_Wrap;
    TextureColourOps colourOp_ = tco_Modulate;
    TextureColourOps alphaOp_ = tco_Modulate;
    TextureArgs colourArg1_ = ta_Texture;
    TextureArgs colourArg2_ = ta_Diffuse;
    TextureArgs alphaArg1_ = ta_Texture;
    TextureArgs alphaArg2_ = ta_Diffuse;
    long stage_ = 0;
    bool hasName_ = false;
    std::string name_;                       // the image file, in the ANSI code page
    IDirect3DDevice7* device_ = nullptr;     // borrowed from the owner of the device
    CTextureContainer* record_ = nullptr;    // one use of the store's record, or none
    TextureBlendTypes sourceBlending_ = tbt_SourceColour;
    TextureBlendTypes destBlending_ = tbt_DestColour;
};

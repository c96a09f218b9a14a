// CTexture: one texture of the scene.
#pragma once
#include "zyk3D.h"
#include "com/create.h"
#include "com/object.h"
#include "com/ptr.h"
#include "com/tie.h"
#include <d3d.h>
#include <string>

struct CTextureContainer;

// One texture of the scene: an image file loaded through D3DX into a surface that lives in
// a record of the texture store, and the texture-stage settings that Apply puts on the
// device with the surface. The texture holds one use of its record from a LoadBitmap that
// succeeds until the next LoadBitmap, a new Name, Free or its destruction; after a load
// that fails it holds no record and no picture. A picture that its device took with it is
// loaded again on the device the texture has when it is next used.
class CTexture : public zyk::com::CoClass<ITexture, &IID_ITexture, &CLSID_Texture> {
public:
    ~CTexture() override;

    HRESULT STDMETHODCALLTYPE Apply() override;
    HRESULT STDMETHODCALLTYPE get_Height(long* out) override;
    HRESULT STDMETHODCALLTYPE get_width(long* out) override;
    HRESULT STDMETHODCALLTYPE LoadBitmap(BSTR filename) override;
    HRESULT STDMETHODCALLTYPE put_Device(long device) override
    {
        return Member([&] { device_.Take(device); });
    }
    HRESULT STDMETHODCALLTYPE get_Name(BSTR* out) override;
    HRESULT STDMETHODCALLTYPE put_Name(BSTR name) override;
    HRESULT STDMETHODCALLTYPE get_Handle(long* out) override
    {
        return Member([&] { return zyk::com::CopyOut(zyk::com::ToHandle(Picture().Get()), out); });
    }
    HRESULT STDMETHODCALLTYPE get_Wrap(TextureWraps* out) override { return Get(wrap_, out); }
    HRESULT STDMETHODCALLTYPE put_Wrap(TextureWraps value) override { return Put(wrap_, value); }
    HRESULT STDMETHODCALLTYPE get_MagFilter(TextureMags* out) override { return Get(magFilter_, out); }
    HRESULT STDMETHODCALLTYPE put_MagFilter(TextureMags value) override { return Put(magFilter_, value); }
    HRESULT STDMETHODCALLTYPE get_Coords(TextureCoordIndexes* out) override { return Get(coords_, out); }
    HRESULT STDMETHODCALLTYPE put_Coords(TextureCoordIndexes value) override { return Put(coords_, value); }
    HRESULT STDMETHODCALLTYPE get_SourceBlending(TextureBlendTypes* out) override { return Get(sourceBlending_, out); }
    HRESULT STDMETHODCALLTYPE put_SourceBlending(TextureBlendTypes value) override
    {
        return Put(sourceBlending_, value);
    }
    HRESULT STDMETHODCALLTYPE get_DestBlending(TextureBlendTypes* out) override { return Get(destBlending_, out); }
    HRESULT STDMETHODCALLTYPE put_DestBlending(TextureBlendTypes value) override { return Put(destBlending_, value); }
    HRESULT STDMETHODCALLTYPE get_MinFilter(TextureMags* out) override { return Get(minFilter_, out); }
    HRESULT STDMETHODCALLTYPE put_MinFilter(TextureMags value) override { return Put(minFilter_, value); }
    HRESULT STDMETHODCALLTYPE get_ColourOp(TextureColourOps* out) override { return Get(colourOp_, out); }
    HRESULT STDMETHODCALLTYPE put_ColourOp(TextureColourOps value) override { return Put(colourOp_, value); }
    HRESULT STDMETHODCALLTYPE get_ColourArg1(TextureArgs* out) override { return Get(colourArg1_, out); }
    HRESULT STDMETHODCALLTYPE put_ColourArg1(TextureArgs value) override { return Put(colourArg1_, value); }
    HRESULT STDMETHODCALLTYPE get_ColourArg2(TextureArgs* out) override { return Get(colourArg2_, out); }
    HRESULT STDMETHODCALLTYPE put_ColourArg2(TextureArgs value) override { return Put(colourArg2_, value); }
    HRESULT STDMETHODCALLTYPE get_AlphaArg1(TextureArgs* out) override { return Get(alphaArg1_, out); }
    HRESULT STDMETHODCALLTYPE put_AlphaArg1(TextureArgs value) override { return Put(alphaArg1_, value); }
    HRESULT STDMETHODCALLTYPE get_AlphaArg2(TextureArgs* out) override { return Get(alphaArg2_, out); }
    HRESULT STDMETHODCALLTYPE put_AlphaArg2(TextureArgs value) override { return Put(alphaArg2_, value); }
    HRESULT STDMETHODCALLTYPE get_AlphaOp(TextureColourOps* out) override { return Get(alphaOp_, out); }
    HRESULT STDMETHODCALLTYPE put_AlphaOp(TextureColourOps value) override { return Put(alphaOp_, value); }
    HRESULT STDMETHODCALLTYPE Free() override;
    HRESULT STDMETHODCALLTYPE get_Stage(long* out) override { return Get(stage_, out); }
    HRESULT STDMETHODCALLTYPE put_Stage(long value) override { return Put(stage_, value); }
    HRESULT STDMETHODCALLTYPE put_DirectDraw(long) override
    {
        return Member([] {});
    }
    HRESULT STDMETHODCALLTYPE get_BumpMapOffsetLuminance(float* out) override
    {
        return Bump(D3DTSS_BUMPENVLOFFSET, out);
    }
    HRESULT STDMETHODCALLTYPE put_BumpMapOffsetLuminance(float value) override
    {
        return SetBump(D3DTSS_BUMPENVLOFFSET, value);
    }
    HRESULT STDMETHODCALLTYPE get_BumpEnvMat11(float* out) override { return Bump(D3DTSS_BUMPENVMAT11, out); }
    HRESULT STDMETHODCALLTYPE put_BumpEnvMat11(float value) override { return SetBump(D3DTSS_BUMPENVMAT11, value); }
    HRESULT STDMETHODCALLTYPE get_BumpEnvMat10(float* out) override { return Bump(D3DTSS_BUMPENVMAT10, out); }
    HRESULT STDMETHODCALLTYPE put_BumpEnvMat10(float value) override { return SetBump(D3DTSS_BUMPENVMAT10, value); }
    HRESULT STDMETHODCALLTYPE get_BumpEnvMat01(float* out) override { return Bump(D3DTSS_BUMPENVMAT01, out); }
    HRESULT STDMETHODCALLTYPE put_BumpEnvMat01(float value) override { return SetBump(D3DTSS_BUMPENVMAT01, value); }
    HRESULT STDMETHODCALLTYPE get_BumpEnvMat00(float* out) override { return Bump(D3DTSS_BUMPENVMAT00, out); }
    HRESULT STDMETHODCALLTYPE put_BumpEnvMat00(float value) override { return SetBump(D3DTSS_BUMPENVMAT00, value); }
    HRESULT STDMETHODCALLTYPE get_BumpMapScaleLuminance(float* out) override { return Bump(D3DTSS_BUMPENVLSCALE, out); }
    HRESULT STDMETHODCALLTYPE put_BumpMapScaleLuminance(float value) override
    {
        return SetBump(D3DTSS_BUMPENVLSCALE, value);
    }
    // The texture block of the world file is empty.
    HRESULT STDMETHODCALLTYPE Load(long) override
    {
        return Member([] {});
    }
    HRESULT STDMETHODCALLTYPE Save(long) override
    {
        return Member([] {});
    }

private:
    // The bump settings live on the device's stage: a getter reads the stage's state
    // (0 without a device), a setter writes it (nothing without a device).
    HRESULT Bump(D3DTEXTURESTAGESTATETYPE state, float* out);
    HRESULT SetBump(D3DTEXTURESTAGESTATETYPE state, float value);
    HRESULT SurfaceSize(DWORD DDSURFACEDESC2::*side, const char* missing, long* out);
    void DropRecord();
    // The body of Free, which destruction runs too.
    void FreeResources();
    // A texture its collection let go answers as one without a device, before anything else.
    void RequireHeld() const;
    zyk::com::Ptr<IDirectDrawSurface7> Surface() const;
    // The surface, made again from the file on the texture's device when the record lost it
    // (released with the device it was made on, or by the store).
    zyk::com::Ptr<IDirectDrawSurface7> Picture();

    zyk::com::Apartment apartment_;
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
    std::string name_; // the image file, in the ANSI code page
    // The device its collection handed down, not referenced; void once the texture is let go.
    zyk::com::Handed<IDirect3DDevice7> device_{OwnTie()};
    CTextureContainer* record_ = nullptr; // one use of the store's record, or none
    TextureBlendTypes sourceBlending_ = tbt_SourceColour;
    TextureBlendTypes destBlending_ = tbt_DestColour;
};

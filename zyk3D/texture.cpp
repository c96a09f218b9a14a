// CTexture: LoadBitmap into the texture store, Apply on a texture stage, its size, name and bump settings.
#include "texture.h"
#include "com/create.h"
#include "errormaps.h"
#include "com/failure.h"
#include "texturestore.h"
#include "com/text.h"
#include "com/trace.h"
#include <bit>
#include <d3dx.h>
#include <new>

namespace {

// A file D3DX could not make a texture of.
const CodeText kCreateTexture[] = {
    {E_NOTIMPL, 105},
    {DDERR_NOCOOPERATIVELEVELSET, 146},
    {DDERR_UNSUPPORTEDMODE, 105},
    {E_FAIL, 109},
    {DDERR_NOEXCLUSIVEMODE, 121},
    {DDERR_NOMIPMAPHW, 149},
    {E_OUTOFMEMORY, 101},
    {DDERR_NOFLIPHW, 122},
    {DDERR_INVALIDSURFACETYPE, 108},
    {E_INVALIDARG, 102},
    {DDERR_NOTFOUND, 151},
    {DDERR_DCALREADYCREATED, 110},
    {DDERR_INCOMPATIBLEPRIMARY, 114},
    {DDERR_NOOVERLAYHW, 150},
    {D3DERR_TEXTURE_NO_SUPPORT, 140},
    {DDERR_INVALIDCAPS, 145},
    {DDERR_NOZBUFFERHW, 128},
    {D3DXERR_NOMEMORY, 101},
    {DDERR_INVALIDOBJECT, 103},
    {DDERR_OUTOFVIDEOMEMORY, 153},
    {D3DXERR_NULLPOINTER, 112},
    {DDERR_INVALIDPIXELFORMAT, 144},
    {DDERR_SURFACEBUSY, 129},
    {D3DXERR_INVALIDPARAMETER, 102},
    {DDERR_INVALIDRECT, 116},
    {DDERR_SURFACELOST, 107},
    {D3DXERR_D3DXNOTSTARTEDYET, 141},
    {DDERR_NOALPHAHW, 117},
    {DDERR_WASSTILLDRAWING, 106},
    {D3DXERR_UNSUPPORTEDFILEFORMAT, 142},
    {DDERR_NODIRECTDRAWHW, 147},
    {DDERR_PRIMARYSURFACEALREADYEXISTS, 154},
    {D3DXERR_INVALIDFILEFORMAT, 142},
    {DDERR_NOEMULATION, 148},
    {DDERR_NOTLOCKED, 152},
    {D3DXERR_NOMATCHFOUND, 143},
};

constexpr UINT kNoTexture = 155;

// D3DX's texture of the image file on the device (D3DX started by the caller).
HRESULT CreateFromFile(IDirect3DDevice7* device, const std::string& name, IDirectDrawSurface7** surface)
{
    DWORD width = D3DX_DEFAULT, height = D3DX_DEFAULT;
    D3DX_SURFACEFORMAT format = D3DX_SF_UNKNOWN;
    return D3DXCreateTextureFromFile(device, nullptr, &width, &height, &format, nullptr, surface, nullptr, name.c_str(),
                                     static_cast<D3DX_FILTERTYPE>(D3DX_DEFAULT));
}

} // namespace

CTexture::~CTexture() { FreeResources(); }

void CTexture::DropRecord()
{
    if (!record_) return;
    // The record's own key: the store drops this texture's use and no other.
    const std::string key = record_->name;
    record_ = nullptr;
    DestroyTexture(key.c_str());
}

void CTexture::RequireHeld() const
{
    if (!Held()) throw failure(E_POINTER, "Device Not Initialised.");
}

// The picture is the surface of the texture's own record: a texture without a record
// (never loaded, or its last load failed) has none. It comes with a reference: a restore in
// another apartment may replace the record's surface meanwhile.
zyk::com::Ptr<IDirectDrawSurface7> CTexture::Surface() const { return HoldRecordSurface(record_); }

zyk::com::Ptr<IDirectDrawSurface7> CTexture::Picture()
{
    zyk::com::Ptr<IDirectDrawSurface7> surface = Surface();
    bool lost = false; // the record has no surface at all, not even another apartment's
    if (!surface && record_) {
        TextureStoreLock locked;
        lost = !record_->surface;
    }
    if (lost && hasName_ && device_ && SUCCEEDED(D3DXInitialize())) {
        IDirectDrawSurface7* made = nullptr;
        if (SUCCEEDED(CreateFromFile(device_.Get(), name_, &made))) {
            ZYK_TRACE("Texture Made Again --> '%s'\n", name_.c_str());
            PutRecordSurface(record_, made);
            surface = Surface();
        }
        D3DXUninitialize();
    }
    return surface;
}

// A load that fails leaves the texture without a picture: the old one goes whatever the
// failure, and so does the record taken for the new name. The new name stays, as long as
// it is one; a later Apply then fails as on a texture that never loaded.
HRESULT CTexture::LoadBitmap(BSTR filename)
{
    std::string name;
    return Member([&] {
        RequireHeld();
        try {
            hasName_ = false;
            name_.clear();
            if (!filename || !*filename) throw failure(E_FAIL, "Invalid Filename.");
            try {
                name = zyk::com::ToAnsi(filename);
            } catch (const std::bad_alloc&) {
                throw failure(E_OUTOFMEMORY, IDS_OUTOFMEMORY);
            }
            if (name.empty()) throw failure(E_FAIL, "Invalid Filename.");
            name_ = name;
            hasName_ = true;
            ZYK_TRACE("Deleting Previous Container object.\n");
            DropRecord();
            ZYK_TRACE("Creating Fresh Container object.\n");
            // The store takes names up to the platform's path limit.
            if (name.size() > kStoreNameMax) throw failure(E_INVALIDARG, IDS_INVALIDPARAMETER);
            record_ = AcquireTexture(name.c_str(), 0, 0);
            if (!record_) {
                ZYK_TRACE("Failed to Allocate Memory for Texture Container Object.\n");
                throw failure(E_OUTOFMEMORY, IDS_OUTOFMEMORY);
            }

            ZYK_TRACE("Initialising Direct3DX.\n");
            HRESULT hr = D3DXInitialize();
            if (FAILED(hr)) {
                ZYK_TRACE("D3DXInitialize Failed. (Error Code=%lx).\n", static_cast<unsigned long>(hr));
                if (hr == D3DXERR_NOMEMORY) throw failure(hr, IDS_OUTOFMEMORY);
                if (hr == D3DXERR_STARTUPFAILED) throw failure(hr, "D3DX Startup Failed.");
                throw failure(hr, IDS_UNKNOWNERROR);
            }
            ZYK_TRACE("Creating Texture from File --> '%s' --> ", name.c_str());
            IDirectDrawSurface7* surface = nullptr;
            hr = CreateFromFile(device_.Get(), name, &surface);
            D3DXUninitialize();
            if (FAILED(hr)) {
                ZYK_TRACE("Failed. (Error Code=%lx).\n", static_cast<unsigned long>(hr));
                throw failure(hr, LookupText(kCreateTexture, hr));
            }
            ZYK_TRACE("Succeeded.\n");
            // The record may be shared with a model that named the same file: its surface
            // is replaced by the one D3DX made.
            PutRecordSurface(record_, surface);
            if (device_) device_->SetRenderState(D3DRENDERSTATE_TEXTUREPERSPECTIVE, TRUE);
        } catch (...) {
            ZYK_TRACE("Failure Occurred.\n");
            DropRecord();
            throw;
        }
    });
}

HRESULT CTexture::Apply()
{
    return Member([&]() -> HRESULT {
        RequireHeld();
        if (!hasName_) throw failure(E_POINTER, kNoTexture);
        if (!device_) throw failure(E_POINTER, "Device Not Initialised.");
        // A name without a record is one whose load failed: there is nothing to apply.
        if (!record_) throw failure(E_POINTER, kNoTexture);
        const zyk::com::Ptr<IDirectDrawSurface7> surface = Picture();
        if (!surface) return S_OK;

        // The stage states in the order they are sent, with the blending between the filters
        // and the operations; the first the device refuses ends it with its text.
        struct StageState {
            D3DTEXTURESTAGESTATETYPE state;
            DWORD value;
            const char* failed;
        };
        const StageState filters[] = {
            {D3DTSS_MAGFILTER, static_cast<DWORD>(magFilter_), "Failed to Apply MagFilter to Texture."},
            {D3DTSS_MINFILTER, static_cast<DWORD>(minFilter_), "Failed to Apply MinFilter to Texture."},
            {D3DTSS_ADDRESS, static_cast<DWORD>(wrap_), "Failed to Apply Wrapping to Texture."},
        };
        const StageState operations[] = {
            {D3DTSS_COLOROP, static_cast<DWORD>(colourOp_), "Failed to Apply Colour Operation to Texture."},
            {D3DTSS_COLORARG1, static_cast<DWORD>(colourArg1_), "Failed to Apply ColorArg1 to Texture."},
            {D3DTSS_COLORARG2, static_cast<DWORD>(colourArg2_), "Failed to Apply ColorArg2 to Texture."},
            {D3DTSS_ALPHAARG1, static_cast<DWORD>(alphaArg1_), "Failed to Apply AlphaArg1 to Texture."},
            {D3DTSS_ALPHAARG2, static_cast<DWORD>(alphaArg2_), "Failed to Apply AlphaArg2 to Texture."},
            {D3DTSS_ALPHAOP, static_cast<DWORD>(alphaOp_), "Failed to Apply Alpha Operation to Texture."},
            {D3DTSS_TEXCOORDINDEX, static_cast<DWORD>(coords_), "Failed to Apply Coordinate Index to Texture."},
        };
        const DWORD stage = static_cast<DWORD>(stage_);
        auto send = [&](const StageState& s) {
            HRESULT hr = device_->SetTextureStageState(stage, s.state, s.value);
            if (FAILED(hr)) {
                ZYK_TRACE("Texture Stage State %lu Failed. (Error Code=%lx).\n", static_cast<unsigned long>(s.state),
                          static_cast<unsigned long>(hr));
                throw failure(hr, s.failed);
            }
        };
        for (const StageState& s : filters) send(s);
        HRESULT hr = device_->SetRenderState(D3DRENDERSTATE_SRCBLEND, sourceBlending_);
        if (SUCCEEDED(hr)) hr = device_->SetRenderState(D3DRENDERSTATE_DESTBLEND, destBlending_);
        if (FAILED(hr)) {
            ZYK_TRACE("Blending Failed. (Error Code=%lx).\n", static_cast<unsigned long>(hr));
            throw failure(hr, "Failed to Apply Blending to Texture.");
        }
        for (const StageState& s : operations) send(s);
        device_->SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, TRUE);
        device_->SetRenderState(D3DRENDERSTATE_ZENABLE, TRUE);
        device_->SetRenderState(D3DRENDERSTATE_WRAP0, D3DWRAP_U | D3DWRAP_V);
        hr = device_->SetTexture(stage, surface.Get());
        if (FAILED(hr)) {
            ZYK_TRACE("Unable to Set Texture. (Error Code=%lx)\n", static_cast<unsigned long>(hr));
            throw failure(hr, LookupText(kRefusedCall, hr));
        }
        return S_OK;
    });
}

// The width or height of the texture's surface; missing names the failure without one.
HRESULT CTexture::SurfaceSize(DWORD DDSURFACEDESC2::*side, const char* missing, long* out)
{
    return Member([&] {
        if (!out) throw failure(E_POINTER, IDS_NULLPOINTER);
        *out = 0;
        const zyk::com::Ptr<IDirectDrawSurface7> surface = Picture();
        if (!surface) throw failure(E_FAIL, missing);
        DDSURFACEDESC2 desc{};
        desc.dwSize = sizeof desc;
        HRESULT hr = surface->GetSurfaceDesc(&desc);
        if (FAILED(hr)) {
            ZYK_TRACE("GetSurfaceDesc Failed. (Error Code=%lx)\n", static_cast<unsigned long>(hr));
            throw failure(hr, "Failed to obtain Surface Details.");
        }
        *out = static_cast<long>(desc.*side);
    });
}

HRESULT CTexture::get_width(long* out)
{
    return SurfaceSize(&DDSURFACEDESC2::dwWidth, "Failed to Obtain Surface for Texture.", out);
}

HRESULT CTexture::get_Height(long* out)
{
    return SurfaceSize(&DDSURFACEDESC2::dwHeight, "Failed to Obtain Surface.", out);
}

HRESULT CTexture::get_Name(BSTR* out)
{
    return Member([&]() -> HRESULT {
        if (!out) return E_POINTER;
        *out = hasName_ ? zyk::com::AnsiToBstr(name_.c_str()) : nullptr;
        return S_OK;
    });
}

// The new name loads at once; a texture that cannot load it (let go) keeps its old one.
HRESULT CTexture::put_Name(BSTR name)
{
    return Member([&]() -> HRESULT {
        RequireHeld();
        if (hasName_ && !name_.empty()) {
            DropRecord();
            hasName_ = false;
            name_.clear();
        }
        return static_cast<ITexture*>(this)->LoadBitmap(name);
    });
}

HRESULT CTexture::Free()
{
    return Member([&] { FreeResources(); });
}

void CTexture::FreeResources()
{
    ZYK_TRACE("Releasing Texture Memory.\n");
    DropRecord();
    hasName_ = false;
    name_.clear();
    device_.Reset();
}

HRESULT CTexture::Bump(D3DTEXTURESTAGESTATETYPE state, float* out)
{
    return Member([&]() -> HRESULT {
        if (!out) return E_POINTER;
        DWORD value = 0;
        if (device_ && FAILED(device_->GetTextureStageState(static_cast<DWORD>(stage_), state, &value))) value = 0;
        *out = std::bit_cast<float>(value);
        return S_OK;
    });
}

HRESULT CTexture::SetBump(D3DTEXTURESTAGESTATETYPE state, float value)
{
    return Member([&] {
        if (device_) device_->SetTextureStageState(static_cast<DWORD>(stage_), state, std::bit_cast<DWORD>(value));
    });
}

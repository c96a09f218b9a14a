#include "textures.h"
#include "create.h"
#include "errormaps.h"
#include "failure.h"
#include "texturestore.h"
#include "worldfile.h"
#include "com/trace.h"
#include <algorithm>

using zyk::com::Ptr;

namespace {

template <class Body>
HRESULT TexturesGuard(Body&& body)
{
    return GuardFailure(CLSID_Textures, IID_ITextures, static_cast<Body&&>(body));
}

} // namespace

CTextures::CTextures()
{
    comInitialised_ = SUCCEEDED(InitialiseCOM());
    // A texture that leaves the collection (Remove, Clear, Free, or replaced under its
    // key, as every Add replaces "Unnamed") leaves the device.
    items_.OnLeaving([](ITexture* t) { t->put_Device(0); });
    // Without its caps child the collection still works.
    TexturesGuard([&] {
        caps_ = Ptr<ITextureCaps>::Adopt(
            CreateChild<ITextureCaps>(CLSID_TextureCaps, IID_ITextureCaps, "TextureCaps Not Registered."));
    });
}

CTextures::~CTextures()
{
    Free();
    items_.Clear();
    caps_.Reset();
    if (comInitialised_) CoUninitialize();
}

Ptr<ITexture> CTextures::Make()
{
    Ptr<ITexture> texture =
        Ptr<ITexture>::Adopt(CreateChild<ITexture>(CLSID_Texture, IID_ITexture, "Texture Not Registered."));
    texture->put_Device(device_);
    return texture;
}

HRESULT CTextures::get_LoadFile(BSTR filename, IDispatch** out)
{
    return TexturesGuard([&]() -> HRESULT {
        if (!out) throw failure(E_POINTER, IDS_NULLPOINTER);
        *out = nullptr;
        Ptr<ITexture> texture = Make();
        ZYK_TRACE("Loading Texture: %ls\n", filename ? filename : L"");
        HRESULT hr = texture->LoadBitmap(filename);
        if (FAILED(hr)) {
            ZYK_TRACE("Texture Load Failed. (Error Code=%lx).\n", static_cast<unsigned long>(hr));
            throw failure(hr, "Failed to Load Texture.");
        }
        items_.Put(filename, texture.Get());
        return texture->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(out));
    });
}

HRESULT CTextures::get_Add(IDispatch** out)
{
    return TexturesGuard([&]() -> HRESULT {
        if (!out) throw failure(E_POINTER, IDS_NULLPOINTER);
        *out = nullptr;
        Ptr<ITexture> texture = Make();
        items_.Put(L"Unnamed", texture.Get());
        return texture->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(out));
    });
}

HRESULT CTextures::put_Device(long device)
{
    device_ = device;
    if (caps_) caps_->put_Device(device);
    // A device taken away is taken from the textures too, so that none goes on using it.
    if (!device) items_.ForEach([](const std::wstring&, ITexture* t) { t->put_Device(0); });
    return S_OK;
}

HRESULT CTextures::get_Caps(IDispatch** out)
{
    if (!out) return E_POINTER;
    *out = nullptr;
    if (!caps_) return E_POINTER;
    return caps_->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(out));
}

HRESULT CTextures::Free()
{
    items_.Clear();
    if (device_) {
        IDirect3DDevice7* device = zyk::com::FromHandle<IDirect3DDevice7>(device_);
        for (DWORD stage = 0; stage <= 6; ++stage) device->SetTexture(stage, nullptr);
    }
    InvalidateAllTextures();
    caps_.Reset();
    device_ = 0;
    return S_OK;
}

HRESULT CTextures::Save(long f)
{
    return world::Block(f, [&](FILE* s) {
        ZYK_TRACE("Saving Textures.\n");
        world::SaveSection(s, f, items_);
    });
}

HRESULT CTextures::Load(long f)
{
    return world::Block(f, [&](FILE* s) {
        ZYK_TRACE("Loading Textures.\n");
        Clear();
        // A texture's block has no lines, and every Add files its texture as "Unnamed": one
        // texture is what any count gives, so no count is taken further than that.
        const long count = std::min(world::ReadCount(s, "Number of Textures to Load: %s.\n"), 1L);
        for (long i = 0; i < count; ++i) {
            if (world::AtEnd(s)) break;
            Ptr<IDispatch> made;
            if (FAILED(get_Add(made.Out())) || !made) break;
            if (Ptr<ITexture> texture = made.As<ITexture>(IID_ITexture)) texture->Load(f);
        }
    });
}

// CTextures: LoadFile, Add, the Caps child, Free, and the textures' part of the world file.
#include "textures.h"
#include "com/create.h"
#include "errormaps.h"
#include "checks.h"
#include "com/failure.h"
#include "com/handed.h"
#include "texturestore.h"
#include "worldfile.h"
#include "com/trace.h"
#include <algorithm>

using zyk::com::Ptr;

CTextures::CTextures()
{
    // Without its caps child the collection still works.
    Member(
        [&] {
            caps_ = Ptr<ITextureCaps>::Adopt(
                CreateChild<ITextureCaps>(CLSID_TextureCaps, IID_ITextureCaps, "TextureCaps Not Registered."));
            capsTie_ = zyk::com::TieTo(caps_.Get(), OwnTie());
        },
        zyk::com::Catch::FailureOnly);
}

CTextures::~CTextures()
{
    FreeResources();
    items_.Clear();
    capsTie_.Cut();
    caps_.Reset();
}

Ptr<ITexture> CTextures::Make()
{
    Ptr<ITexture> texture =
        Ptr<ITexture>::Adopt(CreateChild<ITexture>(CLSID_Texture, IID_ITexture, "Texture Not Registered."));
    texture->put_Device(device_.Handle());
    return texture;
}

HRESULT CTextures::get_LoadFile(BSTR filename, IDispatch** out)
{
    return Member(
        [&]() -> HRESULT {
            RequireOut(out);
            *out = nullptr;
            Ptr<ITexture> texture = Make();
            ZYK_TRACE("Loading Texture: %ls\n", filename ? filename : L"");
            HRESULT hr = texture->LoadBitmap(filename);
            if (FAILED(hr)) {
                ZYK_TRACE("Texture Load Failed. (Error Code=%lx).\n", static_cast<unsigned long>(hr));
                throw failure(hr, "Failed to Load Texture.");
            }
            items_.Put(filename, texture.Get());
            return zyk::com::HandOutCode(texture, out);
        },
        zyk::com::Catch::FailureOnly);
}

HRESULT CTextures::get_Add(IDispatch** out)
{
    return Member(
        [&]() -> HRESULT {
            RequireOut(out);
            *out = nullptr;
            Ptr<ITexture> texture = Make();
            items_.Put(L"Unnamed", texture.Get());
            return zyk::com::HandOutCode(texture, out);
        },
        zyk::com::Catch::FailureOnly);
}

// The caps are tied again under the collection as it is held now, with the device.
HRESULT CTextures::put_Device(long device)
{
    return Member([&] {
        device_.Take(device);
        if (caps_) {
            capsTie_ = zyk::com::TieTo(caps_.Get(), OwnTie());
            caps_->put_Device(device_.Handle());
        }
    });
}

// Without its caps the getter gives E_POINTER alone.
HRESULT CTextures::get_Caps(IDispatch** out)
{
    return Member([&] { return zyk::com::HandOutCode(caps_, out); });
}

HRESULT CTextures::Free()
{
    return Member([&] { FreeResources(); });
}

void CTextures::FreeResources()
{
    items_.Clear();
    if (IDirect3DDevice7* device = device_.Get())
        for (DWORD stage = 0; stage <= 6; ++stage) device->SetTexture(stage, nullptr);
    InvalidateAllTextures();
    capsTie_.Cut();
    caps_.Reset();
    device_.Reset();
}

HRESULT CTextures::Save(long f)
{
    return Member([&] {
        world::Block(f, [&](FILE* s) {
            ZYK_TRACE("Saving Textures.\n");
            world::SaveSection(s, f, items_);
        });
    });
}

// A texture's block has no lines: the section is its count.
void world::SkimTextures(FILE* s) { ReadCount(s, "Number of Textures to Load: %s.\n"); }

HRESULT CTextures::Load(long f)
{
    return Member([&] {
        world::Block(f, [&](FILE* s) {
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
    });
}

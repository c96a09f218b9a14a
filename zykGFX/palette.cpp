// CPalette: its 256 Colour entries, the DirectDraw palette of the primary surface, Update and Load.
#include "palette.h"
#include "bitmap.h"
#include "com/text.h"
#include <algorithm>
#include <cstring>
#include <new>
#include <string>

using gfx::CodeText;

namespace {

const CodeText kGetPalette[] = {
    {DDERR_UNSUPPORTED, "Unsupported."},           {DDERR_GENERIC, "Generic Error."},
    {DDERR_INVALIDPARAMS, "Invalid Parameters."},  {DDERR_INVALIDOBJECT, "Invalid Object."},
    {DDERR_NOEXCLUSIVEMODE, "No Exclusive Mode."}, {DDERR_SURFACELOST, "Surface Lost."},
};

// Entry i's key in the list of colours: 255 - i in three digits.
std::wstring ColourKey(int i)
{
    std::wstring key = std::to_wstring(255 - i);
    return std::wstring(3 - key.size(), L'0') + key;
}

} // namespace

CPalette::CPalette()
{
    RampEntries(entries_);
    // A palette short of memory lists the colours it could make.
    try {
        MakeColours();
    } catch (const std::bad_alloc&) {}
}

void CPalette::MakeColours()
{
    for (int i = 0; i < 256; ++i) {
        IColour* made = nullptr;
        if (FAILED(zyk::com::Creator<CGfxColour>(nullptr, IID_IColour, reinterpret_cast<void**>(&made)))) return;
        auto colour = zyk::com::Ptr<IColour>::Adopt(made);
        auto* entry = static_cast<CGfxColour*>(made);
        entry->SetEntry(entries_[i]);
        items_.Put(ColourKey(i).c_str(), made);
        colours_[i] = entry;
    }
}

PALETTEENTRY* CPalette::ColourEntries()
{
    for (int i = 0; i < 256; ++i)
        if (colours_[i]) entries_[i] = colours_[i]->Entry();
    return entries_;
}

void CPalette::ShowEntries()
{
    for (int i = 0; i < 256; ++i)
        if (colours_[i]) colours_[i]->SetEntry(entries_[i]);
}

// A palette that its device let go has no DirectDraw object, surface or palette of the
// device's to work on.
void CPalette::NeedDevice() const
{
    if (!Held()) throw failure(E_FAIL, "DirectDraw Not Initialised.");
}

HRESULT CPalette::put_DD(long dd)
{
    return Member([&] {
        dd_.Hold(dd);
        // Handed a DirectDraw object again after its device let it go: its colours are its
        // own again too.
        if (!Held()) return;
        for (int i = 0; i < 256; ++i)
            if (colours_[i] && !colours_[i]->Held()) items_.Put(ColourKey(i).c_str(), colours_[i]);
    });
}

HRESULT CPalette::put_Surface(long surface)
{
    return Member([&]() -> HRESULT {
        NeedDevice();
        surface_.Hold(surface);
        if (!surface_ || !dd_) return E_FAIL;
        zyk::com::Ptr<IDirectDrawPalette> attached;
        HRESULT hr = surface_->GetPalette(attached.Out());
        if (SUCCEEDED(hr)) {
            palette_.Set(attached);
            return S_OK;
        }
        if (hr == DDERR_NOPALETTEATTACHED) {
            zyk::com::Ptr<IDirectDrawPalette> made;
            if (FAILED(dd_->CreatePalette(DDPCAPS_8BIT, ColourEntries(), made.Out(), nullptr)) || !made) return E_FAIL;
            palette_.Set(made);
            surface_->SetPalette(palette_.Get());
            return S_OK;
        }
        const char* text = gfx::TextOf(kGetPalette, hr, nullptr);
        if (text) zyk::com::PublishError(ClsId(), Iid(), zyk::com::Bstr::FromAnsi(text).Text(), E_FAIL);
        return E_FAIL;
    });
}

HRESULT CPalette::get_Count(long* out)
{
    return Member([&]() -> HRESULT {
        if (!out) return E_POINTER;
        *out = 0;
        NeedDevice();
        if (!palette_ || FAILED(palette_->GetCaps(&caps_))) return E_FAIL;
        long count = 0;
        if (caps_ & DDPCAPS_1BIT) count = 2;
        if (caps_ & DDPCAPS_2BIT) count = 4;
        if (caps_ & DDPCAPS_4BIT) count = 16;
        if (caps_ & DDPCAPS_8BIT) count = 256;
        if (caps_ & DDPCAPS_8BITENTRIES) count = 256;
        *out = count;
        return S_OK;
    });
}

HRESULT CPalette::Update()
{
    return Member([&]() -> HRESULT {
        NeedDevice();
        if (!palette_ || FAILED(palette_->SetEntries(0, 0, 256, ColourEntries()))) return E_FAIL;
        return S_OK;
    });
}

// A palette read from a bitmap: its colours become the entries, and so the values of the
// list's colours, and, when there is a surface, the palette is attached to it. A failed load
// keeps the palette there was.
HRESULT CPalette::Load(BSTR filename)
{
    return Member([&] {
        if (!dd_) throw failure(E_FAIL, "DirectDraw Not Initialised.");
        std::string name;
        try {
            name = zyk::com::ToAnsi(filename);
        } catch (const std::bad_alloc&) {
            throw failure(E_OUTOFMEMORY, "Out of Memory.");
        }
        if (name.size() > zyk::com::kAnsiPathMax) throw failure(E_FAIL, "Failed to Load Palette.");
        PALETTEENTRY loaded[256];
        if (!LoadPaletteEntries(name.c_str(), loaded)) throw failure(E_FAIL, "Failed to Load Palette.");
        zyk::com::Ptr<IDirectDrawPalette> made;
        if (FAILED(dd_->CreatePalette(DDPCAPS_8BIT, loaded, made.Out(), nullptr)) || !made)
            throw failure(E_FAIL, "Failed to Load Palette.");
        palette_.Set(made);
        memcpy(entries_, loaded, sizeof entries_);
        ShowEntries();
        if (surface_) surface_->SetPalette(palette_.Get());
    });
}

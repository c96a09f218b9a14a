// CMaterial: its Colour children, Apply and Update on the device, and its part of the world file.
#include "com/ptr.h"
#include "material.h"
#include "colour.h"
#include "com/create.h"
#include "errormaps.h"
#include "checks.h"
#include "com/failure.h"
#include "com/handed.h"
#include "worldfile.h"
#include "com/trace.h"

namespace {

struct ChildTexts {
    const char* notRegistered;
    const char* notInitialised;
};

// By slot: Ambient, Colour, Diffuse, Emissive, Specular.
const ChildTexts kChildTexts[] = {
    {"Ambient Colour Not Registered.", "Ambient Colour Not Initialised."},
    {"Colour Not Registered.", "Colour Not Initialised."},
    {"Diffuse Colour Not Registered.", "Diffuse Colour Not Initialised."},
    {"Emissive Colour Not Registered.", "Emissive Colour Not Initialised."},
    {"Specular Colour Not Registered.", "Specular Colour Not Initialised."},
};

} // namespace

CMaterial::CMaterial()
{
    // The first child that cannot be made stops the sequence; the material keeps the
    // ones made before it, and the getters of the others say so.
    Member([&] {
        for (int slot = kAmbient; slot < kSlots; ++slot)
            children_[slot] = zyk::com::Ptr<IColour>::Adopt(
                CreateChild<IColour>(CLSID_Colour, IID_IColour, kChildTexts[slot].notRegistered));
    });
}

CMaterial::~CMaterial()
{
    for (zyk::com::Ptr<IColour>& child : children_) child.Reset();
    direct3D_.Reset();
    handle_ = 0;
    device_.Reset();
}

HRESULT CMaterial::Child(Slot slot, IDispatch** out)
{
    return Member([&] {
        RequireOut(out);
        zyk::com::HandOut(children_[slot], out, kChildTexts[slot].notInitialised);
    });
}

HRESULT CMaterial::get_Ambient(IDispatch** out) { return Child(kAmbient, out); }
HRESULT CMaterial::get_Colour(IDispatch** out) { return Child(kColour, out); }
HRESULT CMaterial::get_Diffuse(IDispatch** out) { return Child(kDiffuse, out); }
HRESULT CMaterial::get_Emissive(IDispatch** out) { return Child(kEmissive, out); }
HRESULT CMaterial::get_Specular(IDispatch** out) { return Child(kSpecular, out); }

// Handing down a device also sends the material to it. The put itself always succeeds,
// whatever Update answered: a device that cannot take the material is still the device.
HRESULT CMaterial::put_Device(long device)
{
    return Member([&] {
        device_.Take(device);
        if (FAILED(static_cast<IMaterial*>(this)->Update())) ZYK_TRACE("Failed to Initialise Material.\n");
    });
}

// Apply passes on what Update returns, and the error information Update left.
HRESULT CMaterial::Apply()
{
    return Member([&]() -> HRESULT {
        if (!device_) throw failure(E_POINTER, "Device Not Initialised.");
        return static_cast<IMaterial*>(this)->Update();
    });
}

HRESULT CMaterial::Update()
{
    return Member([&] {
        if (!device_) throw failure(E_POINTER, "Device Not Initialised.");
        D3DMATERIAL7 record{};
        ReadColour(children_[kAmbient].Get(), record.dcvAmbient);
        ReadColour(children_[kDiffuse].Get(), record.dcvDiffuse);
        ReadColour(children_[kSpecular].Get(), record.dcvSpecular);
        ReadColour(children_[kEmissive].Get(), record.dcvEmissive);
        record.dvPower = power_;
        HRESULT hr = device_->SetMaterial(&record);
        if (FAILED(hr)) {
            ZYK_TRACE("SetMaterial Failed. (Error Code=%lx).\n", static_cast<unsigned long>(hr));
            throw failure(hr, hr == E_INVALIDARG ? IDS_INVALIDPARAMETER : IDS_UNKNOWNERROR);
        }
    });
}

// The block: a header and the colour block of each child there is. Power is not part of it.
HRESULT CMaterial::Save(long f)
{
    return Member([&] {
        world::Block(f, [&](FILE* s) {
            ZYK_TRACE("Saving Material.\n");
            world::WriteLine(s, "// Material\n");
            for (const auto& child : children_) world::SaveColour(s, f, child.Get());
        });
    });
}

HRESULT CMaterial::Load(long f)
{
    return Member([&] {
        world::Block(f, [&](FILE* s) {
            ZYK_TRACE("Loading Material.\n");
            world::ReadHeader(s, "// Material");
            for (const auto& child : children_) world::LoadColour(s, f, child.Get());
        });
    });
}

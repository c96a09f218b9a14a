// CLights: Add with the device's check of the light type, Max, Remove, Clear, and the world file.
#include "lights.h"
#include "com/create.h"
#include "errormaps.h"
#include "com/failure.h"
#include "worldfile.h"
#include "com/handed.h"
#include "com/ptr.h"
#include "com/trace.h"
#include <d3d.h>
#include <cstdlib>
#include <string>

using zyk::com::Ptr;

namespace {

constexpr DWORD kDirectionalLights = 0x08; // D3DVTXPCAPS_DIRECTIONALLIGHTS
constexpr DWORD kPositionalLights = 0x10;  // D3DVTXPCAPS_POSITIONALLIGHTS

// Refuses a light type the device cannot show (its vertex-processing caps).
void CheckType(LightTypes type, DWORD caps)
{
    ZYK_TRACE("Light --> ");
    switch (type) {
    case lt_Point:
        ZYK_TRACE("Point --> ");
        if (!(caps & kPositionalLights)) {
            ZYK_TRACE("Not Supported.\n");
            throw failure(E_FAIL, "Point Lights are not supported by this device.");
        }
        break;
    case lt_Spot:
        ZYK_TRACE("Spotlight --> ");
        if (!(caps & kPositionalLights)) {
            ZYK_TRACE("Not Supported.\n");
            throw failure(E_FAIL, "Spotlights are not supported by this device.");
        }
        break;
    case lt_Directional:
        ZYK_TRACE("Directional --> ");
        if (!(caps & kDirectionalLights)) {
            ZYK_TRACE("Not Supported.\n");
            throw failure(E_FAIL, "Directional Lights are not supported by this device.");
        }
        break;
    default: ZYK_TRACE("Invalid Type --> Not "); throw failure(E_FAIL, "Invalid Light Type.");
    }
    ZYK_TRACE("Supported.\n");
}

} // namespace

CLights::~CLights() { items_.Clear(); }

// A light that leaves the collection leaves the scene: its index is switched off on the
// device it was given. The light stays usable for a client that still holds it.
void CLights::SwitchOff(ILight* light) const
{
    if (device_) light->put_Enabled(VARIANT_FALSE);
}

HRESULT CLights::Remove(VARIANT index)
{
    return Member([&] { return items_.Remove(index, [&](ILight* light) { SwitchOff(light); }); });
}

HRESULT CLights::Clear()
{
    return Member([&] { return items_.Clear([&](ILight* light) { SwitchOff(light); }); });
}

HRESULT CLights::get_Max(long* out)
{
    return Member([&] {
        if (!device_) throw failure(E_POINTER, "Device Not Initialised.");
        if (!out) throw failure(E_POINTER, IDS_NULLPOINTER);
        D3DDEVICEDESC7 desc{};
        HRESULT hr = device_->GetCaps(&desc);
        if (FAILED(hr)) {
            ZYK_TRACE("GetCaps Failed. (Error Code=%lx).\n", static_cast<unsigned long>(hr));
            throw failure(hr, LookupText(kRefusedCall, hr));
        }
        *out = static_cast<long>(desc.dwMaxActiveLights);
        ZYK_TRACE("Maximum Number of Lights = %lu.\n", static_cast<unsigned long>(desc.dwMaxActiveLights));
    });
}

HRESULT CLights::get_Add(LightTypes type, float x, float y, float z, float red, float green, float blue, float alpha,
                         float fallOff, float innerCone, float outerCone, float range, IDispatch** out)
{
    return Member([&]() -> HRESULT {
        if (out) *out = nullptr;
        if (!direct3d_ || !device_) throw failure(E_POINTER, "Device Not Initialised.");
        if (!out) throw failure(E_POINTER, IDS_NULLPOINTER);

        // A device that cannot report its caps gets any type.
        D3DDEVICEDESC7 desc{};
        if (SUCCEEDED(device_->GetCaps(&desc))) CheckType(type, desc.dwVertexProcessingCaps);

        Ptr<ILight> light = Ptr<ILight>::Adopt(CreateChild<ILight>(CLSID_Light, IID_ILight, "Light Not Registered."));
        light->put_Direct3D(direct3d_.Handle());
        light->put_Device(device_.Handle());
        light->put_Type(type);
        {
            Ptr<IDispatch> d;
            if (SUCCEEDED(light->get_Colour(d.Out()))) {
                if (Ptr<IColour> c = d.As<IColour>(IID_IColour)) {
                    c->put_Red(red);
                    c->put_Green(green);
                    c->put_Blue(blue);
                    c->put_Alpha(alpha);
                }
            }
            if (SUCCEEDED(light->get_Position(d.Out()))) {
                if (Ptr<IPosition> p = d.As<IPosition>(IID_IPosition)) {
                    p->put_X(x);
                    p->put_Y(y);
                    p->put_Z(z);
                }
            }
        }
        light->put_FallOff(fallOff);
        light->put_InnerCone(innerCone);
        light->put_OuterCone(outerCone);
        light->put_Range(range);

        // The first free number: the count before the insert while no light has been
        // removed, and never the key of a light that is still in the collection.
        long n = 0;
        const std::wstring key = items_.FreeKey(L"Light", &n);
        items_.Put(key.c_str(), light.Get());
        ZYK_TRACE("Light Name --> '%ls'\n", key.c_str());

        zyk::com::Bstr name(key.c_str());
        light->put_Name(name.Get());
        light->put_ID(n);
        light->put_Enabled(TRUE);
        return zyk::com::HandOutCode(light, out);
    });
}

HRESULT CLights::Save(long f)
{
    return Member([&] {
        world::Block(f, [&](FILE* s) {
            ZYK_TRACE("Saving Lights.\n");
            world::SaveSection(s, f, items_);
        });
    });
}

void world::SkimLights(FILE* s) { SkimSection(s, "Number of Lights to Load: %s.\n", "// Light", SkimLight); }

HRESULT CLights::Load(long f)
{
    return Member([&] {
        world::Block(f, [&](FILE* s) {
            ZYK_TRACE("Loading Lights.\n");
            Clear();
            const long count = world::ReadCount(s, "Number of Lights to Load: %s.\n");

            for (long i = 0; i < count; ++i) {
                // A count larger than the blocks that follow ends where the lights end. A light
                // that cannot be made here (no device) is read into a light of its own that is
                // not kept, so that the sections after this one stay in place.
                if (!world::NextLineIs(s, "// Light")) break;
                Ptr<IDispatch> made;
                Ptr<ILight> light;
                if (SUCCEEDED(get_Add(lt_Point, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 1.0f, 0.0f, 1.0f, 10.0f,
                                      made.Out())) &&
                    made)
                    light = made.As<ILight>(IID_ILight);
                else
                    light = world::Unfiled<ILight>(CLSID_Light, IID_ILight);
                if (!light) break;
                light->Load(f);
            }
        });
    });
}

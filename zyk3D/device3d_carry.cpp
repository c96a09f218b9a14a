// Device3D's second Initialise: the scene carried over from the old device to the new one.
#include "device3d.h"
#include "com/handed.h"
#include "com/ptr.h"

using zyk::com::Ptr;

namespace {

// The states the scene's fog, its render options and its ambient light set on the device.
const D3DRENDERSTATETYPE kCarriedStates[] = {
    D3DRENDERSTATE_ANTIALIAS,    D3DRENDERSTATE_SHADEMODE,      D3DRENDERSTATE_LINEPATTERN,
    D3DRENDERSTATE_DITHERENABLE, D3DRENDERSTATE_SPECULARENABLE, D3DRENDERSTATE_LIGHTING,
    D3DRENDERSTATE_AMBIENT,      D3DRENDERSTATE_FOGENABLE,      D3DRENDERSTATE_FOGCOLOR,
    D3DRENDERSTATE_FOGTABLEMODE, D3DRENDERSTATE_FOGVERTEXMODE,  D3DRENDERSTATE_FOGSTART,
    D3DRENDERSTATE_FOGEND,       D3DRENDERSTATE_FOGDENSITY,     D3DRENDERSTATE_RANGEFOGENABLE,
};
const D3DTRANSFORMSTATETYPE kCarriedTransforms[] = {D3DTRANSFORMSTATE_WORLD, D3DTRANSFORMSTATE_VIEW,
                                                    D3DTRANSFORMSTATE_PROJECTION};

// Visits each member of a collection, as the interface iid, in the collection's order.
template <class Itf, class Collection, class F>
void EachMember(Collection* collection, REFIID iid, F&& visit)
{
    if (!collection) return;
    Ptr<IUnknown> unknown;
    if (FAILED(collection->get__NewEnum(unknown.Out())) || !unknown) return;
    Ptr<IEnumVARIANT> members = unknown.As<IEnumVARIANT>(IID_IEnumVARIANT);
    if (!members) return;
    VARIANT v;
    VariantInit(&v);
    ULONG got = 0;
    while (members->Next(1, &v, &got) == S_OK && got == 1) {
        if (V_VT(&v) == VT_DISPATCH && V_DISPATCH(&v)) {
            Ptr<Itf> member;
            if (SUCCEEDED(V_DISPATCH(&v)->QueryInterface(iid, reinterpret_cast<void**>(member.Out()))) && member)
                visit(member.Get());
        }
        VariantClear(&v);
    }
}

// The texture a member holds, handed the device: it may be one that is no longer filed.
template <class Holder>
void HandTexture(Holder* holder, long device)
{
    Ptr<IDispatch> held;
    if (FAILED(holder->get_Texture(held.Out())) || !held) return;
    if (Ptr<ITexture> texture = held.As<ITexture>(IID_ITexture)) texture->put_Device(device);
}

} // namespace

CDevice3D::SceneStates CDevice3D::ReadSceneStates() const
{
    SceneStates states;
    if (!device_) return states;
    for (D3DRENDERSTATETYPE state : kCarriedStates) {
        DWORD value = 0;
        if (SUCCEEDED(device_->GetRenderState(state, &value))) states.renderStates.emplace_back(state, value);
    }
    for (D3DTRANSFORMSTATETYPE which : kCarriedTransforms) {
        D3DMATRIX m{};
        if (SUCCEEDED(device_->GetTransform(which, &m))) states.transforms.emplace_back(which, m);
    }
    states.hasMaterial = SUCCEEDED(device_->GetMaterial(&states.material));
    // The lights at the indices of the filed lights, as the device holds them.
    EachMember<ILight>(lights_.Get(), IID_ILight, [&](ILight* light) {
        long id = 0;
        if (FAILED(light->get_ID(&id))) return;
        SceneStates::Light l{static_cast<DWORD>(id), {}, FALSE};
        if (FAILED(device_->GetLight(l.index, &l.record))) return;
        if (FAILED(device_->GetLightEnable(l.index, &l.enabled))) l.enabled = FALSE;
        states.lights.push_back(l);
    });
    return states;
}

void CDevice3D::WriteSceneStates(const SceneStates& states) const
{
    if (!device_) return;
    for (const auto& [state, value] : states.renderStates) device_->SetRenderState(state, value);
    for (const auto& [which, m] : states.transforms) {
        D3DMATRIX copy = m;
        device_->SetTransform(which, &copy);
    }
    if (states.hasMaterial) {
        D3DMATERIAL7 copy = states.material;
        device_->SetMaterial(&copy);
    }
    for (const SceneStates::Light& l : states.lights) {
        D3DLIGHT7 copy = l.record;
        if (SUCCEEDED(device_->SetLight(l.index, &copy))) device_->LightEnable(l.index, l.enabled ? TRUE : FALSE);
    }
}

// The members filed in the collections, and the textures they hold, take the new pointers
// as the collections' own Add hands them; what they made on the old device they make again
// on the new one.
void CDevice3D::HandSceneOn() const
{
    const long device = zyk::com::ToHandle(device_.Get()), d3d = zyk::com::ToHandle(d3d_.Get());
    EachMember<ICamera>(cameras_.Get(), IID_ICamera, [&](ICamera* camera) { camera->put_Device(device); });
    EachMember<ILight>(lights_.Get(), IID_ILight, [&](ILight* light) {
        light->put_Direct3D(d3d);
        light->put_Device(device);
    });
    EachMember<ITexture>(textures_.Get(), IID_ITexture, [&](ITexture* texture) { texture->put_Device(device); });
    EachMember<IObject>(objects_.Get(), IID_IObject, [&](IObject* object) {
        object->put_Device(device);
        object->put_Direct3D(d3d);
        HandTexture(object, device);
    });
    EachMember<ISimpleObject>(simpleObjects_.Get(), IID_ISimpleObject, [&](ISimpleObject* shape) {
        shape->put_Device(device);
        shape->put_Direct3D(d3d);
        HandTexture(shape, device);
    });
    EachMember<ISprite>(sprites_.Get(), IID_ISprite, [&](ISprite* sprite) {
        sprite->put_Device(device);
        HandTexture(sprite, device);
    });
}

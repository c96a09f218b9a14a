// Device3D's children: the getters that hand them out, and the pointers handed down to them.
#include "device3d.h"
#include "checks.h"
#include "com/failure.h"
#include "com/handed.h"
#include <initializer_list>

HRESULT CDevice3D::GetChild(IUnknown* child, const char* missingText, IDispatch** out)
{
    return Member([&] {
        RequireOut(out);
        zyk::com::HandOut(child, out, missingText);
    });
}

// Cameras and Caps answer S_OK with an empty reference when the child is missing, and
// their failures carry no error information.
HRESULT CDevice3D::GetChildOrNone(IUnknown* child, IDispatch** out)
{
    return Member([&]() -> HRESULT {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (!child) return S_OK;
        return zyk::com::HandOutCode(child, out);
    });
}

HRESULT CDevice3D::get_Ambient(IDispatch** out)
{
    return GetChild(ambient_.Get(), "Ambient Light Not Initialised.", out);
}
HRESULT CDevice3D::get_Fog(IDispatch** out) { return GetChild(fog_.Get(), "Fog Not Initialised.", out); }
HRESULT CDevice3D::get_Lights(IDispatch** out) { return GetChild(lights_.Get(), "Lights Not Initialised.", out); }
HRESULT CDevice3D::get_Objects(IDispatch** out) { return GetChild(objects_.Get(), "Objects Not Initialised.", out); }
HRESULT CDevice3D::get_Textures(IDispatch** out) { return GetChild(textures_.Get(), "Textures Not Initialised.", out); }
HRESULT CDevice3D::get_TextureFormats(IDispatch** out)
{
    return GetChild(textureFormats_.Get(), "TextureFormats Not Initialised.", out);
}
HRESULT CDevice3D::get_Sprites(IDispatch** out) { return GetChild(sprites_.Get(), "Sprites Not Initialised.", out); }
HRESULT CDevice3D::get_SimpleObjects(IDispatch** out)
{
    return GetChild(simpleObjects_.Get(), "SimpleObjects Not Initialised.", out);
}
HRESULT CDevice3D::get_Flares(IDispatch** out) { return GetChild(flares_.Get(), "Flares Not Initialised.", out); }

HRESULT CDevice3D::get_Cameras(IDispatch** out) { return GetChildOrNone(cameras_.Get(), out); }
HRESULT CDevice3D::get_Caps(IDispatch** out) { return GetChildOrNone(deviceCaps_.Get(), out); }

// Ties each child it still holds under the generation, then hands it the pointers. A
// child that was handed the pointers of an earlier generation was let go with it; tied
// again, it takes the new ones.
void CDevice3D::ConfigureChildren()
{
    for (IUnknown* child :
         std::initializer_list<IUnknown*>{fog_.Get(), cameras_.Get(), deviceCaps_.Get(), lights_.Get(), objects_.Get(),
                                          simpleObjects_.Get(), textures_.Get(), textureFormats_.Get(), sprites_.Get()})
        zyk::com::TieTo(child, generation_);
    const long device = zyk::com::ToHandle(device_.Get()), d3d = zyk::com::ToHandle(d3d_.Get()),
               dd = zyk::com::ToHandle(dd_.Get());
    if (fog_) fog_->put_Device(device);
    if (cameras_) cameras_->put_Device(device);
    if (deviceCaps_) deviceCaps_->put_Device(device);
    if (lights_) {
        lights_->put_Direct3D(d3d);
        lights_->put_Device(device);
    }
    if (objects_) {
        objects_->put_Device(device);
        objects_->put_Direct3D(d3d);
    }
    if (simpleObjects_) {
        simpleObjects_->put_Device(device);
        simpleObjects_->put_Direct3D(d3d);
    }
    if (textures_) {
        textures_->put_Device(device);
        textures_->put_DirectDraw(dd);
    }
    if (textureFormats_) textureFormats_->put_Device(device);
    if (sprites_) sprites_->put_Device(device);
    handedOn_ = true;
}

void CDevice3D::NextGeneration()
{
    generation_.Cut();
    generation_ = zyk::com::Tie();
    handedOn_ = false;
    carried_ = SceneStates{};
}

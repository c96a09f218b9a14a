#include "object.h"
#include "create.h"
#include "devicestate.h"
#include "errormaps.h"
#include "failure.h"
#include "worldfile.h"
#include "com/trace.h"

using zyk::com::Ptr;

namespace {

template <class Body>
HRESULT ObjectGuard(Body&& body)
{
    return Guard(CLSID_Object, IID_IObject, static_cast<Body&&>(body));
}

// A child handed out as IDispatch; a child that could not be made is named in the failure.
template <class T>
HRESULT HandOut(const Ptr<T>& child, const char* missing, IDispatch** out)
{
    return ObjectGuard([&]() -> HRESULT {
        if (!out) throw failure(E_POINTER, IDS_NULLPOINTER);
        *out = nullptr;
        if (!child) throw failure(E_POINTER, missing);
        return child->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(out));
    });
}

} // namespace

CObject::CObject()
{
    comInitialised_ = SUCCEEDED(InitialiseCOM());
    name_ = zyk::com::Bstr(L"");
    filename_ = zyk::com::Bstr(L"");
    ZYK_TRACE("Initialising Child Objects.\n");
    // The first child that cannot be made ends construction; the object still exists and
    // members that need a missing child say so.
    ObjectGuard([&] {
        material_ = Ptr<IMaterial>::Adopt(CreateChild<IMaterial>(CLSID_Material, IID_IMaterial, "Material Not Registered."));
        material_->Update();
        position_ = Ptr<IPosition>::Adopt(CreateChild<IPosition>(CLSID_Position, IID_IPosition, "Position Not Registered."));
        colour_ = Ptr<IColour>::Adopt(CreateChild<IColour>(CLSID_Colour, IID_IColour, "Colour Not Registered."));
        points_ = Ptr<IPoints>::Adopt(CreateChild<IPoints>(CLSID_Points, IID_IPoints, "Points Not Registered."));
        parts_ = Ptr<IParts>::Adopt(CreateChild<IParts>(CLSID_Parts, IID_IParts, "Parts Not Registered."));
    });
}

CObject::~CObject()
{
    ReleaseChildren();
    if (comInitialised_) CoUninitialize();
}

void CObject::ReleaseChildren()
{
    // Children that a client still holds keep no device of this object's.
    put_Device(0);
    put_Direct3D(0);
    texture_.Reset();
    material_.Reset();
    position_.Reset();
    colour_.Reset();
    points_.Reset();
    parts_.Reset();
}

HRESULT CObject::get_Colour(IDispatch** out) { return HandOut(colour_, "Colour Not Initialised.", out); }
HRESULT CObject::get_Material(IDispatch** out) { return HandOut(material_, "Material Not Initialised.", out); }
HRESULT CObject::get_Position(IDispatch** out) { return HandOut(position_, "Position Not Initialised.", out); }
HRESULT CObject::get_Points(IDispatch** out) { return HandOut(points_, "Points Not Initialised.", out); }
HRESULT CObject::get_Parts(IDispatch** out) { return HandOut(parts_, "Parts Not Initialised.", out); }
HRESULT CObject::get_Texture(IDispatch** out) { return HandOut(texture_, "Texture Not Initialised.", out); }

HRESULT CObject::put_Texture(IDispatch* texture)
{
    return ObjectGuard([&] {
        ZYK_TRACE("Configuring Objects' Texture --> '");
        // Only a texture of this engine can be applied; anything else is refused.
        Ptr<ITexture> t;
        if (texture && FAILED(texture->QueryInterface(IID_ITexture, reinterpret_cast<void**>(t.Out()))))
            throw failure(E_INVALIDARG, IDS_INVALIDPARAMETER);
        texture_ = t;
    });
}

HRESULT CObject::put_Device(long device)
{
    device_ = device;
    if (material_) material_->put_Device(device);
    if (points_) points_->put_Device(device);
    if (parts_) parts_->put_Device(device);
    return S_OK;
}

HRESULT CObject::put_Direct3D(long d3d)
{
    direct3d_ = d3d;
    if (material_) material_->put_Direct3D(d3d);
    if (parts_) parts_->put_Direct3D(d3d);
    return S_OK;
}

HRESULT CObject::Render()
{
    return ObjectGuard([&]() -> HRESULT {
        if (!device_) throw failure(E_POINTER, "Device Not Initialised.");
        if (!visible_) return S_OK;
        if (texture_) {
            ZYK_TRACE("Applying Texture.\n");
            // The texture sets its states on the device itself.
            HandOverDeviceState(zyk::com::FromHandle<IDirect3DDevice7>(device_));
            HRESULT hr = texture_->Apply();
            if (FAILED(hr)) throw failure(hr, "Failed to Apply Texture.");
        }
        return parts_ ? parts_->Render() : S_OK;
    });
}

HRESULT CObject::put_Name(BSTR name)
{
    ZYK_TRACE("Configuring Object Name --> '%ls'\n", name ? name : L"");
    return name_.Assign(name ? name : zyk::com::Bstr(L"").Get());
}

HRESULT CObject::Free()
{
    return ObjectGuard([&] {
        ZYK_TRACE("Releasing Object and associated memory.");
        device_ = 0;
        direct3d_ = 0;
        ReleaseChildren();
    });
}

HRESULT CObject::Scale(float, float, float)
{
    ZYK_TRACE("Scaling.\n");
    return S_OK;
}

HRESULT CObject::Move(float x, float y, float z)
{
    x_ += x;
    y_ += y;
    z_ += z;
    return S_OK;
}

HRESULT CObject::Rotate(float x, float y, float z)
{
    ZYK_TRACE("Rotating %ld %ld %ld\n", static_cast<long>(x), static_cast<long>(y), static_cast<long>(z));
    (void)x, (void)y, (void)z;
    return S_OK;
}

HRESULT CObject::get_Visible(VARIANT_BOOL* out) { return zyk::com::CopyOut(visible_ ? 1 : 0, out); }

HRESULT CObject::put_Visible(VARIANT_BOOL visible)
{
    visible_ = visible != 0;
    return S_OK;
}

HRESULT CObject::put_FillMode(FillModes mode)
{
    ZYK_TRACE("Fill Mode --> ");
    if (mode == fm_Solid) ZYK_TRACE("Solid.\n");
    else if (mode == fm_Wireframe) ZYK_TRACE("Wireframe.\n");
    fillMode_ = mode;
    return S_OK;
}

HRESULT CObject::LoadFile(BSTR filename)
{
    return ObjectGuard([&] {
        if (!device_) throw failure(E_POINTER, "Device Not Initialised.");
        if (!parts_) throw failure(E_POINTER, "Parts Not Initialised.");
        // A failed load has published its own error information; the object then simply
        // has no model.
        parts_->Load(filename);
        filename_.Assign(filename ? filename : zyk::com::Bstr(L"").Get());
    });
}

// The object block: a header, the name as a comment, the .x file the object loaded, the
// name, X, Y, Z, then the material block and the (empty) texture and points blocks.
HRESULT CObject::Save(long f)
{
    return world::Block(f, [&](FILE* s) {
        ZYK_TRACE("Saving Object.\n");
        world::WriteLine(s, "// Object\n");
        world::WriteLine(s, "// ");
        world::WriteName(s, name_.Text());
        world::WriteName(s, filename_.Text());
        world::WriteName(s, name_.Text());
        world::WriteFloat(s, x_);
        world::WriteFloat(s, y_);
        world::WriteFloat(s, z_);
        // A freed object writes a fresh material block, so that the block keeps its length.
        world::SaveMaterial(s, f, material_.Get());
        if (points_) points_->Save(f);
    });
}

HRESULT CObject::Load(long f)
{
    return world::Block(f, [&](FILE* s) {
        ZYK_TRACE("Loading Object.\n");
        world::SkipLine(s);
        world::SkipLine(s);
        zyk::com::Bstr file = zyk::com::Bstr::Adopt(world::ReadName(s));
        if (file.Length() > 0) LoadFile(file.Get());
        zyk::com::Bstr name = zyk::com::Bstr::Adopt(world::ReadName(s));
        put_Name(name.Get());
        x_ = world::ReadFloat(s);
        y_ = world::ReadFloat(s);
        z_ = world::ReadFloat(s);
        world::LoadMaterial(s, f, material_.Get());
        if (points_) points_->Load(f);
    });
}

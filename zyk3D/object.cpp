// CObject: its children, its texture, Render, Move and Rotate, LoadFile, and its part of the world file.
#include "object.h"
#include "com/create.h"
#include "devicestate.h"
#include "errormaps.h"
#include "checks.h"
#include "com/failure.h"
#include "com/handed.h"
#include "worldfile.h"
#include "com/trace.h"

using zyk::com::Ptr;

CObject::CObject()
{
    name_ = zyk::com::Bstr(L"");
    filename_ = zyk::com::Bstr(L"");
    ZYK_TRACE("Initialising Child Objects.\n");
    // The first child that cannot be made ends construction; the object still exists and
    // members that need a missing child say so. The material's first Update finds no
    // device yet; what it reports is not the construction's.
    Member([&] {
        material_ =
            Ptr<IMaterial>::Adopt(CreateChild<IMaterial>(CLSID_Material, IID_IMaterial, "Material Not Registered."));
        material_->Update();
        position_ =
            Ptr<IPosition>::Adopt(CreateChild<IPosition>(CLSID_Position, IID_IPosition, "Position Not Registered."));
        colour_ = Ptr<IColour>::Adopt(CreateChild<IColour>(CLSID_Colour, IID_IColour, "Colour Not Registered."));
        points_ = Ptr<IPoints>::Adopt(CreateChild<IPoints>(CLSID_Points, IID_IPoints, "Points Not Registered."));
        parts_ = Ptr<IParts>::Adopt(CreateChild<IParts>(CLSID_Parts, IID_IParts, "Parts Not Registered."));
    });
    TieChildren();
}

CObject::~CObject() { ReleaseChildren(); }

// An object is tied under its collection when it is filed there, after it made its
// children: they are tied again under it whenever it hands them a pointer, so that they
// are let go with it.
void CObject::TieChildren()
{
    if (material_) materialTie_ = zyk::com::TieTo(material_.Get(), OwnTie());
    if (points_) pointsTie_ = zyk::com::TieTo(points_.Get(), OwnTie());
    if (parts_) partsTie_ = zyk::com::TieTo(parts_.Get(), OwnTie());
}

// Children that a client still holds are let go: none of them keeps a device of this
// object's.
void CObject::ReleaseChildren()
{
    materialTie_.Cut();
    pointsTie_.Cut();
    partsTie_.Cut();
    device_.Reset();
    direct3d_.Reset();
    texture_.Reset();
    material_.Reset();
    position_.Reset();
    colour_.Reset();
    points_.Reset();
    parts_.Reset();
}

// A null out pointer is "Null Pointer."; a child that could not be made is named.
template <class T>
HRESULT CObject::Child(const Ptr<T>& child, const char* missing, IDispatch** out)
{
    return Member([&] {
        RequireOut(out);
        zyk::com::HandOut(child, out, missing);
    });
}

HRESULT CObject::get_Colour(IDispatch** out) { return Child(colour_, "Colour Not Initialised.", out); }
HRESULT CObject::get_Material(IDispatch** out) { return Child(material_, "Material Not Initialised.", out); }
HRESULT CObject::get_Position(IDispatch** out) { return Child(position_, "Position Not Initialised.", out); }
HRESULT CObject::get_Points(IDispatch** out) { return Child(points_, "Points Not Initialised.", out); }
HRESULT CObject::get_Parts(IDispatch** out) { return Child(parts_, "Parts Not Initialised.", out); }
HRESULT CObject::get_Texture(IDispatch** out) { return Child(texture_, "Texture Not Initialised.", out); }

HRESULT CObject::put_Texture(IDispatch* texture)
{
    return Member([&] {
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
    return Member([&] {
        device_.Take(device);
        TieChildren();
        const long handed = device_.Handle();
        if (material_) material_->put_Device(handed);
        if (points_) points_->put_Device(handed);
        if (parts_) parts_->put_Device(handed);
    });
}

HRESULT CObject::put_Direct3D(long d3d)
{
    return Member([&] {
        direct3d_.Take(d3d);
        TieChildren();
        const long handed = direct3d_.Handle();
        if (material_) material_->put_Direct3D(handed);
        if (parts_) parts_->put_Direct3D(handed);
    });
}

HRESULT CObject::Render()
{
    return Member([&]() -> HRESULT {
        if (!device_) throw failure(E_POINTER, "Device Not Initialised.");
        if (!visible_) return S_OK;
        if (texture_) {
            ZYK_TRACE("Applying Texture.\n");
            // The texture sets its states on the device itself.
            HandOverDeviceState(device_.Get());
            HRESULT hr = texture_->Apply();
            if (FAILED(hr)) throw failure(hr, "Failed to Apply Texture.");
        }
        return parts_ ? parts_->Render() : S_OK;
    });
}

HRESULT CObject::put_Name(BSTR name)
{
    return Member([&] {
        ZYK_TRACE("Configuring Object Name --> '%ls'\n", name ? name : L"");
        return name_.Assign(name ? name : zyk::com::Bstr(L"").Get());
    });
}

HRESULT CObject::Free()
{
    return Member([&] {
        ZYK_TRACE("Releasing Object and associated memory.");
        ReleaseChildren();
    });
}

HRESULT CObject::Scale(float, float, float)
{
    return Member([] { ZYK_TRACE("Scaling.\n"); });
}

HRESULT CObject::Move(float x, float y, float z)
{
    return Member([&] {
        x_ += x;
        y_ += y;
        z_ += z;
    });
}

HRESULT CObject::Rotate(float x, float y, float z)
{
    return Member([&] {
        ZYK_TRACE("Rotating %ld %ld %ld\n", static_cast<long>(x), static_cast<long>(y), static_cast<long>(z));
        (void)x, (void)y, (void)z;
    });
}

HRESULT CObject::put_FillMode(FillModes mode)
{
    return Member([&] {
        ZYK_TRACE("Fill Mode --> ");
        if (mode == fm_Solid)
            ZYK_TRACE("Solid.\n");
        else if (mode == fm_Wireframe)
            ZYK_TRACE("Wireframe.\n");
        fillMode_ = mode;
    });
}

HRESULT CObject::LoadFile(BSTR filename)
{
    return Member([&] {
        if (!device_) throw failure(E_POINTER, "Device Not Initialised.");
        if (!parts_) throw failure(E_POINTER, "Parts Not Initialised.");
        // A failed load leaves the object without a model; the object's answer is S_OK.
        parts_->Load(filename);
        filename_.Assign(filename ? filename : zyk::com::Bstr(L"").Get());
    });
}

// The object block: a header, the name as a comment, the .x file the object loaded, the
// name, X, Y, Z, then the material block and the (empty) texture and points blocks.
HRESULT CObject::Save(long f)
{
    return Member([&] {
        world::Block(f, [&](FILE* s) {
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
    });
}

namespace {

// The lines of an object block before its material block: the header, the name as a
// comment (not read), the .x file, the name, X, Y, Z.
struct ObjectLines {
    zyk::com::Bstr file, name;
    float x, y, z;
};

ObjectLines ReadObjectLines(FILE* s)
{
    ObjectLines l;
    world::ReadHeader(s, "// Object");
    world::SkipLine(s);
    l.file = zyk::com::Bstr::Adopt(world::ReadName(s));
    l.name = zyk::com::Bstr::Adopt(world::ReadName(s));
    l.x = world::ReadFloat(s);
    l.y = world::ReadFloat(s);
    l.z = world::ReadFloat(s);
    return l;
}

} // namespace

// The points block has no lines.
void world::SkimObject(FILE* s)
{
    ReadObjectLines(s);
    SkimMaterial(s);
}

HRESULT CObject::Load(long f)
{
    return Member([&] {
        world::Block(f, [&](FILE* s) {
            ZYK_TRACE("Loading Object.\n");
            const ObjectLines l = ReadObjectLines(s);
            if (l.file.Length() > 0) LoadFile(l.file.Get());
            put_Name(l.name.Get());
            x_ = l.x;
            y_ = l.y;
            z_ = l.z;
            world::LoadMaterial(s, f, material_.Get());
            if (points_) points_->Load(f);
        });
    });
}

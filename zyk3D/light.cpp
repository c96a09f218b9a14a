// CLight: its children and values, the light record Update sends, Enabled, and its part of the world file.
#include "com/ptr.h"
#include "light.h"
#include "colour.h"
#include "position.h"
#include "com/create.h"
#include "errormaps.h"
#include "checks.h"
#include "com/failure.h"
#include "com/handed.h"
#include "worldfile.h"
#include "com/trace.h"
#include <bit>
#include <cstring>

namespace light {

float MaximumRange() { return std::bit_cast<float>(0x5F7FFFFFu); }

} // namespace light

namespace {

// A refused SetLight.
const CodeText kSetLight[] = {
    {E_OUTOFMEMORY, IDS_OUTOFMEMORY},
    {E_INVALIDARG, IDS_INVALIDPARAMETER},
};

// A refused LightEnable or GetLightEnable.
const CodeText kLightEnable[] = {
    {D3DERR_LIGHT_SET_FAILED, 138},
    {D3DERR_LIGHTNOTINTHISVIEWPORT, 139},
};

void ReadPosition(IPosition* p, D3DVECTOR& out)
{
    p->get_X(&out.x);
    p->get_Y(&out.y);
    p->get_Z(&out.z);
}

} // namespace

CLight::CLight() : range_(light::MaximumRange())
{
    ZYK_TRACE("Initialising Light.\n");
    Member([&] {
        colour_ = MakeColour();
        specular_ = MakeColour();
        diffuse_ = MakeColour();
        ambient_ = MakeColour();
        position_ = MakePosition(0.0f, 0.0f, 0.0f);
        direction_ = MakePosition(0.0f, 0.0f, 0.0f);
    });
}

CLight::~CLight() { FreeResources(); }

void CLight::ReleaseChildren()
{
    colour_.Reset();
    position_.Reset();
    diffuse_.Reset();
    ambient_.Reset();
    specular_.Reset();
    direction_.Reset();
}

void CLight::RequireDevice() const
{
    if (!device_) throw failure(E_POINTER, "Device Not Initialised.");
}

// The child getters report nothing but the code: E_POINTER for a null out pointer or a
// missing child.
HRESULT CLight::Child(IUnknown* child, IDispatch** out)
{
    return Member([&] { return zyk::com::HandOutCode(child, out); });
}

// The bounds are written so that NaN fails them: a NaN inner cone takes the outer cone's
// angle and a NaN range the greatest range.
HRESULT CLight::put_InnerCone(float value)
{
    return Member([&] {
        if (!(value <= outerCone_)) {
            ZYK_TRACE("Setting Lights' InnerCone to Maximum.\n");
            value = outerCone_;
        }
        innerCone_ = value;
    });
}

HRESULT CLight::put_OuterCone(float value)
{
    return Member([&] {
        outerCone_ = value;
        if (innerCone_ > value) {
            ZYK_TRACE("Setting Lights' InnerCone to Maximum.\n");
            innerCone_ = value;
        }
    });
}

HRESULT CLight::put_Range(float value)
{
    return Member([&] {
        const float maximum = light::MaximumRange();
        if (!(value <= maximum)) {
            ZYK_TRACE("Setting Light to Maximum Range.\n");
            value = maximum;
        }
        range_ = value;
    });
}

HRESULT CLight::put_Name(BSTR name)
{
    return Member([&] {
        HRESULT hr = name_.Assign(name);
        ZYK_TRACE("Configuring Light Name --> '%ls'\n", name_.Text());
        return hr;
    });
}

void CLight::TraceRecord() const
{
    ZYK_TRACE("Light Properties:\n");
    ZYK_TRACE("Position (X): %f\n", record_.dvPosition.x);
    ZYK_TRACE("Position (Y): %f\n", record_.dvPosition.y);
    ZYK_TRACE("Position (Z): %f\n", record_.dvPosition.z);
    ZYK_TRACE("Direction (X): %f\n", record_.dvDirection.x);
    ZYK_TRACE("Direction (Y): %f\n", record_.dvDirection.y);
    ZYK_TRACE("Direction (Z): %f\n", record_.dvDirection.z);
    ZYK_TRACE("InnerCone (Theta): %f\n", record_.dvTheta);
    ZYK_TRACE("OuterCone (Phi): %f\n", record_.dvPhi);
    ZYK_TRACE("Fall-Off: %f\n", record_.dvFalloff);
    ZYK_TRACE("Type: %x\n", static_cast<unsigned>(record_.dltType));
    ZYK_TRACE("Range: %f\n", record_.dvRange);
}

HRESULT CLight::Update()
{
    return Member([&] {
        RequireDevice();
        // Without its Position child (after Free) the light stands at the origin.
        D3DVECTOR where{};
        if (position_) ReadPosition(position_.Get(), where);

        memset(&record_, 0, sizeof record_);
        record_.dltType = static_cast<D3DLIGHTTYPE>(type_);
        record_.dcvDiffuse.r = record_.dcvDiffuse.g = record_.dcvDiffuse.b = 1.0f;
        record_.dcvSpecular = record_.dcvDiffuse;
        record_.dvPosition = where;
        record_.dvDirection = where;
        record_.dvAttenuation0 = 1.0f;
        record_.dvRange = light::MaximumRange();

        ReadColour(diffuse_.Get(), record_.dcvDiffuse);
        ReadColour(specular_.Get(), record_.dcvSpecular);
        ReadColour(ambient_.Get(), record_.dcvAmbient);

        record_.dvAttenuation0 = constAttenuation_;
        record_.dvAttenuation1 = linearAttenuation_;
        record_.dvAttenuation2 = quadraticAttenuation_;
        if ((type_ == lt_Spot || type_ == lt_Directional) && direction_)
            ReadPosition(direction_.Get(), record_.dvDirection);
        record_.dvTheta = innerCone_;
        record_.dvPhi = outerCone_;
        record_.dvFalloff = fallOff_;
        if (type_ != lt_Directional) record_.dvRange = range_;

        HRESULT hr = device_->SetLight(static_cast<DWORD>(id_), &record_);
        if (FAILED(hr)) {
            TraceRecord();
            ZYK_TRACE("SetLight Failed. (Error Code=%lx).\n", static_cast<unsigned long>(hr));
            throw failure(hr, LookupText(kSetLight, hr));
        }
    });
}

HRESULT CLight::get_Enabled(VARIANT_BOOL* out)
{
    return Member([&] {
        RequireDevice();
        if (!out) throw failure(E_POINTER, IDS_NULLPOINTER);
        BOOL on = FALSE;
        HRESULT hr = device_->GetLightEnable(static_cast<DWORD>(id_), &on);
        if (FAILED(hr)) {
            ZYK_TRACE("GetLightEnable Failed. (Error Code=%lx).\n", static_cast<unsigned long>(hr));
            *out = 0;
            throw failure(hr, LookupText(kLightEnable, hr));
        }
        *out = on ? 1 : 0;
    });
}

HRESULT CLight::put_Enabled(VARIANT_BOOL flag)
{
    return Member([&] {
        RequireDevice();
        ZYK_TRACE("Light --> ");
        ZYK_TRACE("%s", flag ? "Enabled.\n" : "Disabled.\n");
        HRESULT hr = device_->LightEnable(static_cast<DWORD>(id_), flag ? TRUE : FALSE);
        if (FAILED(hr)) {
            ZYK_TRACE("LightEnable Failed. (Error Code=%lx).\n", static_cast<unsigned long>(hr));
            throw failure(hr, LookupText(kLightEnable, hr));
        }
    });
}

HRESULT CLight::Free()
{
    return Member([&] { FreeResources(); });
}

void CLight::FreeResources()
{
    ZYK_TRACE("Releasing all Light Resources.\n");
    ReleaseChildren();
    device_.Reset();
    direct3d_.Reset();
}

HRESULT CLight::Save(long f)
{
    return Member([&] {
        world::Block(f, [&](FILE* s) {
            ZYK_TRACE("Saving Light.\n");
            world::WriteLine(s, "// Light\n");
            world::WriteName(s, name_.Text());
            world::WriteUnsigned(s, static_cast<DWORD>(type_));
            world::WriteUnsigned(s, static_cast<DWORD>(id_));
            // A missing child writes what a fresh one holds, so that the block keeps its length.
            for (IPosition* p : {position_.Get(), direction_.Get()}) {
                D3DVECTOR v{};
                if (p) ReadPosition(p, v);
                world::WriteFloat(s, v.x);
                world::WriteFloat(s, v.y);
                world::WriteFloat(s, v.z);
            }
            for (float v : {constAttenuation_, linearAttenuation_, quadraticAttenuation_, innerCone_, outerCone_,
                            fallOff_, range_})
                world::WriteFloat(s, v);
            for (IColour* c : {ambient_.Get(), colour_.Get(), diffuse_.Get(), specular_.Get()})
                world::SaveColour(s, f, c);
        });
    });
}

namespace {

// The lines of a light block before its four colour blocks.
struct LightLines {
    zyk::com::Bstr name;
    long type, id;
    D3DVECTOR position, direction;
    float constAttenuation, linearAttenuation, quadraticAttenuation, innerCone, outerCone, fallOff, range;
};

LightLines ReadLightLines(FILE* s)
{
    LightLines l;
    world::ReadHeader(s, "// Light");
    l.name = zyk::com::Bstr::Adopt(world::ReadName(s));
    l.type = world::ReadInteger(s);
    l.id = world::ReadInteger(s);
    for (D3DVECTOR* v : {&l.position, &l.direction}) {
        v->x = world::ReadFloat(s);
        v->y = world::ReadFloat(s);
        v->z = world::ReadFloat(s);
    }
    for (float* v : {&l.constAttenuation, &l.linearAttenuation, &l.quadraticAttenuation, &l.innerCone, &l.outerCone,
                     &l.fallOff, &l.range})
        *v = world::ReadFloat(s);
    return l;
}

} // namespace

void world::SkimLight(FILE* s)
{
    ReadLightLines(s);
    for (int i = 0; i < 4; ++i) SkimColour(s);
}

HRESULT CLight::Load(long f)
{
    return Member([&] {
        world::Block(f, [&](FILE* s) {
            ZYK_TRACE("Loading Light.\n");
            LightLines l = ReadLightLines(s);
            name_ = std::move(l.name);
            type_ = static_cast<LightTypes>(l.type);
            id_ = l.id;
            auto place = [](IPosition* p, const D3DVECTOR& v) {
                if (!p) return;
                p->put_X(v.x);
                p->put_Y(v.y);
                p->put_Z(v.z);
            };
            place(position_.Get(), l.position);
            place(direction_.Get(), l.direction);
            constAttenuation_ = l.constAttenuation;
            linearAttenuation_ = l.linearAttenuation;
            quadraticAttenuation_ = l.quadraticAttenuation;
            innerCone_ = l.innerCone;
            outerCone_ = l.outerCone;
            fallOff_ = l.fallOff;
            range_ = l.range;
            for (IColour* c : {ambient_.Get(), colour_.Get(), diffuse_.Get(), specular_.Get()})
                world::LoadColour(s, f, c);
            Update();
        });
    });
}

// CFog: the fog render states read and set on the device, Update, and the fog's part of the world file.
#include "com/ptr.h"
#include "fog.h"
#include "colour.h"
#include "com/create.h"
#include "errormaps.h"
#include "checks.h"
#include "com/failure.h"
#include "com/handed.h"
#include "worldfile.h"
#include "com/trace.h"
#include <bit>
#include <cstring>

namespace {

// Direct3D 7 render states of the fog.
constexpr auto kFogEnable = static_cast<D3DRENDERSTATETYPE>(28);
constexpr auto kFogColour = static_cast<D3DRENDERSTATETYPE>(34);
constexpr auto kFogTableMode = static_cast<D3DRENDERSTATETYPE>(35);
constexpr auto kFogStart = static_cast<D3DRENDERSTATETYPE>(36);
constexpr auto kFogEnd = static_cast<D3DRENDERSTATETYPE>(37);
constexpr auto kFogDensity = static_cast<D3DRENDERSTATETYPE>(38);
constexpr auto kRangeFogEnable = static_cast<D3DRENDERSTATETYPE>(48);
constexpr auto kFogVertexMode = static_cast<D3DRENDERSTATETYPE>(140);

const char kDensityInLinear[] = "Linear Fog does not support Density.";
const char kStartOutsideLinear[] = "Linear Fog Only Supports Starting Position.";
const char kEndOutsideLinear[] = "Linear Fog Only Supports End Position.";

[[maybe_unused]] const char* ModeText(FogModes mode)
{
    switch (mode) {
    case fm_None: return "None.\n";
    case fm_Exp: return "Exp.\n";
    case fm_Exp2: return "Exp2.\n";
    case fm_Linear: return "Linear.\n";
    default: return "Unknown.\n";
    }
}

} // namespace

CFog::CFog()
{
    Member([&] { colour_ = MakeColour(); });
}

CFog::~CFog() { colour_.Reset(); }

bool CFog::CheckDevice() const
{
    if (device_) return true;
    failure(E_POINTER, "Device Not Initialised.").Report(CLSID_Fog, IID_IFog);
    return false;
}

void CFog::RequireDevice() const
{
    if (!CheckDevice()) throw failure(E_POINTER, IDS_FOGUNAVAILABLE);
}

void CFog::RequireLinear(bool linear, const char* refused) const
{
    if ((mode_ == fm_Linear) != linear) throw failure(E_FAIL, refused);
}

float CFog::GetFloat(D3DRENDERSTATETYPE state, const char* failed) const
{
    DWORD bits = 0;
    HRESULT hr = device_->GetRenderState(state, &bits);
    if (FAILED(hr)) throw failure(hr, failed);
    return std::bit_cast<float>(bits);
}

void CFog::SetFloat(D3DRENDERSTATETYPE state, float value, const char* failed) const
{
    HRESULT hr = device_->SetRenderState(state, std::bit_cast<DWORD>(value));
    if (FAILED(hr)) throw failure(hr, failed);
}

// Without its colour child the getter gives E_POINTER alone.
HRESULT CFog::get_Colour(IDispatch** out)
{
    return Member([&] { return zyk::com::HandOutCode(colour_, out); });
}

HRESULT CFog::put_Device(long device)
{
    return Member([&] { device_.Take(device); });
}

HRESULT CFog::put_Density(float value)
{
    return Member([&] {
        RequireDevice();
        if (mode_ == fm_Linear) {
            ZYK_TRACE("Linear Fog Does Not Support Density.\n");
            throw failure(E_FAIL, kDensityInLinear);
        }
        // Written so that a value that is not a number is refused too.
        if (!(value >= 0.0f && value <= 1.0f)) throw failure(E_FAIL, "Density must be between 0.0 and 1.0 inclusive.");
        ZYK_TRACE("Fog Density --> ");
        ZYK_TRACE("<TBC>");
        ZYK_TRACE("\n");
        SetFloat(kFogDensity, value, "Failed to Set Fog Density.");
    });
}

HRESULT CFog::get_Density(float* out)
{
    return Member([&] {
        RequireDevice();
        RequireLinear(false, kDensityInLinear);
        RequireOut(out);
        *out = GetFloat(kFogDensity, "Failed to Get Fog Density.");
    });
}

HRESULT CFog::put_StartingPos(float value)
{
    return Member([&] {
        RequireDevice();
        RequireLinear(true, kStartOutsideLinear);
        SetFloat(kFogStart, value, "Failed to Set Fog Starting Position.");
    });
}

HRESULT CFog::get_StartingPos(float* out)
{
    return Member([&] {
        RequireDevice();
        RequireLinear(true, kStartOutsideLinear);
        RequireOut(out);
        *out = GetFloat(kFogStart, "Failed to Get Fog Starting Position.");
    });
}

HRESULT CFog::put_EndPosition(float value)
{
    return Member([&] {
        RequireDevice();
        RequireLinear(true, kEndOutsideLinear);
        SetFloat(kFogEnd, value, "Failed to Set Fog End Position.");
    });
}

HRESULT CFog::get_EndPosition(float* out)
{
    return Member([&] {
        RequireDevice();
        RequireLinear(true, kEndOutsideLinear);
        RequireOut(out);
        *out = GetFloat(kFogEnd, "Failed to Get Fog End Position.");
    });
}

HRESULT CFog::put_Mode(FogModes mode)
{
    return Member([&] {
        RequireDevice();
        ZYK_TRACE("Fog Type --> ");
        ZYK_TRACE("%s", ModeText(mode));
        HRESULT hr = device_->SetRenderState(kFogTableMode, static_cast<DWORD>(mode));
        if (FAILED(hr)) throw failure(hr, "Failed to Set Fog Mode.");
        hr = device_->SetRenderState(kFogVertexMode, static_cast<DWORD>(mode));
        if (FAILED(hr)) throw failure(hr, "Failed to Set Fog Mode.");
        mode_ = mode;
    });
}

HRESULT CFog::get_Mode(FogModes* out)
{
    return Member([&] {
        RequireDevice();
        RequireOut(out);
        DWORD mode = 0;
        HRESULT hr = device_->GetRenderState(kFogTableMode, &mode);
        if (FAILED(hr)) throw failure(hr, "Failed to Get Fog Mode.");
        *out = static_cast<FogModes>(mode);
    });
}

HRESULT CFog::put_Enabled(VARIANT_BOOL flag)
{
    return Member([&] {
        RequireDevice();
        ZYK_TRACE("Fog Status --> ");
        ZYK_TRACE("%s", flag ? "Enabled.\n" : "Disabled.\n");
        HRESULT hr = device_->SetRenderState(kFogEnable, flag ? 1 : 0);
        if (FAILED(hr)) throw failure(hr, "Failed to Set Fog Enabled Status.");
    });
}

HRESULT CFog::get_Enabled(VARIANT_BOOL* out)
{
    return Member([&] {
        RequireDevice();
        RequireOut(out);
        DWORD state = 0;
        HRESULT hr = device_->GetRenderState(kFogEnable, &state);
        if (FAILED(hr)) throw failure(hr, "Failed to Get Fog Enabled Status.");
        ZYK_TRACE("Fog Enabled --> ");
        ZYK_TRACE("%s", state ? "YES\n" : "NO\n");
        *out = state ? 1 : 0;
    });
}

// RangeBased reports a missing device and a refused render state by its code alone.
HRESULT CFog::put_RangeBased(VARIANT_BOOL flag)
{
    return Member([&]() -> HRESULT {
        if (!CheckDevice()) return E_POINTER;
        ZYK_TRACE("Fog Range Based --> ");
        ZYK_TRACE("%s", flag ? "Enabled.\n" : "Disabled.\n");
        HRESULT hr = device_->SetRenderState(kRangeFogEnable, static_cast<DWORD>(static_cast<LONG>(flag)));
        return FAILED(hr) ? hr : S_OK;
    });
}

HRESULT CFog::get_RangeBased(VARIANT_BOOL* out)
{
    return Member([&]() -> HRESULT {
        if (!CheckDevice()) return E_POINTER;
        if (!out) return E_POINTER;
        DWORD state = 0;
        HRESULT hr = device_->GetRenderState(kRangeFogEnable, &state);
        if (FAILED(hr)) return hr;
        *out = static_cast<VARIANT_BOOL>(state & 0xFFFF);
        return S_OK;
    });
}

HRESULT CFog::Update()
{
    return Member([&] {
        RequireDevice();
        if (!colour_) throw failure(E_POINTER, "Colour Not Initialised.");
        device_->SetRenderState(kFogColour, PackColour(colour_.Get()));
    });
}

HRESULT CFog::Save(long f)
{
    return Member([&] {
        world::Block(f, [&](FILE* s) {
            ZYK_TRACE("Saving Fog.\n");
            float density = 0.0f, start = 0.0f, end = 0.0f;
            FogModes mode = fm_None;
            VARIANT_BOOL enabled = 0, rangeBased = 0;
            // A value the fog refuses in its mode is written as 0; reading drops it again.
            get_Density(&density);
            get_StartingPos(&start);
            get_EndPosition(&end);
            get_Mode(&mode);
            get_Enabled(&enabled);
            get_RangeBased(&rangeBased);
            world::WriteLine(s, "// Fog\n");
            world::WriteFloat(s, density);
            world::WriteFloat(s, start);
            world::WriteFloat(s, end);
            world::WriteUnsigned(s, static_cast<DWORD>(mode));
            world::WriteBoolean(s, enabled);
            world::WriteBoolean(s, rangeBased);
            world::SaveColour(s, f, colour_.Get());
        });
    });
}

namespace {

// The lines of a fog block before its colour block.
struct FogLines {
    float density, start, end;
    long mode;
    short enabled, rangeBased;
};

FogLines ReadFogLines(FILE* s)
{
    FogLines l;
    world::ReadHeader(s, "// Fog");
    l.density = world::ReadFloat(s);
    l.start = world::ReadFloat(s);
    l.end = world::ReadFloat(s);
    l.mode = world::ReadInteger(s);
    l.enabled = world::ReadBoolean(s);
    l.rangeBased = world::ReadBoolean(s);
    return l;
}

} // namespace

void world::SkimFog(FILE* s)
{
    ReadFogLines(s);
    SkimColour(s);
}

HRESULT CFog::Load(long f)
{
    return Member([&] {
        world::Block(f, [&](FILE* s) {
            ZYK_TRACE("Loading Fog.\n");
            const FogLines l = ReadFogLines(s);
            put_Mode(static_cast<FogModes>(l.mode));
            put_Density(l.density);
            put_StartingPos(l.start);
            put_EndPosition(l.end);
            put_Enabled(l.enabled);
            put_RangeBased(l.rangeBased);
            world::LoadColour(s, f, colour_.Get());
            Update();
        });
    });
}

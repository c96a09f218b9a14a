// DeviceState and its scope: the states held for a run of draws, sent when a draw needs them.
#include "devicestate.h"
#include <cstring>

namespace {

// The innermost open scope's states on this thread (objects are apartment-threaded).
thread_local DeviceState* openState = nullptr;

D3DMATRIX Identity()
{
    D3DMATRIX m{};
    m._11 = m._22 = m._33 = m._44 = 1.0f;
    return m;
}

template <class T>
bool Same(const T& a, const T& b)
{
    return memcmp(&a, &b, sizeof a) == 0;
}

} // namespace

DeviceState::Slot* DeviceState::Find(DWORD type, bool stage, bool add)
{
    for (int i = 0; i < count_; ++i)
        if (slots_[i].type == type && slots_[i].stage == stage) return &slots_[i];
    if (!add) return nullptr;
    if (count_ == kSlots) {
        // Full: what is held goes to the device and the slots start again.
        Send();
        count_ = 0;
    }
    Slot* slot = &slots_[count_++];
    *slot = {type, stage, 0, 0, false, false};
    return slot;
}

DWORD DeviceState::RenderState(D3DRENDERSTATETYPE state, DWORD fallback)
{
    Slot* slot = Find(state, false, true);
    if (slot->holding) return slot->held;
    if (!slot->known) {
        DWORD value = fallback;
        if (FAILED(device_->GetRenderState(state, &value))) return fallback;
        slot->sent = value;
        slot->known = true;
    }
    return slot->sent;
}

void DeviceState::Hold(DWORD type, bool stage, DWORD value)
{
    Slot* slot = Find(type, stage, true);
    slot->held = value;
    slot->holding = !(slot->known && slot->sent == value);
}

void DeviceState::SetRenderState(D3DRENDERSTATETYPE state, DWORD value) { Hold(state, false, value); }

void DeviceState::SetStageState(D3DTEXTURESTAGESTATETYPE state, DWORD value) { Hold(state, true, value); }

const D3DMATRIX& DeviceState::World()
{
    if (worldHeld_) return world_;
    if (!worldKnown_) {
        if (FAILED(device_->GetTransform(D3DTRANSFORMSTATE_WORLD, &worldSent_))) {
            world_ = Identity();
            return world_;
        }
        worldKnown_ = true;
    }
    return worldSent_;
}

void DeviceState::SetWorld(const D3DMATRIX& world)
{
    world_ = world;
    worldHeld_ = !(worldKnown_ && Same(worldSent_, world));
}

const D3DMATERIAL7& DeviceState::Material()
{
    if (materialHeld_) return material_;
    if (!materialKnown_) {
        memset(&materialSent_, 0, sizeof materialSent_);
        if (FAILED(device_->GetMaterial(&materialSent_)))
            memset(&materialSent_, 0, sizeof materialSent_);
        else
            materialKnown_ = true;
    }
    return materialSent_;
}

void DeviceState::SetMaterial(const D3DMATERIAL7& material)
{
    material_ = material;
    materialHeld_ = !(materialKnown_ && Same(materialSent_, material));
}

IDirectDrawSurface7* DeviceState::Texture()
{
    if (!textureKnown_) {
        IDirectDrawSurface7* texture = nullptr;
        if (FAILED(device_->GetTexture(0, &texture))) return nullptr;
        texture_ = zyk::com::Ptr<IDirectDrawSurface7>::Adopt(texture); // the reference GetTexture added
        textureKnown_ = true;
    }
    return texture_.Get();
}

HRESULT DeviceState::SetTexture(IDirectDrawSurface7* texture)
{
    if (textureKnown_ && texture_.Get() == texture) return D3D_OK;
    HRESULT hr = device_->SetTexture(0, texture);
    textureKnown_ = SUCCEEDED(hr);
    texture_ = textureKnown_ ? texture : nullptr;
    return hr;
}

void DeviceState::Send()
{
    for (int i = 0; i < count_; ++i) {
        Slot& s = slots_[i];
        if (!s.holding) continue;
        const HRESULT hr = s.stage
                               ? device_->SetTextureStageState(0, static_cast<D3DTEXTURESTAGESTATETYPE>(s.type), s.held)
                               : device_->SetRenderState(static_cast<D3DRENDERSTATETYPE>(s.type), s.held);
        s.sent = s.held;
        s.known = SUCCEEDED(hr);
        s.holding = false;
    }
    if (worldHeld_) {
        D3DMATRIX world = world_;
        worldKnown_ = SUCCEEDED(device_->SetTransform(D3DTRANSFORMSTATE_WORLD, &world));
        worldSent_ = world_;
        worldHeld_ = false;
    }
    if (materialHeld_) {
        D3DMATERIAL7 material = material_;
        materialKnown_ = SUCCEEDED(device_->SetMaterial(&material));
        materialSent_ = material_;
        materialHeld_ = false;
    }
}

HRESULT DeviceState::DrawIndexed(D3DPRIMITIVETYPE type, DWORD format, void* vertices, DWORD vertexCount, WORD* indices,
                                 DWORD indexCount, DWORD flags)
{
    Send();
    return device_->DrawIndexedPrimitive(type, format, vertices, vertexCount, indices, indexCount, flags);
}

void DeviceState::HandOver()
{
    Send();
    count_ = 0;
    worldKnown_ = materialKnown_ = false;
    texture_.Reset();
    textureKnown_ = false;
}

DeviceStateScope::DeviceStateScope(IDirect3DDevice7* device)
    : own_(device), outer_(openState), owner_(!openState || openState->Device() != device)
{
    state_ = owner_ ? &own_ : openState;
    if (owner_) openState = &own_;
}

DeviceStateScope::~DeviceStateScope()
{
    if (!owner_) return;
    own_.Send();
    openState = outer_;
}

void HandOverDeviceState(IDirect3DDevice7* device)
{
    if (openState && openState->Device() == device) openState->HandOver();
}

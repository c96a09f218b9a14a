// What the device holds of the states that drawing models reads and changes, kept for a
// run of draws so that each state is sent only when a draw needs it and it differs.
//
//   DeviceStateScope state(device);     // joins the scope already open for this device
//   D3DMATRIX saved = state->World();   // asked of the device once, then known
//   state->SetWorld(composed);          // held
//   state->DrawIndexed(...);            // sends what is held and differs, then draws
//                                       // the outermost scope's end sends the rest
//
// Within an open scope every change to these states must go through it; code that sets
// states on the device itself first calls HandOverDeviceState. Outside a scope nothing
// is kept, so states a client sets on the device between frames are read afresh.
#pragma once
#include <windows.h>
#include <ddraw.h>
#include <d3d.h>
#include "com/ptr.h"

class DeviceState {
public:
    explicit DeviceState(IDirect3DDevice7* device) : device_(device) {}
    ~DeviceState() = default;
    DeviceState(const DeviceState&) = delete;
    DeviceState& operator=(const DeviceState&) = delete;

    IDirect3DDevice7* Device() const { return device_; }

    // A render state or stage-0 stage state: the value held, else the device's (fallback
    // when the device cannot say). A set is held until a draw or the scope's end.
    DWORD RenderState(D3DRENDERSTATETYPE state, DWORD fallback);
    void SetRenderState(D3DRENDERSTATETYPE state, DWORD value);
    void SetStageState(D3DTEXTURESTAGESTATETYPE state, DWORD value);

    // The world matrix (identity when the device cannot say) and the material (zeroes).
    const D3DMATRIX& World();
    void SetWorld(const D3DMATRIX& world);
    const D3DMATERIAL7& Material();
    void SetMaterial(const D3DMATERIAL7& material);

    // The stage-0 texture, with no reference added; it stays alive while it is set or
    // known here. SetTexture is sent at once (skipped when the device holds that texture)
    // and returns the device's result.
    IDirectDrawSurface7* Texture();
    HRESULT SetTexture(IDirectDrawSurface7* texture);

    // Sends what is held and differs, then draws.
    HRESULT DrawIndexed(D3DPRIMITIVETYPE type, DWORD format, void* vertices, DWORD vertexCount, WORD* indices,
                        DWORD indexCount, DWORD flags);

    // Sends what is held and differs.
    void Send();
    // Sends what is held, then forgets everything known, for code that sets states itself.
    void HandOver();

private:
    struct Slot {
        DWORD type;
        bool stage;
        DWORD sent, held;    // the device's value, and the value wanted
        bool known, holding; // sent is the device's value; held waits to be sent
    };
    Slot* Find(DWORD type, bool stage, bool add);
    // Holds value for the state, unless the device is known to have it already.
    void Hold(DWORD type, bool stage, DWORD value);

    IDirect3DDevice7* device_;
    static const int kSlots = 32;
    Slot slots_[kSlots];
    int count_ = 0;
    D3DMATRIX world_{}, worldSent_{};
    bool worldKnown_ = false, worldHeld_ = false;
    D3DMATERIAL7 material_{}, materialSent_{};
    bool materialKnown_ = false, materialHeld_ = false;
    zyk::com::Ptr<IDirectDrawSurface7> texture_; // while textureKnown_
    bool textureKnown_ = false;
};

// Opens a DeviceState for the device on this thread, or joins the one open for it. The
// outermost scope sends what is held when it ends.
class DeviceStateScope {
public:
    explicit DeviceStateScope(IDirect3DDevice7* device);
    ~DeviceStateScope();
    DeviceStateScope(const DeviceStateScope&) = delete;
    DeviceStateScope& operator=(const DeviceStateScope&) = delete;

    DeviceState* operator->() const { return state_; }
    DeviceState& operator*() const { return *state_; }

private:
    DeviceState own_;
    DeviceState* state_;
    DeviceState* outer_;
    bool owner_;
};

// Before code that sets states on the device directly: the open scope for the device (if
// any) sends what it holds and forgets what it knew.
void HandOverDeviceState(IDirect3DDevice7* device);

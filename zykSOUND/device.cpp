// CSoundDevice: Initialise and Free of the DirectSound object, its Buffers, and the figures of its caps.
#include "device.h"
#include "com/create.h"
#include <cstring>

using zyk::com::Ptr;

namespace {

const char* CreateText(HRESULT hr)
{
    switch (hr) {
    case CLASS_E_NOAGGREGATION: return "No Aggregation Allowed.";
    case E_OUTOFMEMORY: return "Out of Memory.";
    case E_INVALIDARG: return "Invalid Parameter.";
    case DSERR_ALLOCATED: return "Already Allocated.";
    case DSERR_NODRIVER: return "No Driver Found.";
    default: return "Unknown Error.";
    }
}

} // namespace

CSoundDevice::CSoundDevice() { CreateBuffers(); }

CSoundDevice::~CSoundDevice()
{
    generation_.Cut();
    buffers_.Reset();
    ds_.Reset();
}

// A collection that cannot be made is reported, and the device goes on without one. The
// collection is tied under the device's present generation.
void CSoundDevice::CreateBuffers()
{
    Member([&] {
        void* made = nullptr;
        HRESULT hr = CoCreateInstance(CLSID_Buffers, nullptr, CLSCTX_INPROC_SERVER, IID_IBuffers, &made);
        if (FAILED(hr) || !made) throw failure(FAILED(hr) ? hr : E_FAIL, "Buffers Not Registered.");
        buffers_ = Ptr<IBuffers>::Adopt(static_cast<IBuffers*>(made));
        zyk::com::TieTo(buffers_.Get(), generation_);
    });
}

// A device freed earlier, or made without a collection, tries for a new one, so that its
// sounds can be loaded again; without one it still opens DirectSound.
HRESULT CSoundDevice::Initialise()
{
    return Member([&] {
        if (ds_) throw failure(E_POINTER, "DirectSound Already Initialised.");
        Ptr<IDirectSound> ds;
        HRESULT hr = DirectSoundCreate(&guid_, ds.Out(), nullptr);
        if (FAILED(hr) || !ds) throw failure(FAILED(hr) ? hr : E_FAIL, CreateText(hr));
        ds_ = ds;
        hr = ds_->SetCooperativeLevel(GetActiveWindow(), DSSCL_EXCLUSIVE);
        if (FAILED(hr)) throw failure(hr, "SetCooperativeLevel Function Failed.");
        if (!buffers_) CreateBuffers();
        if (buffers_) buffers_->put_DS(zyk::com::ToHandle(ds_.Get()));
    });
}

// The collection and its sounds are let go for good: one that a client still holds answers
// as let go, and the next Initialise starts a new generation with a new collection.
HRESULT CSoundDevice::Free()
{
    return Member([&] {
        guid_ = GUID{};
        generation_.Cut();
        generation_ = zyk::com::Tie();
        buffers_.Reset();
        ds_.Reset();
    });
}

HRESULT CSoundDevice::get_Buffers(IDispatch** out)
{
    return Member([&] { zyk::com::HandOut(buffers_, out, "Buffers Not Initialised."); });
}

bool CSoundDevice::ReadCaps()
{
    HRESULT hr = Member([&] {
        if (!ds_) throw failure(E_POINTER, "Not Initialised.");
        std::memset(&caps_, 0, sizeof caps_);
        caps_.dwSize = sizeof caps_;
        HRESULT got = ds_->GetCaps(&caps_);
        if (FAILED(got)) throw failure(got, "GetCaps Function Failed.");
    });
    return SUCCEEDED(hr);
}

template <class T, class Field>
HRESULT CSoundDevice::CapsFigure(T* out, HRESULT failed, const char* text, Field field)
{
    return Member([&] {
        zyk::com::CheckedOut(out);
        if (!ReadCaps()) throw failure(failed, text);
        *out = static_cast<T>(field(caps_));
    });
}

HRESULT CSoundDevice::get_FreeMemory(long* out)
{
    return CapsFigure(out, E_FAIL, "Failed to Obtain Capabilities.",
                      [](const DSCAPS& c) { return c.dwFreeHwMemBytes; });
}

HRESULT CSoundDevice::get_TotalMemory(long* out)
{
    return CapsFigure(out, E_POINTER, "Failed to obtain Capabilities",
                      [](const DSCAPS& c) { return c.dwTotalHwMemBytes; });
}

HRESULT CSoundDevice::get_FreeContiguousMemory(long* out)
{
    return CapsFigure(out, E_FAIL, "Failed to obtain Capabilities.",
                      [](const DSCAPS& c) { return c.dwMaxContigFreeHwMemBytes; });
}

HRESULT CSoundDevice::get_Certified(VARIANT_BOOL* out)
{
    return CapsFigure(out, E_FAIL, "Failed to obtain Capabilities.",
                      [](const DSCAPS& c) { return (c.dwFlags & DSCAPS_CERTIFIED) ? 1 : 0; });
}

HRESULT CSoundDevice::get_Emulation(VARIANT_BOOL* out)
{
    return CapsFigure(out, E_FAIL, "Failed to obtain Capabilities.",
                      [](const DSCAPS& c) { return (c.dwFlags & DSCAPS_EMULDRIVER) ? 1 : 0; });
}

// The speaker configuration proper is the low byte; the geometry is above it. A value
// outside the enumeration's range is still written, as the number it is.
HRESULT CSoundDevice::get_SpeakerType(Speaker_Types* out)
{
    return Member([&] {
        zyk::com::CheckedOut(out);
        if (!ds_) throw failure(E_POINTER, "DirectSound Not Initialised.");
        DWORD config = 0;
        HRESULT hr = ds_->GetSpeakerConfig(&config);
        if (FAILED(hr)) throw failure(hr, "GetSpeakerConfig Function Failed.");
        *out = static_cast<Speaker_Types>(config & 0xFF);
    });
}

HRESULT CSoundDevice::put_GUID(long guid)
{
    return Member([&] {
        if (const GUID* g = zyk::com::FromHandle<const GUID>(guid)) std::memcpy(&guid_, g, sizeof guid_);
    });
}

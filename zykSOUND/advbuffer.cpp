// CAdvBuffer: the 3D buffer's distances and the listener's factors, read and set while the buffer holds.
#include "advbuffer.h"

using zyk::com::Ptr;

namespace {

template <class Itf>
Ptr<Itf> Query(IUnknown* from, const IID& iid)
{
    Ptr<Itf> got;
    if (from) from->QueryInterface(iid, reinterpret_cast<void**>(got.Out()));
    return got;
}

// A getter's body: out is 0.0 unless the call succeeds.
template <class Get>
void Read(float* out, const char* failed, Get&& get)
{
    *zyk::com::CheckedOut(out) = 0.0f;
    D3DVALUE value = 0.0f;
    HRESULT hr = get(&value);
    if (FAILED(hr)) throw failure(hr, failed);
    *out = value;
}

void Check(HRESULT hr, const char* failed)
{
    if (FAILED(hr)) throw failure(hr, failed);
}

} // namespace

// A buffer that is also a listener (a primary buffer) serves as both.
HRESULT CAdvBuffer::put_Buffer(long buffer)
{
    return Member([&] {
        buffer_ = zyk::com::Hold<IDirectSoundBuffer>(buffer);
        sound_ = Query<IDirectSound3DBuffer>(buffer_.Get(), IID_IDirectSound3DBuffer);
        listener_ = Query<IDirectSound3DListener>(buffer_.Get(), IID_IDirectSound3DListener);
        if (sound_) {
            sound_->SetMinDistance(1.0f, DS3D_IMMEDIATE);
            sound_->SetMaxDistance(1e9f, DS3D_IMMEDIATE);
        }
        if (listener_) listener_->SetDopplerFactor(1.0f, DS3D_IMMEDIATE);
    });
}

// The listener of a primary buffer with the 3D control; a buffer without one keeps the
// listener that the sound buffer gave. The listener is the device's, shared by all its 3D
// sounds, so it keeps the factors that were set on it: a new one starts with DirectSound's
// own (Doppler factor 1.0).
HRESULT CAdvBuffer::put_Listener(long buffer)
{
    return Member([&] {
        Ptr<IDirectSound3DListener> listener =
            Query<IDirectSound3DListener>(zyk::com::FromHandle<IUnknown>(buffer), IID_IDirectSound3DListener);
        if (listener) listener_ = listener;
    });
}

void CAdvBuffer::ForgetIfLetGo()
{
    if (Held()) return;
    listener_.Reset();
    sound_.Reset();
    buffer_.Reset();
}

IDirectSound3DBuffer* CAdvBuffer::Sound()
{
    ForgetIfLetGo();
    if (!sound_) throw failure(E_POINTER, "Buffer Not Initialised.");
    return sound_.Get();
}

IDirectSound3DListener* CAdvBuffer::Listener()
{
    ForgetIfLetGo();
    if (!listener_) throw failure(E_POINTER, "Listener Not Initialised.");
    return listener_.Get();
}

HRESULT CAdvBuffer::get_MaxDistance(float* out)
{
    return Member(
        [&] { Read(out, "GetMaxDistance Function Failed.", [&](D3DVALUE* v) { return Sound()->GetMaxDistance(v); }); });
}

HRESULT CAdvBuffer::put_MaxDistance(float value)
{
    return Member([&] { Check(Sound()->SetMaxDistance(value, DS3D_IMMEDIATE), "SetMaxDistance Function Failed."); });
}

HRESULT CAdvBuffer::get_MinDistance(float* out)
{
    return Member(
        [&] { Read(out, "GetMinDistance Function Failed.", [&](D3DVALUE* v) { return Sound()->GetMinDistance(v); }); });
}

HRESULT CAdvBuffer::put_MinDistance(float value)
{
    return Member([&] { Check(Sound()->SetMinDistance(value, DS3D_IMMEDIATE), "SetMinDistance Function Failed."); });
}

HRESULT CAdvBuffer::get_DistanceFactor(float* out)
{
    return Member([&] {
        Read(out, "GetDistanceFactor Function Failed.", [&](D3DVALUE* v) { return Listener()->GetDistanceFactor(v); });
    });
}

HRESULT CAdvBuffer::put_DistanceFactor(float value)
{
    return Member(
        [&] { Check(Listener()->SetDistanceFactor(value, DS3D_IMMEDIATE), "SetDistanceFactor Function Failed."); });
}

HRESULT CAdvBuffer::get_DopplerFactor(float* out)
{
    return Member([&] {
        Read(out, "GetDopplerFactor Function Failed.", [&](D3DVALUE* v) { return Listener()->GetDopplerFactor(v); });
    });
}

HRESULT CAdvBuffer::put_DopplerFactor(float value)
{
    return Member(
        [&] { Check(Listener()->SetDopplerFactor(value, DS3D_IMMEDIATE), "SetDopplerFactor Function Failed."); });
}

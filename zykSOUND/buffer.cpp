// CBuffer: Load of a sound into a secondary buffer, Play, Stop, Status, Pan, Volume and its Advance child.
#include "buffer.h"
#include "com/create.h"
#include "waveload.h"
#include "com/text.h"
#include <new>
#include <string>

using zyk::com::Ptr;

namespace {

// Which member a DirectSound result's text belongs to.
enum Call { kPanGet, kPanPut, kVolumeGet, kVolumePut, kPlay, kStop };

[[noreturn]] void Fail(HRESULT hr, Call call)
{
    const bool panOrVolume = call <= kVolumePut;
    if (hr == E_FAIL && (call == kPanGet || call == kPanPut || call == kVolumePut)) throw failure(hr, "Generic Error.");
    if (hr == E_INVALIDARG) throw failure(hr, "Invalid Parameter.");
    if (hr == DSERR_CONTROLUNAVAIL && panOrVolume) throw failure(hr, "Control Unavailable.");
    if (hr == DSERR_PRIOLEVELNEEDED) throw failure(hr, "Priority Level Required.");
    if (hr == DSERR_INVALIDCALL && call == kPlay) throw failure(hr, "Invalid Call has been made.");
    if (hr == DSERR_BUFFERLOST && call == kPlay) throw failure(hr, "Buffer has been lost.");
    throw failure(hr, "Unknown Error.");
}

} // namespace

CBuffer::CBuffer() = default;

CBuffer::~CBuffer()
{
    ReleaseSound();
    advance_.Reset();
    ds_.Reset();
}

// The AdvBuffer lets go of the sound's 3D buffer and the listener first, so that one a
// client still holds answers "Buffer Not Initialised." instead of reaching into buffers
// that went with their DirectSound object.
void CBuffer::ReleaseSound()
{
    if (advance_) advance_->put_Buffer(0);
    buffer_.Reset();
    owner_.Reset();
}

// A buffer that its collection or device let go gives up its sound and its 3D side: it
// never plays a sound of a device that has gone, and answers as a buffer that holds none.
void CBuffer::ForgetSoundIfLetGo()
{
    if (Held()) return;
    ReleaseSound();
    advance_.Reset();
}

IDirectSoundBuffer* CBuffer::Loaded()
{
    ForgetSoundIfLetGo();
    if (!buffer_) throw failure(E_POINTER, "Buffer Not Initialised.");
    return buffer_.Get();
}

HRESULT CBuffer::get_Pan(long* out)
{
    return Member([&] {
        *zyk::com::CheckedOut(out) = 0;
        LONG pan = 0;
        HRESULT hr = Loaded()->GetPan(&pan);
        if (FAILED(hr)) Fail(hr, kPanGet);
        *out = pan;
    });
}

HRESULT CBuffer::put_Pan(long pan)
{
    return Member([&] {
        IDirectSoundBuffer* buffer = Loaded();
        if (pan < DSBPAN_LEFT) pan = DSBPAN_LEFT;
        if (pan > DSBPAN_RIGHT) pan = DSBPAN_RIGHT;
        HRESULT hr = buffer->SetPan(pan);
        if (FAILED(hr)) Fail(hr, kPanPut);
    });
}

HRESULT CBuffer::get_Volume(long* out)
{
    return Member([&] {
        *zyk::com::CheckedOut(out) = 0;
        LONG volume = 0;
        HRESULT hr = Loaded()->GetVolume(&volume);
        if (FAILED(hr)) Fail(hr, kVolumeGet);
        *out = (volume + 10000) / 100;
    });
}

HRESULT CBuffer::put_Volume(long volume)
{
    return Member([&] {
        IDirectSoundBuffer* buffer = Loaded();
        if (volume < 0 || volume > 100)
            throw failure(E_FAIL, "Invalid Volume Setting.  Volume must be between 0 and 100.");
        HRESULT hr = buffer->SetVolume(volume * 100 - 10000);
        if (FAILED(hr)) Fail(hr, kVolumePut);
    });
}

HRESULT CBuffer::put_DS(long ds)
{
    return Member([&] { ds_.Hold(ds); });
}

HRESULT CBuffer::Play(Play_Modes mode, VARIANT_BOOL resume)
{
    return Member([&] {
        IDirectSoundBuffer* buffer = Loaded();
        if (!(resume & 0xFFFF)) buffer->SetCurrentPosition(0);
        HRESULT hr = buffer->Play(0, 0, static_cast<DWORD>(mode));
        if (FAILED(hr)) Fail(hr, kPlay);
    });
}

HRESULT CBuffer::Stop()
{
    return Member([&] {
        HRESULT hr = Loaded()->Stop();
        if (FAILED(hr)) Fail(hr, kStop);
    });
}

// A 3D sound also gets its AdvBuffer, handed the sound's 3D buffer and the listener of
// the device's primary buffer.
HRESULT CBuffer::Load(BSTR filename, VARIANT_BOOL use3D)
{
    return Member([&]() -> HRESULT {
        // The name in the ANSI code page, as the file and resource functions take it.
        std::string name;
        try {
            name = zyk::com::ToAnsi(filename);
        } catch (const std::bad_alloc&) {
            throw failure(E_OUTOFMEMORY, "Out of Memory.");
        }
        ForgetSoundIfLetGo();
        IDirectSound* ds = ds_.Get();
        if (!ds) throw failure(E_POINTER, "Buffer Not Initialised.");
        ReleaseSound();
        // A name takes at most MAX_PATH bytes; a longer one is not tried cut short.
        if (name.size() > MAX_PATH) return E_FAIL;
        const bool threeD = (use3D & 0xFFFF) != 0;
        IDirectSoundBuffer* loaded = threeD ? LoadWave3DBuffer(ds, name.c_str()) : LoadWaveBuffer(ds, name.c_str());
        if (!loaded) return E_FAIL;
        buffer_ = Ptr<IDirectSoundBuffer>::Adopt(loaded);
        owner_ = Ptr<IDirectSound>(ds);
        if (!threeD) {
            advance_.Reset();
            return S_OK;
        }
        if (!advance_) {
            if (IUnknown* made = CreateComObject(CLSID_AdvBuffer, IID_IAdvBuffer)) {
                advance_ = Ptr<IAdvBuffer>::Adopt(reinterpret_cast<IAdvBuffer*>(made));
                zyk::com::TieTo(advance_.Get(), OwnTie());
            }
        }
        if (advance_) {
            Ptr<IDirectSoundBuffer> primary = Ptr<IDirectSoundBuffer>::Adopt(CreateListenerBuffer(ds));
            advance_->put_Buffer(zyk::com::ToHandle(buffer_.Get()));
            advance_->put_Listener(zyk::com::ToHandle(primary.Get()));
        }
        return S_OK;
    });
}

// The status flags as DirectSound gives them, and its result as it is.
HRESULT CBuffer::get_Status(Status_Types* out)
{
    return Member([&] {
        *zyk::com::CheckedOut(out) = sa_Stopped;
        DWORD status = 0;
        HRESULT hr = Loaded()->GetStatus(&status);
        *out = static_cast<Status_Types>(status);
        return hr;
    });
}

HRESULT CBuffer::get_Advance(IDispatch** out)
{
    return Member([&] {
        ForgetSoundIfLetGo();
        zyk::com::HandOut(advance_, out, "Advanced Settings Not Available.");
    });
}

HRESULT CBuffer::put_Reverb(Reverbs)
{
    return Member([] {});
}

// CBuffer: one sound of a device.
#pragma once
#include "sound.h"
#include "com/object.h"

// One sound: a DirectSound secondary buffer filled from a WAVE file or "WAV" resource.
class CBuffer : public zyk::com::CoClass<IBuffer, &IID_IBuffer, &CLSID_Buffer> {
public:
    CBuffer();
    ~CBuffer() override;

    HRESULT STDMETHODCALLTYPE get_Pan(long* out) override;
    HRESULT STDMETHODCALLTYPE put_Pan(long pan) override;
    HRESULT STDMETHODCALLTYPE get_Volume(long* out) override;
    HRESULT STDMETHODCALLTYPE put_Volume(long volume) override;
    HRESULT STDMETHODCALLTYPE put_DS(long ds) override;
    HRESULT STDMETHODCALLTYPE Play(Play_Modes mode, VARIANT_BOOL resume) override;
    HRESULT STDMETHODCALLTYPE Stop() override;
    HRESULT STDMETHODCALLTYPE Load(BSTR filename, VARIANT_BOOL use3D) override;
    HRESULT STDMETHODCALLTYPE get_Status(Status_Types* out) override;
    HRESULT STDMETHODCALLTYPE get_Advance(IDispatch** out) override;
    HRESULT STDMETHODCALLTYPE get_Reverb(Reverbs* out) override { return Get(reverb_, out); }
    HRESULT STDMETHODCALLTYPE put_Reverb(Reverbs reverb) override;

private:
    IDirectSoundBuffer* Loaded();
    void ReleaseSound();
    void ForgetSoundIfLetGo();

    // The sound and the DirectSound object it was made on, held together: releasing that
    // object's last reference destroys its buffers, whoever still holds them. Both go as
    // soon as the buffer finds that its collection or device let it go. ds_ is only what
    // the next Load uses, and a DS put may change it at any time.
    zyk::com::Ptr<IDirectSoundBuffer> buffer_;
    zyk::com::Ptr<IDirectSound> owner_;
    zyk::com::Handed<IDirectSound> ds_{OwnTie()};
    zyk::com::Ptr<IAdvBuffer> advance_;
    long reverb_ = 0;
};

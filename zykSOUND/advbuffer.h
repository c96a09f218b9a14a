// CAdvBuffer: the 3D parameters of one sound.
#pragma once
#include "sound.h"
#include "com/object.h"

// The 3D parameters of one sound: its distances, and the listener's distance and Doppler
// factors. Tied under its Buffer: once the buffer is let go, so is this, and it gives up
// the 3D buffer and the listener it was handed.
class CAdvBuffer : public zyk::com::CoClass<IAdvBuffer, &IID_IAdvBuffer, &CLSID_AdvBuffer> {
public:
    CAdvBuffer() = default;
    ~CAdvBuffer() override = default;

    HRESULT STDMETHODCALLTYPE put_Buffer(long buffer) override;
    HRESULT STDMETHODCALLTYPE get_MaxDistance(float* out) override;
    HRESULT STDMETHODCALLTYPE put_MaxDistance(float value) override;
    HRESULT STDMETHODCALLTYPE get_MinDistance(float* out) override;
    HRESULT STDMETHODCALLTYPE put_MinDistance(float value) override;
    HRESULT STDMETHODCALLTYPE get_DistanceFactor(float* out) override;
    HRESULT STDMETHODCALLTYPE put_DistanceFactor(float value) override;
    HRESULT STDMETHODCALLTYPE get_DopplerFactor(float* out) override;
    HRESULT STDMETHODCALLTYPE put_DopplerFactor(float value) override;
    HRESULT STDMETHODCALLTYPE put_Listener(long buffer) override;

private:
    IDirectSound3DBuffer* Sound();
    IDirectSound3DListener* Listener();
    void ForgetIfLetGo();

    zyk::com::Ptr<IDirectSoundBuffer> buffer_;
    zyk::com::Ptr<IDirectSound3DBuffer> sound_;
    zyk::com::Ptr<IDirectSound3DListener> listener_;
};

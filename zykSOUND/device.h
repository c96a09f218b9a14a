// CSoundDevice: one DirectSound driver.
#pragma once
#include "sound.h"
#include "com/create.h"
#include "com/object.h"

// One DirectSound driver: its DirectSound object, its figures and its sounds.
class CSoundDevice : public zyk::com::CoClass<IDevice, &IID_IDevice, &CLSID_Device> {
public:
    CSoundDevice();
    ~CSoundDevice() override;

    HRESULT STDMETHODCALLTYPE get_Name(BSTR* out) override { return Get(name_, out); }
    HRESULT STDMETHODCALLTYPE put_Name(BSTR name) override { return Put(name_, name); }
    HRESULT STDMETHODCALLTYPE Initialise() override;
    HRESULT STDMETHODCALLTYPE Free() override;
    HRESULT STDMETHODCALLTYPE get_Buffers(IDispatch** out) override;
    HRESULT STDMETHODCALLTYPE get_FreeMemory(long* out) override;
    HRESULT STDMETHODCALLTYPE get_TotalMemory(long* out) override;
    HRESULT STDMETHODCALLTYPE get_FreeContiguousMemory(long* out) override;
    HRESULT STDMETHODCALLTYPE get_Certified(VARIANT_BOOL* out) override;
    HRESULT STDMETHODCALLTYPE get_Emulation(VARIANT_BOOL* out) override;
    HRESULT STDMETHODCALLTYPE get_SpeakerType(Speaker_Types* out) override;
    HRESULT STDMETHODCALLTYPE put_GUID(long guid) override;

private:
    void CreateBuffers();
    bool ReadCaps();
    template <class T, class Field>
    HRESULT CapsFigure(T* out, HRESULT failed, const char* text, Field field);

    zyk::com::Apartment apartment_;
    zyk::com::Bstr name_;
    // What the collection and its sounds are tied under while the device has them: cut by
    // Free and by the device's end, so that a collection or a sound that a client still
    // holds then answers as let go instead of reaching a DirectSound object that is gone.
    zyk::com::Tie generation_;
    zyk::com::Ptr<IBuffers> buffers_;
    zyk::com::Ptr<IDirectSound> ds_;
    GUID guid_{};
    DSCAPS caps_{};
};

// CBuffers: the collection of a device's sounds.
#pragma once
#include "sound.h"
#include "com/collection.h"
#include "com/create.h"

// The loaded sounds of one device, each filed under the name it was loaded from and tied
// under the collection: a sound that leaves it (Remove, Clear, the collection's end or its
// device's Free) answers as let go. One that an Add of the same name replaces stays the
// client's working sound.
class CBuffers : public zyk::com::Collection<IBuffers, &IID_IBuffers, &CLSID_Buffers, IBuffer> {
public:
    ~CBuffers() override;

    HRESULT STDMETHODCALLTYPE get_Add(BSTR filename, VARIANT_BOOL use3D, IDispatch** out) override;
    HRESULT STDMETHODCALLTYPE put_DS(long ds) override;

private:
    zyk::com::Apartment apartment_;
    // The device's DirectSound object, for the sounds the collection loads; nothing once
    // the device let the collection go.
    zyk::com::Handed<IDirectSound> ds_{OwnTie()};
};

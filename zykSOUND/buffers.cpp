// CBuffers: Add, which loads a sound and files it under its name.
#include "buffers.h"
#include "com/create.h"
#include "com/trace.h"

using zyk::com::Ptr;

CBuffers::~CBuffers()
{
    items_.Clear();
    ds_.Reset();
}

HRESULT CBuffers::put_DS(long ds)
{
    return Member([&] { ds_.Hold(ds); });
}

// The sound is in the collection once it has loaded; tidying the device's memory after
// it is housekeeping, whose failure the caller is told of only through the trace.
HRESULT CBuffers::get_Add(BSTR filename, VARIANT_BOOL use3D, IDispatch** out)
{
    return Member([&] {
        zyk::com::CheckedOut(out);
        *out = nullptr;
        Ptr<IBuffer> buffer =
            Ptr<IBuffer>::Adopt(CreateChild<IBuffer>(CLSID_Buffer, IID_IBuffer, "Buffer Not Registered."));
        IDirectSound* ds = ds_.Get();
        if (!ds) throw failure(E_POINTER, "DirectSound Not Initialised.");
        buffer->put_DS(ds_.Handle());
        HRESULT hr = buffer->Load(filename, use3D);
        if (FAILED(hr)) throw failure(hr, "Failed to Load File.");
        items_.Put(filename, buffer.Get());
        zyk::com::HandOut(buffer, out, "Failed to Load File.");
        if (FAILED(ds->Compact())) zyk::com::DebugOut("ZYK: (WARNING) Compact Function Failed.\n");
    });
}

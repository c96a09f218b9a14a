#include "buffers.h"
#include "create.h"

using zyk::com::Ptr;

CBuffers::CBuffers()
{
    comInitialised_ = SUCCEEDED(InitialiseCOM());
}

CBuffers::~CBuffers()
{
    items_.Clear();
    ds_.Reset();
    if (comInitialised_) CoUninitialize();
}

HRESULT CBuffers::put_DS(long ds)
{
    return sound::GuardOf<CBuffers>([&] { ds_ = sound::Hold<IDirectSound>(ds); });
}

// The sound is in the collection once it has loaded; tidying the device's memory after
// it is housekeeping, whose failure the caller is told of only through the trace.
HRESULT CBuffers::get_Add(BSTR filename, VARIANT_BOOL use3D, IDispatch** out)
{
    return sound::GuardOf<CBuffers>([&] {
        sound::Out(out);
        *out = nullptr;
        Ptr<IBuffer> buffer = Ptr<IBuffer>::Adopt(CreateChild<IBuffer>(CLSID_Buffer, IID_IBuffer, "Buffer Not Registered."));
        if (!ds_) throw failure(E_POINTER, "DirectSound Not Initialised.");
        buffer->put_DS(zyk::com::ToHandle(ds_.Get()));
        HRESULT hr = buffer->Load(filename, use3D);
        if (FAILED(hr)) throw failure(hr, "Failed to Load File.");
        items_.Put(filename, buffer.Get());
        hr = buffer->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(out));
        if (FAILED(hr)) throw failure(hr, "Failed to Load File.");
        if (FAILED(ds_->Compact())) OutputDebugStringA("ZYK: (WARNING) Compact Function Failed.\n");
    });
}

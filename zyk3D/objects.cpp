#include "objects.h"
#include "create.h"
#include "devicestate.h"
#include "errormaps.h"
#include "failure.h"
#include "worldfile.h"
#include "com/ptr.h"
#include "com/trace.h"

using zyk::com::Bstr;
using zyk::com::Ptr;

namespace {

template <class Body>
HRESULT ObjectsGuard(Body&& body)
{
    return Guard(CLSID_Objects, IID_IObjects, static_cast<Body&&>(body));
}

} // namespace

CObjects::CObjects()
{
    comInitialised_ = SUCCEEDED(InitialiseCOM());
    // An object that leaves the collection leaves the device too: a client that still
    // holds it gets "Device Not Initialised." instead of a device that may be gone.
    items_.OnLeaving([](IObject* object) {
        object->put_Device(0);
        object->put_Direct3D(0);
    });
}

CObjects::~CObjects()
{
    items_.Clear();
    if (comInitialised_) CoUninitialize();
}

HRESULT CObjects::put_Device(long device)
{
    device_ = device;
    if (!device) items_.ForEach([](const std::wstring&, IObject* object) { object->put_Device(0); });
    return S_OK;
}

Ptr<IObject> CObjects::Make(BSTR name, VARIANT_BOOL visible)
{
    Ptr<IObject> object =
        Ptr<IObject>::Adopt(CreateChild<IObject>(CLSID_Object, IID_IObject, "Object Not Registered."));
    items_.Put(name, object.Get());
    // The object carries its key as its name, so that a saved world keeps objects apart.
    object->put_Name(name);
    object->put_Device(device_);
    object->put_Direct3D(direct3d_);
    object->put_Visible(visible);
    return object;
}

HRESULT CObjects::get_Add(BSTR name, VARIANT_BOOL visible, IDispatch** out)
{
    return ObjectsGuard([&]() -> HRESULT {
        if (out) *out = nullptr;
        if (!out) throw failure(E_POINTER, IDS_NULLPOINTER);
        Ptr<IObject> object = Make(name, visible);
        return object->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(out));
    });
}

HRESULT CObjects::get_LoadFile(BSTR filename, BSTR name, VARIANT_BOOL visible, IDispatch** out)
{
    return ObjectsGuard([&]() -> HRESULT {
        if (out) *out = nullptr;
        if (!out) throw failure(E_POINTER, IDS_NULLPOINTER);
        ZYK_TRACE("Loading Object.\n");
        Ptr<IObject> object = Make(name, visible);
        ZYK_TRACE("Name --> '%ls'\n", name ? name : L"");
        ZYK_TRACE("Filename --> '%ls'\n", filename ? filename : L"");
        ZYK_TRACE("Size of Collection (After Load) = %ld\n", items_.Count());
        object->LoadFile(filename);
        ZYK_TRACE("Returning Interface.\n");
        return object->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(out));
    });
}

HRESULT CObjects::Render()
{
    return ObjectsGuard([&] {
        if (!device_) throw failure(E_POINTER, "Device Not Initialised.");
        // One run of draws: each state is sent when a draw needs it, not once per object.
        DeviceStateScope state(zyk::com::FromHandle<IDirect3DDevice7>(device_));
        long n = 0;
        items_.ForEach([&](const std::wstring&, IObject* object) {
            ZYK_TRACE("Rending Object %ld.\n", n);
            ++n;
            object->Render();
        });
    });
}

HRESULT CObjects::Save(long f)
{
    return world::Block(f, [&](FILE* s) {
        ZYK_TRACE("Saving Objects.\n");
        world::SaveSection(s, f, items_);
    });
}

HRESULT CObjects::Load(long f)
{
    return world::Block(f, [&](FILE* s) {
        ZYK_TRACE("Loading Objects.\n");
        Clear();
        const long count = world::ReadCount(s, "Number of Objects to Load: %s.\n");
        world::LoadNamedMembers(s, f, items_, count, "// Object", [&] {
            Bstr temp(L"Temp");
            Ptr<IDispatch> made;
            if (FAILED(get_Add(temp.Get(), VARIANT_TRUE, made.Out())) || !made) return Ptr<IObject>();
            return made.As<IObject>(IID_IObject);
        }, [] { return world::Unfiled<IObject>(CLSID_Object, IID_IObject); });
    });
}

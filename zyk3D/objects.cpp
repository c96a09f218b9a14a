// CObjects: Add, LoadFile, Render of every object, and the objects' part of the world file.
#include "objects.h"
#include "com/create.h"
#include "devicestate.h"
#include "errormaps.h"
#include "com/failure.h"
#include "worldfile.h"
#include "com/handed.h"
#include "com/ptr.h"
#include "com/trace.h"

using zyk::com::Bstr;
using zyk::com::Ptr;

CObjects::~CObjects() { items_.Clear(); }

Ptr<IObject> CObjects::Make(BSTR name, VARIANT_BOOL visible)
{
    Ptr<IObject> object =
        Ptr<IObject>::Adopt(CreateChild<IObject>(CLSID_Object, IID_IObject, "Object Not Registered."));
    items_.Put(name, object.Get());
    // The object carries its key as its name, so that a saved world keeps objects apart.
    object->put_Name(name);
    object->put_Device(device_.Handle());
    object->put_Direct3D(direct3d_.Handle());
    object->put_Visible(visible);
    return object;
}

HRESULT CObjects::get_Add(BSTR name, VARIANT_BOOL visible, IDispatch** out)
{
    return Member([&]() -> HRESULT {
        if (out) *out = nullptr;
        if (!out) throw failure(E_POINTER, IDS_NULLPOINTER);
        Ptr<IObject> object = Make(name, visible);
        return zyk::com::HandOutCode(object, out);
    });
}

HRESULT CObjects::get_LoadFile(BSTR filename, BSTR name, VARIANT_BOOL visible, IDispatch** out)
{
    return Member([&]() -> HRESULT {
        if (out) *out = nullptr;
        if (!out) throw failure(E_POINTER, IDS_NULLPOINTER);
        ZYK_TRACE("Loading Object.\n");
        Ptr<IObject> object = Make(name, visible);
        ZYK_TRACE("Name --> '%ls'\n", name ? name : L"");
        ZYK_TRACE("Filename --> '%ls'\n", filename ? filename : L"");
        ZYK_TRACE("Size of Collection (After Load) = %ld\n", items_.Count());
        object->LoadFile(filename);
        ZYK_TRACE("Returning Interface.\n");
        return zyk::com::HandOutCode(object, out);
    });
}

HRESULT CObjects::Render()
{
    return Member([&] {
        if (!device_) throw failure(E_POINTER, "Device Not Initialised.");
        // One run of draws: each state is sent when a draw needs it, not once per object.
        DeviceStateScope state(device_.Get());
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
    return Member([&] {
        world::Block(f, [&](FILE* s) {
            ZYK_TRACE("Saving Objects.\n");
            world::SaveSection(s, f, items_);
        });
    });
}

void world::SkimObjects(FILE* s) { SkimSection(s, "Number of Objects to Load: %s.\n", "// Object", SkimObject); }

HRESULT CObjects::Load(long f)
{
    return Member([&] {
        world::Block(f, [&](FILE* s) {
            ZYK_TRACE("Loading Objects.\n");
            Clear();
            const long count = world::ReadCount(s, "Number of Objects to Load: %s.\n");
            world::LoadNamedMembers(
                s, f, items_, count, "// Object",
                [&] {
                    Bstr temp(L"Temp");
                    Ptr<IDispatch> made;
                    if (FAILED(get_Add(temp.Get(), VARIANT_TRUE, made.Out())) || !made) return Ptr<IObject>();
                    return made.As<IObject>(IID_IObject);
                },
                [] { return world::Unfiled<IObject>(CLSID_Object, IID_IObject); },
                // Handing the Direct3D object down again ties the object's children again
                // under it, without sending anything to the device.
                [&](IObject* object) { object->put_Direct3D(direct3d_.Handle()); });
        });
    });
}

#include "cameras.h"
#include "create.h"
#include "errormaps.h"
#include "failure.h"
#include "worldfile.h"
#include "com/ptr.h"
#include "com/trace.h"
#include <cstdlib>

using zyk::com::Bstr;
using zyk::com::Ptr;

namespace {

// Removes the entry filed under name, if there is one.
void RemoveName(zyk::com::NamedMap<ICamera>& items, const wchar_t* name)
{
    VARIANT key;
    VariantInit(&key);
    V_VT(&key) = VT_BSTR;
    V_BSTR(&key) = SysAllocString(name);
    if (V_BSTR(&key)) items.Remove(key);
    VariantClear(&key);
}

} // namespace

CCameras::CCameras()
{
    comInitialised_ = SUCCEEDED(InitialiseCOM());
}

CCameras::~CCameras()
{
    items_.Clear();
    if (comInitialised_) CoUninitialize();
}

HRESULT CCameras::get_Add(BSTR name, IDispatch** out)
{
    return Guard(CLSID_Cameras, IID_ICameras, [&]() -> HRESULT {
        if (out) *out = nullptr;
        if (!device_) throw failure(E_POINTER, "Device Not Initialised.");
        if (!out) throw failure(E_POINTER, IDS_NULLPOINTER);
        ZYK_TRACE("Creating Camera.\n");
        Ptr<ICamera> camera = Ptr<ICamera>::Adopt(
            CreateChild<ICamera>(CLSID_Camera, IID_ICamera, "Camera Not Registered."));
        ZYK_TRACE("Setting Camera Attributes.\n");
        camera->put_Device(device_);
        items_.Put(name, camera.Get());
        ZYK_TRACE("Camera Name --> '%ls'\n", name ? name : L"");
        camera->put_Name(name);
        return camera->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(out));
    });
}

HRESULT CCameras::Save(long f)
{
    return world::Block(f, [&](FILE* s) {
        ZYK_TRACE("Saving Cameras.\n");
        world::SaveSection(s, f, items_);
    });
}

HRESULT CCameras::Load(long f)
{
    return world::Block(f, [&](FILE* s) {
        ZYK_TRACE("Loading Cameras.\n");
        Clear();
        const long count = world::ReadCount(s, "Number of Cameras to Load: %s.\n");

        for (long i = 0; i < count; ++i) {
            // A count larger than the blocks that follow ends with the file.
            if (world::AtEnd(s)) break;

            // Add files the camera as "Temp"; a camera read earlier under that name is
            // kept aside and filed again once the new one has its own name.
            Ptr<ICamera> previous(items_.Find(L"Temp"));
            Bstr temp(L"Temp");
            Ptr<IDispatch> made;
            if (FAILED(get_Add(temp.Get(), made.Out())) || !made) break;
            Ptr<ICamera> camera = made.As<ICamera>(IID_ICamera);
            if (!camera) break;

            camera->Load(f);
            Bstr name;
            camera->get_Name(name.Out());

            RemoveName(items_, L"Temp");
            if (previous) items_.Put(L"Temp", previous.Get());
            items_.Put(name.Text(), camera.Get());
        }
    });
}

// CCameras: Add, and the cameras' part of the world file.
#include "cameras.h"
#include "com/create.h"
#include "errormaps.h"
#include "com/failure.h"
#include "worldfile.h"
#include "com/handed.h"
#include "com/ptr.h"
#include "com/trace.h"
#include <cstdlib>

using zyk::com::Bstr;
using zyk::com::Ptr;

CCameras::~CCameras() { items_.Clear(); }

HRESULT CCameras::get_Add(BSTR name, IDispatch** out)
{
    return Member([&]() -> HRESULT {
        if (out) *out = nullptr;
        if (!device_) throw failure(E_POINTER, "Device Not Initialised.");
        if (!out) throw failure(E_POINTER, IDS_NULLPOINTER);
        ZYK_TRACE("Creating Camera.\n");
        Ptr<ICamera> camera =
            Ptr<ICamera>::Adopt(CreateChild<ICamera>(CLSID_Camera, IID_ICamera, "Camera Not Registered."));
        ZYK_TRACE("Setting Camera Attributes.\n");
        camera->put_Device(device_.Handle());
        items_.Put(name, camera.Get());
        ZYK_TRACE("Camera Name --> '%ls'\n", name ? name : L"");
        camera->put_Name(name);
        return zyk::com::HandOutCode(camera, out);
    });
}

HRESULT CCameras::Save(long f)
{
    return Member([&] {
        world::Block(f, [&](FILE* s) {
            ZYK_TRACE("Saving Cameras.\n");
            world::SaveSection(s, f, items_);
        });
    });
}

void world::SkimCameras(FILE* s) { SkimSection(s, "Number of Cameras to Load: %s.\n", "// Camera", SkimCamera); }

HRESULT CCameras::Load(long f)
{
    return Member([&] {
        world::Block(f, [&](FILE* s) {
            ZYK_TRACE("Loading Cameras.\n");
            Clear();
            const long count = world::ReadCount(s, "Number of Cameras to Load: %s.\n");

            world::LoadNamedMembers(
                s, f, items_, count, "// Camera",
                [&] {
                    Bstr temp(L"Temp");
                    Ptr<IDispatch> made;
                    if (FAILED(get_Add(temp.Get(), made.Out())) || !made) return Ptr<ICamera>();
                    return made.As<ICamera>(IID_ICamera);
                },
                [] { return world::Unfiled<ICamera>(CLSID_Camera, IID_ICamera); }, [](ICamera*) {});
        });
    });
}

// Device3D's world file: Save and Load of the cameras, fog, lights, textures and objects.
#include "device3d.h"
#include "com/create.h"
#include "com/failure.h"
#include "com/text.h"
#include "com/trace.h"
#include "worldfile.h"
#include <cstdio>
#include <memory>
#include <string>

// A child of the device that is missing (after Free) still has its section in the file:
// the one a fresh child writes, and reading passes over it through a fresh child that is
// not kept.
template <class Child>
void CDevice3D::WorldSection(const zyk::com::Ptr<Child>& child, const CLSID& clsid, const IID& iid, long stream,
                             bool save)
{
    zyk::com::Ptr<Child> section = child;
    if (!section) section = world::Unfiled<Child>(clsid, iid);
    if (!section) return;
    save ? section->Save(stream) : section->Load(stream);
}

// A file that cannot be opened, or not written whole (a full disk, a write that fails on
// closing), fails, and so does a file that ends before its last section does: it is read
// as far as it goes, the rest reading as empty lines.
void CDevice3D::WriteOrReadWorld(BSTR filename, bool save)
{
    const char* const failed = save ? "Failed to Save the World File." : "Failed to Load the World File.";
    const std::string path = filename ? zyk::com::ToAnsi(filename) : std::string();
    ZYK_TRACE(save ? "Saving World: %s.\n" : "Loading World: %s.\n", path.c_str());
    // Written as text (lines end in CR LF), read as bytes: character 26 in a name would
    // end a text stream early (worldfile.h).
    FILE* f = path.empty() ? nullptr : fopen(path.c_str(), save ? "w" : "rb");
    if (!f) throw failure(E_FAIL, failed);
    bool whole = false, early = false;
    {
        std::unique_ptr<FILE, int (*)(FILE*)> open(f, fclose);
        world::EndWatch watch(f);
        const long stream = zyk::com::ToHandle(f);
        // A load makes each object's children: their class objects are fetched once for it.
        CreationScope creating;
        WorldSection(cameras_, CLSID_Cameras, IID_ICameras, stream, save);
        WorldSection(fog_, CLSID_Fog, IID_IFog, stream, save);
        WorldSection(lights_, CLSID_Lights, IID_ILights, stream, save);
        WorldSection(textures_, CLSID_Textures, IID_ITextures, stream, save);
        WorldSection(objects_, CLSID_Objects, IID_IObjects, stream, save);
        early = watch.Ended();
        // Flushed first: the platform's fclose does not always report a write that fails.
        whole = fflush(f) == 0 && !ferror(f);
        whole = fclose(open.release()) == 0 && whole;
    }
    ZYK_TRACE(save ? "Finished Saving World.\n" : "Finished Loading World.\n");
    if (save && !whole) throw failure(E_FAIL, failed);
    if (!save && early) throw failure(E_FAIL, "World File Ended Early.");
}

HRESULT CDevice3D::Save(BSTR filename)
{
    return Member([&] { WriteOrReadWorld(filename, true); });
}

HRESULT CDevice3D::Load(BSTR filename)
{
    return Member([&] { WriteOrReadWorld(filename, false); });
}

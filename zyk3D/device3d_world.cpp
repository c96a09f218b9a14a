// Device3D's world file: Save and Load of the cameras, fog, lights, textures and objects.
#include "device3d.h"
#include "com/create.h"
#include "com/failure.h"
#include "com/text.h"
#include "com/trace.h"
#include "formats/worldline.h"
#include "image/file.h"
#include "worldfile.h"
#include <cstdio>
#include <iterator>
#include <memory>
#include <string>

namespace {

constexpr const char* kSaveFailed = "Failed to Save the World File.";
constexpr const char* kLoadFailed = "Failed to Load the World File.";

// The child that writes a section: the device's own, or for a child that is missing (after
// Free) a fresh one that is not kept, so that the file still holds every section.
template <class Child>
zyk::com::Ptr<Child> Writer(const zyk::com::Ptr<Child>& child, const CLSID& clsid, const IID& iid)
{
    return child ? child : world::Unfiled<Child>(clsid, iid);
}

} // namespace

// Save writes the whole file beside the old one and puts it in its place only once it is
// written and flushed: a save that cannot finish (a full disk, a write that fails on
// closing) leaves the old file as it was. A section whose child cannot be made at all (a
// damaged registration) fails the save before anything is written, since a file without
// it could not be read back.
//
// Load reads the file through twice. First every section is read as its Load reads it,
// keeping nothing; only when the whole file has read as a world (every block in its place,
// nothing missing, nothing after the objects but blank lines) is the scene changed: each
// child then loads its own section from where the first reading found it. A file that
// ends early or is not a world fails and leaves the scene as it was. A UTF-8 byte-order
// mark in front of the file is passed over.
void CDevice3D::WriteOrReadWorld(BSTR filename, bool save)
{
    const std::string path = filename ? zyk::com::ToAnsi(filename) : std::string();
    ZYK_TRACE(save ? "Saving World: %s.\n" : "Loading World: %s.\n", path.c_str());
    // A load makes each object's children: their class objects are fetched once for it.
    CreationScope creating;
    if (save) {
        const auto cameras = Writer(cameras_, CLSID_Cameras, IID_ICameras);
        const auto fog = Writer(fog_, CLSID_Fog, IID_IFog);
        const auto lights = Writer(lights_, CLSID_Lights, IID_ILights);
        const auto textures = Writer(textures_, CLSID_Textures, IID_ITextures);
        const auto objects = Writer(objects_, CLSID_Objects, IID_IObjects);
        if (!cameras || !fog || !lights || !textures || !objects) throw failure(E_FAIL, kSaveFailed);
        // Written as text: each newline is stored as CR LF.
        const bool whole = zyk::image::WriteWholeFile(path.c_str(), "w", [&](FILE* f) {
            const long stream = zyk::com::ToHandle(f);
            cameras->Save(stream);
            fog->Save(stream);
            lights->Save(stream);
            textures->Save(stream);
            objects->Save(stream);
            return true;
        });
        ZYK_TRACE("Finished Saving World.\n");
        if (!whole) throw failure(E_FAIL, kSaveFailed);
        return;
    }

    // Read as bytes: character 26 in a name would end a text stream early (worldfile.h).
    FILE* f = path.empty() ? nullptr : fopen(path.c_str(), "rb");
    if (!f) throw failure(E_FAIL, kLoadFailed);
    std::unique_ptr<FILE, int (*)(FILE*)> open(f, fclose);
    zyk::formats::SkipWorldMark(f);
    void (*const skims[])(FILE*) = {world::SkimCameras, world::SkimFog, world::SkimLights, world::SkimTextures,
                                    world::SkimObjects};
    fpos_t at[std::size(skims)];
    {
        world::ReadWatch watch(f);
        for (size_t i = 0; i < std::size(skims); ++i) {
            fgetpos(f, &at[i]);
            skims[i](f);
        }
        world::ReadEnd(f);
        if (watch.First() == world::ReadWatch::kEnded) throw failure(E_FAIL, "World File Ended Early.");
        if (watch.First() == world::ReadWatch::kDamaged) throw failure(E_FAIL, kLoadFailed);
    }
    const long stream = zyk::com::ToHandle(f);
    // A missing child (after Free) keeps nothing: its section is passed over.
    auto load = [&](const auto& child, size_t section) {
        if (!child) return;
        fsetpos(f, &at[section]);
        child->Load(stream);
    };
    load(cameras_, 0);
    load(fog_, 1);
    load(lights_, 2);
    load(textures_, 3);
    load(objects_, 4);
    ZYK_TRACE("Finished Loading World.\n");
}

HRESULT CDevice3D::Save(BSTR filename)
{
    return Member([&] { WriteOrReadWorld(filename, true); });
}

HRESULT CDevice3D::Load(BSTR filename)
{
    return Member([&] { WriteOrReadWorld(filename, false); });
}

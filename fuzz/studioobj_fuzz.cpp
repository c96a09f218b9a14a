// StudioObj on arbitrary bytes: never faults, stays inside its tables, and every index
// it builds names a vertex it holds. One reader is reused, as a program would.
#include "formats/studioobj.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>

using namespace zyk::formats;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static StudioObj* reader = new StudioObj;
    // The log lines are formatted and thrown away.
    static std::FILE* sink = std::fopen("/dev/null", "w");
    const bool ok = reader->Read(data, size, "fuzz.3ds", sink, sink);

    const int vertices = reader->VertexCount(), faces = reader->FaceCount();
    if (reader->ObjectCount() > kStudioMaxObjects || vertices >= kStudioMaxVertices || faces >= kStudioMaxFaces ||
        reader->MaterialCount() > kStudioMaxMaterials || reader->FrameCount() < 1 ||
        reader->FrameCount() > kStudioMaxFrames)
        __builtin_trap();
    for (int f = 0; f < faces; ++f) {
        const StudioFace& face = reader->Face(f);
        if (face.a >= vertices || face.b >= vertices || face.c >= vertices) __builtin_trap();
        if (face.material != kStudioNoMaterial && face.material >= reader->MaterialCount()) __builtin_trap();
    }
    if (ok) {
        if (reader->Indices().size() != size_t(faces) * 3 ||
            reader->IndexTexCoords().size() != reader->Indices().size())
            __builtin_trap();
        for (int f = 0; f < reader->FrameCount(); ++f)
            if (reader->Frames()[size_t(f)].size() != size_t(vertices)) __builtin_trap();
    }
    return 0;
}

// What the classes of the 2D graphics server share: the tables that turn DirectDraw result
// codes into texts, and the description of a surface to be made.
#pragma once
#include "zykGFX.h"
#include "com/failure.h"
#include "com/handed.h"
#include "com/ptr.h"
#include "com/tie.h"
#include <ddraw.h>
#include <cstddef>

namespace gfx {

// One row of a result-code table: a code and the text the client sees for it.
struct CodeText {
    HRESULT code;
    const char* text;
};

// The text for hr in a table, or other when the table does not list it.
template <size_t N>
const char* TextOf(const CodeText (&table)[N], HRESULT hr, const char* other = "Unknown Error.")
{
    for (const CodeText& row : table)
        if (row.code == hr) return row.text;
    return other;
}

// A byte count as the 32-bit figure a client reads: a count over 0x7FFFFFFF reads 0x7FFFFFFF.
inline long MemoryFigure(DWORD bytes) { return bytes > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<long>(bytes); }

// The description of a surface of width x height with the given capabilities.
inline DDSURFACEDESC2 SurfaceDescription(long width, long height, DWORD caps)
{
    DDSURFACEDESC2 desc{};
    desc.dwSize = sizeof desc;
    desc.dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH;
    desc.dwHeight = static_cast<DWORD>(height);
    desc.dwWidth = static_cast<DWORD>(width);
    desc.ddsCaps.dwCaps = caps;
    return desc;
}

} // namespace gfx

// PrivateBytes, GdiObjectCount and UserObjectCount: asked of the platform, or counted by a walk where it answers 0.
#include "counts/counts.h"
#include <psapi.h>
#include <winternl.h>

namespace zyk::counts {

SIZE_T PrivateBytes()
{
    PROCESS_MEMORY_COUNTERS_EX memory{};
    memory.cb = sizeof memory;
    if (GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof memory) &&
        memory.PrivateUsage)
        return memory.PrivateUsage;
    SIZE_T committed = 0;
    MEMORY_BASIC_INFORMATION region{};
    const BYTE* at = nullptr;
    while (VirtualQuery(at, &region, sizeof region)) {
        if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE) committed += region.RegionSize;
        const BYTE* next = static_cast<const BYTE*>(region.BaseAddress) + region.RegionSize;
        if (next <= at) break;
        at = next;
    }
    return committed;
}

DWORD GdiObjectCount()
{
    if (DWORD n = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS)) return n;
    // Wine's table: 24-byte entries (object address, owner, unique word, type byte, flags,
    // user pointer); a freed entry keeps its unique word and clears its type.
    PROCESS_BASIC_INFORMATION process{};
    if (NtQueryInformationProcess(GetCurrentProcess(), ProcessBasicInformation, &process, sizeof process, nullptr) != 0)
        return 0;
    const BYTE* peb = reinterpret_cast<const BYTE*>(process.PebBaseAddress);
    const BYTE* table = *reinterpret_cast<const BYTE* const*>(peb + 0x94);
    if (!table) return 0;
    MEMORY_BASIC_INFORMATION region{};
    if (!VirtualQuery(table, &region, sizeof region)) return 0;
    const SIZE_T size = static_cast<const BYTE*>(region.BaseAddress) + region.RegionSize - table;
    DWORD live = 0;
    for (SIZE_T entry = 0; entry + 24 <= size; entry += 24)
        if (table[entry + 14]) ++live;
    return live;
}

DWORD UserObjectCount()
{
    if (DWORD n = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS)) return n;
    // USER handles are 0x20 plus twice the object's index in their low word; the high word
    // is the object's generation. Every call below is safe on a value that is no object.
    const DWORD self = GetCurrentProcessId();
    DWORD live = 0;
    for (UINT_PTR value = 0x20; value < 0x10000; value += 2) {
        if (HWND window = reinterpret_cast<HWND>(value); IsWindow(window)) {
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            if (owner == self) ++live;
        } else if (IsMenu(reinterpret_cast<HMENU>(value))) {
            ++live;
        } else if (ICONINFO icon{}; GetIconInfo(reinterpret_cast<HICON>(value), &icon)) {
            // The bitmaps are copies made for the caller.
            if (icon.hbmMask) DeleteObject(icon.hbmMask);
            if (icon.hbmColor) DeleteObject(icon.hbmColor);
            ++live;
        } else if (CopyAcceleratorTableW(reinterpret_cast<HACCEL>(value), nullptr, 0) > 0) {
            ++live;
        }
    }
    return live;
}

} // namespace zyk::counts

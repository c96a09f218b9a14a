// What the current process holds, counted from inside it: private memory, GDI objects and
// USER objects. Each asks the platform first and, where Wine answers 0, counts itself.
#pragma once
#include <windows.h>

namespace zyk::counts {

// The process's private bytes: PrivateUsage of GetProcessMemoryInfo; under Wine, which
// answers 0 there, the committed private regions of the address space.
SIZE_T PrivateBytes();

// The GDI objects: GetGuiResources; under Wine, which answers 0, the live entries of the
// process's GDI handle table, which its PEB points to.
DWORD GdiObjectCount();

// The USER objects: GetGuiResources; under Wine, which answers 0, the windows of this
// process, menus, icons and cursors, and accelerator tables that answer to a USER handle
// value (Wine takes a handle with a zero high word for the live object at that index).
// Takes a few seconds under emulation.
DWORD UserObjectCount();

} // namespace zyk::counts

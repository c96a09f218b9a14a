// IEnumVARIANT over a snapshot, and the empty connection-point enumerator.
#pragma once
#include <windows.h>
#include <oaidl.h>
#include <vector>

namespace zyk::com {

// Creates an enumerator that owns copies of the given VARIANTs (the caller keeps its own).
// Returns the enumerator's IUnknown with one reference, or nullptr without memory.
IUnknown* CreateVariantEnum(const std::vector<VARIANT>& items);

} // namespace zyk::com

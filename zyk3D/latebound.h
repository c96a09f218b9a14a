// Calls on child objects through their IDispatch, by member name. Device3D uses these
// for the hidden pointer properties and the per-frame members of children whose
// interfaces it does not bind by slot.
#pragma once
#include <windows.h>
#include <oaidl.h>

// put <name> = value (a 32-bit integer). Returns the member's HRESULT.
HRESULT PutLong(IUnknown* object, const wchar_t* name, long value);

// Calls a method with one 32-bit integer argument, or none when hasArg is false.
// Returns the member's own HRESULT (the code inside DISP_E_EXCEPTION).
HRESULT CallMember(IUnknown* object, const wchar_t* name, bool hasArg = false, long arg = 0);

// Result-code mappings from DirectDraw, Direct3D and D3DX to the engine's error texts.
#pragma once
#include <windows.h>

// One row: a result code and the string-table id of its text.
struct CodeText {
    HRESULT code;
    UINT id;
};

// The id for hr in a table; 104 ("Unknown Error.") when hr is not listed.
UINT LookupText(const CodeText* table, size_t count, HRESULT hr);

template <size_t N>
UINT LookupText(const CodeText (&table)[N], HRESULT hr)
{
    return LookupText(table, N, hr);
}

// A device call refused for its arguments (E_INVALIDARG) or its object
// (DDERR_INVALIDOBJECT); any other code is not listed.
extern const CodeText kRefusedCall[2];

// Rendering-context creation failed with hr: throws the failure that goes with it.
[[noreturn]] void ThrowContextCreationFailure(HRESULT hr);

// Presenting a frame failed with hr: throws the failure that goes with it.
[[noreturn]] void ThrowFramePresentationFailure(HRESULT hr);

// String-table ids of the engine.
enum : UINT {
    IDS_PROJNAME = 100,
    IDS_OUTOFMEMORY = 101,
    IDS_INVALIDPARAMETER = 102,
    IDS_INVALIDOBJECT = 103,
    IDS_UNKNOWNERROR = 104,
    IDS_UNSUPPORTED = 105,
    IDS_GENERICERROR = 109,
    IDS_NULLPOINTER = 112,
    IDS_FOGUNAVAILABLE = 156,
    IDS_NODDRAW = 157,
    IDS_D3DXINITFAILED = 158,
};

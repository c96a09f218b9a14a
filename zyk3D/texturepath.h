// Where the texture store looks for a texture file: under the texture folder
// (SetTexturePath, empty at start: the current directory), then under the DirectX SDK
// media folder ("DXSDK Samples Path" of HKLM\Software\Microsoft\DirectX plus
// "\D3DIM\Media\") when that is registered. Names and joined paths of any length up to the
// platform's path limit (kStoreNameMax characters) are kept whole; longer ones are
// refused.
#pragma once
#include <windows.h>
#include <cstddef>

// The longest name and joined path the store takes: the platform's path limit.
inline constexpr size_t kStoreNameMax = MAX_PATH - 1;

// Sets the texture folder, the prefix that names are tried under first (at most 511
// characters; NULL sets the empty prefix). Returns the folder now set.
const char* SetTexturePath(const char* path);

// Whether the name under the texture folder is a path the store takes.
bool FitsTextureFolder(const char* name);

// The path of the name's file: under the texture folder, else under the SDK media folder
// (a joined SDK path that does not fit is a folder not tried). S_OK, E_INVALIDARG when the
// name under the texture folder does not fit, or 0x887600FF (DDERR_NOTFOUND) when the file
// opens in neither.
HRESULT FindTextureFile(const char* name, char (&path)[kStoreNameMax + 1]);

// The DirectX SDK's media folder: the "DXSDK Samples Path" value of
// HKLM\Software\Microsoft\DirectX followed by "\D3DIM\Media\"; false (and out untouched)
// when the SDK is not registered.
constexpr size_t kSdkMediaPathSize = 512 + 16;
bool GetSdkMediaPath(char (&out)[kSdkMediaPathSize]);

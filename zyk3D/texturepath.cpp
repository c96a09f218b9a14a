// Where the texture store looks for a texture file (see texturepath.h).
#include "texturepath.h"
#include "texturestore.h"

#include <ddraw.h>
#include <cstdio>
#include <cstring>

namespace {

// The texture folder that names are tried under first.
char g_texturePath[512] = "";

// folder + name into a buffer of the platform's path limit; false when it does not fit.
bool JoinPath(char (&out)[kStoreNameMax + 1], const char* folder, const char* name)
{
    const size_t a = strlen(folder), b = strlen(name);
    if (a + b > kStoreNameMax) return false;
    memcpy(out, folder, a);
    memcpy(out + a, name, b + 1);
    return true;
}

} // namespace

// The folder is the store's: read and set under its lock.
const char* SetTexturePath(const char* path)
{
    TextureStoreLock locked;
    lstrcpynA(g_texturePath, path ? path : "", sizeof g_texturePath);
    return g_texturePath;
}

bool FitsTextureFolder(const char* name)
{
    TextureStoreLock locked;
    return strlen(g_texturePath) + strlen(name) <= kStoreNameMax;
}

HRESULT FindTextureFile(const char* name, char (&path)[kStoreNameMax + 1])
{
    TextureStoreLock locked;
    if (!JoinPath(path, g_texturePath, name)) return E_INVALIDARG;
    FILE* f = fopen(path, "rb");
    if (!f) {
        char sdk[kSdkMediaPathSize];
        if (GetSdkMediaPath(sdk) && JoinPath(path, sdk, name)) f = fopen(path, "rb");
    }
    if (!f) return DDERR_NOTFOUND;
    fclose(f);
    return S_OK;
}

bool GetSdkMediaPath(char (&out)[kSdkMediaPathSize])
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\DirectX", 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    char value[512] = {};
    DWORD size = sizeof value, type = 0;
    const LONG rc = RegQueryValueExA(key, "DXSDK Samples Path", nullptr, &type, reinterpret_cast<BYTE*>(value), &size);
    RegCloseKey(key);
    if (rc != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return false;
    value[size < sizeof value ? size : sizeof value - 1] = 0;
    const size_t n = strlen(value);
    memcpy(out, value, n);
    memcpy(out + n, "\\D3DIM\\Media\\", 14);
    return true;
}

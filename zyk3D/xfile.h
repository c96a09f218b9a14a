// Placeholder model until the loader is in: loads nothing.
#pragma once
#include <windows.h>
#include <d3d.h>

class CXFile {
public:
    HRESULT Load(const char*) { return E_NOTIMPL; }
    HRESULT Render(IDirect3DDevice7*) { return S_OK; }
};

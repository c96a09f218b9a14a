#include "parts.h"
#include "create.h"
#include "devicestate.h"
#include "errormaps.h"
#include "failure.h"
#include "texturestore.h"
#include "xfile.h"
#include "com/trace.h"
#include <d3d.h>
#include <cstring>
#include <new>

namespace {

template <class Body>
HRESULT PartsGuard(Body&& body)
{
    return Guard(CLSID_Parts, IID_IParts, static_cast<Body&&>(body));
}

IDirect3DDevice7* DeviceOf(long device)
{
    return zyk::com::FromHandle<IDirect3DDevice7>(device);
}

} // namespace

CParts::CParts()
{
    comInitialised_ = SUCCEEDED(InitialiseCOM());
}

CParts::~CParts()
{
    DeleteModel();
    items_.Clear();
    if (comInitialised_) CoUninitialize();
}

void CParts::DeleteModel()
{
    delete model_;
    model_ = nullptr;
}

HRESULT CParts::Load(BSTR filename)
{
    return PartsGuard([&] {
        DeleteModel();
        lastName_.Assign(filename);

        // The name in the ANSI code page, lower-cased; the file system matches it whatever
        // the case of the file's own name.
        char name[260] = {};
        if (filename && *filename)
            WideCharToMultiByte(CP_ACP, 0, filename, -1, name, sizeof name - 1, nullptr, nullptr);
        name[sizeof name - 1] = 0;
        CharLowerBuffA(name, static_cast<DWORD>(strlen(name)));

        const size_t n = strlen(name);
        if (n >= 2 && name[n - 2] == '.' && name[n - 1] == 'x') {
            model_ = new (std::nothrow) CXFile;
            if (!model_) throw failure(E_OUTOFMEMORY, IDS_OUTOFMEMORY);
            ZYK_TRACE("Loading X-File --> '%ls'\n", filename);
            HRESULT hr = model_->Load(name);
            if (FAILED(hr)) throw failure(hr, "Failed to Load the requested X File.");
        }
        ZYK_TRACE("Restoring Textures.\n");
        if (device_) RestoreAllTextures(DeviceOf(device_));
    });
}

HRESULT CParts::Render()
{
    return PartsGuard([&]() -> HRESULT {
        if (!device_) return E_FAIL;
        if (!model_) return S_OK;
        IDirect3DDevice7* device = DeviceOf(device_);
        ZYK_TRACE("Restoring Textures.\n");
        RestoreAllTextures(device);

        // Left in force for everything drawn later in the frame; a run of objects sends
        // them once.
        DeviceStateScope state(device);
        state->SetStageState(D3DTSS_COLORARG1, D3DTA_TEXTURE);
        state->SetStageState(D3DTSS_COLORARG2, D3DTA_DIFFUSE);
        state->SetStageState(D3DTSS_COLOROP, D3DTOP_MODULATE);
        state->SetStageState(D3DTSS_MINFILTER, D3DTFN_LINEAR);
        state->SetStageState(D3DTSS_MAGFILTER, D3DTFG_LINEAR);
        state->SetRenderState(D3DRENDERSTATE_DITHERENABLE, TRUE);
        state->SetRenderState(D3DRENDERSTATE_SPECULARENABLE, FALSE);
        state->SetRenderState(D3DRENDERSTATE_ZENABLE, TRUE);
        state->SetRenderState(D3DRENDERSTATE_NORMALIZENORMALS, TRUE);

        ZYK_TRACE("Rendering X-File.\n");
        HRESULT hr = model_->Render(device);
        if (FAILED(hr)) ZYK_TRACE("Failed. (Error Code=%lx).\n", static_cast<unsigned long>(hr));
        return hr;
    });
}

// CParts: Load of a .x model and its Render.
#include "parts.h"
#include "com/create.h"
#include "devicestate.h"
#include "errormaps.h"
#include "com/failure.h"
#include "texturestore.h"
#include "xfile.h"
#include "com/text.h"
#include "com/trace.h"
#include <d3d.h>
#include <new>
#include <string>

CParts::~CParts()
{
    DeleteModel();
    items_.Clear();
}

void CParts::DeleteModel()
{
    delete model_;
    model_ = nullptr;
}

HRESULT CParts::Load(BSTR filename)
{
    return Member([&] {
        DeleteModel();
        lastName_.Assign(filename);

        // The name in the ANSI code page, lower-cased; the file system matches it whatever
        // the case of the file's own name.
        std::string name;
        try {
            name = zyk::com::ToAnsi(filename);
        } catch (const std::bad_alloc&) {
            return; // no room for the name: nothing is loaded
        }
        CharLowerBuffA(name.data(), static_cast<DWORD>(name.size()));

        const size_t n = name.size();
        if (n >= 2 && name[n - 2] == '.' && name[n - 1] == 'x') {
            model_ = new (std::nothrow) CXFile;
            if (!model_) throw failure(E_OUTOFMEMORY, IDS_OUTOFMEMORY);
            ZYK_TRACE("Loading X-File --> '%ls'\n", filename);
            // A name past the path limit is refused whole rather than opened cut short.
            HRESULT hr = n > zyk::com::kAnsiPathMax ? HRESULT_FROM_WIN32(ERROR_FILENAME_EXCED_RANGE)
                                                    : model_->Load(name.c_str());
            if (FAILED(hr)) throw failure(hr, "Failed to Load the requested X File.");
        }
        ZYK_TRACE("Restoring Textures.\n");
        if (device_) RestoreAllTextures(device_.Get());
    });
}

HRESULT CParts::Render()
{
    return Member([&]() -> HRESULT {
        if (!device_) return E_FAIL;
        if (!model_) return S_OK;
        IDirect3DDevice7* device = device_.Get();
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

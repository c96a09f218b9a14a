// Cost of drawing N objects of the sample model through Device3D (Clear, Render, Update)
// against the same draws made directly on Direct3D 7 under the engine's device states (for
// every object: each mesh under its frame's world matrix, each material's triangles with
// DrawIndexedPrimitive), side by side in one process on windows of the same size. Prints
// the times and their ratio.
//   objects_bench [N]   (default 50)
#include "bench.h"
#include "d3dx.h"
#include "engine.h"
#include "model.h"
#include "screen.h"
#include "zyk3D.h"
#include <oleauto.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

const int kWidth = 320, kHeight = 240, kFrames = 50, kRounds = 9;

struct DirectMesh {
    D3DMATRIX world;
    std::vector<sample::ModelVertex> vertices;
    std::vector<std::vector<unsigned short>> triangles; // per material
    std::vector<D3DMATERIAL7> materials;
};

D3DMATRIX Translation(float x, float y)
{
    D3DMATRIX m{};
    m._11 = m._22 = m._33 = m._44 = 1.0f;
    m._41 = x;
    m._42 = y;
    return m;
}

} // namespace

int main(int argc, char** argv)
{
    const int count = argc > 1 ? std::max(1, atoi(argv[1])) : 50;
    CoInitialize(nullptr);
    HWND engineWindow = sample::CreateGameWindow("Device3D objects", kWidth, kHeight);
    HWND directWindow = sample::CreateGameWindow("Direct objects", kWidth, kHeight);

    char model[MAX_PATH] = {};
    GetFullPathNameA("bench_ship.x", MAX_PATH, model, nullptr);
    if (!sample::WriteSampleModel(model)) {
        fprintf(stderr, "cannot write %s\n", model);
        return 1;
    }

    IDevice3D* device = sample::OpenDevice3D(engineWindow, kWidth, kHeight);
    if (!device) return 1;
    IDispatch* d = nullptr;
    device->get_Objects(&d);
    IObjects* objects = sample::As<IObjects>(d, IID_IObjects);
    wchar_t wide[MAX_PATH] = {};
    MultiByteToWideChar(CP_ACP, 0, model, -1, wide, MAX_PATH);
    BSTR file = SysAllocString(wide);
    for (int i = 0; i < count; ++i) {
        wchar_t name[32];
        swprintf(name, 32, L"ship%d", i);
        BSTR key = SysAllocString(name);
        IDispatch* o = nullptr;
        if (FAILED(objects->get_LoadFile(file, key, VARIANT_TRUE, &o)) || !o) {
            fprintf(stderr, "Objects.LoadFile failed\n");
            return 1;
        }
        o->Release();
        SysFreeString(key);
    }
    SysFreeString(file);

    // The same meshes, materials and frame matrices, for the direct draws.
    std::vector<DirectMesh> meshes;
    float frameY = 0.0f;
    for (const sample::ModelMesh& m : sample::SampleMeshes()) {
        frameY += m.offsetY; // each mesh's frame lies inside the one before
        DirectMesh dm;
        dm.world = Translation(sample::kShipOffsetX, frameY);
        dm.vertices = m.vertices;
        for (size_t k = 0; k < m.materials.size(); ++k) {
            dm.triangles.push_back(sample::TrianglesOf(m, static_cast<int>(k)));
            D3DMATERIAL7 mat{};
            mat.diffuse = {{m.materials[k].r}, {m.materials[k].g}, {m.materials[k].b}, {m.materials[k].a}};
            mat.ambient = mat.diffuse;
            mat.power = m.materials[k].power;
            dm.materials.push_back(mat);
        }
        meshes.push_back(dm);
    }

    D3DXInitialize();
    ID3DXContext* context = nullptr;
    if (FAILED(D3DXCreateContext(D3DX_DEFAULT, 0, directWindow, kWidth, kHeight, &context))) {
        fprintf(stderr, "D3DXCreateContext failed\n");
        return 1;
    }
    IDirect3DDevice7* d3d = context->GetD3DDevice();
    // The states Device3D draws its objects under: its own (no culling, z-buffer,
    // normalised normals, modulated stage 0) and those a model's parts leave in force.
    d3d->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    d3d->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
    d3d->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
    d3d->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
    d3d->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
    d3d->SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE);
    d3d->SetTextureStageState(0, D3DTSS_MINFILTER, D3DTFN_LINEAR);
    d3d->SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTFG_LINEAR);
    d3d->SetRenderState(D3DRENDERSTATE_CULLMODE, D3DCULL_NONE);
    d3d->SetRenderState(D3DRENDERSTATE_DITHERENABLE, TRUE);
    d3d->SetRenderState(D3DRENDERSTATE_SPECULARENABLE, FALSE);
    d3d->SetRenderState(D3DRENDERSTATE_ZENABLE, TRUE);
    d3d->SetRenderState(D3DRENDERSTATE_NORMALIZENORMALS, TRUE);
    sample::PumpMessages();

    const sample::FrameTimes t = sample::TimeFrames(
        kFrames, kRounds,
        [&] {
            device->Clear(0.1f, 0.1f, 0.2f, 1.0f);
            device->Render();
            device->Update();
        },
        [&] {
            context->SetClearColor(0xFF19193A);
            context->Clear(D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER);
            d3d->BeginScene();
            for (int n = 0; n < count; ++n) {
                for (DirectMesh& m : meshes) {
                    d3d->SetTransform(D3DTRANSFORMSTATE_WORLD, &m.world);
                    for (size_t k = 0; k < m.materials.size(); ++k) {
                        if (m.triangles[k].empty()) continue;
                        d3d->SetMaterial(&m.materials[k]);
                        d3d->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, D3DFVF_VERTEX, m.vertices.data(),
                                                  static_cast<DWORD>(m.vertices.size()), m.triangles[k].data(),
                                                  static_cast<DWORD>(m.triangles[k].size()), 0);
                    }
                }
            }
            d3d->EndScene();
            context->UpdateFrame(D3DX_UPDATE_NOVSYNC);
        },
        &sample::PumpMessages);
    printf("%d objects, Device3D frame: %.3f ms\n", count, t.engine * 1000.0);
    printf("%d objects, direct frame:   %.3f ms\n", count, t.direct * 1000.0);
    printf("ratio (Device3D / direct): %.3f\n", t.ratio);

    d3d->Release();
    context->Release();
    D3DXUninitialize();
    objects->Release();
    device->Free();
    device->Release();
    CoUninitialize();
    return 0;
}

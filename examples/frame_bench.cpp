// Cost of one Device3D frame (Clear, Render, Update) against the same clear, empty scene
// and present done directly on Direct3D 7 through the D3DX layer, side by side in one
// process on windows of the same size. Prints the times and their ratio.
#include "bench.h"
#include "d3dx.h"
#include "engine.h"
#include "screen.h"
#include "zyk3D.h"
#include <cstdio>

namespace {

const int kWidth = 320, kHeight = 240, kFrames = 200, kRounds = 9;

} // namespace

int main()
{
    CoInitialize(nullptr);
    HWND engineWindow = sample::CreateGameWindow("Device3D frame", kWidth, kHeight);
    HWND directWindow = sample::CreateGameWindow("Direct frame", kWidth, kHeight);

    IDevice3D* device = sample::OpenDevice3D(engineWindow, kWidth, kHeight);
    if (!device) return 1;

    D3DXInitialize();
    ID3DXContext* context = nullptr;
    if (FAILED(D3DXCreateContext(D3DX_DEFAULT, 0, directWindow, kWidth, kHeight, &context))) {
        fprintf(stderr, "D3DXCreateContext failed\n");
        return 1;
    }
    IDirect3DDevice7* d3d = context->GetD3DDevice();

    const sample::FrameTimes t = sample::TimeFrames(
        kFrames, kRounds,
        [&] {
            device->Clear(1.0f, 0.5f, 0.0f, 1.0f);
            device->Render();
            device->Update();
        },
        [&] {
            context->SetClearColor(0xFFFF7F00);
            context->Clear(D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER);
            d3d->BeginScene();
            d3d->SetRenderState(D3DRENDERSTATE_AMBIENT, 0);
            d3d->EndScene();
            context->UpdateFrame(D3DX_UPDATE_NOVSYNC);
        },
        &sample::PumpMessages);
    printf("Device3D frame: %.3f ms\n", t.engine * 1000.0);
    printf("direct frame:   %.3f ms\n", t.direct * 1000.0);
    printf("ratio (Device3D / direct): %.3f\n", t.ratio);

    d3d->Release();
    context->Release();
    D3DXUninitialize();
    device->Free();
    device->Release();
    CoUninitialize();
    return 0;
}

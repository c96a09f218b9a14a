// The rendering context on real windows: what reaches the screen, what the
// getters hand out, resizing, debug text and full screen.
#include <gtest/gtest.h>

#include <d3dx.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

const char kClass[] = "ZykD3DXTestWindow";

// Wine on a bare X server takes two seconds to hide or destroy a visible
// window, so the tests share their windows per suite.
HWND MakeWindow(int x, int y, int clientW, int clientH, DWORD style = WS_OVERLAPPEDWINDOW, bool show = true)
{
    static bool registered = false;
    if (!registered) {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = kClass;
        RegisterClassA(&wc);
        registered = true;
    }
    RECT rc = {0, 0, clientW, clientH};
    AdjustWindowRect(&rc, style, FALSE);
    HWND hwnd = CreateWindowExA(0, kClass, "d3dx", style, x, y, rc.right - rc.left, rc.bottom - rc.top, nullptr,
                                nullptr, GetModuleHandleA(nullptr), nullptr);
    if (show) {
        ShowWindow(hwnd, SW_SHOWNORMAL);
        UpdateWindow(hwnd);
    }
    return hwnd;
}

void Pump()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

// 0x00RRGGBB of a 32-bit surface at (x, y), or 0xFFFFFFFF when it cannot be read.
DWORD PixelAt(IDirectDrawSurface7* surface, int x, int y)
{
    DDSURFACEDESC2 sd = {};
    sd.dwSize = sizeof(sd);
    if (FAILED(surface->Lock(nullptr, &sd, DDLOCK_WAIT | DDLOCK_READONLY, nullptr))) return 0xFFFFFFFF;
    DWORD value = 0xFFFFFFFF;
    if (sd.ddpfPixelFormat.dwRGBBitCount == 32 && x >= 0 && y >= 0 && static_cast<DWORD>(x) < sd.dwWidth &&
        static_cast<DWORD>(y) < sd.dwHeight) {
        const BYTE* row = static_cast<const BYTE*>(sd.lpSurface) + y * sd.lPitch;
        value = reinterpret_cast<const DWORD*>(row)[x] & 0xFFFFFF;
    }
    surface->Unlock(nullptr);
    return value;
}

POINT ClientOrigin(HWND hwnd)
{
    POINT p = {0, 0};
    ClientToScreen(hwnd, &p);
    return p;
}

// Pixel of the primary at client coordinates (x, y) of hwnd.
DWORD ScreenPixel(ID3DXContext* ctx, HWND hwnd, int x, int y)
{
    IDirectDrawSurface7* primary = ctx->GetPrimary();
    if (!primary) return 0xFFFFFFFF;
    POINT o = ClientOrigin(hwnd);
    DWORD v = PixelAt(primary, o.x + x, o.y + y);
    primary->Release();
    return v;
}

SIZE SurfaceSize(IDirectDrawSurface7* s)
{
    DDSURFACEDESC2 sd = {};
    sd.dwSize = sizeof(sd);
    s->GetSurfaceDesc(&sd);
    return {static_cast<LONG>(sd.dwWidth), static_cast<LONG>(sd.dwHeight)};
}

struct ContextTest : ::testing::Test {
    static constexpr int kX = 120, kY = 90, kW = 200, kH = 150;
    static HWND window; // the windowed contexts' window
    static HWND popup;  // the full-screen contexts' window
    HWND hwnd = nullptr;
    ID3DXContext* ctx = nullptr;

    static void SetUpTestSuite()
    {
        ASSERT_EQ(D3DXInitialize(), S_OK);
        window = MakeWindow(kX, kY, kW, kH);
        popup = MakeWindow(0, 0, 320, 240, WS_POPUP, false);
        Pump();
    }
    static void TearDownTestSuite()
    {
        DestroyWindow(popup);
        DestroyWindow(window);
        Pump();
        EXPECT_EQ(D3DXUninitialize(), S_OK);
    }
    void SetUp() override
    {
        hwnd = window;
        ASSERT_NE(hwnd, nullptr);
        // A full-screen attempt leaves the popup covering the screen.
        if (IsWindowVisible(popup)) SetWindowPos(popup, HWND_BOTTOM, 0, 0, 1, 1, SWP_NOACTIVATE);
        if (IsIconic(hwnd)) ShowWindow(hwnd, SW_RESTORE);
        RECT rc = {0, 0, kW, kH};
        AdjustWindowRect(&rc, WS_OVERLAPPEDWINDOW, FALSE);
        SetWindowPos(hwnd, HWND_TOP, kX, kY, rc.right - rc.left, rc.bottom - rc.top, 0);
        Pump();
        RECT client;
        GetClientRect(hwnd, &client);
        ASSERT_EQ(client.right, kW);
        ASSERT_EQ(client.bottom, kH);
    }
    void TearDown() override
    {
        if (ctx) {
            EXPECT_EQ(ctx->Release(), 0u);
        }
    }
    // Clears to colour and presents.
    void Show(ID3DXContext* c, D3DCOLOR color)
    {
        ASSERT_EQ(c->SetClearColor(color), S_OK);
        IDirectDrawSurface7* z = c->GetZBuffer();
        if (z) z->Release();
        ASSERT_EQ(c->Clear(D3DCLEAR_TARGET | (z ? D3DCLEAR_ZBUFFER : 0)), S_OK);
        ASSERT_EQ(c->UpdateFrame(0), S_OK);
    }
};

struct Vertex {
    float x, y, z, rhw;
    D3DCOLOR color;
};

// Draws a pre-transformed quad over the whole target at depth z with LESSEQUAL.
HRESULT DrawQuad(IDirect3DDevice7* dev, float w, float h, float z, D3DCOLOR color)
{
    Vertex v[4] = {{0, 0, z, 1, color}, {w, 0, z, 1, color}, {0, h, z, 1, color}, {w, h, z, 1, color}};
    dev->SetRenderState(D3DRENDERSTATE_ZENABLE, D3DZB_TRUE);
    dev->SetRenderState(D3DRENDERSTATE_ZFUNC, D3DCMP_LESSEQUAL);
    dev->SetRenderState(D3DRENDERSTATE_CULLMODE, D3DCULL_NONE);
    dev->SetRenderState(D3DRENDERSTATE_LIGHTING, FALSE);
    HRESULT hr = dev->BeginScene();
    if (FAILED(hr)) return hr;
    hr = dev->DrawPrimitive(D3DPT_TRIANGLESTRIP, D3DFVF_XYZRHW | D3DFVF_DIFFUSE, v, 4, 0);
    HRESULT end = dev->EndScene();
    return FAILED(hr) ? hr : end;
}

HWND ContextTest::window = nullptr;
HWND ContextTest::popup = nullptr;

} // namespace

using D3DXContextWindowed = ContextTest;

TEST_F(D3DXContextWindowed, ClearAndPresentReachTheWindowsClientArea)
{
    ASSERT_EQ(D3DXCreateContext(D3DX_DEFAULT, 0, hwnd, D3DX_DEFAULT, D3DX_DEFAULT, &ctx), S_OK);
    ASSERT_NE(ctx, nullptr);
    Show(ctx, 0xFFFF7F00);
    EXPECT_EQ(ScreenPixel(ctx, hwnd, 0, 0), 0xFF7F00u);
    EXPECT_EQ(ScreenPixel(ctx, hwnd, kW / 2, kH / 2), 0xFF7F00u);
    EXPECT_EQ(ScreenPixel(ctx, hwnd, kW - 1, kH - 1), 0xFF7F00u);
    // Nothing beyond the client area.
    EXPECT_NE(ScreenPixel(ctx, hwnd, kW, kH / 2), 0xFF7F00u);
    EXPECT_NE(ScreenPixel(ctx, hwnd, kW / 2, kH), 0xFF7F00u);

    // A second frame replaces the first.
    Show(ctx, 0xFF0000FF);
    EXPECT_EQ(ScreenPixel(ctx, hwnd, 10, 10), 0x0000FFu);
}

// A window partly off the screen shows the part that is on it, from the
// matching part of the back buffer.
TEST_F(D3DXContextWindowed, AWindowPartlyOffTheScreenShowsItsVisiblePart)
{
    ASSERT_EQ(D3DXCreateContext(0, 0, hwnd, 0, 0, &ctx), S_OK);
    RECT wr;
    GetWindowRect(hwnd, &wr);
    POINT o = ClientOrigin(hwnd);
    // Client origin 60 pixels left of the screen.
    SetWindowPos(hwnd, nullptr, wr.left - (o.x + 60), wr.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    Pump();
    ASSERT_EQ(ClientOrigin(hwnd).x, -60);
    IDirect3DDevice7* dev = ctx->GetD3DDevice();
    D3DRECT left = {0, 0, kW / 2, kH}, right = {kW / 2, 0, kW, kH};
    ASSERT_EQ(dev->Clear(1, &left, D3DCLEAR_TARGET, 0xFFFF0000, 1.0f, 0), S_OK);
    ASSERT_EQ(dev->Clear(1, &right, D3DCLEAR_TARGET, 0xFF0000FF, 1.0f, 0), S_OK);
    dev->Release();
    ASSERT_EQ(ctx->UpdateFrame(0), S_OK);
    IDirectDrawSurface7* primary = ctx->GetPrimary();
    const int y = ClientOrigin(hwnd).y + 5;
    EXPECT_EQ(PixelAt(primary, 0, y), 0xFF0000u);
    EXPECT_EQ(PixelAt(primary, kW / 2 - 61, y), 0xFF0000u);
    EXPECT_EQ(PixelAt(primary, kW / 2 - 60, y), 0x0000FFu);
    EXPECT_EQ(PixelAt(primary, kW - 61, y), 0x0000FFu);
    primary->Release();

    // Wholly off the screen: nothing to show, no failure.
    SetWindowPos(hwnd, nullptr, 3000, 3000, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    Pump();
    EXPECT_EQ(ctx->UpdateFrame(0), S_OK);
}

TEST_F(D3DXContextWindowed, EveryDeviceClearsAndPresents)
{
    const DWORD count = D3DXGetDeviceCount();
    for (DWORD i = 0; i < count; ++i) {
        D3DX_DEVICEDESC d;
        ASSERT_EQ(D3DXGetDeviceDescription(i, &d), S_OK);
        ID3DXContext* c = nullptr;
        ASSERT_EQ(D3DXCreateContext(i, 0, hwnd, 0, 0, &c), S_OK) << d.driverDesc;
        EXPECT_EQ(c->GetDeviceIndex(), i);
        const D3DCOLOR color = 0xFF000000 | (0x20 + 0x10 * i) << 16 | 0x4080;
        Show(c, color);
        EXPECT_EQ(ScreenPixel(c, hwnd, 5, 5), color & 0xFFFFFF) << d.driverDesc;
        EXPECT_EQ(c->Release(), 0u);
    }
}

TEST_F(D3DXContextWindowed, GettersHandOutTheContextsObjectsAddRefed)
{
    ASSERT_EQ(D3DXCreateContext(0, 0, hwnd, 0, 0, &ctx), S_OK);

    IDirect3DDevice7* dev1 = ctx->GetD3DDevice();
    ASSERT_NE(dev1, nullptr);
    const ULONG before = dev1->AddRef();
    dev1->Release();
    IDirect3DDevice7* dev2 = ctx->GetD3DDevice();
    EXPECT_EQ(dev1, dev2);
    EXPECT_EQ(dev2->AddRef(), before + 1);
    dev2->Release();

    IDirectDraw7* dd = ctx->GetDD();
    IDirect3D7* d3d = ctx->GetD3D();
    ASSERT_NE(dd, nullptr);
    ASSERT_NE(d3d, nullptr);
    IDirect3D7* fromDD = nullptr;
    ASSERT_EQ(dd->QueryInterface(IID_IDirect3D7, reinterpret_cast<void**>(&fromDD)), S_OK);
    EXPECT_EQ(fromDD, d3d);
    fromDD->Release();

    IDirectDrawSurface7* back = ctx->GetBackBuffer(0);
    IDirectDrawSurface7* z = ctx->GetZBuffer();
    IDirectDrawSurface7* primary = ctx->GetPrimary();
    ASSERT_NE(back, nullptr);
    ASSERT_NE(z, nullptr);
    ASSERT_NE(primary, nullptr);
    EXPECT_EQ(ctx->GetBackBuffer(1), nullptr);

    DDSURFACEDESC2 sd = {};
    sd.dwSize = sizeof(sd);
    ASSERT_EQ(back->GetSurfaceDesc(&sd), S_OK);
    EXPECT_EQ(sd.dwWidth, static_cast<DWORD>(kW));
    EXPECT_EQ(sd.dwHeight, static_cast<DWORD>(kH));
    EXPECT_TRUE(sd.ddsCaps.dwCaps & DDSCAPS_3DDEVICE);
    EXPECT_TRUE(sd.ddsCaps.dwCaps & DDSCAPS_OFFSCREENPLAIN);
    ASSERT_EQ(z->GetSurfaceDesc(&sd), S_OK);
    EXPECT_EQ(sd.ddpfPixelFormat.dwZBufferBitDepth, 16u) << "16-bit depth is preferred";

    DDSCAPS2 zcaps = {DDSCAPS_ZBUFFER};
    IDirectDrawSurface7* attached = nullptr;
    ASSERT_EQ(back->GetAttachedSurface(&zcaps, &attached), S_OK);
    EXPECT_EQ(attached, z);
    attached->Release();
    IDirectDrawSurface7* target = nullptr;
    ASSERT_EQ(dev1->GetRenderTarget(&target), S_OK);
    EXPECT_EQ(target, back);
    target->Release();
    IDirectDrawClipper* clipper = nullptr;
    ASSERT_EQ(primary->GetClipper(&clipper), S_OK);
    HWND clipWnd = nullptr;
    EXPECT_EQ(clipper->GetHWnd(&clipWnd), S_OK);
    EXPECT_EQ(clipWnd, hwnd);
    clipper->Release();

    D3DVIEWPORT7 vp = {};
    ASSERT_EQ(dev1->GetViewport(&vp), S_OK);
    EXPECT_EQ(vp.dwX, 0u);
    EXPECT_EQ(vp.dwWidth, static_cast<DWORD>(kW));
    EXPECT_EQ(vp.dwHeight, static_cast<DWORD>(kH));

    EXPECT_EQ(ctx->GetWindow(), hwnd);
    EXPECT_FALSE(ctx->IsFullscreen());
    EXPECT_EQ(ctx->GetDeviceIndex(), 0u);

    for (IUnknown* p : std::vector<IUnknown*>{dev1, dev2, dd, d3d, back, z, primary}) p->Release();
}

TEST_F(D3DXContextWindowed, IsACountedComObject)
{
    ASSERT_EQ(D3DXCreateContext(0, 0, hwnd, 0, 0, &ctx), S_OK);
    EXPECT_EQ(ctx->AddRef(), 2u);
    EXPECT_EQ(ctx->Release(), 1u);
    void* p = nullptr;
    ASSERT_EQ(ctx->QueryInterface(IID_ID3DXContext, &p), S_OK);
    EXPECT_EQ(p, ctx);
    static_cast<IUnknown*>(p)->Release();
    ASSERT_EQ(ctx->QueryInterface(IID_IUnknown, &p), S_OK);
    EXPECT_EQ(p, static_cast<IUnknown*>(ctx));
    static_cast<IUnknown*>(p)->Release();
    p = reinterpret_cast<void*>(1);
    EXPECT_EQ(ctx->QueryInterface(IID_IDirectDraw7, &p), E_NOINTERFACE);
    EXPECT_EQ(p, nullptr);

    // Objects handed out outlive the context.
    IDirect3DDevice7* dev = ctx->GetD3DDevice();
    EXPECT_EQ(ctx->Release(), 0u);
    ctx = nullptr;
    D3DVIEWPORT7 vp;
    EXPECT_EQ(dev->GetViewport(&vp), S_OK);
    dev->Release();
}

TEST_F(D3DXContextWindowed, CreationRefusesBadArguments)
{
    ID3DXContext* c = reinterpret_cast<ID3DXContext*>(1);
    EXPECT_EQ(D3DXCreateContext(0, 0, hwnd, 0, 0, nullptr), D3DXERR_NULLPOINTER);
    EXPECT_EQ(D3DXCreateContext(0, 0, nullptr, 0, 0, &c), D3DXERR_INVALIDPARAMETER);
    EXPECT_EQ(c, nullptr);
    HWND dead = MakeWindow(0, 0, 10, 10, WS_OVERLAPPEDWINDOW, false);
    DestroyWindow(dead);
    EXPECT_EQ(D3DXCreateContext(0, 0, dead, 0, 0, &c), D3DXERR_INVALIDPARAMETER);
    EXPECT_EQ(D3DXCreateContext(0, 0x100, hwnd, 0, 0, &c), D3DXERR_INVALIDPARAMETER);
    EXPECT_EQ(D3DXCreateContext(D3DXGetDeviceCount(), 0, hwnd, 0, 0, &c), D3DXERR_INVALIDD3DXDEVICEINDEX);
    EXPECT_EQ(c, nullptr);

    // A window with no client area has no default size.
    HWND empty =
        CreateWindowExA(0, kClass, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    EXPECT_EQ(D3DXCreateContext(0, 0, empty, 0, 0, &c), D3DXERR_INVALIDPARAMETER);
    EXPECT_EQ(c, nullptr);
    DestroyWindow(empty);
}

TEST_F(D3DXContextWindowed, ClearAndUpdateRefuseBadFlags)
{
    ASSERT_EQ(D3DXCreateContext(0, 0, hwnd, 0, 0, &ctx), S_OK);
    EXPECT_EQ(ctx->Clear(0), D3DXERR_INVALIDPARAMETER);
    EXPECT_EQ(ctx->Clear(D3DCLEAR_TARGET | 0x100), D3DXERR_INVALIDPARAMETER);
    EXPECT_EQ(ctx->UpdateFrame(0x2), D3DXERR_INVALIDPARAMETER);
    EXPECT_EQ(ctx->UpdateFrame(D3DX_UPDATE_NOVSYNC), S_OK);
    EXPECT_EQ(ctx->SetClearDepth(1.5f), D3DXERR_INVALIDPARAMETER);
    EXPECT_EQ(ctx->GetClearDepth(), 1.0f);
    EXPECT_EQ(ctx->SetClearDepth(0.25f), S_OK);
    EXPECT_EQ(ctx->GetClearDepth(), 0.25f);
    EXPECT_EQ(ctx->SetClearColor(0x12345678), S_OK);
    EXPECT_EQ(ctx->GetClearColor(), 0x12345678u);
    EXPECT_EQ(ctx->SetClearStencil(3), S_OK);
    EXPECT_EQ(ctx->GetClearStencil(), 3u);
}

TEST_F(D3DXContextWindowed, ASmallerBufferIsStretchedOverTheClientArea)
{
    ASSERT_EQ(D3DXCreateContext(0, 0, hwnd, 64, 32, &ctx), S_OK);
    IDirectDrawSurface7* back = ctx->GetBackBuffer(0);
    SIZE size = SurfaceSize(back);
    back->Release();
    EXPECT_EQ(size.cx, 64);
    EXPECT_EQ(size.cy, 32);
    Show(ctx, 0xFF10E020);
    EXPECT_EQ(ScreenPixel(ctx, hwnd, 0, 0), 0x10E020u);
    EXPECT_EQ(ScreenPixel(ctx, hwnd, kW - 1, kH - 1), 0x10E020u);
}

TEST_F(D3DXContextWindowed, TheDepthBufferDecidesWhatIsDrawn)
{
    ASSERT_EQ(D3DXCreateContext(0, 0, hwnd, 0, 0, &ctx), S_OK);
    IDirect3DDevice7* dev = ctx->GetD3DDevice();
    ctx->SetClearColor(0xFF000000);
    ctx->SetClearDepth(0.25f);
    ASSERT_EQ(ctx->Clear(D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER), S_OK);
    ASSERT_EQ(DrawQuad(dev, kW, kH, 0.5f, 0xFF00FF00), S_OK);
    ASSERT_EQ(ctx->UpdateFrame(0), S_OK);
    EXPECT_EQ(ScreenPixel(ctx, hwnd, kW / 2, kH / 2), 0x000000u) << "behind the cleared depth";

    ctx->SetClearDepth(1.0f);
    ASSERT_EQ(ctx->Clear(D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER), S_OK);
    ASSERT_EQ(DrawQuad(dev, kW, kH, 0.5f, 0xFF00FF00), S_OK);
    ASSERT_EQ(ctx->UpdateFrame(0), S_OK);
    EXPECT_EQ(ScreenPixel(ctx, hwnd, kW / 2, kH / 2), 0x00FF00u);
    dev->Release();
}

TEST_F(D3DXContextWindowed, ResizeRebuildsTheBuffersUnderTheSameDevice)
{
    ASSERT_EQ(D3DXCreateContext(0, 0, hwnd, 0, 0, &ctx), S_OK);
    IDirect3DDevice7* dev = ctx->GetD3DDevice();
    ASSERT_EQ(ctx->Resize(160, 100), S_OK);
    IDirectDrawSurface7* back = ctx->GetBackBuffer(0);
    IDirectDrawSurface7* z = ctx->GetZBuffer();
    ASSERT_NE(z, nullptr);
    EXPECT_EQ(SurfaceSize(back).cx, 160);
    EXPECT_EQ(SurfaceSize(back).cy, 100);
    EXPECT_EQ(SurfaceSize(z).cx, 160);
    IDirect3DDevice7* same = ctx->GetD3DDevice();
    EXPECT_EQ(same, dev);
    same->Release();
    IDirectDrawSurface7* target = nullptr;
    ASSERT_EQ(dev->GetRenderTarget(&target), S_OK);
    EXPECT_EQ(target, back);
    target->Release();
    D3DVIEWPORT7 vp = {};
    ASSERT_EQ(dev->GetViewport(&vp), S_OK);
    EXPECT_EQ(vp.dwWidth, 160u);
    EXPECT_EQ(vp.dwHeight, 100u);
    back->Release();
    z->Release();

    // The new buffers clear, present, and their z-buffer tests depth.
    Show(ctx, 0xFF8040C0);
    EXPECT_EQ(ScreenPixel(ctx, hwnd, kW - 1, 0), 0x8040C0u);
    ctx->SetClearDepth(0.25f);
    ASSERT_EQ(ctx->Clear(D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER), S_OK);
    ASSERT_EQ(DrawQuad(dev, 160, 100, 0.5f, 0xFFFFFFFF), S_OK);
    ASSERT_EQ(ctx->UpdateFrame(0), S_OK);
    EXPECT_EQ(ScreenPixel(ctx, hwnd, kW / 2, kH / 2), 0x8040C0u);

    // Default size: the window's new client size.
    RECT rc = {0, 0, 300, 220};
    AdjustWindowRect(&rc, WS_OVERLAPPEDWINDOW, FALSE);
    SetWindowPos(hwnd, nullptr, 0, 0, rc.right - rc.left, rc.bottom - rc.top, SWP_NOMOVE | SWP_NOZORDER);
    Pump();
    ASSERT_EQ(ctx->Resize(D3DX_DEFAULT, D3DX_DEFAULT), S_OK);
    back = ctx->GetBackBuffer(0);
    EXPECT_EQ(SurfaceSize(back).cx, 300);
    EXPECT_EQ(SurfaceSize(back).cy, 220);
    back->Release();
    Show(ctx, 0xFF203040);
    EXPECT_EQ(ScreenPixel(ctx, hwnd, 299, 219), 0x203040u);
    dev->Release();
}

TEST_F(D3DXContextWindowed, AMinimisedWindowPresentsNothingAndSucceeds)
{
    ASSERT_EQ(D3DXCreateContext(0, 0, hwnd, 0, 0, &ctx), S_OK);
    ShowWindow(hwnd, SW_MINIMIZE);
    Pump();
    ASSERT_TRUE(IsIconic(hwnd));
    ASSERT_EQ(ctx->SetClearColor(0xFF336699), S_OK);
    ASSERT_EQ(ctx->Clear(D3DCLEAR_TARGET), S_OK);
    EXPECT_EQ(ctx->UpdateFrame(0), S_OK);
}

TEST_F(D3DXContextWindowed, DebugTextIsDrawnInItsColourAtItsPlace)
{
    ASSERT_EQ(D3DXCreateContext(0, 0, hwnd, 0, 0, &ctx), S_OK);
    EXPECT_EQ(ctx->DrawDebugText(0, 0, 0xFFFFFFFF, nullptr), D3DXERR_NULLPOINTER);
    char empty[] = "";
    EXPECT_EQ(ctx->DrawDebugText(0, 0, 0xFFFFFFFF, empty), S_OK);

    ctx->SetClearColor(0xFF000000);
    ASSERT_EQ(ctx->Clear(D3DCLEAR_TARGET), S_OK);
    char text[] = "WWWW";
    ASSERT_EQ(ctx->DrawDebugText(0.5f, 0.5f, 0xFFFF0000, text), S_OK);

    IDirectDrawSurface7* back = ctx->GetBackBuffer(0);
    int lit = 0, wrongColour = 0, misplaced = 0;
    for (int y = 0; y < kH; ++y) {
        for (int x = 0; x < kW; ++x) {
            DWORD p = PixelAt(back, x, y);
            ASSERT_NE(p, 0xFFFFFFFFu);
            if (p == 0) continue;
            ++lit;
            if (p & 0x00FFFF) ++wrongColour;
            if (x < kW / 2 || y < kH / 2) ++misplaced;
        }
    }
    back->Release();
    EXPECT_GT(lit, 20);
    EXPECT_EQ(wrongColour, 0);
    EXPECT_EQ(misplaced, 0);

    // A second line starts below the first, at the same left edge.
    ASSERT_EQ(ctx->Clear(D3DCLEAR_TARGET), S_OK);
    char lines[] = "W\nW";
    ASSERT_EQ(ctx->DrawDebugText(0.0f, 0.0f, 0xFFFFFFFF, lines), S_OK);
    back = ctx->GetBackBuffer(0);
    int top = kH, bottom = -1, right = -1;
    for (int y = 0; y < kH / 2; ++y)
        for (int x = 0; x < kW; ++x)
            if (PixelAt(back, x, y) != 0) {
                top = std::min(top, y);
                bottom = std::max(bottom, y);
                right = std::max(right, x);
            }
    back->Release();
    EXPECT_LT(top, 6);
    EXPECT_GT(bottom - top, 12) << "two lines";
    EXPECT_LT(right, 20) << "one W wide";
}

TEST_F(D3DXContextWindowed, DebugTextNeedsTheBackBuffersDC)
{
    ASSERT_EQ(D3DXCreateContext(0, 0, hwnd, 0, 0, &ctx), S_OK);
    IDirectDrawSurface7* back = ctx->GetBackBuffer(0);
    HDC dc = nullptr;
    ASSERT_EQ(back->GetDC(&dc), S_OK);
    char text[] = "x";
    EXPECT_EQ(ctx->DrawDebugText(0, 0, 0xFFFFFFFF, text), D3DXERR_FAILEDDRAWTEXT);
    back->ReleaseDC(dc);
    EXPECT_EQ(ctx->DrawDebugText(0, 0, 0xFFFFFFFF, text), S_OK);
    back->Release();
}

using D3DXContextFullscreen = ContextTest;

// Bare Xvfb has one mode: another size fails, the current one may work. Either
// way nothing stays behind and a windowed context works afterwards.
TEST_F(D3DXContextFullscreen, AModeTheDisplayLacksFailsCleanly)
{
    D3DX_VIDMODE before;
    ASSERT_EQ(D3DXGetCurrentVideoMode(0, &before), S_OK);
    HWND top = popup;
    ShowWindow(top, SW_SHOWNORMAL);
    ID3DXContext* fs = reinterpret_cast<ID3DXContext*>(1);
    HRESULT hr = D3DXCreateContext(0, D3DX_CONTEXT_FULLSCREEN, top, 512, 384, &fs);
    if (FAILED(hr)) {
        EXPECT_EQ(fs, nullptr);
    } else {
        ASSERT_NE(fs, nullptr);
        EXPECT_EQ(fs->Release(), 0u);
    }

    ASSERT_EQ(D3DXCreateContext(0, 0, hwnd, 0, 0, &ctx), S_OK);
    Show(ctx, 0xFF7F10FF);
    EXPECT_EQ(ScreenPixel(ctx, hwnd, 3, 3), 0x7F10FFu);
    // A second full-screen attempt is not blocked by the first.
    EXPECT_EQ(D3DXCreateContext(0, D3DX_CONTEXT_FULLSCREEN, top, 512, 384, &fs), hr);
    if (SUCCEEDED(hr)) fs->Release();
    if (FAILED(hr)) {
        D3DX_VIDMODE after;
        ASSERT_EQ(D3DXGetCurrentVideoMode(0, &after), S_OK);
        EXPECT_EQ(after.width, before.width);
        EXPECT_EQ(after.height, before.height);
    }
}

TEST_F(D3DXContextFullscreen, AtTheCurrentModeItFlipsAndIsAlone)
{
    D3DX_VIDMODE mode;
    ASSERT_EQ(D3DXGetCurrentVideoMode(0, &mode), S_OK);
    HWND top = popup;
    ShowWindow(top, SW_SHOWNORMAL);
    ID3DXContext* fs = nullptr;
    HRESULT hr = D3DXCreateContext(0, D3DX_CONTEXT_FULLSCREEN, top, 0, 0, &fs);
    if (FAILED(hr)) {
        GTEST_SKIP() << "full screen refused: 0x" << std::hex << hr;
    }
    EXPECT_TRUE(fs->IsFullscreen());
    EXPECT_EQ(fs->Resize(100, 100), D3DXERR_CANNOTRESIZEFULLSCREEN);
    IDirectDrawSurface7* back = fs->GetBackBuffer(0);
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(static_cast<DWORD>(SurfaceSize(back).cx), mode.width);
    EXPECT_EQ(static_cast<DWORD>(SurfaceSize(back).cy), mode.height);
    back->Release();
    ID3DXContext* second = reinterpret_cast<ID3DXContext*>(1);
    EXPECT_EQ(D3DXCreateContext(0, D3DX_CONTEXT_FULLSCREEN, top, 0, 0, &second), D3DXERR_FULLSCREENPRIMARYEXISTS);
    EXPECT_EQ(second, nullptr);

    Show(fs, 0xFF00A0B0);
    IDirectDrawSurface7* primary = fs->GetPrimary();
    EXPECT_EQ(PixelAt(primary, 0, 0), 0x00A0B0u);
    EXPECT_EQ(PixelAt(primary, mode.width - 1, mode.height - 1), 0x00A0B0u);
    primary->Release();
    EXPECT_EQ(fs->Release(), 0u);
    Pump();

    // The cooperative level is normal again: windowed contexts work, and a new
    // full-screen one may be made.
    ASSERT_EQ(D3DXCreateContext(0, 0, hwnd, 0, 0, &ctx), S_OK);
    Show(ctx, 0xFF404040);
    EXPECT_EQ(ScreenPixel(ctx, hwnd, 1, 1), 0x404040u);
    ASSERT_EQ(D3DXCreateContext(0, D3DX_CONTEXT_FULLSCREEN, top, 0, 0, &fs), S_OK);
    EXPECT_EQ(fs->Release(), 0u);
}

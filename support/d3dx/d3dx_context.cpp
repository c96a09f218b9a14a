// The rendering context: DirectDraw, Direct3D, primary, back buffer, z-buffer and
// device for one window, windowed (presented by Blt) or full screen (by Flip).
#include "d3dx.h"
#include "image/display.h"

#include <cmath>
#include <new>

using namespace d3dx_detail;

const IID IID_ID3DXContext = {0x9cb78604, 0x869d, 0x40da, {0xb6, 0x03, 0x43, 0x75, 0x16, 0x76, 0x0a, 0x7e}};

namespace {

class Context;
Context* g_fullscreen = nullptr; // the live full-screen context, under the lock

struct DepthFormats {
    std::vector<DDPIXELFORMAT> formats;
    bool failed = false;
};

HRESULT WINAPI CollectDepth(LPDDPIXELFORMAT pf, LPVOID ctx)
{
    auto* sink = static_cast<DepthFormats*>(ctx);
    if (!pf) return D3DENUMRET_OK;
    try {
        sink->formats.push_back(*pf);
    } catch (...) {
        sink->failed = true;
        return D3DENUMRET_CANCEL;
    }
    return D3DENUMRET_OK;
}

template <class T>
T* AddRefed(T* p)
{
    if (p) p->AddRef();
    return p;
}

bool ClientSize(HWND hwnd, DWORD* w, DWORD* h)
{
    RECT rc;
    if (!GetClientRect(hwnd, &rc)) return false;
    *w = static_cast<DWORD>(rc.right - rc.left);
    *h = static_cast<DWORD>(rc.bottom - rc.top);
    return *w > 0 && *h > 0;
}

class Context final : public Counted<ID3DXContext, &IID_ID3DXContext> {
public:
    Context(DWORD index, const Device& device, HWND hwnd, bool fullscreen)
        : index_(index), device_(device), hwnd_(hwnd), fullscreen_(fullscreen)
    {
        device_.dd = nullptr; // the start's object; the context makes its own
    }

    HRESULT Init(DWORD width, DWORD height)
    {
        GUID guid = device_.ddGuid;
        const DirectDrawEntries& ddraw = DirectDraw();
        if (!ddraw.createEx) return D3DXERR_NODIRECTDRAWAVAILABLE;
        HRESULT hr = ddraw.createEx(device_.hasDDGuid ? &guid : nullptr, reinterpret_cast<void**>(&dd_),
                                    IID_IDirectDraw7, nullptr);
        if (FAILED(hr)) return hr;
        hr = SetLevel();
        if (FAILED(hr)) return hr;
        hr = dd_->QueryInterface(IID_IDirect3D7, reinterpret_cast<void**>(&d3d_));
        if (FAILED(hr)) return hr;

        DDSURFACEDESC2 mode = {};
        mode.dwSize = sizeof(mode);
        hr = dd_->GetDisplayMode(&mode);
        if (FAILED(hr)) return hr;
        const DWORD bpp = mode.ddpfPixelFormat.dwRGBBitCount;
        if (!(device_.caps.dwDeviceRenderBitDepth & DepthBit(bpp)))
            return bpp <= 8 ? D3DXERR_COLORDEPTHTOOLOW : D3DXERR_INVALIDMODE;

        hr = ChooseDepthFormat();
        if (FAILED(hr)) return hr;

        if (fullscreen_) {
            if (width == 0 || width == D3DX_DEFAULT) width = mode.dwWidth;
            if (height == 0 || height == D3DX_DEFAULT) height = mode.dwHeight;
            hr = dd_->SetDisplayMode(width, height, bpp, 0, 0);
            if (FAILED(hr)) return hr;
            DDSURFACEDESC2 sd = {};
            sd.dwSize = sizeof(sd);
            sd.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
            sd.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX | DDSCAPS_3DDEVICE;
            sd.dwBackBufferCount = 1;
            hr = dd_->CreateSurface(&sd, &primary_, nullptr);
            if (FAILED(hr)) {
                // The platform leaves a DirectDraw object whose full-screen primary it could
                // not make half made: setting its level or releasing it faults inside it.
                // It gives back the mode set above, and the context keeps its references
                // without ever using or releasing them.
                dd_->RestoreDisplayMode();
                primary_ = nullptr;
                d3d_ = nullptr;
                dd_ = nullptr;
                exclusive_ = false;
                return hr;
            }
            DDSCAPS2 caps = {};
            caps.dwCaps = DDSCAPS_BACKBUFFER;
            hr = primary_->GetAttachedSurface(&caps, &back_);
            if (FAILED(hr)) return hr;
            hr = CreateDepth(width, height, back_, &zbuf_);
            if (FAILED(hr)) return hr;
        } else {
            DDSURFACEDESC2 sd = {};
            sd.dwSize = sizeof(sd);
            sd.dwFlags = DDSD_CAPS;
            sd.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
            hr = dd_->CreateSurface(&sd, &primary_, nullptr);
            if (FAILED(hr)) return hr;
            hr = dd_->CreateClipper(0, &clipper_, nullptr);
            if (FAILED(hr)) return hr;
            hr = clipper_->SetHWnd(0, hwnd_);
            if (FAILED(hr)) return hr;
            hr = primary_->SetClipper(clipper_);
            if (FAILED(hr)) return hr;
            if (!ResolveSize(&width, &height)) return D3DXERR_INVALIDPARAMETER;
            hr = CreateTarget(width, height, &back_, &zbuf_);
            if (FAILED(hr)) return hr;
        }
        hr = d3d_->CreateDevice(device_.d3dGuid, back_, &d3ddev_);
        if (FAILED(hr)) return hr;
        width_ = width;
        height_ = height;
        return SetFullViewport();
    }

    bool fullscreen() const { return fullscreen_; }

    // ID3DXContext
    IDirectDrawSurface7* STDMETHODCALLTYPE GetPrimary() override { return AddRefed(primary_); }
    IDirect3DDevice7* STDMETHODCALLTYPE GetD3DDevice() override { return AddRefed(d3ddev_); }
    IDirect3D7* STDMETHODCALLTYPE GetD3D() override { return AddRefed(d3d_); }
    IDirectDraw7* STDMETHODCALLTYPE GetDD() override { return AddRefed(dd_); }
    IDirectDrawSurface7* STDMETHODCALLTYPE GetBackBuffer(DWORD which) override
    {
        return which == 0 ? AddRefed(back_) : nullptr;
    }
    IDirectDrawSurface7* STDMETHODCALLTYPE GetZBuffer() override { return AddRefed(zbuf_); }

    HRESULT STDMETHODCALLTYPE SetClearColor(D3DCOLOR color) override
    {
        clearColor_ = color;
        return S_OK;
    }
    D3DCOLOR STDMETHODCALLTYPE GetClearColor() override { return clearColor_; }
    HRESULT STDMETHODCALLTYPE SetClearDepth(float z) override
    {
        if (!(z >= 0.0f && z <= 1.0f)) return D3DXERR_INVALIDPARAMETER;
        clearDepth_ = z;
        return S_OK;
    }
    float STDMETHODCALLTYPE GetClearDepth() override { return clearDepth_; }
    HRESULT STDMETHODCALLTYPE SetClearStencil(DWORD stencil) override
    {
        clearStencil_ = stencil;
        return S_OK;
    }
    DWORD STDMETHODCALLTYPE GetClearStencil() override { return clearStencil_; }

    HRESULT STDMETHODCALLTYPE Clear(DWORD flags) override
    {
        const DWORD known = D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL;
        if (flags == 0 || (flags & ~known)) return D3DXERR_INVALIDPARAMETER;
        if ((flags & (D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL)) && !zbuf_) return D3DXERR_NOZBUFFER;
        return d3ddev_->Clear(0, nullptr, flags, clearColor_, clearDepth_, clearStencil_);
    }

    HRESULT STDMETHODCALLTYPE UpdateFrame(DWORD flags) override
    {
        if (flags & ~D3DX_UPDATE_NOVSYNC) return D3DXERR_INVALIDPARAMETER;
        HRESULT hr;
        if (fullscreen_) {
            hr = primary_->Flip(nullptr, DDFLIP_WAIT | ((flags & D3DX_UPDATE_NOVSYNC) ? DDFLIP_NOVSYNC : 0));
        } else {
            if (IsIconic(hwnd_)) return S_OK;
            RECT rc;
            if (!GetClientRect(hwnd_, &rc) || rc.right <= rc.left || rc.bottom <= rc.top) return S_OK;
            POINT origin = {0, 0};
            ClientToScreen(hwnd_, &origin);
            // The primary surface of an adapter starts at its monitor's corner.
            if (device_.monitor) {
                MONITORINFO mi = {sizeof(mi)};
                if (GetMonitorInfoA(device_.monitor, &mi)) {
                    origin.x -= mi.rcMonitor.left;
                    origin.y -= mi.rcMonitor.top;
                }
            }
            OffsetRect(&rc, origin.x, origin.y);
            // The clipper does not cut a destination that leaves the primary
            // (DDERR_INVALIDRECT): cut it here, and the source with it.
            DDSURFACEDESC2 sd = {};
            sd.dwSize = sizeof(sd);
            hr = primary_->GetSurfaceDesc(&sd);
            if (FAILED(hr)) return hr;
            RECT bounds = {0, 0, static_cast<LONG>(sd.dwWidth), static_cast<LONG>(sd.dwHeight)};
            RECT dst;
            if (!IntersectRect(&dst, &rc, &bounds)) return S_OK;
            const LONGLONG dw = rc.right - rc.left, dh = rc.bottom - rc.top;
            const LONGLONG bw = width_, bh = height_;
            RECT src;
            src.left = static_cast<LONG>((dst.left - rc.left) * bw / dw);
            src.top = static_cast<LONG>((dst.top - rc.top) * bh / dh);
            src.right = static_cast<LONG>(((dst.right - rc.left) * bw + dw - 1) / dw);
            src.bottom = static_cast<LONG>(((dst.bottom - rc.top) * bh + dh - 1) / dh);
            if (src.right <= src.left || src.bottom <= src.top) return S_OK;
            hr = primary_->Blt(&dst, back_, &src, DDBLT_WAIT, nullptr);
        }
        if (hr == DDERR_SURFACELOST) RestoreSurfaces();
        return hr;
    }

    HRESULT STDMETHODCALLTYPE Resize(DWORD width, DWORD height) override
    {
        if (fullscreen_) return D3DXERR_CANNOTRESIZEFULLSCREEN;
        if (!ResolveSize(&width, &height)) return D3DXERR_INVALIDPARAMETER;
        if (width == width_ && height == height_) return S_OK;
        IDirectDrawSurface7* back = nullptr;
        IDirectDrawSurface7* zbuf = nullptr;
        HRESULT hr = CreateTarget(width, height, &back, &zbuf);
        if (SUCCEEDED(hr)) hr = d3ddev_->SetRenderTarget(back, 0);
        if (FAILED(hr)) {
            SafeRelease(zbuf);
            SafeRelease(back);
            return hr;
        }
        std::swap(back, back_);
        std::swap(zbuf, zbuf_);
        ReleaseTarget(back, zbuf);
        width_ = width;
        height_ = height;
        return SetFullViewport();
    }

    HRESULT STDMETHODCALLTYPE DrawDebugText(float x, float y, D3DCOLOR color, LPSTR text) override
    {
        if (!text) return D3DXERR_NULLPOINTER;
        if (!std::isfinite(x) || !std::isfinite(y)) return D3DXERR_INVALIDPARAMETER;
        if (!text[0]) return S_OK;
        HDC dc = nullptr;
        if (FAILED(back_->GetDC(&dc)) || !dc) return D3DXERR_FAILEDDRAWTEXT;
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, RGB((color >> 16) & 0xFF, (color >> 8) & 0xFF, color & 0xFF));
        HGDIOBJ oldFont = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
        RECT rc;
        rc.left = static_cast<LONG>(std::lround(x * static_cast<float>(width_)));
        rc.top = static_cast<LONG>(std::lround(y * static_cast<float>(height_)));
        rc.right = static_cast<LONG>(width_);
        rc.bottom = static_cast<LONG>(height_);
        int drawn = DrawTextA(dc, text, -1, &rc, DT_LEFT | DT_TOP | DT_NOCLIP | DT_NOPREFIX | DT_EXPANDTABS);
        if (oldFont) SelectObject(dc, oldFont);
        back_->ReleaseDC(dc);
        return drawn == 0 ? D3DXERR_FAILEDDRAWTEXT : S_OK;
    }

    HWND STDMETHODCALLTYPE GetWindow() override { return hwnd_; }
    DWORD STDMETHODCALLTYPE GetDeviceIndex() override { return index_; }
    BOOL STDMETHODCALLTYPE IsFullscreen() override { return fullscreen_ ? TRUE : FALSE; }

private:
    ~Context()
    {
        SafeRelease(d3ddev_);
        ReleaseTarget(back_, zbuf_);
        if (primary_ && clipper_) primary_->SetClipper(nullptr);
        SafeRelease(clipper_);
        SafeRelease(primary_);
        if (exclusive_) zyk::image::SetNormalLevelAfterFullScreen(dd_, hwnd_, DDSCL_FPUPRESERVE);
        SafeRelease(d3d_);
        SafeRelease(dd_);
        if (fullscreen_) {
            Lock lock;
            if (g_fullscreen == this) g_fullscreen = nullptr;
        }
    }

    // Full screen on a window of another process draws in a device window that DirectDraw
    // makes in this process (image/display.h): the flip chain presents to that window.
    HRESULT SetLevel()
    {
        if (!fullscreen_) return dd_->SetCooperativeLevel(hwnd_, DDSCL_NORMAL | DDSCL_FPUPRESERVE);
        HRESULT hr = zyk::image::SetFullScreenLevel(dd_, hwnd_, DDSCL_FPUPRESERVE);
        if (SUCCEEDED(hr)) exclusive_ = true;
        return hr;
    }

    bool ResolveSize(DWORD* width, DWORD* height)
    {
        DWORD cw = 0, ch = 0;
        if (*width == 0 || *width == D3DX_DEFAULT || *height == 0 || *height == D3DX_DEFAULT) {
            if (!ClientSize(hwnd_, &cw, &ch)) return false;
            if (*width == 0 || *width == D3DX_DEFAULT) *width = cw;
            if (*height == 0 || *height == D3DX_DEFAULT) *height = ch;
        }
        return true;
    }

    HRESULT ChooseDepthFormat()
    {
        DepthFormats found;
        HRESULT hr = d3d_->EnumZBufferFormats(device_.d3dGuid, CollectDepth, &found);
        if (found.failed) return D3DXERR_NOMEMORY;
        if (FAILED(hr)) return hr;
        hasDepth_ = false;
        for (const DDPIXELFORMAT& pf : found.formats) {
            const bool stencil = (pf.dwFlags & DDPF_STENCILBUFFER) && pf.dwStencilBitDepth;
            if (pf.dwZBufferBitDepth == 16 && !stencil) {
                depthFormat_ = pf;
                hasDepth_ = true;
                return S_OK;
            }
        }
        if (!found.formats.empty()) {
            depthFormat_ = found.formats.front();
            hasDepth_ = true;
        }
        return S_OK;
    }

    DWORD MemoryCaps() const { return SoftwareLevel(device_.hwLevel) ? DDSCAPS_SYSTEMMEMORY : 0; }

    // A z-buffer of the chosen format attached to target (none when the device
    // has no depth format).
    HRESULT CreateDepth(DWORD width, DWORD height, IDirectDrawSurface7* target, IDirectDrawSurface7** ppZ)
    {
        *ppZ = nullptr;
        if (!hasDepth_) return S_OK;
        DDSURFACEDESC2 sd = {};
        sd.dwSize = sizeof(sd);
        sd.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT;
        sd.dwWidth = width;
        sd.dwHeight = height;
        sd.ddsCaps.dwCaps = DDSCAPS_ZBUFFER | (fullscreen_ ? 0 : MemoryCaps());
        sd.ddpfPixelFormat = depthFormat_;
        IDirectDrawSurface7* z = nullptr;
        HRESULT hr = dd_->CreateSurface(&sd, &z, nullptr);
        if (FAILED(hr)) return hr;
        hr = target->AddAttachedSurface(z);
        if (FAILED(hr)) {
            z->Release();
            return hr;
        }
        *ppZ = z;
        return S_OK;
    }

    // An off-screen 3D back buffer with its z-buffer.
    HRESULT CreateTarget(DWORD width, DWORD height, IDirectDrawSurface7** ppBack, IDirectDrawSurface7** ppZ)
    {
        *ppBack = *ppZ = nullptr;
        DDSURFACEDESC2 sd = {};
        sd.dwSize = sizeof(sd);
        sd.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
        sd.dwWidth = width;
        sd.dwHeight = height;
        sd.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_3DDEVICE | MemoryCaps();
        IDirectDrawSurface7* back = nullptr;
        HRESULT hr = dd_->CreateSurface(&sd, &back, nullptr);
        if (FAILED(hr)) return hr;
        hr = CreateDepth(width, height, back, ppZ);
        if (FAILED(hr)) {
            back->Release();
            return hr;
        }
        *ppBack = back;
        return S_OK;
    }

    static void ReleaseTarget(IDirectDrawSurface7*& back, IDirectDrawSurface7*& zbuf)
    {
        if (back && zbuf) back->DeleteAttachedSurface(0, zbuf);
        SafeRelease(zbuf);
        SafeRelease(back);
    }

    HRESULT SetFullViewport()
    {
        D3DVIEWPORT7 vp = {0, 0, width_, height_, 0.0f, 1.0f};
        return d3ddev_->SetViewport(&vp);
    }

    void RestoreSurfaces()
    {
        if (primary_ && primary_->IsLost() == DDERR_SURFACELOST) primary_->Restore();
        if (!fullscreen_ && back_ && back_->IsLost() == DDERR_SURFACELOST) back_->Restore();
        if (zbuf_ && zbuf_->IsLost() == DDERR_SURFACELOST) zbuf_->Restore();
    }

    DWORD index_;
    Device device_;
    HWND hwnd_;
    bool fullscreen_;
    bool exclusive_ = false;
    bool hasDepth_ = false;
    DDPIXELFORMAT depthFormat_{};
    DWORD width_ = 0, height_ = 0;
    IDirectDraw7* dd_ = nullptr;
    IDirect3D7* d3d_ = nullptr;
    IDirectDrawSurface7* primary_ = nullptr;
    IDirectDrawClipper* clipper_ = nullptr;
    IDirectDrawSurface7* back_ = nullptr;
    IDirectDrawSurface7* zbuf_ = nullptr;
    IDirect3DDevice7* d3ddev_ = nullptr;
    D3DCOLOR clearColor_ = 0;
    float clearDepth_ = 1.0f;
    DWORD clearStencil_ = 0;
};

} // namespace

HRESULT D3DXCreateContext(DWORD deviceIndex, DWORD flags, HWND hwnd, DWORD width, DWORD height, ID3DXContext** ppCtx)
{
    if (!ppCtx) return D3DXERR_NULLPOINTER;
    *ppCtx = nullptr;
    const bool fullscreen = (flags & D3DX_CONTEXT_FULLSCREEN) != 0;
    Context* ctx = nullptr;
    {
        Lock lock;
        Device* device = nullptr;
        DWORD index = 0;
        HRESULT hr = FindDevice(deviceIndex, &device, &index);
        if (FAILED(hr)) return hr;
        if (!hwnd || !IsWindow(hwnd) || (flags & ~D3DX_CONTEXT_FULLSCREEN)) return D3DXERR_INVALIDPARAMETER;
        if (fullscreen && g_fullscreen) return D3DXERR_FULLSCREENPRIMARYEXISTS;
        try {
            ctx = new Context(index, *device, hwnd, fullscreen);
        } catch (const std::bad_alloc&) {
            return D3DXERR_NOMEMORY;
        }
        if (fullscreen) g_fullscreen = ctx; // reserved while it is made
    }
    HRESULT hr = ctx->Init(width, height);
    if (FAILED(hr)) {
        ctx->Release();
        return hr;
    }
    *ppCtx = ctx;
    return S_OK;
}

// Window capture, .bmp writing, the game window, failure messages and the screenshot handshake of the samples.
#include "screen.h"
#include <ddraw.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace sample {

bool CaptureClient(HWND window, int width, int height, std::vector<DWORD>& pixels)
{
    POINT origin{0, 0};
    ClientToScreen(window, &origin);
    return CaptureScreen(origin, width, height, pixels);
}

bool CaptureScreen(POINT origin, int width, int height, std::vector<DWORD>& pixels)
{
    IDirectDraw7* dd = nullptr;
    if (FAILED(DirectDrawCreateEx(nullptr, reinterpret_cast<void**>(&dd), IID_IDirectDraw7, nullptr))) return false;
    bool ok = false;
    DDSURFACEDESC2 desc{};
    desc.dwSize = sizeof desc;
    desc.dwFlags = DDSD_CAPS;
    desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
    IDirectDrawSurface7* primary = nullptr;
    if (SUCCEEDED(dd->SetCooperativeLevel(nullptr, DDSCL_NORMAL)) &&
        SUCCEEDED(dd->CreateSurface(&desc, &primary, nullptr))) {
        DDSURFACEDESC2 lock{};
        lock.dwSize = sizeof lock;
        if (SUCCEEDED(primary->Lock(nullptr, &lock, DDLOCK_WAIT | DDLOCK_READONLY, nullptr)) &&
            lock.ddpfPixelFormat.dwRGBBitCount == 32) {
            pixels.assign(static_cast<size_t>(width) * height, 0);
            for (int y = 0; y < height; ++y) {
                int sy = origin.y + y;
                if (sy < 0 || sy >= static_cast<int>(lock.dwHeight)) continue;
                const DWORD* row =
                    reinterpret_cast<const DWORD*>(static_cast<const BYTE*>(lock.lpSurface) + sy * lock.lPitch);
                for (int x = 0; x < width; ++x) {
                    int sx = origin.x + x;
                    if (sx >= 0 && sx < static_cast<int>(lock.dwWidth))
                        pixels[static_cast<size_t>(y) * width + x] = row[sx] & 0xFFFFFF;
                }
            }
            ok = true;
        }
        if (lock.lpSurface) primary->Unlock(nullptr);
    }
    if (primary) primary->Release();
    dd->Release();
    return ok;
}

bool WriteBmp(const char* path, int width, int height, const std::vector<DWORD>& pixels)
{
    FILE* f = fopen(path, "wb");
    if (!f) return false;
    const int stride = (width * 3 + 3) & ~3;
    BITMAPFILEHEADER fh{};
    BITMAPINFOHEADER ih{};
    fh.bfType = 0x4D42;
    fh.bfOffBits = sizeof fh + sizeof ih;
    fh.bfSize = fh.bfOffBits + stride * height;
    ih.biSize = sizeof ih;
    ih.biWidth = width;
    ih.biHeight = height;
    ih.biPlanes = 1;
    ih.biBitCount = 24;
    ih.biSizeImage = stride * height;
    fwrite(&fh, sizeof fh, 1, f);
    fwrite(&ih, sizeof ih, 1, f);
    std::vector<BYTE> row(stride, 0);
    for (int y = height - 1; y >= 0; --y) {
        for (int x = 0; x < width; ++x) {
            DWORD p = pixels[static_cast<size_t>(y) * width + x];
            row[x * 3 + 0] = static_cast<BYTE>(p);
            row[x * 3 + 1] = static_cast<BYTE>(p >> 8);
            row[x * 3 + 2] = static_cast<BYTE>(p >> 16);
        }
        fwrite(row.data(), 1, row.size(), f);
    }
    return fclose(f) == 0;
}

HWND CreateGameWindow(const char* title, int width, int height)
{
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "ZykSampleWindow";
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    RegisterClassA(&wc);
    RECT r{0, 0, width, height};
    AdjustWindowRect(&r, WS_OVERLAPPEDWINDOW, FALSE);
    HWND w = CreateWindowExA(0, wc.lpszClassName, title, WS_OVERLAPPEDWINDOW, 20, 20, r.right - r.left,
                             r.bottom - r.top, nullptr, nullptr, wc.hInstance, nullptr);
    ShowWindow(w, SW_SHOW);
    UpdateWindow(w);
    PumpMessages();
    return w;
}

void Fail(const char* what, HRESULT hr)
{
    std::string text;
    IErrorInfo* info = nullptr;
    if (GetErrorInfo(0, &info) == S_OK && info) {
        BSTR d = nullptr;
        info->GetDescription(&d);
        if (d) {
            char buf[512] = {};
            WideCharToMultiByte(CP_ACP, 0, d, -1, buf, sizeof buf - 1, nullptr, nullptr);
            text = buf;
        }
        SysFreeString(d);
        info->Release();
    }
    fprintf(stderr, "%s failed (0x%08lX) %s\n", what, static_cast<unsigned long>(hr), text.c_str());
    exit(1);
}

BSTR AnsiBstr(const char* text)
{
    const int n = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    if (n <= 0) return SysAllocString(L"");
    BSTR b = SysAllocStringLen(nullptr, static_cast<UINT>(n - 1));
    if (b) MultiByteToWideChar(CP_ACP, 0, text, -1, b, n);
    return b;
}

std::string OfferScreenshot(const RECT* area)
{
    char signal[MAX_PATH] = {};
    DWORD n = GetEnvironmentVariableA("ZYK_SCREENSHOT_SIGNAL", signal, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return {};
    // Written whole, then renamed over the signal file, so the script never reads half of it.
    std::string next = std::string(signal) + ".shown";
    FILE* f = fopen(next.c_str(), "wb");
    if (!f) return {};
    if (area)
        fprintf(f, "shown %ld %ld %ld %ld\n", area->left, area->top, area->right - area->left,
                area->bottom - area->top);
    else
        fputs("shown\n", f);
    fclose(f);
    if (!MoveFileExA(next.c_str(), signal, MOVEFILE_REPLACE_EXISTING)) return {};
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < 120000) {
        PumpMessages();
        char text[MAX_PATH + 16] = {};
        if (FILE* r = fopen(signal, "rb")) {
            size_t got = fread(text, 1, sizeof text - 1, r);
            fclose(r);
            text[got] = 0;
            if (strncmp(text, "taken ", 6) == 0) {
                std::string path(text + 6);
                while (!path.empty() && (path.back() == '\n' || path.back() == '\r')) path.pop_back();
                return path;
            }
        }
        Sleep(20);
    }
    return {};
}

void PumpMessages()
{
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&m);
        DispatchMessageA(&m);
    }
}

} // namespace sample

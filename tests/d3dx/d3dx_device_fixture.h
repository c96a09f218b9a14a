// A windowed context for tests that draw: a window without a background brush, the
// device, reading the back buffer by Lock, and image files written by the tests.
#pragma once

#include <gtest/gtest.h>

#include <d3dx.h>

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace d3dxtest {

using Bytes = std::vector<uint8_t>;

inline void Put16(Bytes& b, uint32_t v)
{
    b.push_back(uint8_t(v));
    b.push_back(uint8_t(v >> 8));
}
inline void Put32(Bytes& b, uint32_t v)
{
    Put16(b, v);
    Put16(b, v >> 16);
}

// A bitmap file of 24 bits a pixel (paint gives 0xRRGGBB), or of 8 with the palette
// given (paint gives the index).
inline Bytes Bmp(int w, int h, const std::function<uint32_t(int, int)>& paint,
                 const std::vector<uint32_t>& palette = {})
{
    const int bits = palette.empty() ? 24 : 8;
    const int stride = (w * bits / 8 + 3) & ~3;
    const uint32_t offBits = 54 + 4 * uint32_t(palette.size());
    Bytes b = {'B', 'M'};
    Put32(b, offBits + stride * h);
    Put32(b, 0);
    Put32(b, offBits);
    Put32(b, 40);
    Put32(b, w);
    Put32(b, h);
    Put16(b, 1);
    Put16(b, bits);
    for (int i = 0; i < 4; ++i) Put32(b, 0);
    Put32(b, uint32_t(palette.size()));
    Put32(b, 0);
    for (uint32_t c : palette) Put32(b, c);
    for (int y = h - 1; y >= 0; --y) {
        const size_t start = b.size();
        for (int x = 0; x < w; ++x) {
            const uint32_t c = paint(x, y);
            if (bits == 8) {
                b.push_back(uint8_t(c));
            } else {
                b.push_back(uint8_t(c));
                b.push_back(uint8_t(c >> 8));
                b.push_back(uint8_t(c >> 16));
            }
        }
        b.resize(start + stride, 0);
    }
    return b;
}

// An uncompressed Targa file, top row first; paint gives 0xAARRGGBB (alpha written
// only at 32 bits).
inline Bytes Tga(int w, int h, int depth, const std::function<uint32_t(int, int)>& paint)
{
    Bytes b = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    Put16(b, w);
    Put16(b, h);
    b.push_back(uint8_t(depth));
    b.push_back(0x20);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const uint32_t c = paint(x, y);
            b.push_back(uint8_t(c));
            b.push_back(uint8_t(c >> 8));
            b.push_back(uint8_t(c >> 16));
            if (depth == 32) b.push_back(uint8_t(c >> 24));
        }
    return b;
}

// A file of that name in the test program's own temporary folder; returns its path.
inline std::string WriteTestFile(const std::string& name, const Bytes& bytes)
{
    static std::string dir;
    if (dir.empty()) {
        char tmp[MAX_PATH];
        GetTempPathA(MAX_PATH, tmp);
        dir = std::string(tmp) + "zyk_d3dx_" + std::to_string(GetCurrentProcessId()) + "\\";
        CreateDirectoryA(dir.c_str(), nullptr);
    }
    const std::string path = dir + name;
    FILE* f = fopen(path.c_str(), "wb");
    if (f) {
        if (!bytes.empty()) fwrite(bytes.data(), 1, bytes.size(), f);
        fclose(f);
    }
    return path;
}

struct Rgba {
    int r, g, b, a;
};

// A channel of a pixel value scaled to 0..255 by its mask (absent for no mask).
inline int Channel(DWORD v, DWORD mask, int absent)
{
    if (!mask) return absent;
    int low = 0;
    while (!(mask >> low & 1)) ++low;
    return int(((v & mask) >> low) * 255 / (mask >> low));
}

// The pixel at (x, y) of a 16- or 32-bit RGB surface, read by Lock; -1s when it
// cannot be read.
inline Rgba PixelAt(IDirectDrawSurface7* s, int x, int y)
{
    DDSURFACEDESC2 d = {};
    d.dwSize = sizeof d;
    Rgba out = {-1, -1, -1, -1};
    if (FAILED(s->Lock(nullptr, &d, DDLOCK_WAIT | DDLOCK_READONLY, nullptr))) return out;
    if (x >= 0 && y >= 0 && DWORD(x) < d.dwWidth && DWORD(y) < d.dwHeight) {
        const DDPIXELFORMAT& pf = d.ddpfPixelFormat;
        const BYTE* row = static_cast<const BYTE*>(d.lpSurface) + y * d.lPitch;
        const DWORD v =
            pf.dwRGBBitCount == 32 ? reinterpret_cast<const DWORD*>(row)[x] : reinterpret_cast<const WORD*>(row)[x];
        const DWORD alpha = (pf.dwFlags & DDPF_ALPHAPIXELS) ? pf.dwRGBAlphaBitMask : 0;
        out = {Channel(v, pf.dwRBitMask, 0), Channel(v, pf.dwGBitMask, 0), Channel(v, pf.dwBBitMask, 0),
               Channel(v, alpha, 255)};
    }
    s->Unlock(nullptr);
    return out;
}

inline ::testing::AssertionResult Near(const Rgba& p, uint32_t rgb, int tolerance = 8)
{
    const int r = rgb >> 16 & 0xFF, g = rgb >> 8 & 0xFF, b = rgb & 0xFF;
    if (std::abs(p.r - r) <= tolerance && std::abs(p.g - g) <= tolerance && std::abs(p.b - b) <= tolerance)
        return ::testing::AssertionSuccess();
    char text[96];
    snprintf(text, sizeof text, "pixel (%d, %d, %d) is not near %06X", p.r, p.g, p.b, static_cast<unsigned>(rgb));
    return ::testing::AssertionFailure() << text;
}

// One windowed context of device 0 for the whole suite.
class DeviceTest : public ::testing::Test {
protected:
    static constexpr int kW = 200, kH = 150;
    static HWND window_;
    static ID3DXContext* context_;
    IDirect3DDevice7* device = nullptr;
    IDirectDrawSurface7* back = nullptr;

    static void SetUpTestSuite()
    {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "ZykD3DXDrawTests";
        RegisterClassA(&wc);
        RECT rc = {0, 0, kW, kH};
        AdjustWindowRect(&rc, WS_OVERLAPPEDWINDOW, FALSE);
        window_ = CreateWindowExA(0, wc.lpszClassName, "d3dx", WS_OVERLAPPEDWINDOW, 60, 60, rc.right - rc.left,
                                  rc.bottom - rc.top, nullptr, nullptr, wc.hInstance, nullptr);
        ShowWindow(window_, SW_SHOWNORMAL);
        ASSERT_EQ(D3DXInitialize(), S_OK);
        ASSERT_EQ(D3DXCreateContext(D3DX_DEFAULT, 0, window_, kW, kH, &context_), S_OK);
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    }
    static void TearDownTestSuite()
    {
        if (context_) context_->Release();
        context_ = nullptr;
        DestroyWindow(window_);
        D3DXUninitialize();
    }
    void SetUp() override
    {
        ASSERT_NE(context_, nullptr);
        device = context_->GetD3DDevice();
        back = context_->GetBackBuffer(0);
    }
    void TearDown() override
    {
        if (device) device->Release();
        if (back) back->Release();
    }
    void Clear(D3DCOLOR colour)
    {
        ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, colour, 1.0f, 0), S_OK);
    }
    Rgba Pixel(int x, int y) { return PixelAt(back, x, y); }
};

inline HWND DeviceTest::window_ = nullptr;
inline ID3DXContext* DeviceTest::context_ = nullptr;

} // namespace d3dxtest

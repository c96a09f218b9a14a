// The platform's control container for tests: atl.dll's "AtlAxWin" window class, which
// creates the control named by its window title, and AtlAxGetControl; a control hosted by
// it; and a canvas that a control draws into.
#pragma once
#include <windows.h>
#include <unknwn.h>
#include "testkit.h"

namespace testkit {

struct AtlHost {
    AtlHost()
    {
        module = LoadLibraryA("atl.dll");
        if (!module) return;
        auto init = reinterpret_cast<BOOL(WINAPI*)()>(reinterpret_cast<void*>(GetProcAddress(module, "AtlAxWinInit")));
        getControl = reinterpret_cast<HRESULT(WINAPI*)(HWND, IUnknown**)>(
            reinterpret_cast<void*>(GetProcAddress(module, "AtlAxGetControl")));
        // The window class is registered once in a process: a second AtlAxWinInit fails.
        static const bool initialised = init && init();
        ready = initialised && getControl;
    }
    HMODULE module = nullptr;
    HRESULT(WINAPI* getControl)(HWND, IUnknown**) = nullptr;
    bool ready = false;
};

// A control by ProgID in an AtlAxWin window of width x height inside parent: the host
// window, the control as the container holds it, and the control's own window in the host.
// Closing destroys the host window, and the container lets the control go.
struct HostedControl {
    HostedControl(const AtlHost& atl, HWND parent, const wchar_t* progId, int width, int height)
    {
        host = CreateWindowExW(0, L"AtlAxWin", progId, WS_CHILD | WS_VISIBLE, 10, 10, width, height, parent, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
        PumpMessages();
        if (!host) return;
        EXPECT_EQ(atl.getControl(host, control.Out()), S_OK);
        window = GetWindow(host, GW_CHILD);
    }
    ~HostedControl() { Close(); }
    HostedControl(const HostedControl&) = delete;
    HostedControl& operator=(const HostedControl&) = delete;

    void Close()
    {
        if (host) DestroyWindow(host);
        host = nullptr;
        PumpMessages();
    }

    HWND host = nullptr, window = nullptr;
    zyk::com::Ptr<IUnknown> control;
};

// A top-down 32-bit DIB section selected into a memory DC and filled with one colour, for a
// control to draw into (IViewObject::Draw); At reads a pixel back.
class Canvas {
public:
    Canvas(int width, int height, DWORD fill) : width_(width)
    {
        BITMAPINFO bi{};
        bi.bmiHeader.biSize = sizeof bi.bmiHeader;
        bi.bmiHeader.biWidth = width;
        bi.bmiHeader.biHeight = -height;
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        void* bits = nullptr;
        dib_ = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
        pixels_ = static_cast<DWORD*>(bits);
        if (pixels_)
            for (int i = 0; i < width * height; ++i) pixels_[i] = fill;
        dc_ = CreateCompatibleDC(nullptr);
        old_ = SelectObject(dc_, dib_);
    }
    ~Canvas()
    {
        SelectObject(dc_, old_);
        DeleteDC(dc_);
        DeleteObject(dib_);
    }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    bool Ready() const { return pixels_ != nullptr; }
    HDC Dc() const { return dc_; }
    DWORD At(int x, int y) const
    {
        GdiFlush();
        return pixels_[y * width_ + x];
    }

private:
    int width_;
    HBITMAP dib_ = nullptr;
    DWORD* pixels_ = nullptr;
    HDC dc_ = nullptr;
    HGDIOBJ old_ = nullptr;
};

} // namespace testkit

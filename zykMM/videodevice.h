// CVideoDevice: the video control.
#pragma once
#include "zykMM.h"
#include "com/control.h"
#include "com/create.h"
#include "com/ptr.h"
#define NO_DSHOW_STRSAFE
#include <dshow.h>

// The video control: a DirectShow filter graph made through COM that plays a video file
// into a window of the host (the video window becomes the host window's child); the
// control's own window only shows a placeholder. The graph's events are posted to the
// host window as WM_USER + 13.
class CVideoDevice : public zyk::com::Control<IDevice, &IID_IDevice, &CLSID_Device, &DIID__IDeviceEvents> {
public:
    CVideoDevice();
    ~CVideoDevice() override;

    HRESULT STDMETHODCALLTYPE Load(BSTR filename) override;
    HRESULT STDMETHODCALLTYPE Play() override;
    HRESULT STDMETHODCALLTYPE Stop() override;
    HRESULT STDMETHODCALLTYPE Pause() override;
    HRESULT STDMETHODCALLTYPE get_Width(long* out) override;
    HRESULT STDMETHODCALLTYPE put_Width(long width) override;
    HRESULT STDMETHODCALLTYPE get_Height(long* out) override;
    HRESULT STDMETHODCALLTYPE put_Height(long height) override;
    HRESULT STDMETHODCALLTYPE get_Window(long* out) override;
    HRESULT STDMETHODCALLTYPE put_Window(long window) override;

    static constexpr UINT kGraphEvent = WM_USER + 13;

protected:
    HRESULT OnDraw(HDC dc, const RECT& bounds) override;

private:
    // The media control or the video window, or a failure naming what the graph lacks.
    IMediaControl* Control();
    IVideoWindow* Video();
    // get_Width or get_Height of the video window: out is 0 where the window tells nothing.
    HRESULT VideoSize(HRESULT (STDMETHODCALLTYPE IVideoWindow::*get)(long*), long* out);

    zyk::com::Apartment apartment_;
    HWND window_ = nullptr;
    zyk::com::Ptr<IGraphBuilder> graph_;
    zyk::com::Ptr<IMediaControl> control_;
    zyk::com::Ptr<IMediaEventEx> events_;
    zyk::com::Ptr<IVideoWindow> video_;
};

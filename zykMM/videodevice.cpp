// CVideoDevice: Load of a video file into a filter graph, Play, Stop, Pause, and the video window's size.
#include "videodevice.h"
#include "com/failure.h"

using zyk::com::Ptr;

namespace {

// A DirectShow step that failed: its code with the text.
void Check(HRESULT hr, const char* text)
{
    if (FAILED(hr)) throw failure(hr, text);
}

} // namespace

CVideoDevice::CVideoDevice()
{
    // Each interface is asked for only when the one before it was there; the control is
    // made whatever the graph gives.
    if (SUCCEEDED(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                                   reinterpret_cast<void**>(graph_.Out()))) &&
        SUCCEEDED(graph_->QueryInterface(IID_IMediaControl, reinterpret_cast<void**>(control_.Out()))) &&
        SUCCEEDED(graph_->QueryInterface(IID_IMediaEventEx, reinterpret_cast<void**>(events_.Out()))))
        graph_->QueryInterface(IID_IVideoWindow, reinterpret_cast<void**>(video_.Out()));
}

CVideoDevice::~CVideoDevice()
{
    // The video window must not stay the child of a host window once the graph is gone.
    if (video_ && window_) {
        video_->put_Visible(OAFALSE);
        video_->put_Owner(0);
    }
    if (control_) control_->Stop();
    control_.Reset();
    events_.Reset();
    video_.Reset();
    graph_.Reset();
    window_ = nullptr;
}

IMediaControl* CVideoDevice::Control()
{
    if (!control_) throw failure(E_POINTER, "Media Control Not Initialised.");
    return control_.Get();
}

IVideoWindow* CVideoDevice::Video()
{
    if (!video_) throw failure(E_POINTER, "Video Window Not Initialised.");
    return video_.Get();
}

HRESULT CVideoDevice::Load(BSTR filename)
{
    return Member([&] {
        if (!window_) window_ = GetActiveWindow();
        if (!graph_) throw failure(E_POINTER, "Filter Graph Not Initialised.");
        if (!events_) throw failure(E_POINTER, "Media Events Not Initialised.");
        IVideoWindow* video = Video();
        Check(graph_->RenderFile(filename ? filename : L"", nullptr), "Load Video Failed.");
        Check(video->put_Owner(reinterpret_cast<OAHWND>(window_)), "Setting Owner Failed.");
        Check(video->put_WindowStyle(WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN), "Setting Window Style Failed.");
        Check(events_->SetNotifyWindow(reinterpret_cast<OAHWND>(window_), kGraphEvent, 0),
              "SetNotifyWindow Function Failed.");
        RECT client{};
        if (!GetClientRect(window_, &client)) throw failure(E_FAIL, "Get Client Rect Failed.");
        Check(video->SetWindowPosition(client.left, client.top, client.right, client.bottom),
              "Set Window Position Failed.");
    });
}

HRESULT CVideoDevice::Play()
{
    return Member([&] { Control()->Run(); });
}

HRESULT CVideoDevice::Stop()
{
    return Member([&] { Control()->Stop(); });
}

HRESULT CVideoDevice::Pause()
{
    return Member([&] { Control()->Pause(); });
}

HRESULT CVideoDevice::VideoSize(HRESULT (STDMETHODCALLTYPE IVideoWindow::*get)(long*), long* out)
{
    return Member([&] {
        if (!out) throw failure(E_POINTER, "Null Pointer.");
        *out = 0;
        (Video()->*get)(out);
    });
}

HRESULT CVideoDevice::get_Width(long* out) { return VideoSize(&IVideoWindow::get_Width, out); }

HRESULT CVideoDevice::put_Width(long width)
{
    return Member([&] { Video()->put_Width(width); });
}

HRESULT CVideoDevice::get_Height(long* out) { return VideoSize(&IVideoWindow::get_Height, out); }

HRESULT CVideoDevice::put_Height(long height)
{
    return Member([&] { Video()->put_Height(height); });
}

HRESULT CVideoDevice::get_Window(long* out) { return Get(zyk::com::ToHandle(window_), out); }

HRESULT CVideoDevice::put_Window(long window)
{
    return Member([&] { window_ = zyk::com::FromHandle<HWND__>(window); });
}

HRESULT CVideoDevice::OnDraw(HDC dc, const RECT& bounds)
{
    // The placeholder: a rectangle over the bounds with the control's name in its centre.
    Rectangle(dc, bounds.left, bounds.top, bounds.right, bounds.bottom);
    SetTextAlign(dc, TA_CENTER | TA_BASELINE);
    static const char kText[] = "ATL 3.0 : Device";
    TextOutA(dc, (bounds.left + bounds.right) / 2, (bounds.top + bounds.bottom) / 2, kText, sizeof kText - 1);
    return S_OK;
}

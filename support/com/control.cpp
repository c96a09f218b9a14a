// ControlBase: the ActiveX control's embedding, in-place activation, drawing, window and persistence.
#include "control.h"
#include "ptr.h"
#include <cstddef>
#include <cwchar>

namespace zyk::com {

namespace {

const wchar_t kWindowClass[] = L"ZykControl";
const DWORD kStreamVersion = 0x00010000;
const DWORD kMaxStreamProperties = 256, kMaxNameLength = 256;

// HIMETRIC units (0.01 mm) from screen pixels and back.
long PixelsToHimetric(long pixels, int perInch) { return MulDiv(pixels, 2540, perInch); }

int ScreenPixelsPerInch(int index)
{
    HDC screen = GetDC(nullptr);
    int n = screen ? GetDeviceCaps(screen, index) : 96;
    if (screen) ReleaseDC(nullptr, screen);
    return n > 0 ? n : 96;
}

// The class of every control window of the module: no class background brush (the
// control paints its background in WM_ERASEBKGND with the container's colour). The platform
// keeps a DLL's window classes after the DLL is unloaded, with the procedure of the old
// image: the class is unregistered when the module unloads, and one left behind by an
// earlier load of the module is replaced.
class ControlClass {
public:
    ~ControlClass()
    {
        if (instance_) UnregisterClassW(kWindowClass, instance_);
    }

    bool Register(WNDPROC proc)
    {
        if (instance_) return true;
        const HINSTANCE instance = ThisModule().Instance();
        WNDCLASSW wc{};
        if (GetClassInfoW(instance, kWindowClass, &wc)) UnregisterClassW(kWindowClass, instance);
        wc = WNDCLASSW{};
        wc.style = CS_DBLCLKS;
        wc.lpfnWndProc = proc;
        wc.hInstance = instance;
        wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
        wc.lpszClassName = kWindowClass;
        if (!RegisterClassW(&wc)) return false;
        instance_ = instance;
        return true;
    }

private:
    HINSTANCE instance_ = nullptr; // set while the class is registered
};

ControlClass g_controlClass;

// The child window that sent a notification to its parent, or nullptr.
HWND NotifyingChild(UINT msg, WPARAM wparam, LPARAM lparam, HWND parent)
{
    switch (msg) {
    case WM_COMMAND:
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC: return reinterpret_cast<HWND>(lparam);
    case WM_NOTIFY: return lparam ? reinterpret_cast<NMHDR*>(lparam)->hwndFrom : nullptr;
    case WM_DRAWITEM: return wparam && lparam ? reinterpret_cast<DRAWITEMSTRUCT*>(lparam)->hwndItem : nullptr;
    case WM_MEASUREITEM:
    case WM_COMPAREITEM:
    case WM_DELETEITEM: return wparam ? GetDlgItem(parent, static_cast<int>(wparam)) : nullptr;
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM: return reinterpret_cast<HWND>(lparam);
    case WM_PARENTNOTIFY:
        if (LOWORD(wparam) == WM_CREATE || LOWORD(wparam) == WM_DESTROY) return reinterpret_cast<HWND>(lparam);
        return nullptr;
    default: return nullptr;
    }
}

bool IsReflectable(UINT msg)
{
    switch (msg) {
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_PARENTNOTIFY:
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
    case WM_COMPAREITEM:
    case WM_DELETEITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC: return true;
    default: return false;
    }
}

HRESULT ReadExact(IStream* s, void* buffer, ULONG size)
{
    ULONG got = 0;
    HRESULT hr = s->Read(buffer, size, &got);
    if (FAILED(hr)) return hr;
    return got == size ? S_OK : STG_E_READFAULT;
}

HRESULT WriteExact(IStream* s, const void* buffer, ULONG size)
{
    ULONG put = 0;
    HRESULT hr = s->Write(buffer, size, &put);
    if (FAILED(hr)) return hr;
    return put == size ? S_OK : STG_E_WRITEFAULT;
}

} // namespace

ControlBase::ControlBase(const CLSID& clsid, ConnectionPoint& events)
    : clsid_(clsid), events_(events), backColour_(GetSysColor(COLOR_WINDOW))
{
    // 32 x 32 pixels until the container says otherwise.
    extent_.cx = PixelsToHimetric(32, ScreenPixelsPerInch(LOGPIXELSX));
    extent_.cy = PixelsToHimetric(32, ScreenPixelsPerInch(LOGPIXELSY));
}

ControlBase::~ControlBase()
{
    DestroyControlWindow();
    if (inPlaceSite_) inPlaceSite_->Release();
    if (site_) site_->Release();
    if (viewSink_) viewSink_->Release();
    if (adviseHolder_) adviseHolder_->Release();
}

HRESULT ControlBase::QueryControl(REFIID iid, void** out)
{
    *out = nullptr;
    if (iid == IID_IOleObject)
        *out = static_cast<IOleObject*>(this);
    else if (iid == IID_IOleInPlaceObject || iid == IID_IOleWindow)
        *out = static_cast<IOleInPlaceObject*>(this);
    else if (iid == IID_IOleInPlaceActiveObject)
        *out = static_cast<IOleInPlaceActiveObject*>(this);
    else if (iid == IID_IViewObject || iid == IID_IViewObject2)
        *out = static_cast<IViewObject2*>(this);
    else if (iid == IID_IOleControl)
        *out = static_cast<IOleControl*>(this);
    else if (iid == IID_IPersistStreamInit || iid == IID_IPersist)
        *out = static_cast<IPersistStreamInit*>(this);
    else if (iid == IID_IPersistStorage)
        *out = static_cast<IPersistStorage*>(this);
    else if (iid == IID_IPersistPropertyBag)
        *out = static_cast<IPersistPropertyBag*>(this);
    else if (iid == IID_IQuickActivate)
        *out = static_cast<IQuickActivate*>(this);
    else
        return E_NOINTERFACE;
    return S_OK;
}

// ---- IOleObject ----

HRESULT ControlBase::SetClientSite(IOleClientSite* site)
{
    // The container may keep no reference of its own on the site: the control keeps one.
    if (site) site->AddRef();
    if (site_) site_->Release();
    site_ = site;
    backFromContainer_ = false;
    if (site_) ReadAmbients();
    return S_OK;
}

HRESULT ControlBase::GetClientSite(IOleClientSite** out)
{
    if (!out) return E_POINTER;
    *out = site_;
    if (site_) site_->AddRef();
    return S_OK;
}

HRESULT ControlBase::Close(DWORD saveOption)
{
    InPlaceDeactivate();
    if (dirty_ && site_ && (saveOption == OLECLOSE_SAVEIFDIRTY || saveOption == OLECLOSE_PROMPTSAVE)) {
        site_->SaveObject();
        if (adviseHolder_) adviseHolder_->SendOnSave();
    }
    if (adviseHolder_) adviseHolder_->SendOnClose();
    // A closed control goes back to the loaded state and lets its site go, which breaks
    // the cycle of the container holding the control and the control holding the site.
    if (site_) {
        IOleClientSite* site = site_;
        site_ = nullptr;
        site->Release();
    }
    return S_OK;
}

HRESULT ControlBase::GetMoniker(DWORD assign, DWORD which, IMoniker** out)
{
    if (!out) return E_POINTER;
    *out = nullptr;
    if (!site_) return E_UNEXPECTED;
    return site_->GetMoniker(assign, which, out);
}

HRESULT ControlBase::DoVerb(LONG verb, LPMSG, IOleClientSite* active, LONG, HWND, LPCRECT)
{
    if (active && !site_) SetClientSite(active);
    switch (verb) {
    case OLEIVERB_PRIMARY:
    case OLEIVERB_SHOW:
    case OLEIVERB_UIACTIVATE:
    case OLEIVERB_INPLACEACTIVATE: return InPlaceActivate(verb);
    case OLEIVERB_HIDE:
        UIDeactivate();
        if (window_) ShowWindow(window_, SW_HIDE);
        return S_OK;
    case OLEIVERB_DISCARDUNDOSTATE: return S_OK;
    case OLEIVERB_OPEN:
    case OLEIVERB_PROPERTIES: return E_NOTIMPL;
    default: return verb > 0 ? OLEOBJ_S_INVALIDVERB : E_NOTIMPL;
    }
}

HRESULT ControlBase::EnumVerbs(IEnumOLEVERB** out)
{
    if (!out) return E_POINTER;
    return OleRegEnumVerbs(clsid_, out);
}

HRESULT ControlBase::GetUserClassID(CLSID* out)
{
    if (!out) return E_POINTER;
    *out = clsid_;
    return S_OK;
}

HRESULT ControlBase::GetUserType(DWORD form, LPOLESTR* out)
{
    if (!out) return E_POINTER;
    return OleRegGetUserType(clsid_, form, out);
}

HRESULT ControlBase::SetExtent(DWORD aspect, SIZEL* size)
{
    if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
    if (!size) return E_POINTER;
    if (size->cx < 0 || size->cy < 0) return E_INVALIDARG;
    if (size->cx != extent_.cx || size->cy != extent_.cy) {
        extent_ = *size;
        dirty_ = true;
        FireViewChange();
    }
    return S_OK;
}

HRESULT ControlBase::GetExtent(DWORD aspect, SIZEL* size)
{
    if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
    if (!size) return E_POINTER;
    *size = extent_;
    return S_OK;
}

HRESULT ControlBase::Advise(IAdviseSink* sink, DWORD* cookie)
{
    if (!cookie) return E_POINTER;
    *cookie = 0;
    if (!adviseHolder_) {
        HRESULT hr = CreateOleAdviseHolder(&adviseHolder_);
        if (FAILED(hr)) return hr;
    }
    return adviseHolder_->Advise(sink, cookie);
}

HRESULT ControlBase::Unadvise(DWORD cookie)
{
    return adviseHolder_ ? adviseHolder_->Unadvise(cookie) : OLE_E_NOCONNECTION;
}

HRESULT ControlBase::EnumAdvise(IEnumSTATDATA** out)
{
    if (!out) return E_POINTER;
    *out = nullptr;
    return adviseHolder_ ? adviseHolder_->EnumAdvise(out) : E_FAIL;
}

HRESULT ControlBase::GetMiscStatus(DWORD aspect, DWORD* status)
{
    if (!status) return E_POINTER;
    return OleRegGetMiscStatus(clsid_, aspect, status);
}

// ---- in-place activation, always windowed ----

HRESULT ControlBase::InPlaceActivate(LONG verb)
{
    if (!site_) return E_UNEXPECTED;
    if (!inPlaceSite_) {
        HRESULT hr = site_->QueryInterface(IID_IOleInPlaceSite, reinterpret_cast<void**>(&inPlaceSite_));
        if (FAILED(hr) || !inPlaceSite_) {
            inPlaceSite_ = nullptr;
            return E_FAIL;
        }
    }
    if (!inPlaceActive_) {
        HRESULT hr = inPlaceSite_->CanInPlaceActivate();
        if (hr != S_OK) return FAILED(hr) ? hr : E_FAIL;
        inPlaceActive_ = true;
        inPlaceSite_->OnInPlaceActivate();
    }

    HWND parent = nullptr;
    if (FAILED(inPlaceSite_->GetWindow(&parent)) || !parent) return E_FAIL;
    Ptr<IOleInPlaceFrame> frame;
    Ptr<IOleInPlaceUIWindow> document;
    RECT position{}, clip{};
    OLEINPLACEFRAMEINFO frameInfo{};
    frameInfo.cb = sizeof frameInfo;
    if (FAILED(inPlaceSite_->GetWindowContext(frame.Out(), document.Out(), &position, &clip, &frameInfo))) {
        SetRectEmpty(&position);
        clip = position;
    }

    if (!window_) {
        if (!g_controlClass.Register(&ControlBase::WindowProc)) return HRESULT_FROM_WIN32(GetLastError());
        window_ = CreateWindowExW(0, kWindowClass, L"", WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, position.left,
                                  position.top, position.right - position.left, position.bottom - position.top, parent,
                                  nullptr, ThisModule().Instance(), this);
        if (!window_) return HRESULT_FROM_WIN32(GetLastError());
    }
    SetObjectRects(&position, &clip);
    ShowWindow(window_, SW_SHOWNA);

    if ((verb == OLEIVERB_PRIMARY || verb == OLEIVERB_UIACTIVATE) && !uiActive_) {
        uiActive_ = true;
        inPlaceSite_->OnUIActivate();
        if (frame) {
            frame->SetActiveObject(static_cast<IOleInPlaceActiveObject*>(this), nullptr);
            frame->SetBorderSpace(nullptr);
        }
        if (document) {
            document->SetActiveObject(static_cast<IOleInPlaceActiveObject*>(this), nullptr);
            document->SetBorderSpace(nullptr);
        }
        SetFocus(window_);
    }
    if (site_) site_->ShowObject();
    return S_OK;
}

HRESULT ControlBase::GetWindow(HWND* out)
{
    if (!out) return E_POINTER;
    *out = window_;
    return window_ ? S_OK : E_FAIL;
}

HRESULT ControlBase::InPlaceDeactivate()
{
    if (!inPlaceActive_) return S_OK;
    UIDeactivate();
    inPlaceActive_ = false;
    DestroyControlWindow();
    if (inPlaceSite_) {
        IOleInPlaceSite* site = inPlaceSite_;
        inPlaceSite_ = nullptr;
        site->OnInPlaceDeactivate();
        site->Release();
    }
    return S_OK;
}

HRESULT ControlBase::UIDeactivate()
{
    if (!uiActive_) return S_OK;
    uiActive_ = false;
    if (inPlaceSite_) {
        Ptr<IOleInPlaceFrame> frame;
        Ptr<IOleInPlaceUIWindow> document;
        RECT position{}, clip{};
        OLEINPLACEFRAMEINFO frameInfo{};
        frameInfo.cb = sizeof frameInfo;
        if (SUCCEEDED(inPlaceSite_->GetWindowContext(frame.Out(), document.Out(), &position, &clip, &frameInfo))) {
            if (document) document->SetActiveObject(nullptr, nullptr);
            if (frame) frame->SetActiveObject(nullptr, nullptr);
        }
        inPlaceSite_->OnUIDeactivate(FALSE);
    }
    return S_OK;
}

HRESULT ControlBase::SetObjectRects(LPCRECT position, LPCRECT clip)
{
    if (!position) return E_POINTER;
    const int ppx = ScreenPixelsPerInch(LOGPIXELSX), ppy = ScreenPixelsPerInch(LOGPIXELSY);
    const long width = position->right - position->left, height = position->bottom - position->top;
    if (width >= 0 && height >= 0) {
        SIZEL size{PixelsToHimetric(width, ppx), PixelsToHimetric(height, ppy)};
        if (size.cx != extent_.cx || size.cy != extent_.cy) {
            extent_ = size;
            dirty_ = true;
        }
    }
    if (!window_) return S_OK;
    SetWindowPos(window_, nullptr, position->left, position->top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    // Show only the part inside the clip rectangle (in the window's own coordinates).
    RECT visible;
    if (clip && IntersectRect(&visible, position, clip) && !EqualRect(&visible, position)) {
        OffsetRect(&visible, -position->left, -position->top);
        SetWindowRgn(window_, CreateRectRgnIndirect(&visible), TRUE);
    } else if (clip && !IntersectRect(&visible, position, clip)) {
        SetWindowRgn(window_, CreateRectRgn(0, 0, 0, 0), TRUE);
    } else {
        SetWindowRgn(window_, nullptr, TRUE);
    }
    return S_OK;
}

void ControlBase::DestroyControlWindow()
{
    if (!window_) return;
    HWND w = window_;
    SetWindowLongPtrW(w, GWLP_USERDATA, 0);
    window_ = nullptr;
    DestroyWindow(w);
}

// ---- IViewObject2 ----

HRESULT ControlBase::Draw(DWORD aspect, LONG, void*, DVTARGETDEVICE*, HDC, HDC dc, LPCRECTL bounds, LPCRECTL,
                          BOOL(STDMETHODCALLTYPE*)(ULONG_PTR), ULONG_PTR)
{
    if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
    if (!dc) return E_INVALIDARG;
    RECT r{};
    if (bounds) {
        r = RECT{bounds->left, bounds->top, bounds->right, bounds->bottom};
    } else if (window_) {
        GetClientRect(window_, &r);
    } else {
        return E_INVALIDARG;
    }
    return OnDraw(dc, r);
}

HRESULT ControlBase::SetAdvise(DWORD aspects, DWORD flags, IAdviseSink* sink)
{
    if (sink) sink->AddRef();
    if (viewSink_) viewSink_->Release();
    viewSink_ = sink;
    viewAspects_ = aspects;
    viewFlags_ = flags;
    return S_OK;
}

HRESULT ControlBase::GetAdvise(DWORD* aspects, DWORD* flags, IAdviseSink** sink)
{
    if (aspects) *aspects = viewAspects_;
    if (flags) *flags = viewFlags_;
    if (sink) {
        *sink = viewSink_;
        if (viewSink_) viewSink_->AddRef();
    }
    return S_OK;
}

HRESULT ControlBase::GetExtent(DWORD aspect, LONG, DVTARGETDEVICE*, LPSIZEL size) { return GetExtent(aspect, size); }

// ---- IOleControl and the ambient properties ----

HRESULT ControlBase::GetControlInfo(CONTROLINFO* info)
{
    if (!info) return E_POINTER;
    if (info->cb < sizeof(CONTROLINFO)) return E_INVALIDARG;
    info->hAccel = nullptr;
    info->cAccel = 0;
    info->dwFlags = 0;
    return S_OK;
}

HRESULT ControlBase::OnAmbientPropertyChange(DISPID)
{
    ReadAmbients();
    FireViewChange();
    return S_OK;
}

HRESULT ControlBase::FreezeEvents(BOOL freeze)
{
    frozenEvents_ += freeze ? 1 : (frozenEvents_ > 0 ? -1 : 0);
    return S_OK;
}

bool ControlBase::Ambient(DISPID id, VARIANT* out)
{
    VariantInit(out);
    if (!site_) return false;
    Ptr<IDispatch> ambient;
    if (FAILED(site_->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(ambient.Out()))) || !ambient) return false;
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    HRESULT hr = ambient->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none, out, nullptr, nullptr);
    if (FAILED(hr)) {
        VariantClear(out);
        return false;
    }
    return true;
}

// A site without ambient properties leaves the default: the system's window colour.
void ControlBase::ReadAmbients()
{
    VARIANT v;
    if (!backFromContainer_) {
        backColour_ = GetSysColor(COLOR_WINDOW);
        if (Ambient(DISPID_AMBIENT_BACKCOLOR, &v) && SUCCEEDED(VariantChangeType(&v, &v, 0, VT_I4))) {
            COLORREF c;
            if (SUCCEEDED(OleTranslateColor(static_cast<OLE_COLOR>(V_I4(&v)), nullptr, &c))) backColour_ = c;
        }
        VariantClear(&v);
    }
}

// ---- persistence ----

std::vector<ControlBase::PersistedLong> ControlBase::Persisted()
{
    extentX_ = extent_.cx;
    extentY_ = extent_.cy;
    return {{L"_cx", &extentX_},
            {L"_cy", &extentY_},
            {L"BorderColor", reinterpret_cast<long*>(&borderColor_)},
            {L"BorderStyle", &borderStyle_}};
}

HRESULT ControlBase::GetClassID(CLSID* out)
{
    if (!out) return E_POINTER;
    *out = clsid_;
    return S_OK;
}

HRESULT ControlBase::InitNew()
{
    dirty_ = false;
    return S_OK;
}

// Stream layout: version, count, then per property its name length in characters, the
// name (UTF-16, no terminator) and its 32-bit value. Unknown names are skipped.
HRESULT ControlBase::Load(LPSTREAM stream)
{
    if (!stream) return E_POINTER;
    DWORD version = 0, count = 0;
    HRESULT hr = ReadExact(stream, &version, sizeof version);
    if (FAILED(hr)) return hr;
    if (version != kStreamVersion) return E_FAIL;
    if (FAILED(hr = ReadExact(stream, &count, sizeof count))) return hr;
    if (count > kMaxStreamProperties) return E_FAIL;
    std::vector<PersistedLong> known = Persisted();
    for (DWORD i = 0; i < count; ++i) {
        DWORD length = 0;
        if (FAILED(hr = ReadExact(stream, &length, sizeof length))) return hr;
        if (length > kMaxNameLength) return E_FAIL;
        wchar_t name[kMaxNameLength + 1] = {};
        LONG value = 0;
        if (FAILED(hr = ReadExact(stream, name, length * sizeof(wchar_t)))) return hr;
        if (FAILED(hr = ReadExact(stream, &value, sizeof value))) return hr;
        for (const PersistedLong& p : known)
            if (wcscmp(p.name, name) == 0) *p.value = value;
    }
    extent_.cx = extentX_;
    extent_.cy = extentY_;
    dirty_ = false;
    FireViewChange();
    return S_OK;
}

HRESULT ControlBase::Save(LPSTREAM stream, BOOL clearDirty)
{
    if (!stream) return E_POINTER;
    std::vector<PersistedLong> props = Persisted();
    const DWORD version = kStreamVersion, count = static_cast<DWORD>(props.size());
    HRESULT hr = WriteExact(stream, &version, sizeof version);
    if (SUCCEEDED(hr)) hr = WriteExact(stream, &count, sizeof count);
    for (const PersistedLong& p : props) {
        if (FAILED(hr)) break;
        const DWORD length = static_cast<DWORD>(wcslen(p.name));
        const LONG value = *p.value;
        hr = WriteExact(stream, &length, sizeof length);
        if (SUCCEEDED(hr)) hr = WriteExact(stream, p.name, length * sizeof(wchar_t));
        if (SUCCEEDED(hr)) hr = WriteExact(stream, &value, sizeof value);
    }
    if (SUCCEEDED(hr) && clearDirty) dirty_ = false;
    return hr;
}

HRESULT ControlBase::GetSizeMax(ULARGE_INTEGER* size)
{
    if (!size) return E_POINTER;
    ULONGLONG n = 2 * sizeof(DWORD);
    for (const PersistedLong& p : Persisted()) n += sizeof(DWORD) + wcslen(p.name) * sizeof(wchar_t) + sizeof(LONG);
    size->QuadPart = n;
    return S_OK;
}

HRESULT ControlBase::Load(IStorage* storage)
{
    if (!storage) return E_POINTER;
    Ptr<IStream> stream;
    HRESULT hr = storage->OpenStream(L"Contents", nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, 0, stream.Out());
    if (FAILED(hr)) return hr;
    return Load(stream.Get());
}

HRESULT ControlBase::Save(IStorage* storage, BOOL)
{
    if (!storage) return E_POINTER;
    Ptr<IStream> stream;
    HRESULT hr =
        storage->CreateStream(L"Contents", STGM_CREATE | STGM_WRITE | STGM_SHARE_EXCLUSIVE, 0, 0, stream.Out());
    if (FAILED(hr)) return hr;
    return Save(stream.Get(), TRUE);
}

HRESULT ControlBase::Load(IPropertyBag* bag, IErrorLog* log)
{
    if (!bag) return E_POINTER;
    for (const PersistedLong& p : Persisted()) {
        VARIANT v;
        VariantInit(&v);
        V_VT(&v) = VT_I4;
        if (SUCCEEDED(bag->Read(p.name, &v, log)) && SUCCEEDED(VariantChangeType(&v, &v, 0, VT_I4)))
            *p.value = V_I4(&v);
        VariantClear(&v);
    }
    extent_.cx = extentX_;
    extent_.cy = extentY_;
    dirty_ = false;
    FireViewChange();
    return S_OK;
}

HRESULT ControlBase::Save(IPropertyBag* bag, BOOL clearDirty, BOOL)
{
    if (!bag) return E_POINTER;
    for (const PersistedLong& p : Persisted()) {
        VARIANT v;
        VariantInit(&v);
        V_VT(&v) = VT_I4;
        V_I4(&v) = *p.value;
        HRESULT hr = bag->Write(p.name, &v);
        if (FAILED(hr)) return hr;
    }
    if (clearDirty) dirty_ = false;
    return S_OK;
}

// ---- IQuickActivate ----

// Both structures have grown over time: each must hold every field that is read or
// written (the container's colorBack; the control's cookies), and both are checked before
// either is touched.
HRESULT ControlBase::QuickActivate(QACONTAINER* container, QACONTROL* control)
{
    if (!container || !control) return E_POINTER;
    if (container->cbSize < offsetof(QACONTAINER, pFont) ||
        control->cbSize < offsetof(QACONTROL, dwPointerActivationPolicy))
        return E_INVALIDARG;
    SetClientSite(container->pClientSite);
    if (container->pAdviseSink) SetAdvise(DVASPECT_CONTENT, 0, container->pAdviseSink);
    // The container hands over its background colour here, for a site without ambients.
    COLORREF c;
    if (SUCCEEDED(OleTranslateColor(container->colorBack, nullptr, &c))) {
        backColour_ = c;
        backFromContainer_ = true;
    }
    // The container's sink of the control's events; a sink that cannot connect leaves the
    // cookie 0 and the control still activates.
    DWORD cookie = 0;
    if (container->pUnkEventSink && FAILED(events_.Advise(container->pUnkEventSink, &cookie))) cookie = 0;
    DWORD misc = 0;
    GetMiscStatus(DVASPECT_CONTENT, &misc);
    control->dwMiscStatus = misc;
    control->dwViewStatus = 0;
    control->dwEventCookie = cookie;
    control->dwPropNotifyCookie = 0;
    if (control->cbSize >= sizeof(QACONTROL)) control->dwPointerActivationPolicy = 0;
    return S_OK;
}

// ---- stock properties ----

HRESULT ControlBase::GetWindowHandle(long* out) const
{
    if (!out) return E_POINTER;
    *out = static_cast<long>(reinterpret_cast<LONG_PTR>(window_));
    return S_OK;
}

void ControlBase::FireViewChange()
{
    if (window_)
        InvalidateRect(window_, nullptr, TRUE);
    else if (viewSink_)
        viewSink_->OnViewChange(DVASPECT_CONTENT, -1);
}

// ---- the control window ----

LRESULT ControlBase::OnReflected(UINT msg, WPARAM wparam, LPARAM lparam, bool& handled)
{
    handled = false;
    return DefWindowProcW(window_, msg, wparam, lparam);
}

LRESULT CALLBACK ControlBase::WindowProc(HWND window, UINT msg, WPARAM wparam, LPARAM lparam)
{
    if (msg == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lparam);
        auto* control = static_cast<ControlBase*>(create->lpCreateParams);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(control));
        control->window_ = window;
    }
    auto* control = reinterpret_cast<ControlBase*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!control) return DefWindowProcW(window, msg, wparam, lparam);
    return control->HandleMessage(msg, wparam, lparam);
}

LRESULT ControlBase::HandleMessage(UINT msg, WPARAM wparam, LPARAM lparam)
{
    if (msg >= OCM__BASE && msg <= OCM__BASE + WM_USER - 1) {
        bool handled = false;
        LRESULT r = OnReflected(msg, wparam, lparam, handled);
        return handled ? r : DefWindowProcW(window_, msg, wparam, lparam);
    }
    if (IsReflectable(msg)) {
        HWND child = NotifyingChild(msg, wparam, lparam, window_);
        if (child && IsWindow(child) && GetParent(child) == window_)
            return SendMessageW(child, OCM__BASE + msg, wparam, lparam);
        return DefWindowProcW(window_, msg, wparam, lparam);
    }
    switch (msg) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(window_, &ps);
        if (dc) {
            RECT client;
            GetClientRect(window_, &client);
            OnDraw(dc, client);
        }
        EndPaint(window_, &ps);
        return 0;
    }
    case WM_ERASEBKGND: {
        RECT client;
        GetClientRect(window_, &client);
        HBRUSH brush = CreateSolidBrush(backColour_);
        FillRect(reinterpret_cast<HDC>(wparam), &client, brush);
        DeleteObject(brush);
        return 1;
    }
    case WM_MOUSEACTIVATE:
        if (inPlaceActive_ && !uiActive_) InPlaceActivate(OLEIVERB_UIACTIVATE);
        break;
    case WM_NCDESTROY:
        SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
        window_ = nullptr;
        return 0;
    default: break;
    }
    return DefWindowProcW(window_, msg, wparam, lparam);
}

} // namespace zyk::com

// The ActiveX control base, shared by every control of the system: embedding
// (IOleObject), windowed in-place activation (IOleInPlaceObject, IOleInPlaceActiveObject),
// drawing for the container (IViewObject2), IOleControl, persistence in a stream, a
// storage or a property bag, IQuickActivate, the control window with the reflection of
// its children's notifications as OCM_ messages, and the stock properties BorderColor,
// BorderStyle and Window; the connection point of its outgoing interface and its class
// information come with EventSource (events.h).
//
//   class CGfxDevices : public zyk::com::Control<IDevices, &IID_IDevices,
//                                                &CLSID_Devices, &DIID__IDevicesEvents> {
//       HRESULT OnDraw(HDC dc, const RECT& bounds) override;
//   };
//
// The control always activates windowed, and works in a site that offers no ambient
// properties (it then takes the system's window colour and user mode).
#pragma once
#include "events.h"
#include <ocidl.h>
#include <olectl.h>
#include <vector>

namespace zyk::com {

class ControlBase : public IOleObject,
                    public IOleInPlaceObject,
                    public IOleInPlaceActiveObject,
                    public IViewObject2,
                    public IOleControl,
                    public IPersistStreamInit,
                    public IPersistStorage,
                    public IPersistPropertyBag,
                    public IQuickActivate {
public:
    // events: the connection point of the control's outgoing interface, which a container
    // connects its event sink to when it quick-activates the control.
    ControlBase(const CLSID& clsid, ConnectionPoint& events);
    virtual ~ControlBase();
    ControlBase(const ControlBase&) = delete;
    ControlBase& operator=(const ControlBase&) = delete;

    // The control's interfaces, for the class's QueryInterface; E_NOINTERFACE otherwise.
    HRESULT QueryControl(REFIID iid, void** out);

    // IOleObject
    HRESULT STDMETHODCALLTYPE SetClientSite(IOleClientSite* site) override;
    HRESULT STDMETHODCALLTYPE GetClientSite(IOleClientSite** site) override;
    HRESULT STDMETHODCALLTYPE SetHostNames(LPCOLESTR, LPCOLESTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE Close(DWORD saveOption) override;
    HRESULT STDMETHODCALLTYPE SetMoniker(DWORD, IMoniker*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetMoniker(DWORD, DWORD, IMoniker**) override;
    HRESULT STDMETHODCALLTYPE InitFromData(IDataObject*, BOOL, DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetClipboardData(DWORD, IDataObject**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DoVerb(LONG verb, LPMSG, IOleClientSite*, LONG, HWND, LPCRECT) override;
    HRESULT STDMETHODCALLTYPE EnumVerbs(IEnumOLEVERB** out) override;
    HRESULT STDMETHODCALLTYPE Update() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE IsUpToDate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetUserClassID(CLSID* out) override;
    HRESULT STDMETHODCALLTYPE GetUserType(DWORD form, LPOLESTR* out) override;
    HRESULT STDMETHODCALLTYPE SetExtent(DWORD aspect, SIZEL* size) override;
    HRESULT STDMETHODCALLTYPE GetExtent(DWORD aspect, SIZEL* size) override;
    HRESULT STDMETHODCALLTYPE Advise(IAdviseSink* sink, DWORD* cookie) override;
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) override;
    HRESULT STDMETHODCALLTYPE EnumAdvise(IEnumSTATDATA** out) override;
    HRESULT STDMETHODCALLTYPE GetMiscStatus(DWORD aspect, DWORD* status) override;
    HRESULT STDMETHODCALLTYPE SetColorScheme(LOGPALETTE*) override { return E_NOTIMPL; }

    // IOleWindow, IOleInPlaceObject
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* out) override;
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE InPlaceDeactivate() override;
    HRESULT STDMETHODCALLTYPE UIDeactivate() override;
    HRESULT STDMETHODCALLTYPE SetObjectRects(LPCRECT position, LPCRECT clip) override;
    HRESULT STDMETHODCALLTYPE ReactivateAndUndo() override { return E_NOTIMPL; }

    // IOleInPlaceActiveObject
    HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG) override { return S_FALSE; }
    HRESULT STDMETHODCALLTYPE OnFrameWindowActivate(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnDocWindowActivate(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE EnableModeless(BOOL) override { return S_OK; }

    // IViewObject, IViewObject2
    HRESULT STDMETHODCALLTYPE Draw(DWORD aspect, LONG index, void* aspectInfo, DVTARGETDEVICE* target, HDC targetDc,
                                   HDC dc, LPCRECTL bounds, LPCRECTL metafileBounds,
                                   BOOL(STDMETHODCALLTYPE* cont)(ULONG_PTR), ULONG_PTR contArg) override;
    HRESULT STDMETHODCALLTYPE GetColorSet(DWORD, LONG, void*, DVTARGETDEVICE*, HDC, LOGPALETTE**) override
    {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Freeze(DWORD, LONG, void*, DWORD*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Unfreeze(DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetAdvise(DWORD aspects, DWORD flags, IAdviseSink* sink) override;
    HRESULT STDMETHODCALLTYPE GetAdvise(DWORD* aspects, DWORD* flags, IAdviseSink** sink) override;
    HRESULT STDMETHODCALLTYPE GetExtent(DWORD aspect, LONG index, DVTARGETDEVICE*, LPSIZEL size) override;

    // IOleControl
    HRESULT STDMETHODCALLTYPE GetControlInfo(CONTROLINFO* info) override;
    HRESULT STDMETHODCALLTYPE OnMnemonic(MSG*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE OnAmbientPropertyChange(DISPID id) override;
    HRESULT STDMETHODCALLTYPE FreezeEvents(BOOL freeze) override;

    // IPersist, IPersistStreamInit, IPersistStorage, IPersistPropertyBag
    HRESULT STDMETHODCALLTYPE GetClassID(CLSID* out) override;
    HRESULT STDMETHODCALLTYPE IsDirty() override { return dirty_ ? S_OK : S_FALSE; }
    HRESULT STDMETHODCALLTYPE Load(LPSTREAM stream) override;
    HRESULT STDMETHODCALLTYPE Save(LPSTREAM stream, BOOL clearDirty) override;
    HRESULT STDMETHODCALLTYPE GetSizeMax(ULARGE_INTEGER* size) override;
    HRESULT STDMETHODCALLTYPE InitNew() override;
    HRESULT STDMETHODCALLTYPE InitNew(IStorage*) override { return InitNew(); }
    HRESULT STDMETHODCALLTYPE Load(IStorage* storage) override;
    HRESULT STDMETHODCALLTYPE Save(IStorage* storage, BOOL sameAsLoad) override;
    HRESULT STDMETHODCALLTYPE SaveCompleted(IStorage*) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE HandsOffStorage() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE Load(IPropertyBag* bag, IErrorLog* log) override;
    HRESULT STDMETHODCALLTYPE Save(IPropertyBag* bag, BOOL clearDirty, BOOL saveAll) override;

    // IQuickActivate
    HRESULT STDMETHODCALLTYPE QuickActivate(QACONTAINER* container, QACONTROL* control) override;
    HRESULT STDMETHODCALLTYPE SetContentExtent(LPSIZEL size) override { return SetExtent(DVASPECT_CONTENT, size); }
    HRESULT STDMETHODCALLTYPE GetContentExtent(LPSIZEL size) override { return GetExtent(DVASPECT_CONTENT, size); }

protected:
    // Draws the control into dc within bounds, the rectangle the container gives: a
    // control that changes a rectangle changes a copy of its own.
    virtual HRESULT OnDraw(HDC dc, const RECT& bounds) = 0;

    // A notification of a child window reflected back to that child (msg is OCM__BASE plus
    // the original message), or any other OCM_ message the control window receives.
    virtual LRESULT OnReflected(UINT msg, WPARAM wparam, LPARAM lparam, bool& handled);

    // A 32-bit property kept by the persistence interfaces under its name.
    struct PersistedLong {
        const wchar_t* name;
        long* value;
    };
    // The properties saved and loaded; the base gives the extent and the stock properties.
    virtual std::vector<PersistedLong> Persisted();

    // The bodies of the stock properties.
    HRESULT PutBorderColor(OLE_COLOR colour) { return PutStock(borderColor_, colour); }
    HRESULT GetBorderColor(OLE_COLOR* out) const { return GetStock(borderColor_, out); }
    HRESULT PutBorderStyle(long style) { return PutStock(borderStyle_, style); }
    HRESULT GetBorderStyle(long* out) const { return GetStock(borderStyle_, out); }
    HRESULT GetWindowHandle(long* out) const;

    HWND ControlWindow() const { return window_; }
    // Redraws the control: its window, or the container's view of it.
    void FireViewChange();
    // A stock property set: the control is dirty and drawn again.
    template <class T>
    HRESULT PutStock(T& field, T value)
    {
        field = value;
        dirty_ = true;
        FireViewChange();
        return S_OK;
    }
    template <class T>
    static HRESULT GetStock(const T& field, T* out)
    {
        if (!out) return E_POINTER;
        *out = field;
        return S_OK;
    }

private:
    IUnknown* Self() { return static_cast<IOleObject*>(this); }
    HRESULT InPlaceActivate(LONG verb);
    void ReadAmbients();
    bool Ambient(DISPID id, VARIANT* out);
    void DestroyControlWindow();
    static LRESULT CALLBACK WindowProc(HWND window, UINT msg, WPARAM wparam, LPARAM lparam);
    LRESULT HandleMessage(UINT msg, WPARAM wparam, LPARAM lparam);

    CLSID clsid_;
    ConnectionPoint& events_;
    IOleClientSite* site_ = nullptr;
    IOleInPlaceSite* inPlaceSite_ = nullptr;
    IOleAdviseHolder* adviseHolder_ = nullptr;
    IAdviseSink* viewSink_ = nullptr;
    DWORD viewAspects_ = 0, viewFlags_ = 0;
    HWND window_ = nullptr;
    bool inPlaceActive_ = false, uiActive_ = false, dirty_ = false;
    long frozenEvents_ = 0;
    SIZEL extent_{};                 // HIMETRIC
    long extentX_ = 0, extentY_ = 0; // the extent as persisted
    COLORREF backColour_;
    bool backFromContainer_ = false;

protected:
    OLE_COLOR borderColor_ = 0;
    long borderStyle_ = 0;
};

template <class Itf, const IID* ItfId, const CLSID* ClassId, const IID* EventsId>
class Control : public EventSource<Itf, ItfId, ClassId, EventsId>, public ControlBase {
    using Source = EventSource<Itf, ItfId, ClassId, EventsId>;

public:
    Control() : ControlBase(*ClassId, this->Events()) {}

    // One IUnknown for the dual interface and every control interface.
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override
    {
        return this->OuterQueryInterface(iid, out);
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return this->OuterAddRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return this->OuterRelease(); }

protected:
    HRESULT QueryExtra(REFIID iid, void** out) override
    {
        return SUCCEEDED(QueryControl(iid, out)) ? S_OK : Source::QueryExtra(iid, out);
    }
};

} // namespace zyk::com

// What the classes of the system-information server share: the registry reader, the
// control that shows the server's icon, and the plain object.
#pragma once
#include "zykSYSTEM.h"
#include "com/failure.h"
#include "com/handed.h"
#include "resource.h"
#include "com/control.h"
#include "com/events.h"
#include "com/ptr.h"
#include <olectl.h>
#include <string>

namespace sys {

// The machine's Plug and Play key that holds what the BIOS and the board tell.
constexpr char kPnpKey[] = "Enum\\Root\\*PNP0C01\\0000";

// The text of a value under a key of HKEY_LOCAL_MACHINE, read whole and ended at its
// first NUL; "" when the key or the value is missing.
std::string ReadMachineText(const char* key, const char* value);

// A text handed to the client as a new BSTR; throws E_POINTER "Cannot return data to NULL
// Pointer." when out is null.
void ReturnText(const std::string& text, BSTR* out);

// The reflected notifications that the controls hand back as the plain messages.
bool IsPlainReflection(UINT msg);

// A control of this server: it loads the server's icon and draws it at the top-left of
// its bounds, in a 32 x 32 area; reflected notifications go to the default procedure.
template <class Itf, const IID* ItfId, const CLSID* ClassId, const IID* EventsId>
class Control : public zyk::com::Control<Itf, ItfId, ClassId, EventsId> {
public:
    Control()
    {
        icon_ = static_cast<HICON>(LoadImageA(zyk::com::ThisModule().Instance(), MAKEINTRESOURCEA(IDI_SYSTEM),
                                              IMAGE_ICON, 32, 32, LR_DEFAULTCOLOR));
    }
    ~Control() override
    {
        if (icon_) DestroyIcon(icon_);
    }

protected:
    HRESULT OnDraw(HDC dc, const RECT& bounds) override
    {
        RECT area = bounds;
        if (icon_) DrawIcon(dc, area.left, area.top, icon_);
        area.right = area.left + 32;
        area.bottom = area.top + 32;
        return S_OK;
    }

    LRESULT OnReflected(UINT msg, WPARAM wparam, LPARAM lparam, bool& handled) override
    {
        if (!IsPlainReflection(msg)) return zyk::com::ControlBase::OnReflected(msg, wparam, lparam, handled);
        handled = true;
        return DefWindowProcA(this->ControlWindow(), msg - OCM__BASE, wparam, lparam);
    }

private:
    HICON icon_ = nullptr;
};

// A plain automation object of this server (no control): its dual interface, error
// information, class information, the connection point of its outgoing interface, and
// persistence to a storage, where it has nothing to keep.
template <class Itf, const IID* ItfId, const CLSID* ClassId, const IID* EventsId>
class Plain : public zyk::com::EventSource<Itf, ItfId, ClassId, EventsId>, public IPersistStorage {
    using Source = zyk::com::EventSource<Itf, ItfId, ClassId, EventsId>;

public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override
    {
        return this->OuterQueryInterface(iid, out);
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return this->OuterAddRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return this->OuterRelease(); }

    // IPersist, IPersistStorage
    HRESULT STDMETHODCALLTYPE GetClassID(CLSID* out) override
    {
        if (!out) return E_POINTER;
        *out = *ClassId;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE IsDirty() override { return S_FALSE; }
    HRESULT STDMETHODCALLTYPE InitNew(IStorage* storage) override { return storage ? S_OK : E_POINTER; }
    HRESULT STDMETHODCALLTYPE Load(IStorage* storage) override { return storage ? S_OK : E_POINTER; }
    HRESULT STDMETHODCALLTYPE Save(IStorage* storage, BOOL) override { return storage ? S_OK : E_POINTER; }
    HRESULT STDMETHODCALLTYPE SaveCompleted(IStorage*) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE HandsOffStorage() override { return S_OK; }

protected:
    HRESULT QueryExtra(REFIID iid, void** out) override
    {
        if (iid == IID_IPersistStorage || iid == IID_IPersist) {
            *out = static_cast<IPersistStorage*>(this);
            return S_OK;
        }
        return Source::QueryExtra(iid, out);
    }
};

} // namespace sys

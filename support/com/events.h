// A COM class with an outgoing interface that clients can connect to: its connection
// point, found and enumerated through the class's IConnectionPointContainer, and the class
// information (IProvideClassInfo2) that names the coclass and its default source
// interface, which is what a container looks up to bind a form's event handlers.
//
//   class CBIOS : public zyk::com::EventSource<IBIOS, &IID_IBIOS, &CLSID_BIOS, &DIID__IBIOSEvents> {...};
#pragma once
#include "connection.h"
#include "object.h"

namespace zyk::com {

// IProvideClassInfo2 of a coclass of the module's type library.
class ClassInfo : public IProvideClassInfo2 {
public:
    ClassInfo(const CLSID& clsid, const IID& events) : clsid_(clsid), events_(events) {}

    HRESULT STDMETHODCALLTYPE GetClassInfo(ITypeInfo** out) override
    {
        if (!out) return E_POINTER;
        *out = ThisModule().TypeInfo(clsid_);
        if (!*out) return TYPE_E_ELEMENTNOTFOUND;
        (*out)->AddRef();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetGUID(DWORD kind, GUID* out) override
    {
        if (!out) return E_POINTER;
        if (kind != GUIDKIND_DEFAULT_SOURCE_DISP_IID) {
            *out = GUID_NULL;
            return E_INVALIDARG;
        }
        *out = events_;
        return S_OK;
    }

private:
    CLSID clsid_;
    IID events_;
};

template <class Itf, const IID* ItfId, const CLSID* ClassId, const IID* EventsId>
class EventSource : public CoClass<Itf, ItfId, ClassId>, public ClassInfo {
public:
    EventSource() : ClassInfo(*ClassId, *EventsId) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override
    {
        return this->OuterQueryInterface(iid, out);
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return this->OuterAddRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return this->OuterRelease(); }

protected:
    ConnectionPoint& Events() { return events_; }
    ConnectionPoint* EventPoint() override { return &events_; }
    HRESULT QueryExtra(REFIID iid, void** out) override
    {
        if (iid == IID_IProvideClassInfo || iid == IID_IProvideClassInfo2) {
            *out = static_cast<IProvideClassInfo2*>(this);
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }

private:
    ConnectionPoint events_{static_cast<IConnectionPointContainer*>(this), *EventsId};
};

} // namespace zyk::com

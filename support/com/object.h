// The COM class base: reference counting with aggregation, the object's tie to its owner
// (tie.h), the dual IDispatch through the module's type library, ISupportErrorInfo, a
// connection-point container, empty unless the class has an outgoing interface to connect
// to (events.h), and the member boundary (boundary.h) that every member runs through.
//
//   class CColour : public zyk::com::CoClass<IColour, &IID_IColour, &CLSID_Colour> {
//       HRESULT STDMETHODCALLTYPE get_Red(float* out) override { return Get(red_, out); }
//       HRESULT STDMETHODCALLTYPE Update() override { return Member([&] { ... }); }
//   };
//   ObjectEntry{&CLSID_Colour, 102, &zyk::com::Creator<CColour>, true, L"zyk3D.Colour.1"}
//
// A class that serves further interfaces overrides QueryExtra.
#pragma once
#include "boundary.h"
#include "connection.h"
#include "module.h"
#include "tie.h"
#include <ocidl.h>
#include <olectl.h>
#include <new>

namespace zyk::com {

// Reference count, aggregation and the module lock; independent of the interfaces served.
class ObjectRoot {
public:
    ObjectRoot() { ThisModule().Lock(); }
    virtual ~ObjectRoot() { ThisModule().Unlock(); }
    ObjectRoot(const ObjectRoot&) = delete;
    ObjectRoot& operator=(const ObjectRoot&) = delete;

    // Delegating IUnknown (what every served interface answers).
    HRESULT OuterQueryInterface(REFIID iid, void** out)
    {
        return outer_ ? outer_->QueryInterface(iid, out) : InnerQueryInterface(iid, out);
    }
    ULONG OuterAddRef() { return outer_ ? outer_->AddRef() : InnerAddRef(); }
    ULONG OuterRelease() { return outer_ ? outer_->Release() : InnerRelease(); }

    // Non-delegating IUnknown.
    HRESULT InnerQueryInterface(REFIID iid, void** out)
    {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (iid == IID_IUnknown) {
            *out = outer_ ? static_cast<IUnknown*>(&inner_) : Identity();
        } else if (iid == IID_IOwned) {
            *out = static_cast<IOwned*>(&owned_);
        } else {
            HRESULT hr = FindInterface(iid, out);
            if (FAILED(hr)) {
                *out = nullptr;
                return hr;
            }
        }
        static_cast<IUnknown*>(*out)->AddRef();
        return S_OK;
    }
    ULONG InnerAddRef() { return InterlockedIncrement(&refs_); }
    ULONG InnerRelease()
    {
        LONG n = InterlockedDecrement(&refs_);
        if (n == 0) {
            refs_ = 1; // guards against re-entry while the destructor runs
            delete this;
        }
        return n;
    }

    void SetOuter(IUnknown* outer) { outer_ = outer; }

    // The object's tie to its owner: what its own children are tied under, and whether
    // its owner still holds it. An object nobody owns is held for as long as it lives.
    const Tie& OwnTie() const { return tie_; }
    bool Held() const { return tie_.Held(); }

protected:
    // The object's identity (its primary interface) and its interface table.
    virtual IUnknown* Identity() = 0;
    virtual HRESULT FindInterface(REFIID iid, void** out) = 0;

private:
    struct Inner final : IUnknown {
        explicit Inner(ObjectRoot* o) : owner(o) {}
        HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override
        {
            return owner->InnerQueryInterface(iid, out);
        }
        ULONG STDMETHODCALLTYPE AddRef() override { return owner->InnerAddRef(); }
        ULONG STDMETHODCALLTYPE Release() override { return owner->InnerRelease(); }
        ObjectRoot* owner;
    };
    struct Owned final : IOwned {
        explicit Owned(ObjectRoot* o) : owner(o) {}
        HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override
        {
            return owner->OuterQueryInterface(iid, out);
        }
        ULONG STDMETHODCALLTYPE AddRef() override { return owner->OuterAddRef(); }
        ULONG STDMETHODCALLTYPE Release() override { return owner->OuterRelease(); }
        HINSTANCE STDMETHODCALLTYPE OwnModule() override { return ThisModule().Instance(); }
        // A held object moves under its new owner with its children; one that was let go
        // starts afresh, and what was tied under it stays let go.
        void STDMETHODCALLTYPE TieUnder(const Tie& by, Tie* tied) override
        {
            if (!owner->tie_.MoveUnder(by)) owner->tie_ = Tie::Under(by);
            if (tied) *tied = owner->tie_;
        }
        ObjectRoot* owner;
    };
    Inner inner_{this};
    Owned owned_{this};
    Tie tie_;
    IUnknown* outer_ = nullptr;
    volatile LONG refs_ = 0;
};

template <class Itf, const IID* ItfId, const CLSID* ClassId>
class CoClass : public Itf, public ISupportErrorInfo, public IConnectionPointContainer, public ObjectRoot {
public:
    static const CLSID& ClsId() { return *ClassId; }
    static const IID& Iid() { return *ItfId; }

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override { return OuterQueryInterface(iid, out); }
    ULONG STDMETHODCALLTYPE AddRef() override { return OuterAddRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return OuterRelease(); }

    // IDispatch, through the type information of the dual interface.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override
    {
        if (!count) return E_POINTER;
        *count = 1;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID, ITypeInfo** info) override
    {
        if (!info) return E_POINTER;
        *info = nullptr;
        if (index != 0) return DISP_E_BADINDEX;
        ITypeInfo* ti = ThisModule().TypeInfo(*ItfId);
        if (!ti) return TYPE_E_ELEMENTNOTFOUND;
        ti->AddRef();
        *info = ti;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override
    {
        ITypeInfo* ti = ThisModule().TypeInfo(*ItfId);
        if (!ti) return TYPE_E_ELEMENTNOTFOUND;
        return DispGetIDsOfNames(ti, names, count, ids);
    }
    // Invoke answers the calling forms of script engines besides the type library's own:
    // - a member declared as a property get, called as a method (a statement
    //   "c.Add name", JScript's Enumerator asking for _NewEnum), is the get;
    // - a property get of an object given more arguments than it takes (a script's
    //   d.Cameras("Default")) means the get, then the default member of the object it
    //   gave with the rest. The platform does that too, but faults when the get answers
    //   S_OK with no object; here the get runs with its own arguments, no object answers
    //   E_POINTER, and an object gets the rest through its own Invoke.
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID lcid, WORD flags, DISPPARAMS* params, VARIANT* result,
                                     EXCEPINFO* excep, UINT* argErr) override
    {
        detail::ClearErrorInfo();
        ITypeInfo* ti = ThisModule().TypeInfo(*ItfId);
        if (!ti) return TYPE_E_ELEMENTNOTFOUND;
        UINT own = 0;
        if ((flags & DISPATCH_PROPERTYGET) && params && params->cArgs > 0 && params->cNamedArgs == 0 &&
            ObjectGetTakingFewer(ti, id, params->cArgs, &own))
            return InvokeObjectGet(ti, id, lcid, params, own, result, excep, argErr);
        HRESULT hr = DispInvoke(static_cast<Itf*>(this), ti, id, flags, params, result, excep, argErr);
        if (hr != DISP_E_MEMBERNOTFOUND || flags != DISPATCH_METHOD) return hr;
        // No method of that id: the property get, its result dropped when none is asked for.
        VARIANT dropped;
        VariantInit(&dropped);
        hr = DispInvoke(static_cast<Itf*>(this), ti, id, DISPATCH_PROPERTYGET, params, result ? result : &dropped,
                        excep, argErr);
        VariantClear(&dropped);
        return hr;
    }

    // ISupportErrorInfo: only the class's own dual interface reports error information.
    HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID iid) override { return iid == *ItfId ? S_OK : S_FALSE; }

    // IConnectionPointContainer: the connection point of the class's outgoing interface,
    // when it has one to connect to.
    HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints** out) override
    {
        ConnectionPoint* point = EventPoint();
        return point ? CreateConnectionPointEnum(point, out) : CreateEmptyConnectionPointEnum(out);
    }
    HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID iid, IConnectionPoint** out) override
    {
        if (!out) return E_POINTER;
        *out = nullptr;
        ConnectionPoint* point = EventPoint();
        if (!point || iid != point->Iid()) return CONNECT_E_NOCONNECTION;
        point->AddRef();
        *out = point;
        return S_OK;
    }

protected:
    // The member boundary for this class and its interface, and the bodies of plain
    // property members through it: a value copied out or stored, a text copied out or in.
    template <class Body>
    HRESULT Member(Body&& body, Catch catching = Catch::Everything)
    {
        return Boundary(*ClassId, *ItfId, body, catching);
    }
    template <class V, class U>
    HRESULT Get(const V& value, U* out)
    {
        return Member([&] { return CopyOut(value, out); });
    }
    template <class V, class U>
    HRESULT Put(V& field, const U& value)
    {
        return Member([&] { field = static_cast<V>(value); });
    }
    HRESULT Get(const Bstr& text, BSTR* out)
    {
        return Member([&] { return text.CopyTo(out); });
    }
    HRESULT Put(Bstr& text, BSTR value)
    {
        return Member([&] { return text.Assign(value); });
    }

    // Further interfaces of a derived class; E_NOINTERFACE by default.
    virtual HRESULT QueryExtra(REFIID, void** out)
    {
        *out = nullptr;
        return E_NOINTERFACE;
    }

    // The connection point of the outgoing interface; none by default (the interface is
    // declared, never fired, and nothing can connect to it).
    virtual ConnectionPoint* EventPoint() { return nullptr; }

    IUnknown* Identity() override { return static_cast<Itf*>(this); }

private:
    // Whether id is a property get giving an object and taking fewer than given arguments;
    // own is the number it takes.
    static bool ObjectGetTakingFewer(ITypeInfo* ti, DISPID id, UINT given, UINT* own)
    {
        TYPEATTR* attr = nullptr;
        if (FAILED(ti->GetTypeAttr(&attr))) return false;
        bool found = false;
        for (UINT i = 0; i < attr->cFuncs && !found; ++i) {
            FUNCDESC* fd = nullptr;
            if (FAILED(ti->GetFuncDesc(i, &fd))) continue;
            if (fd->memid == id && fd->invkind == INVOKE_PROPERTYGET) {
                const TYPEDESC* type = &fd->elemdescFunc.tdesc;
                UINT takes = static_cast<UINT>(fd->cParams);
                if (takes > 0 && (fd->lprgelemdescParam[takes - 1].paramdesc.wParamFlags & PARAMFLAG_FRETVAL)) {
                    type = &fd->lprgelemdescParam[--takes].tdesc;
                    if (type->vt == VT_PTR) type = type->lptdesc;
                }
                const bool object = type->vt == VT_DISPATCH || type->vt == VT_UNKNOWN ||
                                    (type->vt == VT_PTR && type->lptdesc->vt == VT_USERDEFINED);
                found = object && given > takes;
                *own = takes;
            }
            ti->ReleaseFuncDesc(fd);
        }
        ti->ReleaseTypeAttr(attr);
        return found;
    }

    HRESULT InvokeObjectGet(ITypeInfo* ti, DISPID id, LCID lcid, DISPPARAMS* params, UINT own, VARIANT* result,
                            EXCEPINFO* excep, UINT* argErr)
    {
        DISPPARAMS get{params->rgvarg + (params->cArgs - own), nullptr, own, 0};
        DISPPARAMS rest{params->rgvarg, nullptr, params->cArgs - own, 0};
        VARIANT object;
        VariantInit(&object);
        HRESULT hr = DispInvoke(static_cast<Itf*>(this), ti, id, DISPATCH_PROPERTYGET, &get, &object, excep, argErr);
        if (FAILED(hr)) return hr;
        Ptr<IDispatch> next;
        if ((V_VT(&object) == VT_DISPATCH || V_VT(&object) == VT_UNKNOWN) && V_UNKNOWN(&object))
            V_UNKNOWN(&object)->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(next.Out()));
        VariantClear(&object);
        if (!next) return E_POINTER;
        return next->Invoke(DISPID_VALUE, IID_NULL, lcid, DISPATCH_METHOD | DISPATCH_PROPERTYGET, &rest, result, excep,
                            argErr);
    }

protected:
    HRESULT FindInterface(REFIID iid, void** out) override
    {
        if (iid == *ItfId || iid == IID_IDispatch) {
            *out = static_cast<Itf*>(this); // IDispatch is the dual interface's own vtable
        } else if (iid == IID_ISupportErrorInfo) {
            *out = static_cast<ISupportErrorInfo*>(this);
        } else if (iid == IID_IConnectionPointContainer) {
            *out = static_cast<IConnectionPointContainer*>(this);
        } else {
            return QueryExtra(iid, out);
        }
        return S_OK;
    }
};

// Creation through the object map: construct, attach the outer object, query; a failed
// query destroys the new object. An outer object may only ask for IUnknown.
template <class T>
HRESULT Creator(IUnknown* outer, REFIID iid, void** out)
{
    if (!out) return E_POINTER;
    *out = nullptr;
    if (outer && iid != IID_IUnknown) return CLASS_E_NOAGGREGATION;
    T* object = new (std::nothrow) T();
    if (!object) return E_OUTOFMEMORY;
    object->SetOuter(outer);
    object->InnerAddRef();
    HRESULT hr = object->InnerQueryInterface(iid, out);
    object->InnerRelease();
    return hr;
}

} // namespace zyk::com

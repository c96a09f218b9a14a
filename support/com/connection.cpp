// ConnectionPoint: Advise, Unadvise and the snapshot enumerators of connections and points.
#include "connection.h"
#include "counted.h"
#include <new>

namespace zyk::com {

namespace {

IUnknown* Referenced(const CONNECTDATA& d) { return d.pUnk; }
IUnknown* Referenced(IConnectionPoint* p) { return p; }

// An enumerator over a snapshot of items that each hold one reference while it lives;
// Next hands every item out with a reference of the caller's own.
template <class Itf, const IID* ItfId, class Item>
class SnapshotEnum final : public Counted<Itf, ItfId> {
public:
    static HRESULT Create(const std::vector<Item>& items, ULONG position, Itf** out)
    {
        if (!out) return E_POINTER;
        *out = nullptr;
        auto* e = new (std::nothrow) SnapshotEnum();
        if (!e) return E_OUTOFMEMORY;
        try {
            e->items_ = items;
        } catch (...) {
            e->Release();
            return E_OUTOFMEMORY;
        }
        for (const Item& item : e->items_)
            if (IUnknown* u = Referenced(item)) u->AddRef();
        e->position_ = position;
        *out = e;
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE Next(ULONG count, Item* out, ULONG* fetched) override
    {
        if (fetched) *fetched = 0;
        if (!out || (count > 1 && !fetched)) return E_POINTER;
        ULONG n = 0;
        for (; n < count && position_ < items_.size(); ++n, ++position_) {
            out[n] = items_[position_];
            if (IUnknown* u = Referenced(out[n])) u->AddRef();
        }
        if (fetched) *fetched = n;
        return n == count ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE Skip(ULONG count) override
    {
        const ULONG left = static_cast<ULONG>(items_.size()) - position_;
        position_ += count < left ? count : left;
        return count <= left ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE Reset() override
    {
        position_ = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Clone(Itf** out) override { return Create(items_, position_, out); }

private:
    SnapshotEnum() = default;
    ~SnapshotEnum() override
    {
        for (const Item& item : items_)
            if (IUnknown* u = Referenced(item)) u->Release();
    }

    std::vector<Item> items_;
    ULONG position_ = 0;
};

using ConnectionEnum = SnapshotEnum<IEnumConnections, &IID_IEnumConnections, CONNECTDATA>;
using PointEnum = SnapshotEnum<IEnumConnectionPoints, &IID_IEnumConnectionPoints, IConnectionPoint*>;

} // namespace

ConnectionPoint::~ConnectionPoint() { UnadviseAll(); }

void ConnectionPoint::UnadviseAll()
{
    // A sink released here may call back into the point: let go of the list first.
    std::vector<CONNECTDATA> sinks;
    sinks.swap(sinks_);
    for (const CONNECTDATA& d : sinks) d.pUnk->Release();
}

HRESULT ConnectionPoint::QueryInterface(REFIID iid, void** out)
{
    if (!out) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IConnectionPoint) {
        *out = static_cast<IConnectionPoint*>(this);
        AddRef();
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

HRESULT ConnectionPoint::GetConnectionInterface(IID* out)
{
    if (!out) return E_POINTER;
    *out = iid_;
    return S_OK;
}

HRESULT ConnectionPoint::GetConnectionPointContainer(IConnectionPointContainer** out)
{
    if (!out) return E_POINTER;
    container_->AddRef();
    *out = container_;
    return S_OK;
}

HRESULT ConnectionPoint::Advise(IUnknown* sink, DWORD* cookie)
{
    if (!cookie) return E_POINTER;
    *cookie = 0;
    if (!sink) return E_POINTER;
    IUnknown* held = nullptr;
    if (FAILED(sink->QueryInterface(iid_, reinterpret_cast<void**>(&held))) || !held) return CONNECT_E_CANNOTCONNECT;
    if (lastCookie_ == MAXDWORD) {
        held->Release();
        return CONNECT_E_ADVISELIMIT;
    }
    try {
        sinks_.push_back(CONNECTDATA{held, lastCookie_ + 1});
    } catch (...) {
        held->Release();
        return E_OUTOFMEMORY;
    }
    *cookie = ++lastCookie_;
    return S_OK;
}

HRESULT ConnectionPoint::Unadvise(DWORD cookie)
{
    for (auto it = sinks_.begin(); it != sinks_.end(); ++it) {
        if (it->dwCookie != cookie) continue;
        IUnknown* sink = it->pUnk;
        sinks_.erase(it);
        sink->Release();
        return S_OK;
    }
    return CONNECT_E_NOCONNECTION;
}

HRESULT ConnectionPoint::EnumConnections(IEnumConnections** out) { return ConnectionEnum::Create(sinks_, 0, out); }

HRESULT CreateEmptyConnectionPointEnum(IEnumConnectionPoints** out) { return PointEnum::Create({}, 0, out); }

HRESULT CreateConnectionPointEnum(IConnectionPoint* point, IEnumConnectionPoints** out)
{
    try {
        return PointEnum::Create({point}, 0, out);
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

} // namespace zyk::com

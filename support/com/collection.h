// The named collection shared by every collection class of every server: an ordered map
// from a wide-string name to a member interface, on which the map holds one reference.
//
// Order: descending code-unit order. The map's "less than" is CompareNames(a, b), true
// when a compares greater than b code unit by code unit (unsigned 16-bit values), so
// position 1 is the greatest key and the empty name, if present, is last.
#pragma once
#include "enum.h"
#include "object.h"
#include "tie.h"
#include <map>
#include <string>
#include <vector>

namespace zyk::com {

// The code-unit comparison of the C library's wide-string compare.
inline int CompareCodeUnits(const wchar_t* a, const wchar_t* b)
{
    for (;; ++a, ++b) {
        auto ca = static_cast<unsigned short>(*a), cb = static_cast<unsigned short>(*b);
        if (ca != cb) return ca < cb ? -1 : 1;
        if (ca == 0) return 0;
    }
}

struct CompareNames {
    bool operator()(const std::wstring& a, const std::wstring& b) const
    {
        return CompareCodeUnits(a.c_str(), b.c_str()) > 0;
    }
};

// A script client passes a variable as a VARIANT by reference to a VARIANT: look through
// that one level.
inline const VARIANT& UnwrapByRefVariant(const VARIANT& v)
{
    if (V_VT(&v) == (VT_BYREF | VT_VARIANT) && V_VARIANTREF(&v)) return *V_VARIANTREF(&v);
    return v;
}

// Each member filed in the map is tied under the map's owner (tie.h), and its tie is cut
// when it leaves: a member that a client still holds then answers as let go.
template <class Member>
class NamedMap {
public:
    // owner: the tie members are tied under while filed; nullptr ties none (a list of
    // objects that stand on their own, such as the adapters of a Devices collection).
    explicit NamedMap(const Tie* owner = nullptr) : owner_(owner) {}
    NamedMap(const NamedMap&) = delete;
    NamedMap& operator=(const NamedMap&) = delete;
    ~NamedMap() { Clear(); }

    // The key a name is filed under: the text up to its first NUL; a null name is "".
    static std::wstring Key(const wchar_t* name) { return std::wstring(name ? name : L""); }

    long Count() const { return static_cast<long>(items_.size()); }

    HRESULT GetCount(long* out) const
    {
        if (!out) return E_POINTER;
        *out = Count();
        return S_OK;
    }

    // Files member under name (insert or replace); the map takes its own reference and
    // releases the one on a member it replaces. A replaced member is not let go: a client
    // that holds it keeps a working object, tied under the owner as before.
    void Put(const wchar_t* name, Member* member)
    {
        std::wstring key = Key(name);
        auto it = items_.find(key);
        member->AddRef();
        if (it != items_.end()) {
            Entry old = it->second;
            it->second = Entry{member, TieMember(member)};
            old.member->Release();
        } else {
            try {
                items_.emplace(std::move(key), Entry{member, TieMember(member)});
            } catch (...) {
                member->Release();
                throw;
            }
        }
    }

    // Takes the member filed under name out of the map without it leaving: the caller gets
    // the map's reference, to file the member again. nullptr when there is none.
    Member* Take(const wchar_t* name)
    {
        auto it = items_.find(Key(name));
        if (it == items_.end()) return nullptr;
        Member* member = it->second.member;
        items_.erase(it);
        return member;
    }

    Member* Find(const wchar_t* name) const
    {
        auto it = items_.find(Key(name));
        return it == items_.end() ? nullptr : it->second.member;
    }

    // The member at a 1-based position, or nullptr when out of range.
    Member* At(long position) const
    {
        if (position < 1 || position > Count()) return nullptr;
        auto it = items_.begin();
        std::advance(it, position - 1);
        return it->second.member;
    }

    // Visits name and member in map order.
    template <class F>
    void ForEach(F&& visit) const
    {
        for (const auto& [name, entry] : items_) visit(name, entry.member);
    }

    HRESULT Item(const VARIANT& index, VARIANT* out) const
    {
        if (!out) return E_POINTER;
        const VARIANT& v = UnwrapByRefVariant(index);
        Member* found = nullptr;
        switch (V_VT(&v)) {
        case VT_I4: found = At(V_I4(&v)); break;
        case VT_I2: found = At(V_I2(&v)); break;
        case VT_BSTR: found = Find(V_BSTR(&v)); break;
        default: return E_INVALIDARG;
        }
        if (!found) return E_INVALIDARG;
        IDispatch* dispatch = nullptr;
        HRESULT hr = found->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch));
        if (SUCCEEDED(hr)) {
            V_VT(out) = VT_DISPATCH;
            V_DISPATCH(out) = dispatch;
        }
        return hr;
    }

    // The first free key of a numbered series: prefix followed by the smallest n >= 0
    // that names no member (prefix + Count() while no member has left the series), and n.
    std::wstring FreeKey(const wchar_t* prefix, long* number = nullptr) const
    {
        for (long n = 0;; ++n) {
            std::wstring key = Key(prefix) + std::to_wstring(n);
            if (items_.find(key) == items_.end()) {
                if (number) *number = n;
                return key;
            }
        }
    }

    // Position or name by the bits of the type code: bit 2 a position (iVal for VT_I2,
    // the 32-bit value field otherwise), else bit 8 a name (only VT_BSTR is looked up).
    HRESULT Remove(const VARIANT& index)
    {
        return Remove(index, [](Member*) {});
    }

    // Remove, with leaving(member) called on the member found before the map lets it go.
    template <class F>
    HRESULT Remove(const VARIANT& index, F&& leaving)
    {
        const VARIANT& v = UnwrapByRefVariant(index);
        VARTYPE vt = V_VT(&v);
        typename Map::iterator it = items_.end();
        if (vt & 2) {
            long position = vt == VT_I2 ? V_I2(&v) : V_I4(&v);
            if (position < 1 || position > Count()) return E_INVALIDARG;
            it = items_.begin();
            std::advance(it, position - 1);
        } else if (vt & 8) {
            if (vt != VT_BSTR) return E_INVALIDARG;
            it = items_.find(Key(V_BSTR(&v)));
            if (it == items_.end()) return E_INVALIDARG;
        } else {
            return E_INVALIDARG;
        }
        Entry entry = it->second;
        items_.erase(it);
        leaving(entry.member);
        Leave(entry);
        entry.member->Release();
        return S_OK;
    }

    HRESULT Clear()
    {
        return Clear([](Member*) {});
    }

    // Clear, with leaving(member) called on each member, in map order, before its release.
    template <class F>
    HRESULT Clear(F&& leaving)
    {
        Map old;
        old.swap(items_);
        for (auto& [name, entry] : old) {
            leaving(entry.member);
            Leave(entry);
            entry.member->Release();
        }
        return S_OK;
    }

    // A snapshot enumerator of the members' IDispatch, in map order.
    HRESULT NewEnum(IUnknown** out) const
    {
        if (!out) return E_POINTER;
        *out = nullptr;
        std::vector<VARIANT> snapshot;
        try {
            snapshot.reserve(items_.size());
        } catch (...) {
            return E_OUTOFMEMORY;
        }
        for (const auto& [name, entry] : items_) {
            Member* member = entry.member;
            VARIANT v;
            VariantInit(&v);
            IDispatch* dispatch = nullptr;
            if (SUCCEEDED(member->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch)))) {
                V_VT(&v) = VT_DISPATCH;
                V_DISPATCH(&v) = dispatch;
            }
            snapshot.push_back(v);
        }
        *out = CreateVariantEnum(snapshot);
        for (VARIANT& v : snapshot) VariantClear(&v);
        return *out ? S_OK : E_OUTOFMEMORY;
    }

private:
    struct Entry {
        Member* member;
        Tie tie; // the member's tie under the owner, cut when it leaves
    };
    using Map = std::map<std::wstring, Entry, CompareNames>;

    Tie TieMember(Member* member) const { return owner_ ? TieTo(member, *owner_) : Tie(); }

    static void Leave(const Entry& entry) { entry.tie.Cut(); }

    const Tie* owner_ = nullptr;
    Map items_;
};

// The base of a collection class: the map, its members tied under the collection's own tie
// (unless the collection is constructed with TiesNone: its members stand on their own), and the
// collection members every collection interface has (_NewEnum, Item, Count) and those that
// some have (Remove, Clear), each through the member boundary: each overrides the
// interface's member of that name and signature where it has one. A collection whose
// member does more declares its own.
// Base is the class it builds on: CoClass, or a control's base for a collection that is a
// control.
template <class Itf, const IID* ItfId, const CLSID* ClassId, class Element, class Base = CoClass<Itf, ItfId, ClassId>>
class Collection : public Base {
public:
    HRESULT STDMETHODCALLTYPE get__NewEnum(IUnknown** out)
    {
        return this->Member([&] { return items_.NewEnum(out); });
    }
    HRESULT STDMETHODCALLTYPE Item(VARIANT index, VARIANT* out)
    {
        return this->Member([&] { return items_.Item(index, out); });
    }
    HRESULT STDMETHODCALLTYPE get_Count(long* out)
    {
        return this->Member([&] { return items_.GetCount(out); });
    }
    HRESULT STDMETHODCALLTYPE Remove(VARIANT index)
    {
        return this->Member([&] { return items_.Remove(index); });
    }
    HRESULT STDMETHODCALLTYPE Clear()
    {
        return this->Member([&] { return items_.Clear(); });
    }

protected:
    enum Members { TiesMembers, TiesNone };
    explicit Collection(Members members = TiesMembers) : items_(members == TiesMembers ? &this->OwnTie() : nullptr) {}

    NamedMap<Element> items_;
};

} // namespace zyk::com

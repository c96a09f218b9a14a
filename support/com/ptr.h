// Small owning wrappers for interface pointers and BSTRs.
#pragma once
#include <windows.h>
#include <oleauto.h>
#include "text.h"
#include <utility>

namespace zyk::com {

// Holds one reference on an interface pointer.
template <class T>
class Ptr {
public:
    Ptr() = default;
    Ptr(T* p) : p_(p)
    {
        if (p_) p_->AddRef();
    }
    Ptr(const Ptr& o) : Ptr(o.p_) {}
    Ptr(Ptr&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
    ~Ptr() { Reset(); }
    Ptr& operator=(Ptr o) noexcept
    {
        std::swap(p_, o.p_);
        return *this;
    }

    static Ptr Adopt(T* p)
    {
        Ptr r;
        r.p_ = p;
        return r;
    } // takes over an existing reference
    void Reset()
    {
        if (T* p = std::exchange(p_, nullptr)) p->Release();
    }
    T* Detach() { return std::exchange(p_, nullptr); }
    T** Out()
    {
        Reset();
        return &p_;
    }
    T* Get() const { return p_; }
    T* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }

    template <class U>
    Ptr<U> As(REFIID iid) const
    {
        Ptr<U> r;
        if (p_) p_->QueryInterface(iid, reinterpret_cast<void**>(r.Out()));
        return r;
    }

private:
    T* p_ = nullptr;
};

// Owns a BSTR.
class Bstr {
public:
    Bstr() = default;
    explicit Bstr(const wchar_t* s) : s_(s ? SysAllocString(s) : nullptr) {}
    Bstr(const Bstr& o) : s_(o.s_ ? SysAllocStringLen(o.s_, SysStringLen(o.s_)) : nullptr) {}
    Bstr(Bstr&& o) noexcept : s_(std::exchange(o.s_, nullptr)) {}
    ~Bstr() { SysFreeString(s_); }
    Bstr& operator=(Bstr o) noexcept
    {
        std::swap(s_, o.s_);
        return *this;
    }

    static Bstr Adopt(BSTR s)
    {
        Bstr r;
        r.s_ = s;
        return r;
    }
    static Bstr FromAnsi(const char* text);
    BSTR Get() const { return s_; }
    BSTR* Out()
    {
        SysFreeString(s_);
        s_ = nullptr;
        return &s_;
    }
    BSTR Copy() const { return s_ ? SysAllocStringLen(s_, SysStringLen(s_)) : SysAllocString(L""); }
    UINT Length() const { return SysStringLen(s_); }
    const wchar_t* Text() const { return s_ ? s_ : L""; }

    // The bodies of a BSTR property's getter and setter: a copy out (the empty string
    // for none), and a copy in.
    HRESULT CopyTo(BSTR* out) const
    {
        if (!out) return E_POINTER;
        *out = Copy();
        return *out ? S_OK : E_OUTOFMEMORY;
    }
    HRESULT Assign(BSTR value)
    {
        Bstr copy = Adopt(value ? SysAllocStringLen(value, SysStringLen(value)) : nullptr);
        if (value && !copy.s_) return E_OUTOFMEMORY;
        std::swap(s_, copy.s_);
        return S_OK;
    }

private:
    BSTR s_ = nullptr;
};

// The body of a plain property getter: copies the value out.
template <class T, class U>
HRESULT CopyOut(const T& value, U* out)
{
    if (!out) return E_POINTER;
    *out = static_cast<U>(value);
    return S_OK;
}

// A raw pointer handed down between objects as a 32-bit integer, and back.
template <class T>
T* FromHandle(long value)
{
    return reinterpret_cast<T*>(static_cast<LONG_PTR>(value));
}
inline long ToHandle(const void* p) { return static_cast<long>(reinterpret_cast<LONG_PTR>(p)); }

inline Bstr Bstr::FromAnsi(const char* text) { return Adopt(AnsiToBstr(text)); }

} // namespace zyk::com

// The IEnumVARIANT over copies of a snapshot of VARIANTs.
#include "enum.h"
#include "counted.h"
#include <new>

namespace zyk::com {

namespace {

class VariantEnum final : public Counted<IEnumVARIANT, &IID_IEnumVARIANT> {
public:
    ~VariantEnum() override
    {
        for (VARIANT& v : items_) VariantClear(&v);
    }

    bool Fill(const std::vector<VARIANT>& items, ULONG position)
    {
        try {
            items_.reserve(items.size());
        } catch (...) {
            return false;
        }
        for (const VARIANT& v : items) {
            VARIANT copy;
            VariantInit(&copy);
            if (FAILED(VariantCopy(&copy, const_cast<VARIANT*>(&v)))) return false;
            items_.push_back(copy);
        }
        position_ = position;
        return true;
    }

    HRESULT STDMETHODCALLTYPE Next(ULONG count, VARIANT* out, ULONG* fetched) override
    {
        if (!out) return E_POINTER;
        ULONG n = 0;
        while (n < count && position_ < items_.size()) {
            VariantInit(&out[n]);
            if (FAILED(VariantCopy(&out[n], &items_[position_]))) break;
            ++n;
            ++position_;
        }
        if (fetched) *fetched = n;
        return n == count ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE Skip(ULONG count) override
    {
        ULONG left = static_cast<ULONG>(items_.size()) - position_;
        if (count > left) {
            position_ = static_cast<ULONG>(items_.size());
            return S_FALSE;
        }
        position_ += count;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Reset() override
    {
        position_ = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Clone(IEnumVARIANT** out) override
    {
        if (!out) return E_POINTER;
        *out = nullptr;
        auto* copy = new (std::nothrow) VariantEnum();
        if (!copy) return E_OUTOFMEMORY;
        if (!copy->Fill(items_, position_)) {
            copy->Release();
            return E_OUTOFMEMORY;
        }
        *out = copy;
        return S_OK;
    }

private:
    std::vector<VARIANT> items_;
    ULONG position_ = 0;
};

} // namespace

IUnknown* CreateVariantEnum(const std::vector<VARIANT>& items)
{
    auto* e = new (std::nothrow) VariantEnum();
    if (!e) return nullptr;
    if (!e->Fill(items, 0)) {
        e->Release();
        return nullptr;
    }
    return e;
}

} // namespace zyk::com

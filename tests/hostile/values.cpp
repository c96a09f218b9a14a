#include "values.h"
#include <cmath>
#include <limits>
#include <string>

namespace hostile {

Arena::~Arena()
{
    for (VARIANT& v : variants) VariantClear(&v);
    for (BSTR s : strings) SysFreeString(s);
}

namespace {

struct Foreign final : IDispatch {
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override
    {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (iid != IID_IUnknown && iid != IID_IDispatch) return E_NOINTERFACE;
        *out = static_cast<IDispatch*>(this);
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; } // lives as long as the process
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* n) override
    {
        if (n) *n = 0;
        return n ? S_OK : E_POINTER;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** out) override
    {
        if (out) *out = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override
    {
        return DISP_E_UNKNOWNNAME;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override
    {
        return DISP_E_MEMBERNOTFOUND;
    }
};
Foreign foreign;

void Long(VARIANT& v, LONG n)
{
    V_VT(&v) = VT_I4;
    V_I4(&v) = n;
}
void Double(VARIANT& v, double d)
{
    V_VT(&v) = VT_R8;
    V_R8(&v) = d;
}
void Text(VARIANT& v, const std::wstring& s)
{
    V_VT(&v) = VT_BSTR;
    V_BSTR(&v) = SysAllocStringLen(s.data(), static_cast<UINT>(s.size()));
}
void Object(VARIANT& v, IDispatch* d)
{
    V_VT(&v) = VT_DISPATCH;
    V_DISPATCH(&v) = d;
    if (d) d->AddRef();
}
const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();

// A VARIANT argument by reference, as script clients pass their variables.
void RefVariant(VARIANT& v, Arena& a, void (*inner)(VARIANT&))
{
    a.variants.emplace_back();
    VariantInit(&a.variants.back());
    inner(a.variants.back());
    V_VT(&v) = VT_BYREF | VT_VARIANT;
    V_VARIANTREF(&v) = &a.variants.back();
}

SAFEARRAY* VariantArray()
{
    SAFEARRAY* sa = SafeArrayCreateVector(VT_VARIANT, 0, 2);
    LONG i = 0;
    VARIANT e;
    Long(e, 1);
    SafeArrayPutElement(sa, &i, &e);
    i = 1;
    Text(e, L"a");
    SafeArrayPutElement(sa, &i, &e);
    VariantClear(&e);
    return sa;
}

} // namespace

IDispatch* ForeignObject() { return &foreign; }

const Value kLong1{"I4 1", true, false, [](VARIANT& v, Arena&, IDispatch*) { Long(v, 1); }};
const Value kLong0{"I4 0", true, true, [](VARIANT& v, Arena&, IDispatch*) { Long(v, 0); }};
const Value kFalse{"Bool False", true, true, [](VARIANT& v, Arena&, IDispatch*) {
                       V_VT(&v) = VT_BOOL;
                       V_BOOL(&v) = VARIANT_FALSE;
                   }};
const Value kDouble1{"R8 1", true, false, [](VARIANT& v, Arena&, IDispatch*) { Double(v, 1.0); }};
const Value kText{"BSTR \"a\"", true, true, [](VARIANT& v, Arena&, IDispatch*) { Text(v, L"a"); }};
const Value kNoObject{"Dispatch null", true, true, [](VARIANT& v, Arena&, IDispatch*) { Object(v, nullptr); }};
const Value kDefaultText{"BSTR \"Default\"", true, true, [](VARIANT& v, Arena&, IDispatch*) { Text(v, L"Default"); }};

const std::vector<Value>& HostileValues()
{
    static const std::vector<Value> values = {
        {"Empty", true, true, [](VARIANT& v, Arena&, IDispatch*) { V_VT(&v) = VT_EMPTY; }},
        {"Null", true, true, [](VARIANT& v, Arena&, IDispatch*) { V_VT(&v) = VT_NULL; }},
        {"Missing", true, true,
         [](VARIANT& v, Arena&, IDispatch*) {
             V_VT(&v) = VT_ERROR;
             V_ERROR(&v) = DISP_E_PARAMNOTFOUND;
         }},
        kLong0,
        {"I4 -1", true, false, [](VARIANT& v, Arena&, IDispatch*) { Long(v, -1); }},
        {"I4 -2147483648", true, false, [](VARIANT& v, Arena&, IDispatch*) { Long(v, LONG_MIN); }},
        {"I4 2147483647", false, false, [](VARIANT& v, Arena&, IDispatch*) { Long(v, LONG_MAX); }},
        {"I2 -32768", false, false,
         [](VARIANT& v, Arena&, IDispatch*) {
             V_VT(&v) = VT_I2;
             V_I2(&v) = -32768;
         }},
        {"UI1 255", false, false,
         [](VARIANT& v, Arena&, IDispatch*) {
             V_VT(&v) = VT_UI1;
             V_UI1(&v) = 255;
         }},
        {"R8 NaN", true, false, [](VARIANT& v, Arena&, IDispatch*) { Double(v, kNaN); }},
        {"R8 +Inf", true, false, [](VARIANT& v, Arena&, IDispatch*) { Double(v, kInf); }},
        {"R8 -Inf", false, false, [](VARIANT& v, Arena&, IDispatch*) { Double(v, -kInf); }},
        {"R4 NaN", false, false,
         [](VARIANT& v, Arena&, IDispatch*) {
             V_VT(&v) = VT_R4;
             V_R4(&v) = std::numeric_limits<float>::quiet_NaN();
         }},
        {"R8 1e308", false, false, [](VARIANT& v, Arena&, IDispatch*) { Double(v, 1e308); }},
        {"R8 -4294967296", false, false, [](VARIANT& v, Arena&, IDispatch*) { Double(v, -4294967296.0); }},
        {"R8 -1e-310", false, false, [](VARIANT& v, Arena&, IDispatch*) { Double(v, -1e-310); }},
        {"Bool True", false, false,
         [](VARIANT& v, Arena&, IDispatch*) {
             V_VT(&v) = VT_BOOL;
             V_BOOL(&v) = VARIANT_TRUE;
         }},
        {"Date 1e7", false, false,
         [](VARIANT& v, Arena&, IDispatch*) {
             V_VT(&v) = VT_DATE;
             V_DATE(&v) = 1e7;
         }},
        {"CY max", false, false,
         [](VARIANT& v, Arena&, IDispatch*) {
             V_VT(&v) = VT_CY;
             V_CY(&v).int64 = 0x7FFFFFFFFFFFFFFFLL;
         }},
        {"BSTR null", true, true,
         [](VARIANT& v, Arena&, IDispatch*) {
             V_VT(&v) = VT_BSTR;
             V_BSTR(&v) = nullptr;
         }},
        {"BSTR \"\"", false, true, [](VARIANT& v, Arena&, IDispatch*) { Text(v, L""); }},
        {"BSTR of 100000 characters", true, true,
         [](VARIANT& v, Arena&, IDispatch*) { Text(v, std::wstring(100000, L'A')); }},
        {"BSTR \"a\\0b.bmp\" (embedded zero)", true, true,
         [](VARIANT& v, Arena&, IDispatch*) { Text(v, std::wstring(L"a\0b.bmp", 7)); }},
        {"BSTR missing file", true, true,
         [](VARIANT& v, Arena&, IDispatch*) { Text(v, L"C:\\zyk-missing\\none.bmp"); }},
        {"BSTR folder", true, true, [](VARIANT& v, Arena&, IDispatch*) { Text(v, L"C:\\windows"); }},
        {"BSTR folder with backslash", false, true, [](VARIANT& v, Arena&, IDispatch*) { Text(v, L"C:\\windows\\"); }},
        {"BSTR file name of 300 characters", false, true,
         [](VARIANT& v, Arena&, IDispatch*) { Text(v, std::wstring(296, L'n') + L".wav"); }},
        {"BSTR \"-1\"", false, false, [](VARIANT& v, Arena&, IDispatch*) { Text(v, L"-1"); }},
        {"BSTR \"1e999\"", false, false, [](VARIANT& v, Arena&, IDispatch*) { Text(v, L"1e999"); }},
        kNoObject,
        {"Unknown null", false, true,
         [](VARIANT& v, Arena&, IDispatch*) {
             V_VT(&v) = VT_UNKNOWN;
             V_UNKNOWN(&v) = nullptr;
         }},
        {"Dispatch foreign", true, true, [](VARIANT& v, Arena&, IDispatch*) { Object(v, ForeignObject()); }},
        {"Dispatch the object itself", false, false, [](VARIANT& v, Arena&, IDispatch* self) { Object(v, self); }},
        {"Array of Variant", true, true,
         [](VARIANT& v, Arena&, IDispatch*) {
             V_VT(&v) = VT_ARRAY | VT_VARIANT;
             V_ARRAY(&v) = VariantArray();
         }},
        {"Empty array of I4", false, true,
         [](VARIANT& v, Arena&, IDispatch*) {
             V_VT(&v) = VT_ARRAY | VT_I4;
             V_ARRAY(&v) = SafeArrayCreateVector(VT_I4, 0, 0);
         }},
        {"ByRef Variant I4 -1", true, false,
         [](VARIANT& v, Arena& a, IDispatch*) { RefVariant(v, a, [](VARIANT& in) { Long(in, -1); }); }},
        {"ByRef Variant Empty", false, true,
         [](VARIANT& v, Arena& a, IDispatch*) { RefVariant(v, a, [](VARIANT& in) { V_VT(&in) = VT_EMPTY; }); }},
        {"ByRef Variant BSTR of 100000 characters", false, true,
         [](VARIANT& v, Arena& a, IDispatch*) {
             RefVariant(v, a, [](VARIANT& in) { Text(in, std::wstring(100000, L'B')); });
         }},
        {"ByRef I4 2147483647", false, false,
         [](VARIANT& v, Arena& a, IDispatch*) {
             a.longs.push_back(LONG_MAX);
             V_VT(&v) = VT_BYREF | VT_I4;
             V_I4REF(&v) = &a.longs.back();
         }},
        {"ByRef BSTR null", false, true,
         [](VARIANT& v, Arena& a, IDispatch*) {
             a.strings.push_back(nullptr);
             V_VT(&v) = VT_BYREF | VT_BSTR;
             V_BSTRREF(&v) = &a.strings.back();
         }},
    };
    return values;
}

} // namespace hostile

#include "latebound.h"
#include "com/ptr.h"

namespace {

HRESULT Invoke(IUnknown* object, const wchar_t* name, WORD flags, DISPPARAMS* params)
{
    if (!object) return E_POINTER;
    zyk::com::Ptr<IDispatch> dispatch;
    HRESULT hr = object->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(dispatch.Out()));
    if (FAILED(hr)) return hr;
    DISPID id = 0;
    LPOLESTR n = const_cast<LPOLESTR>(name);
    hr = dispatch->GetIDsOfNames(IID_NULL, &n, 1, LOCALE_USER_DEFAULT, &id);
    if (FAILED(hr)) return hr;
    EXCEPINFO excep{};
    VARIANT result;
    VariantInit(&result);
    UINT argErr = 0;
    hr = dispatch->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, params, &result, &excep, &argErr);
    if (hr == DISP_E_EXCEPTION && FAILED(excep.scode)) hr = excep.scode;
    SysFreeString(excep.bstrDescription);
    SysFreeString(excep.bstrSource);
    SysFreeString(excep.bstrHelpFile);
    VariantClear(&result);
    return hr;
}

} // namespace

HRESULT PutLong(IUnknown* object, const wchar_t* name, long value)
{
    VARIANT arg;
    V_VT(&arg) = VT_I4;
    V_I4(&arg) = value;
    DISPID named = DISPID_PROPERTYPUT;
    DISPPARAMS params{&arg, &named, 1, 1};
    return Invoke(object, name, DISPATCH_PROPERTYPUT, &params);
}

HRESULT CallMember(IUnknown* object, const wchar_t* name, bool hasArg, long value)
{
    VARIANT arg;
    V_VT(&arg) = VT_I4;
    V_I4(&arg) = value;
    DISPPARAMS params{hasArg ? &arg : nullptr, nullptr, hasArg ? 1u : 0u, 0};
    return Invoke(object, name, DISPATCH_METHOD, &params);
}

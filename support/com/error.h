// Publishing COM error information for a client, and the guarded call that every
// member with an error convention runs its body through.
#pragma once
#include <windows.h>
#include <oleauto.h>
#include <type_traits>

namespace zyk::com {

// Sets the thread's error information: the description, the interface id as GUID, the
// class's versioned ProgID as source, help file "" and help context 0. Returns hr.
// Failing to build the error object is not visible: hr is still returned.
HRESULT PublishError(REFCLSID clsid, REFIID iid, const wchar_t* description, HRESULT hr);

namespace detail {

// Calls fn(arg) inside an i386 structured-exception frame of its own. Returns 0 when fn
// returns, or the exception code of a machine fault (access violation, division fault,
// illegal instruction, ...) raised inside it: the handler resumes execution after the
// call with the frame chain restored. fn must not let a C++ exception out.
extern "C" DWORD zyk_call_with_fault_frame(void (*fn)(void*), void* arg);

bool IsMachineFault(DWORD code);

} // namespace detail

// Runs body with the fault frame around it; see zyk_call_with_fault_frame.
template <class Body>
DWORD RunWithFaultFrame(Body& body)
{
    return detail::zyk_call_with_fault_frame([](void* b) { (*static_cast<Body*>(b))(); }, &body);
}

// The member error convention: Failure is the error record type (thrown by value, with
// Report(clsid, iid) returning its HRESULT and a (HRESULT, const char*) constructor).
// The body returns void (S_OK) or an HRESULT. A thrown Failure is reported and its code
// returned; any other exception, and any machine fault, is reported as E_FAIL
// "Exception Raised.".
template <class Failure, class Body>
HRESULT Guarded(REFCLSID clsid, REFIID iid, Body&& body)
{
    HRESULT hr = S_OK;
    auto protectedBody = [&]() {
        try {
            if constexpr (std::is_void_v<decltype(body())>) {
                body();
            } else {
                hr = body();
            }
        } catch (Failure& f) {
            hr = f.Report(clsid, iid);
        } catch (...) {
            hr = Failure(E_FAIL, "Exception Raised.").Report(clsid, iid);
        }
    };
    if (RunWithFaultFrame(protectedBody) != 0)
        hr = Failure(E_FAIL, "Exception Raised.").Report(clsid, iid);
    return hr;
}

// The same convention for servers whose members catch only their error record: other
// exceptions are not caught, machine faults are not trapped.
template <class Failure, class Body>
HRESULT GuardedFailureOnly(REFCLSID clsid, REFIID iid, Body&& body)
{
    try {
        if constexpr (std::is_void_v<decltype(body())>) {
            body();
            return S_OK;
        } else {
            return body();
        }
    } catch (Failure& f) {
        return f.Report(clsid, iid);
    }
}

} // namespace zyk::com

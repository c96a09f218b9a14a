// The one boundary that every member of every class runs its body through.
//
//   HRESULT CCamera::Update() { return Member([&] { ... throw failure(E_POINTER, "..."); }); }
//
// On entry it clears the thread's error information, so that nothing an earlier call left
// is read as this call's. The body returns void (S_OK) or an HRESULT:
//   - a thrown failure is published as error information for the class and interface, and
//     its code returned;
//   - any other exception, and a machine fault (access violation, division fault), is
//     E_FAIL "Exception Raised." (unless the convention catches failure only);
//   - a success leaves no error information, whatever calls made inside it left;
//   - a failure the body returns keeps what was published for it inside the body (the
//     controller server publishes its own texts, a pass-through keeps its callee's), and
//     otherwise has none: an Item out of range has no text.
#pragma once
#include "error.h"
#include "failure.h"
#include <type_traits>

namespace zyk::com {

// What a member catches: everything (its Part's "Exception Raised."), or only the error
// record, letting any other exception go on to the caller.
enum class Catch { Everything, FailureOnly };

namespace detail {

inline void ClearErrorInfo() { SetErrorInfo(0, nullptr); }

template <class Body>
HRESULT RunBody(Body& body)
{
    if constexpr (std::is_void_v<decltype(body())>) {
        body();
        return S_OK;
    } else {
        return body();
    }
}

} // namespace detail

template <class Body>
HRESULT Boundary(REFCLSID clsid, REFIID iid, Body&& body, Catch catching = Catch::Everything)
{
    detail::ClearErrorInfo();
    HRESULT hr = S_OK;
    bool reported = false;
    auto report = [&](const failure& f) {
        hr = f.Report(clsid, iid);
        reported = true;
    };
    if (catching == Catch::FailureOnly) {
        try {
            hr = detail::RunBody(body);
        } catch (const failure& f) {
            report(f);
        }
    } else {
        auto guarded = [&]() {
            try {
                hr = detail::RunBody(body);
            } catch (const failure& f) {
                report(f);
            } catch (...) {
                report(failure(E_FAIL, "Exception Raised."));
            }
        };
        if (RunWithFaultFrame(guarded) != 0) report(failure(E_FAIL, "Exception Raised."));
    }
    if (!reported && SUCCEEDED(hr)) detail::ClearErrorInfo();
    return hr;
}

} // namespace zyk::com

// Publishing COM error information for a client, and the structured-exception frame that
// the member boundary (boundary.h) runs a body inside.
#pragma once
#include <windows.h>
#include <oleauto.h>

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

} // namespace zyk::com

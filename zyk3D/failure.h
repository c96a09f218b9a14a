// The error record thrown inside the members of the servers, and the member convention
// built on it.
#pragma once
#include <windows.h>
#include <oleauto.h>
#include "com/error.h"

class failure {
public:
    // The system's message text for hr (if it has one), followed directly by text.
    failure(HRESULT hr, const char* text);
    // The module's string-table entry id (empty when the id is not in the table).
    failure(HRESULT hr, UINT id);
    failure(const failure& other);
    failure& operator=(const failure& other);
    ~failure();

    // Publishes the record as the thread's error information for the class and
    // interface; returns the record's result.
    HRESULT Report(const CLSID& clsid, const IID& iid) const;

    HRESULT Result() const { return result_; }
    const wchar_t* Description() const { return description_ ? description_ : L""; }

private:
    HRESULT result_;
    BSTR description_;
    BSTR helpFile_;
};

// Runs a member body under the member convention: a thrown failure is reported and its
// code returned; anything else, machine faults included, is E_FAIL "Exception Raised.".
template <class Body>
HRESULT Guard(const CLSID& clsid, const IID& iid, Body&& body)
{
    return zyk::com::Guarded<failure>(clsid, iid, static_cast<Body&&>(body));
}

// The convention of the servers whose members catch only failure.
template <class Body>
HRESULT GuardFailure(const CLSID& clsid, const IID& iid, Body&& body)
{
    return zyk::com::GuardedFailureOnly<failure>(clsid, iid, static_cast<Body&&>(body));
}

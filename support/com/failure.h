// The error record thrown inside the members of every server: an HRESULT and the text the
// client sees, published as COM error information at the member's boundary (boundary.h).
#pragma once
#include <windows.h>
#include <oleauto.h>

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
};

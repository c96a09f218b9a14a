// COS: the operating system.
#pragma once
#include "system.h"
#include "com/create.h"

// The operating system: folders, computer and user name, registration texts, and its
// version object. Also an ActiveX control that shows an icon.
class COS : public sys::Control<IOS, &IID_IOS, &CLSID_OS, &DIID__IOSEvents> {
public:
    COS();
    ~COS() override;

    HRESULT STDMETHODCALLTYPE get_ComputerName(BSTR* out) override;
    HRESULT STDMETHODCALLTYPE put_ComputerName(BSTR) override
    {
        return Member([] { return E_NOTIMPL; });
    }
    HRESULT STDMETHODCALLTYPE get_SysDir(BSTR* out) override;
    HRESULT STDMETHODCALLTYPE get_TempDir(BSTR* out) override;
    HRESULT STDMETHODCALLTYPE get_User(BSTR* out) override;
    HRESULT STDMETHODCALLTYPE get_Version(IDispatch** out) override;
    HRESULT STDMETHODCALLTYPE get_WinDir(BSTR* out) override;
    HRESULT STDMETHODCALLTYPE get_RegOwner(BSTR* out) override;
    HRESULT STDMETHODCALLTYPE get_RegOrganisation(BSTR* out) override;
    HRESULT STDMETHODCALLTYPE get_CommonDir(BSTR* out) override;

private:
    // A folder from fn(buffer, size), kept in cache and a copy returned.
    template <class F>
    HRESULT Folder(BSTR* out, zyk::com::Bstr& cache, F&& fn);

    zyk::com::Apartment apartment_;
    zyk::com::Ptr<IOSVersion> version_;
    zyk::com::Bstr winDir_;
    zyk::com::Bstr otherDir_;
};

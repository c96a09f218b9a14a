// CPropPage: the server's property page.
#pragma once
#include "system.h"
#include "com/object.h"
#include <vector>

// The server's property page: an empty dialog, with its title, help file and doc string
// from the string table.
class CPropPage : public IPropertyPage, public zyk::com::ObjectRoot {
public:
    ~CPropPage() override;

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override { return OuterQueryInterface(iid, out); }
    ULONG STDMETHODCALLTYPE AddRef() override { return OuterAddRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return OuterRelease(); }

    // IPropertyPage
    HRESULT STDMETHODCALLTYPE SetPageSite(IPropertyPageSite* site) override;
    HRESULT STDMETHODCALLTYPE Activate(HWND parent, LPCRECT rect, BOOL modal) override;
    HRESULT STDMETHODCALLTYPE Deactivate() override;
    HRESULT STDMETHODCALLTYPE GetPageInfo(PROPPAGEINFO* info) override;
    HRESULT STDMETHODCALLTYPE SetObjects(ULONG count, IUnknown** objects) override;
    HRESULT STDMETHODCALLTYPE Show(UINT cmd) override;
    HRESULT STDMETHODCALLTYPE Move(LPCRECT rect) override;
    HRESULT STDMETHODCALLTYPE IsPageDirty() override { return dirty_ ? S_OK : S_FALSE; }
    HRESULT STDMETHODCALLTYPE Apply() override;
    HRESULT STDMETHODCALLTYPE Help(LPCOLESTR helpDir) override;
    HRESULT STDMETHODCALLTYPE TranslateAccelerator(MSG*) override { return S_FALSE; }

protected:
    IUnknown* Identity() override { return static_cast<IPropertyPage*>(this); }
    HRESULT FindInterface(REFIID iid, void** out) override;

private:
    void ReleaseObjects();

    IPropertyPageSite* site_ = nullptr;
    std::vector<IUnknown*> objects_;
    HWND page_ = nullptr;
    bool dirty_ = false;
};

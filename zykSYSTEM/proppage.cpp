// CPropPage: the property page's empty dialog, its page information and the objects it is given.
#include "proppage.h"
#include <cstring>

namespace {

std::string LoadText(UINT id)
{
    char text[512] = {};
    if (LoadStringA(zyk::com::ThisModule().Instance(), id, text, sizeof text) <= 0) return std::string();
    return text;
}

// A string-table text in task memory, as the page's caller frees it.
LPOLESTR TaskText(UINT id)
{
    const zyk::com::Bstr text = zyk::com::Bstr::FromAnsi(LoadText(id).c_str());
    const size_t bytes = sizeof(wchar_t) * (text.Length() + 1);
    auto* out = static_cast<LPOLESTR>(CoTaskMemAlloc(bytes));
    if (out) memcpy(out, text.Text(), bytes);
    return out;
}

INT_PTR CALLBACK PageProc(HWND, UINT msg, WPARAM, LPARAM) { return msg == WM_INITDIALOG; }

} // namespace

CPropPage::~CPropPage()
{
    Deactivate();
    ReleaseObjects();
    if (site_) site_->Release();
}

HRESULT CPropPage::FindInterface(REFIID iid, void** out)
{
    if (iid == IID_IPropertyPage) {
        *out = static_cast<IPropertyPage*>(this);
        return S_OK;
    }
    return E_NOINTERFACE;
}

HRESULT CPropPage::SetPageSite(IPropertyPageSite* site)
{
    if (site) site->AddRef();
    if (site_) site_->Release();
    site_ = site;
    return S_OK;
}

HRESULT CPropPage::Activate(HWND parent, LPCRECT rect, BOOL)
{
    if (page_) return E_UNEXPECTED;
    page_ = CreateDialogParamA(zyk::com::ThisModule().Instance(), MAKEINTRESOURCEA(IDD_PROPPAGE), parent, &PageProc, 0);
    if (!page_) return E_FAIL;
    if (rect) Move(rect);
    return S_OK;
}

HRESULT CPropPage::Deactivate()
{
    if (page_) DestroyWindow(page_);
    page_ = nullptr;
    return S_OK;
}

HRESULT CPropPage::GetPageInfo(PROPPAGEINFO* info)
{
    if (!info) return E_POINTER;
    // The dialog's size in pixels, from its template's dialog units.
    RECT size{0, 0, 271, 105};
    HWND probe = CreateDialogParamA(zyk::com::ThisModule().Instance(), MAKEINTRESOURCEA(IDD_PROPPAGE),
                                    GetDesktopWindow(), &PageProc, 0);
    if (probe) {
        MapDialogRect(probe, &size);
        DestroyWindow(probe);
    }
    info->cb = sizeof *info;
    info->pszTitle = TaskText(IDS_TITLEPropPage);
    info->size.cx = size.right;
    info->size.cy = size.bottom;
    info->pszDocString = TaskText(IDS_DOCSTRINGPropPage);
    info->pszHelpFile = TaskText(IDS_HELPFILEPropPage);
    info->dwHelpContext = 0;
    return S_OK;
}

void CPropPage::ReleaseObjects()
{
    for (IUnknown* o : objects_)
        if (o) o->Release();
    objects_.clear();
}

HRESULT CPropPage::SetObjects(ULONG count, IUnknown** objects)
{
    if (count && !objects) return E_POINTER;
    ReleaseObjects();
    try {
        for (ULONG i = 0; i < count; ++i) {
            if (objects[i]) objects[i]->AddRef();
            objects_.push_back(objects[i]);
        }
    } catch (...) {
        ReleaseObjects();
        return E_OUTOFMEMORY;
    }
    return S_OK;
}

HRESULT CPropPage::Show(UINT cmd)
{
    if (page_) ShowWindow(page_, cmd);
    return S_OK;
}

HRESULT CPropPage::Move(LPCRECT rect)
{
    if (!rect) return E_POINTER;
    if (page_) MoveWindow(page_, rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top, TRUE);
    return S_OK;
}

HRESULT CPropPage::Apply()
{
    dirty_ = false;
    return S_OK;
}

HRESULT CPropPage::Help(LPCOLESTR)
{
    WinHelpA(page_, LoadText(IDS_HELPFILEPropPage).c_str(), HELP_CONTEXTPOPUP, 0);
    return S_OK;
}

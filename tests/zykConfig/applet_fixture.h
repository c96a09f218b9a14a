// The applet loaded as the Control Panel loads it, and its dialog driven from a thread
// timer while the dialog's own modal loop runs.
#pragma once
#include "testkit.h"
#include <commctrl.h>
#include <cpl.h>
#include <functional>
#include <string>
#include <vector>

namespace applet {

// The applet's file, the sample game's and the sample that opens the applet, as Windows
// paths.
std::string AppletFile();
std::string GameFile();
std::string AppletSampleFile();

class Applet {
public:
    explicit Applet(const std::string& file = AppletFile());
    ~Applet();
    HMODULE Module() const { return module_; }
    LONG Call(UINT message, LPARAM first = 0, LPARAM second = 0);

    // Opens the dialog (CPL_DBLCLK) and runs body on it once the analysis is done and the
    // settings are shown; then the button closeWith is pressed, after whatever body
    // posted to the dialog. Returns false when no dialog showed.
    bool WithDialog(const std::function<void(HWND)>& body, int closeWith = IDCANCEL);

private:
    HMODULE module_ = nullptr;
    APPLET_PROC entry_ = nullptr;
};

// An enumeration callback that stops at the applet's dialog once it is shown (which it is
// once the analysis is done and the settings are shown), storing it in the HWND that found
// points to.
BOOL CALLBACK FindShownDialog(HWND window, LPARAM found);

// A ComboBoxEx item: its text and its image's index in the shared image list.
struct Item {
    std::string text;
    int image = -1;
};
std::vector<Item> Items(HWND dialog, int list);
std::vector<std::string> Strings(HWND dialog, int plainList); // a plain combo box
long Selection(HWND dialog, int list);
std::string Text(HWND dialog, int control);

// Whether entry index of the dialog's image list shows the applet's icon of that id.
bool ShowsIcon(HWND dialog, int index, HMODULE module, int iconId);

// A mouse click on a control (a button, or a flag that notifies clicks).
void Click(HWND dialog, int control);

// Switches the tab strip to a page as a click does, and tells which controls show.
void ClickTab(HWND dialog, int tab);
bool Shown(HWND dialog, int control);

// The windows of a dialog, itself included, that still await painting.
int Unpainted(HWND dialog);

// The settings key of the current user, as the applet writes it.
extern const char kSettingsKey[];
void DeleteSettings();
void WriteSetting(const char* name, const char* value);
// A value's text, or "(none)".
std::string Setting(const char* name);

// The IUnknown and IDispatch of a stand-in for one of the servers' objects (Itf, answered
// for iid), counted and dispatching nothing: a stand-in defines its members of Itf.
template <class Itf>
struct StandIn : Itf {
    explicit StandIn(const IID& iid) : iid(iid) {}
    virtual ~StandIn() = default;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID asked, void** out) override
    {
        *out = asked == IID_IUnknown || asked == IID_IDispatch || asked == iid ? this : nullptr;
        if (!*out) return E_NOINTERFACE;
        this->AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const ULONG left = --refs;
        if (!left) delete this;
        return left;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override
    {
        return E_NOTIMPL;
    }

    const IID iid;
    ULONG refs = 1;
};

// A class object of the test's own, registered for the test's apartment in place of a
// server's class while it lives: each object it makes is what make gives.
class StandInClass final : public IClassFactory {
public:
    StandInClass(const CLSID& clsid, std::function<IUnknown*()> make);
    ~StandInClass();
    bool Registered() const { return cookie_ != 0; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; } // lives on the test's stack
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) override;
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }

private:
    std::function<IUnknown*()> make_;
    DWORD cookie_ = 0;
};

} // namespace applet

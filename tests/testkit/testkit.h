// Helpers for test programs that act as COM clients under Wine.
#pragma once
#include <windows.h>
#include <ole2.h>
#include <olectl.h>
#include <oleauto.h>
#include <functional>
#include <string>
#include <vector>
#include <gtest/gtest.h>
#include "com/ptr.h"
#include "counts/counts.h"

namespace testkit {

// COM on the test thread for the scope.
struct ComScope {
    ComScope() { CoInitialize(nullptr); }
    ~ComScope() { CoUninitialize(); }
};

// The thread's error information, read (and cleared) with GetErrorInfo.
struct ErrorRecord {
    bool present = false;
    std::wstring description, source, helpFile;
    GUID guid{};
    DWORD helpContext = 0;
};
ErrorRecord TakeError();
void ClearError();

// The system's message text for hr with FormatMessageA, as the servers prepend it
// ("" when the system has none), widened.
std::wstring SystemText(HRESULT hr);

std::wstring Widen(const std::string& s);
std::string Narrow(const std::wstring& s);

// Creates an object by ProgID.
HRESULT CreateByProgId(const wchar_t* progId, REFIID iid, void** out);

// Late-bound calls through IDispatch; excep receives what DispInvoke reported.
HRESULT DispGet(IDispatch* d, const wchar_t* name, VARIANT* result, EXCEPINFO* excep = nullptr);
HRESULT DispPut(IDispatch* d, const wchar_t* name, const VARIANT& value, EXCEPINFO* excep = nullptr);
// args in natural (left-to-right) order.
HRESULT DispCall(IDispatch* d, const wchar_t* name, std::vector<VARIANT> args, VARIANT* result = nullptr,
                 EXCEPINFO* excep = nullptr, WORD flags = DISPATCH_METHOD);
void FreeExcepInfo(EXCEPINFO& e);

VARIANT VarI4(long v);
VARIANT VarI2(short v);
VARIANT VarR4(float v);
VARIANT VarR8(double v);
VARIANT VarBool(bool v);
VARIANT VarBstr(const wchar_t* s); // the VARIANT owns the string: VariantClear it

// Registry: whether a key exists under a root, and a string value ("" for the default).
bool KeyExists(HKEY root, const std::wstring& path);
bool ReadString(HKEY root, const std::wstring& path, const wchar_t* name, std::wstring& out);

// Collects the OutputDebugStringA lines written on any thread while it lives.
class DebugCapture {
public:
    DebugCapture();
    ~DebugCapture();
    std::vector<std::string> Lines() const;
    bool Contains(const std::string& text) const;

private:
    void* handler_;
};

std::wstring GuidText(const GUID& g);

// The GUID of the dispatch-level "Exception Raised." check: description ends with text.
bool EndsWith(const std::wstring& s, const std::wstring& tail);

} // namespace testkit

namespace testkit {

// A shown top-level window with a client area of width x height, for rendering.
HWND CreateTestWindow(int width, int height, const char* title = "zyk test");

// The colour at client position (x, y) of a window as the screen shows it, read by
// locking a primary surface of a DirectDraw object of the test's own (GDI reads 0 under
// Wine). Returns false when the pixel cannot be read.
struct Rgb {
    int r = -1, g = -1, b = -1;
};
bool ReadScreenPixel(HWND window, int x, int y, Rgb& out);

// Waits until the screen shows expected (each channel within tolerance) at client position
// (x, y) of the window, calling present (which shows the frame again) between reads and
// pumping messages; gives up after limitMs. The result is a failure message with the last
// colour read, or success: use it as EXPECT_TRUE(testkit::ScreenShows(...)).
::testing::AssertionResult ScreenShows(HWND window, int x, int y, Rgb expected, const std::function<void()>& present,
                                       int tolerance = 1, DWORD limitMs = 30000);

// Pumps the thread's pending window messages.
void PumpMessages();

} // namespace testkit

namespace testkit {

// A path in the temporary folder, and whole-file reads and writes in binary.
std::string TempPath(const char* name);
// A folder of the temporary folder for this process's files, made on first use: prefix
// followed by the process id and a backslash.
std::string ProcessFolder(const char* prefix);
std::string ReadAll(const std::string& path);
void WriteAll(const std::string& path, const std::string& bytes);

} // namespace testkit

namespace testkit {

// An object created by ProgID (a failed creation is a test failure and gives nullptr).
template <class T>
T* Create(const wchar_t* progId, REFIID iid)
{
    T* p = nullptr;
    EXPECT_EQ(CreateByProgId(progId, iid, reinterpret_cast<void**>(&p)), S_OK);
    return p;
}

// The interface iid of an IDispatch that a member handed out, which it releases; nullptr
// when there is none or it does not answer.
template <class T>
T* As(IDispatch* d, REFIID iid)
{
    T* p = nullptr;
    if (d) {
        d->QueryInterface(iid, reinterpret_cast<void**>(&p));
        d->Release();
    }
    return p;
}

// The thread's error information is there with exactly this source, GUID and description.
void ExpectError(const wchar_t* source, REFIID iid, const std::wstring& description);

// An object created by ProgID and held (a failed creation is a test failure and holds nothing).
template <class T>
zyk::com::Ptr<T> Make(const wchar_t* progId, REFIID iid)
{
    zyk::com::Ptr<T> p;
    EXPECT_EQ(CreateByProgId(progId, iid, reinterpret_cast<void**>(p.Out())), S_OK) << Narrow(progId);
    return p;
}

// Releases the reference that p holds, leaving p empty, and checks the count Release
// returned: 0 when it was the last reference to the object. Called through EXPECT_RELEASED
// and EXPECT_RELEASED_TO, which report the caller's file and line.
void ExpectReleasedAt(const char* file, int line, IUnknown* object, ULONG expected);
template <class T>
void ExpectReleased(const char* file, int line, zyk::com::Ptr<T>& p, ULONG expected)
{
    ExpectReleasedAt(file, line, p.Detach(), expected);
}

} // namespace testkit

// The test's last reference to p's object is released, and with it the object.
#define EXPECT_RELEASED(p) ::testkit::ExpectReleased(__FILE__, __LINE__, (p), 0)
// p's reference is released, and count references to its object are left.
#define EXPECT_RELEASED_TO(p, count) ::testkit::ExpectReleased(__FILE__, __LINE__, (p), (count))

namespace testkit {

// One of Wine's per-program settings: value name = value under
// HKCU\Software\Wine\AppDefaults\<program>[\subkey].
struct ProgramSetting {
    const char* subkey; // "" for the program's own key, or "DllOverrides", ...
    const char* name;
    const char* value;
};

// Runs a copy of this test program under the file name program (in the temporary folder)
// with a gtest filter, the environment variable marker set to value for it, and the
// settings in place for that name while it runs; then removes the copy and the settings.
// Returns the copy's exit code, or -1 when it could not be started.
long RunCopy(const std::string& program, const std::string& filter, const char* marker, const std::string& value,
             const std::vector<ProgramSetting>& settings);

} // namespace testkit

namespace testkit {

// The GDI and USER objects that the process holds (support/counts).
using zyk::counts::GdiObjectCount;
using zyk::counts::UserObjectCount;

} // namespace testkit

namespace testkit {

// One class of a server as its registration script leaves it.
struct RegisteredClass {
    const wchar_t* progWord; // the first part of its ProgIDs ("zyk3D", "ZYKGFX", "Gfx")
    const wchar_t* name;     // the class name, the rest of them
    const CLSID* clsid;
    int toolboxBitmap = 0;               // a control's toolbox bitmap; 0 for a class that is no control
    const wchar_t* miscStatus = nullptr; // a control's MiscStatus bits of its content aspect
};

// The RegisteredClass of a row of a server's class table (<server>_classes.h):
//   const std::vector<testkit::RegisteredClass> classes{ZYKGFX_CLASSES(ZYK_REGISTERED_CLASS)};
#define ZYK_REGISTERED_CLASS(name, text, scriptId, impl, aggregatable, word, progId, toolbox, misc)                    \
    ::testkit::RegisteredClass{word, text, &CLSID_##name, toolbox, misc},

// Checks every key the script writes for each class: both ProgIDs ("word.Name.1" and
// "word.Name": "Name Class", CLSID, CurVer) and that they resolve to the class; the class
// key ("Name Class", ProgID, VersionIndependentProgID, Programmable, the module as
// InprocServer32 with "Apartment" threading, TypeLib libId); for a control also Control,
// Insertable, ToolboxBitmap32 (a bitmap the module holds), MiscStatus and Version 1.0,
// and for any other class no Control key. module is the server's file name.
void ExpectRegistered(const wchar_t* module, const wchar_t* libId, const std::vector<RegisteredClass>& classes);

} // namespace testkit

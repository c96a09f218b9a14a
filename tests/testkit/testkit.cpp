#include "testkit.h"
#include <mutex>

namespace testkit {

ErrorRecord TakeError()
{
    ErrorRecord r;
    IErrorInfo* info = nullptr;
    if (GetErrorInfo(0, &info) != S_OK || !info) return r;
    r.present = true;
    BSTR s = nullptr;
    if (SUCCEEDED(info->GetDescription(&s)) && s) r.description = s;
    SysFreeString(s);
    s = nullptr;
    if (SUCCEEDED(info->GetSource(&s)) && s) r.source = s;
    SysFreeString(s);
    s = nullptr;
    if (SUCCEEDED(info->GetHelpFile(&s)) && s) r.helpFile = s;
    SysFreeString(s);
    info->GetGUID(&r.guid);
    info->GetHelpContext(&r.helpContext);
    info->Release();
    return r;
}

void ClearError() { SetErrorInfo(0, nullptr); }

std::wstring Widen(const std::string& s)
{
    if (s.empty()) return {};
    int n = MultiByteToWideChar(CP_ACP, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
    std::wstring w(n, L'\0');
    MultiByteToWideChar(CP_ACP, 0, s.data(), static_cast<int>(s.size()), w.data(), n);
    return w;
}

std::string Narrow(const std::wstring& w)
{
    if (w.empty()) return {};
    int n = WideCharToMultiByte(CP_ACP, 0, w.data(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
    std::string s(n, '\0');
    WideCharToMultiByte(CP_ACP, 0, w.data(), static_cast<int>(w.size()), s.data(), n, nullptr, nullptr);
    return s;
}

std::wstring SystemText(HRESULT hr)
{
    char* text = nullptr;
    DWORD n = FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_FROM_SYSTEM, nullptr,
        static_cast<DWORD>(hr), MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<char*>(&text), 0, nullptr);
    std::string s = n && text ? std::string(text, n) : std::string();
    if (text) LocalFree(text);
    return Widen(s);
}

HRESULT CreateByProgId(const wchar_t* progId, REFIID iid, void** out)
{
    CLSID clsid;
    HRESULT hr = CLSIDFromProgID(progId, &clsid);
    if (FAILED(hr)) return hr;
    return CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, iid, out);
}

namespace {

HRESULT Invoke(IDispatch* d, const wchar_t* name, WORD flags, DISPPARAMS* params, VARIANT* result, EXCEPINFO* excep)
{
    DISPID id;
    LPOLESTR n = const_cast<LPOLESTR>(name);
    HRESULT hr = d->GetIDsOfNames(IID_NULL, &n, 1, LOCALE_USER_DEFAULT, &id);
    if (FAILED(hr)) return hr;
    EXCEPINFO local{};
    UINT argErr = 0;
    VARIANT ignored;
    VariantInit(&ignored);
    hr = d->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, params, result ? result : &ignored, excep ? excep : &local,
                   &argErr);
    if (!result) VariantClear(&ignored);
    if (!excep) FreeExcepInfo(local);
    return hr;
}

} // namespace

void FreeExcepInfo(EXCEPINFO& e)
{
    SysFreeString(e.bstrDescription);
    SysFreeString(e.bstrSource);
    SysFreeString(e.bstrHelpFile);
    e = EXCEPINFO{};
}

HRESULT DispGet(IDispatch* d, const wchar_t* name, VARIANT* result, EXCEPINFO* excep)
{
    DISPPARAMS params{nullptr, nullptr, 0, 0};
    return Invoke(d, name, DISPATCH_PROPERTYGET, &params, result, excep);
}

HRESULT DispPut(IDispatch* d, const wchar_t* name, const VARIANT& value, EXCEPINFO* excep)
{
    VARIANT arg = value;
    DISPID named = DISPID_PROPERTYPUT;
    DISPPARAMS params{&arg, &named, 1, 1};
    return Invoke(d, name, DISPATCH_PROPERTYPUT, &params, nullptr, excep);
}

HRESULT DispCall(IDispatch* d, const wchar_t* name, std::vector<VARIANT> args, VARIANT* result, EXCEPINFO* excep,
                 WORD flags)
{
    std::vector<VARIANT> reversed(args.rbegin(), args.rend());
    DISPPARAMS params{reversed.empty() ? nullptr : reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
    return Invoke(d, name, flags, &params, result, excep);
}

namespace {

// An empty VARIANT of the type given, for the Var* makers to fill.
VARIANT Typed(VARTYPE type)
{
    VARIANT r;
    VariantInit(&r);
    V_VT(&r) = type;
    return r;
}

} // namespace

VARIANT VarI4(long v)
{
    VARIANT r = Typed(VT_I4);
    V_I4(&r) = v;
    return r;
}
VARIANT VarI2(short v)
{
    VARIANT r = Typed(VT_I2);
    V_I2(&r) = v;
    return r;
}
VARIANT VarR4(float v)
{
    VARIANT r = Typed(VT_R4);
    V_R4(&r) = v;
    return r;
}
VARIANT VarR8(double v)
{
    VARIANT r = Typed(VT_R8);
    V_R8(&r) = v;
    return r;
}
VARIANT VarBool(bool v)
{
    VARIANT r = Typed(VT_BOOL);
    V_BOOL(&r) = v ? VARIANT_TRUE : VARIANT_FALSE;
    return r;
}
VARIANT VarBstr(const wchar_t* s)
{
    VARIANT r = Typed(VT_BSTR);
    V_BSTR(&r) = SysAllocString(s);
    return r;
}

bool KeyExists(HKEY root, const std::wstring& path)
{
    HKEY key;
    if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

bool ReadString(HKEY root, const std::wstring& path, const wchar_t* name, std::wstring& out)
{
    HKEY key;
    if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    wchar_t buffer[1024] = {};
    DWORD size = sizeof buffer - sizeof(wchar_t), type = 0;
    LONG rc = RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
    RegCloseKey(key);
    if (rc != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return false;
    out = buffer;
    return true;
}

namespace {

std::mutex g_captureLock;
std::vector<std::string>* g_captured = nullptr;

LONG CALLBACK CaptureHandler(EXCEPTION_POINTERS* e)
{
    if (e->ExceptionRecord->ExceptionCode == DBG_PRINTEXCEPTION_C && e->ExceptionRecord->NumberParameters >= 2) {
        std::lock_guard<std::mutex> lock(g_captureLock);
        if (g_captured) {
            const char* text = reinterpret_cast<const char*>(e->ExceptionRecord->ExceptionInformation[1]);
            size_t n = static_cast<size_t>(e->ExceptionRecord->ExceptionInformation[0]);
            if (text) g_captured->emplace_back(text, n && text[n - 1] == 0 ? n - 1 : n);
        }
    }
    return EXCEPTION_CONTINUE_SEARCH;
}

} // namespace

DebugCapture::DebugCapture()
{
    {
        std::lock_guard<std::mutex> lock(g_captureLock);
        g_captured = new std::vector<std::string>();
    }
    handler_ = AddVectoredExceptionHandler(1, CaptureHandler);
}

DebugCapture::~DebugCapture()
{
    RemoveVectoredExceptionHandler(handler_);
    std::lock_guard<std::mutex> lock(g_captureLock);
    delete g_captured;
    g_captured = nullptr;
}

std::vector<std::string> DebugCapture::Lines() const
{
    std::lock_guard<std::mutex> lock(g_captureLock);
    return *g_captured;
}

bool DebugCapture::Contains(const std::string& text) const
{
    for (const std::string& line : Lines())
        if (line.find(text) != std::string::npos) return true;
    return false;
}

std::wstring GuidText(const GUID& g)
{
    wchar_t text[64] = {};
    StringFromGUID2(g, text, 64);
    return text;
}

bool EndsWith(const std::wstring& s, const std::wstring& tail)
{
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

} // namespace testkit

#include <ddraw.h>

namespace testkit {

HWND CreateTestWindow(int width, int height, const char* title)
{
    static ATOM atom = [] {
        WNDCLASSA wc{};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "ZykTestWindow";
        wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
        return RegisterClassA(&wc);
    }();
    (void)atom;
    RECT r{0, 0, width, height};
    AdjustWindowRect(&r, WS_OVERLAPPEDWINDOW, FALSE);
    HWND w = CreateWindowExA(0, "ZykTestWindow", title, WS_OVERLAPPEDWINDOW, 40, 40, r.right - r.left, r.bottom - r.top,
                             nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    ShowWindow(w, SW_SHOW);
    UpdateWindow(w);
    PumpMessages();
    return w;
}

void PumpMessages()
{
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&m);
        DispatchMessageA(&m);
    }
}

bool ReadScreenPixel(HWND window, int x, int y, Rgb& out)
{
    IDirectDraw7* dd = nullptr;
    // Taken from the library at run time: a test program may run where ddraw.dll is off.
    using CreateEx = HRESULT(WINAPI*)(GUID*, void**, REFIID, IUnknown*);
    HMODULE ddraw = LoadLibraryA("ddraw.dll");
    auto createEx =
        ddraw ? reinterpret_cast<CreateEx>(reinterpret_cast<void*>(GetProcAddress(ddraw, "DirectDrawCreateEx")))
              : nullptr;
    if (!createEx || FAILED(createEx(nullptr, reinterpret_cast<void**>(&dd), IID_IDirectDraw7, nullptr))) return false;
    bool ok = false;
    if (SUCCEEDED(dd->SetCooperativeLevel(nullptr, DDSCL_NORMAL))) {
        DDSURFACEDESC2 desc{};
        desc.dwSize = sizeof desc;
        desc.dwFlags = DDSD_CAPS;
        desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
        IDirectDrawSurface7* primary = nullptr;
        if (SUCCEEDED(dd->CreateSurface(&desc, &primary, nullptr))) {
            POINT p{x, y};
            ClientToScreen(window, &p);
            DDSURFACEDESC2 lock{};
            lock.dwSize = sizeof lock;
            if (SUCCEEDED(primary->Lock(nullptr, &lock, DDLOCK_WAIT | DDLOCK_READONLY, nullptr))) {
                const DDPIXELFORMAT& pf = lock.ddpfPixelFormat;
                const BYTE* row = static_cast<const BYTE*>(lock.lpSurface) + p.y * lock.lPitch;
                DWORD pixel = 0;
                if (pf.dwRGBBitCount == 32)
                    pixel = reinterpret_cast<const DWORD*>(row)[p.x];
                else if (pf.dwRGBBitCount == 16)
                    pixel = reinterpret_cast<const WORD*>(row)[p.x];
                auto channel = [&](DWORD mask) {
                    if (!mask) return 0;
                    int shift = 0;
                    while (!((mask >> shift) & 1)) ++shift;
                    DWORD max = mask >> shift;
                    return static_cast<int>(((pixel & mask) >> shift) * 255 / max);
                };
                out.r = channel(pf.dwRBitMask);
                out.g = channel(pf.dwGBitMask);
                out.b = channel(pf.dwBBitMask);
                ok = pf.dwRGBBitCount == 32 || pf.dwRGBBitCount == 16;
                primary->Unlock(nullptr);
            }
            primary->Release();
        }
    }
    dd->Release();
    return ok;
}

::testing::AssertionResult ScreenShows(HWND window, int x, int y, Rgb expected, const std::function<void()>& present,
                                       int tolerance, DWORD limitMs)
{
    auto close = [tolerance](int a, int b) { return a >= b - tolerance && a <= b + tolerance; };
    Rgb seen;
    int reads = 0;
    const DWORD start = GetTickCount();
    for (;;) {
        PumpMessages();
        bool read = ReadScreenPixel(window, x, y, seen);
        ++reads;
        if (read && close(seen.r, expected.r) && close(seen.g, expected.g) && close(seen.b, expected.b))
            return ::testing::AssertionSuccess();
        if (GetTickCount() - start >= limitMs) break;
        Sleep(10);
        if (present) present();
    }
    return ::testing::AssertionFailure() << "the screen at client (" << x << ", " << y << ") showed (" << seen.r << ", "
                                         << seen.g << ", " << seen.b << ") in " << reads << " reads over " << limitMs
                                         << " ms, not (" << expected.r << ", " << expected.g << ", " << expected.b
                                         << ")";
}

} // namespace testkit

#include <cstdio>

namespace testkit {

std::string TempPath(const char* name)
{
    char path[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, path);
    return std::string(path) + name;
}

std::string ProcessFolder(const char* prefix)
{
    const std::string dir = TempPath((std::string(prefix) + std::to_string(GetCurrentProcessId()) + "\\").c_str());
    CreateDirectoryA(dir.c_str(), nullptr);
    return dir;
}

std::string ReadAll(const std::string& path)
{
    std::string s;
    if (FILE* f = fopen(path.c_str(), "rb")) {
        char buf[512];
        size_t n;
        while ((n = fread(buf, 1, sizeof buf, f)) > 0) s.append(buf, n);
        fclose(f);
    }
    return s;
}

void WriteAll(const std::string& path, const std::string& bytes)
{
    if (FILE* f = fopen(path.c_str(), "wb")) {
        fwrite(bytes.data(), 1, bytes.size(), f);
        fclose(f);
    }
}

} // namespace testkit

namespace testkit {

void ExpectError(const wchar_t* source, REFIID iid, const std::wstring& description)
{
    auto e = TakeError();
    ASSERT_TRUE(e.present);
    EXPECT_EQ(e.description, description);
    EXPECT_EQ(e.source, source);
    EXPECT_TRUE(IsEqualGUID(e.guid, iid));
}

void ExpectReleasedAt(const char* file, int line, IUnknown* object, ULONG expected)
{
    if (!object) {
        ADD_FAILURE_AT(file, line) << "there is no reference to release";
        return;
    }
    const ULONG left = object->Release();
    if (left != expected) ADD_FAILURE_AT(file, line) << "Release left " << left << " references, not " << expected;
}

} // namespace testkit

namespace testkit {

long RunCopy(const std::string& program, const std::string& filter, const char* marker, const std::string& value,
             const std::vector<ProgramSetting>& settings)
{
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    const std::string copy = TempPath(program.c_str());
    if (!CopyFileA(self, copy.c_str(), FALSE)) return -1;
    const std::string appKey = "Software\\Wine\\AppDefaults\\" + program;
    for (const ProgramSetting& s : settings) {
        const std::string key = *s.subkey ? appKey + "\\" + s.subkey : appKey;
        HKEY k = nullptr;
        if (RegCreateKeyA(HKEY_CURRENT_USER, key.c_str(), &k) != ERROR_SUCCESS) continue;
        RegSetValueExA(k, s.name, 0, REG_SZ, reinterpret_cast<const BYTE*>(s.value),
                       static_cast<DWORD>(strlen(s.value) + 1));
        RegCloseKey(k);
    }
    SetEnvironmentVariableA(marker, value.c_str());
    std::string command = "\"" + copy + "\" --gtest_filter=" + filter;
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    const BOOL started = CreateProcessA(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi);
    SetEnvironmentVariableA(marker, nullptr);
    DWORD code = 1;
    if (started) {
        WaitForSingleObject(pi.hProcess, INFINITE);
        GetExitCodeProcess(pi.hProcess, &code);
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
    }
    for (const ProgramSetting& s : settings)
        if (*s.subkey) RegDeleteKeyA(HKEY_CURRENT_USER, (appKey + "\\" + s.subkey).c_str());
    RegDeleteKeyA(HKEY_CURRENT_USER, appKey.c_str());
    DeleteFileA(copy.c_str());
    return started ? static_cast<long>(code) : -1;
}

} // namespace testkit

namespace testkit {

void ExpectRegistered(const wchar_t* module, const wchar_t* libId, const std::vector<RegisteredClass>& classes)
{
    auto expectValue = [](const std::wstring& key, const wchar_t* name, const std::wstring& expected) {
        std::wstring value;
        EXPECT_TRUE(ReadString(HKEY_CLASSES_ROOT, key, name, value)) << Narrow(key);
        EXPECT_EQ(value, expected) << Narrow(key) << (name ? " " + Narrow(name) : std::string());
    };
    for (const RegisteredClass& c : classes) {
        SCOPED_TRACE(Narrow(c.name));
        const std::wstring id = GuidText(*c.clsid), plain = std::wstring(c.progWord) + L"." + c.name,
                           versioned = plain + L".1", label = std::wstring(c.name) + L" Class", cls = L"CLSID\\" + id;
        for (const std::wstring& progId : {versioned, plain}) {
            expectValue(progId, nullptr, label);
            expectValue(progId + L"\\CLSID", nullptr, id);
            CLSID resolved{};
            EXPECT_EQ(CLSIDFromProgID(progId.c_str(), &resolved), S_OK) << Narrow(progId);
            EXPECT_TRUE(IsEqualGUID(resolved, *c.clsid)) << Narrow(progId);
        }
        expectValue(plain + L"\\CurVer", nullptr, versioned);
        expectValue(cls, nullptr, label);
        expectValue(cls + L"\\ProgID", nullptr, versioned);
        expectValue(cls + L"\\VersionIndependentProgID", nullptr, plain);
        EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, cls + L"\\Programmable"));
        std::wstring server;
        EXPECT_TRUE(ReadString(HKEY_CLASSES_ROOT, cls + L"\\InprocServer32", nullptr, server));
        EXPECT_TRUE(EndsWith(server, std::wstring(L"\\") + module)) << Narrow(server);
        expectValue(cls + L"\\InprocServer32", L"ThreadingModel", L"Apartment");
        expectValue(cls + L"\\TypeLib", nullptr, libId);

        const bool control = c.toolboxBitmap != 0;
        EXPECT_EQ(KeyExists(HKEY_CLASSES_ROOT, cls + L"\\Control"), control);
        EXPECT_EQ(KeyExists(HKEY_CLASSES_ROOT, cls + L"\\Insertable"), control);
        if (!control) continue;
        expectValue(cls + L"\\ToolboxBitmap32", nullptr, server + L", " + std::to_wstring(c.toolboxBitmap));
        expectValue(cls + L"\\MiscStatus", nullptr, L"0");
        expectValue(cls + L"\\MiscStatus\\1", nullptr, c.miscStatus ? c.miscStatus : L"");
        expectValue(cls + L"\\Version", nullptr, L"1.0");
        DWORD status = 0;
        EXPECT_EQ(OleRegGetMiscStatus(*c.clsid, DVASPECT_CONTENT, &status), S_OK);
        EXPECT_EQ(std::to_wstring(status), c.miscStatus ? c.miscStatus : L"");
        HMODULE file = LoadLibraryExW(server.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        EXPECT_NE(file, nullptr) << Narrow(server);
        HANDLE bitmap = file ? LoadImageW(file, MAKEINTRESOURCEW(c.toolboxBitmap), IMAGE_BITMAP, 0, 0, 0) : nullptr;
        EXPECT_NE(bitmap, nullptr) << "toolbox bitmap " << c.toolboxBitmap;
        if (bitmap) DeleteObject(bitmap);
        if (file) FreeLibrary(file);
    }
}

} // namespace testkit

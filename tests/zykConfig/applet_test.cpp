// The applet as the Control Panel and a player use it, with every server registered.
#include "applet_fixture.h"
#include <cmath>
#include <limits>
#include "com/serverbinding.h"
namespace sys {
#include "zykSYSTEM.h"
}

using namespace applet;

namespace {

const int kEleven = 11;
const char* const kValues[kEleven] = {"Language", "2DRenderer", "Fullscreen", "DisplayMode", "3DRenderer", "AntiAlias",
                                      "Specular", "Dither",     "RenderMode", "Sound",       "Controller"};

// What the servers themselves report, asked late-bound as a script would.
struct Reported {
    std::vector<std::string> adapters, modes, adapters3D, sound, controllers;
    std::vector<long> levels, types;
    std::vector<std::pair<std::string, std::string>> attached; // each controller's first and second state
    long vendor = -1;
};

std::string Str(IDispatch* d, const wchar_t* name)
{
    VARIANT v;
    VariantInit(&v);
    testkit::DispGet(d, name, &v);
    std::string s = V_VT(&v) == VT_BSTR ? testkit::Narrow(V_BSTR(&v)) : "";
    VariantClear(&v);
    return s;
}

long Num(IDispatch* d, const wchar_t* name)
{
    VARIANT v;
    VariantInit(&v);
    testkit::DispGet(d, name, &v);
    VariantChangeType(&v, &v, 0, VT_I4);
    long n = V_VT(&v) == VT_I4 ? V_I4(&v) : -1;
    VariantClear(&v);
    return n;
}

// A controller's attached state as the applet words it.
std::string AttachedText(IDispatch* controller)
{
    VARIANT v;
    VariantInit(&v);
    const HRESULT hr = testkit::DispGet(controller, L"Attached", &v);
    VariantChangeType(&v, &v, 0, VT_I4);
    const char* text = FAILED(hr) ? "Unknown" : V_VT(&v) == VT_I4 && V_I4(&v) ? "Attached" : "Disconnected";
    VariantClear(&v);
    return text;
}

IDispatch* Obj(IDispatch* d, const wchar_t* name, long index = 0)
{
    VARIANT v;
    VariantInit(&v);
    if (index)
        testkit::DispCall(d, name, {testkit::VarI4(index)}, &v);
    else
        testkit::DispGet(d, name, &v);
    return V_VT(&v) == VT_DISPATCH ? V_DISPATCH(&v) : (VariantClear(&v), nullptr);
}

// Each item of the collection created by ProgID, in the collection's order.
template <class Visit>
void Each(const wchar_t* progId, Visit&& visit, IDispatch** keep = nullptr)
{
    IDispatch* list = testkit::Create<IDispatch>(progId, IID_IDispatch);
    if (!list) return;
    if (keep) visit(list, 0L);
    for (long i = 1, n = Num(list, L"Count"); i <= n; ++i) {
        IDispatch* item = Obj(list, L"Item", i);
        if (!item) continue;
        visit(item, i);
        item->Release();
    }
    list->Release();
}

Reported AskServers(HMODULE appletModule)
{
    Reported r;
    Each(L"ZYKGFX.Devices", [&](IDispatch* adapter, long) {
        std::string text = Str(adapter, L"Description") + " (";
        testkit::DispCall(
            adapter, L"Initialise",
            {testkit::VarI4(0), testkit::VarI4(0), testkit::VarI4(0), testkit::VarI4(0), testkit::VarI4(1)});
        if (IDispatch* hardware = Obj(adapter, L"Hardware")) {
            text += Str(hardware, L"Driver");
            hardware->Release();
        }
        r.adapters.push_back(text + ")");
        if (IDispatch* modes = Obj(adapter, L"Modes")) {
            for (long m = 1, n = Num(modes, L"Count"); m <= n; ++m) {
                IDispatch* mode = Obj(modes, L"Item", m);
                if (!mode) continue;
                r.modes.push_back(std::to_string(Num(mode, L"Width")) + "x" + std::to_string(Num(mode, L"Height")) +
                                  "x" + std::to_string(Num(mode, L"Depth")));
                mode->Release();
            }
            modes->Release();
        }
        testkit::DispCall(adapter, L"Free", {});
    });
    Each(L"zyk3D.Devices", [&](IDispatch* d, long) {
        r.adapters3D.push_back(Str(d, L"Name"));
        r.levels.push_back(Num(d, L"Level"));
    });
    Each(L"ZYKSound.Devices", [&](IDispatch* d, long) { r.sound.push_back(Str(d, L"Name")); });
    IDispatch* input = testkit::Create<IDispatch>(L"ZYKInput.Devices", IID_IDispatch);
    if (input) {
        testkit::DispPut(input, L"hInstance",
                         testkit::VarI4(static_cast<long>(reinterpret_cast<LONG_PTR>(appletModule))));
        for (long i = 1, n = Num(input, L"Count"); i <= n; ++i) {
            IDispatch* c = Obj(input, L"Item", i);
            if (!c) continue;
            r.controllers.push_back(Str(c, L"ProductName"));
            r.types.push_back(Num(c, L"Type"));
            r.attached.push_back({AttachedText(c), AttachedText(c)});
            c->Release();
        }
        input->Release();
    }
    if (IDispatch* cpu = testkit::Create<IDispatch>(L"ZYKSystem.CPU", IID_IDispatch)) {
        r.vendor = Num(cpu, L"Vendor");
        cpu->Release();
    }
    return r;
}

int IconOfLevel(long level)
{
    switch (level) {
    case -6: return 113;
    case -5: return 112;
    case -3: return 111;
    default: return 110;
    }
}

int IconOfType(long type) { return type & 1 ? 121 : type & 2 ? 118 : 120; }

// A processor of the test's own, registered for the test's apartment in place of the
// system-information server's CPU, so that the applet shows the speed it is given.
struct StandInCpu final : StandIn<sys::ICPU> {
    explicit StandInCpu(float speed) : StandIn(sys::IID_ICPU), speed(speed) {}
    HRESULT STDMETHODCALLTYPE get_AMD3DNow(BOOL*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_CPUID(LONG*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_Family(LONG*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_Speed(float* value) override
    {
        *value = speed;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_MMX(BOOL*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_Model(LONG*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_Stepping(LONG*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_Type(sys::Processors*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_Vendor(sys::Manufacturers* value) override
    {
        *value = sys::AMD;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_BusType(BSTR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_MachineType(BSTR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_ProcessorCount(LONG*) override { return E_NOTIMPL; }

    float speed;
};

// A hook on the messages sent on the test's thread: before a step's text reaches the
// progress window's group box, it notes how much of that window still awaits painting.
struct Step {
    std::string text;
    int unpainted = 0; // windows of the progress window with an update region
};
std::vector<Step> steps;

LRESULT CALLBACK BeforeSent(int code, WPARAM wParam, LPARAM lParam)
{
    const auto* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && sent->message == WM_SETTEXT && GetDlgCtrlID(sent->hwnd) == 1044) {
        steps.push_back({reinterpret_cast<const char*>(sent->lParam), Unpainted(GetParent(sent->hwnd))});
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

class AppletTest : public ::testing::Test {
protected:
    void SetUp() override { DeleteSettings(); }
    void TearDown() override { DeleteSettings(); }
    testkit::ComScope com;
};

} // namespace

TEST_F(AppletTest, AnswersTheControlPanel)
{
    Applet cpl;
    EXPECT_EQ(cpl.Call(CPL_INIT), 1);
    EXPECT_EQ(cpl.Call(CPL_GETCOUNT), 1);
    CPLINFO info{99, 99, 99, 99};
    EXPECT_EQ(cpl.Call(CPL_INQUIRE, 0, reinterpret_cast<LPARAM>(&info)), 0);
    EXPECT_EQ(info.idIcon, 1);
    EXPECT_EQ(info.idName, 2);
    EXPECT_EQ(info.idInfo, 3);
    EXPECT_EQ(info.lData, 0);
    // Only applet 0 exists: another index changes nothing and opens nothing.
    CPLINFO untouched{99, 99, 99, 99};
    EXPECT_EQ(cpl.Call(CPL_INQUIRE, 1, reinterpret_cast<LPARAM>(&untouched)), 0);
    EXPECT_EQ(untouched.idIcon, 99);
    EXPECT_EQ(cpl.Call(CPL_DBLCLK, 1, 0), 0);
    for (UINT other : std::initializer_list<UINT>{CPL_SELECT, CPL_STOP, CPL_NEWINQUIRE, 0, 6, 10})
        EXPECT_EQ(cpl.Call(other, 0, 0), 0) << other;

    char text[260] = {};
    LoadStringA(cpl.Module(), 2, text, sizeof text);
    EXPECT_STREQ(text, "ZYK Configuration");
    LoadStringA(cpl.Module(), 3, text, sizeof text);
    EXPECT_STREQ(text, "Configure ZYK to work with your hardware.");
    LoadStringA(cpl.Module(), 4, text, sizeof text);
    EXPECT_STREQ(text, "Not Registered.");
    EXPECT_TRUE(LoadImageA(cpl.Module(), MAKEINTRESOURCEA(1), IMAGE_ICON, 32, 32, LR_SHARED));
}

// A copy under another name finds its resources through its own module handle.
TEST_F(AppletTest, RenamedCopyOpens)
{
    const std::string copy = testkit::ProcessFolder("zykcfg") + "Game Setup.cpl";
    ASSERT_TRUE(CopyFileA(AppletFile().c_str(), copy.c_str(), FALSE));
    {
        Applet renamed(copy);
        EXPECT_TRUE(renamed.WithDialog([](HWND dialog) { EXPECT_EQ(Text(dialog, 1039), "English"); }));
    }
    DeleteFileA(copy.c_str());
}

TEST_F(AppletTest, ListsWhatTheServersReport)
{
    Applet cpl;
    const Reported servers = AskServers(cpl.Module());
    ASSERT_FALSE(servers.adapters.empty());
    ASSERT_FALSE(servers.adapters3D.empty());
    bool shown = cpl.WithDialog([&](HWND dialog) {
        auto texts = [](const std::vector<Item>& items) {
            std::vector<std::string> t;
            for (const Item& i : items) t.push_back(i.text);
            return t;
        };
        const auto adapters = Items(dialog, 1001), adapters3D = Items(dialog, 1002), sound = Items(dialog, 1003),
                   controllers = Items(dialog, 1005), modes = Items(dialog, 1023);
        EXPECT_EQ(texts(adapters), servers.adapters);
        EXPECT_EQ(Strings(dialog, 1043), servers.modes) << "the modes of every adapter, adapter after adapter";
        EXPECT_EQ(texts(adapters3D), servers.adapters3D);
        EXPECT_EQ(texts(sound), servers.sound);
        EXPECT_EQ(texts(controllers), servers.controllers);
        ASSERT_EQ(texts(modes), (std::vector<std::string>{"Flat", "Gouraud"}));

        // The pictures, in the order the steps appended them to the one image list.
        EXPECT_TRUE(ShowsIcon(dialog, modes[0].image, cpl.Module(), 128));
        EXPECT_TRUE(ShowsIcon(dialog, modes[1].image, cpl.Module(), 129));
        for (const Item& a : adapters) EXPECT_TRUE(ShowsIcon(dialog, a.image, cpl.Module(), 108)) << a.text;
        for (size_t i = 0; i < adapters3D.size(); ++i)
            EXPECT_TRUE(ShowsIcon(dialog, adapters3D[i].image, cpl.Module(), IconOfLevel(servers.levels[i])))
                << adapters3D[i].text << " level " << servers.levels[i];
        for (const Item& s : sound) EXPECT_TRUE(ShowsIcon(dialog, s.image, cpl.Module(), 115)) << s.text;
        for (size_t i = 0; i < controllers.size(); ++i)
            EXPECT_TRUE(ShowsIcon(dialog, controllers[i].image, cpl.Module(), IconOfType(servers.types[i])))
                << controllers[i].text << " type " << servers.types[i];

        const char* vendors[] = {"Intel", "AMD", "Cyrix"};
        EXPECT_EQ(Text(dialog, 1020), servers.vendor >= 0 && servers.vendor < 3 ? vendors[servers.vendor] : "Unknown");
        const std::string speed = Text(dialog, 1021);
        ASSERT_GT(speed.size(), 4u);
        EXPECT_EQ(speed.substr(speed.size() - 4), " MHz");
        std::string digits;
        for (char c : speed.substr(0, speed.size() - 4))
            if (isdigit(static_cast<unsigned char>(c))) digits += c;
        EXPECT_LE(
            digits.find_first_not_of('0') == std::string::npos ? 0 : digits.size() - digits.find_first_not_of('0'), 4u)
            << speed;

        // Defaults without any setting: first items, "Flat", windowed, boxes off, English.
        for (int list : {1001, 1043, 1002, 1023, 1003, 1005}) EXPECT_EQ(Selection(dialog, list), 0) << list;
        EXPECT_EQ(Text(dialog, 1004), "Windowed");
        EXPECT_EQ(Text(dialog, 1022), "Specular Off");
        EXPECT_EQ(Text(dialog, 1024), "AntiAlias Off");
        EXPECT_EQ(Text(dialog, 1025), "Dither Off");
        EXPECT_EQ(Text(dialog, 1039), "English");
        // The selected controller's state shows at once: its first Attached fails under Wine
        // (as the device's exclusive set-up does), and the applet asks once more.
        if (!servers.attached.empty()) {
            EXPECT_EQ(servers.attached[0].first, "Unknown");
            EXPECT_EQ(Text(dialog, 1019), servers.attached[0].second);
        }
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, 1015))) << "the web-site button stays disabled";

        SendDlgItemMessageA(dialog, IDOK, BM_CLICK, 0, 0);
    });
    ASSERT_TRUE(shown);
    for (const char* name : kValues) EXPECT_EQ(Setting(name), "0") << name;
}

TEST_F(AppletTest, TabsShowTheirPages)
{
    Applet cpl;
    ASSERT_TRUE(cpl.WithDialog([&](HWND dialog) {
        HWND tabs = GetDlgItem(dialog, 1046);
        const char* names[] = {"Graphics", "3D", "Sound", "Controller"};
        const int icons[] = {108, 113, 115, 118}; // 2D adapter, 3D adapter, sound device, controller
        ASSERT_EQ(SendMessageA(tabs, TCM_GETITEMCOUNT, 0, 0), 4);
        for (int i = 0; i < 4; ++i) {
            char text[32] = {};
            TCITEMA item{TCIF_TEXT | TCIF_IMAGE};
            item.pszText = text;
            item.cchTextMax = sizeof text;
            SendMessageA(tabs, TCM_GETITEMA, i, reinterpret_cast<LPARAM>(&item));
            EXPECT_STREQ(text, names[i]);
            EXPECT_TRUE(ShowsIcon(dialog, item.iImage, cpl.Module(), icons[i]))
                << names[i] << " tab, image " << item.iImage;
        }
        const std::vector<std::vector<int>> pages = {{1030, 1001, 1043, 1004},
                                                     {1031, 1002, 1022, 1024, 1025, 1023, 1047},
                                                     {1032, 1003},
                                                     {1005, 1019, 1017, 1033}};
        for (int tab : {1, 3, 2, 0}) {
            ClickTab(dialog, tab);
            for (int page = 0; page < 4; ++page)
                for (int control : pages[page])
                    EXPECT_EQ(Shown(dialog, control), page == tab) << "tab " << tab << " control " << control;
        }
        for (int heading : {1030, 1031, 1032, 1033, 1034}) {
            LOGFONTA font{};
            GetObjectA(reinterpret_cast<HFONT>(SendDlgItemMessageA(dialog, heading, WM_GETFONT, 0, 0)), sizeof font,
                       &font);
            EXPECT_EQ(font.lfWeight, FW_BOLD) << heading;
            EXPECT_STREQ(font.lfFaceName, "Arial") << heading;
        }
    }));
}

TEST_F(AppletTest, StoredChoicesAreShownAndSavedBack)
{
    WriteSetting("RenderMode", "-1");
    WriteSetting("Fullscreen", "2");
    WriteSetting("Specular", "1");
    WriteSetting("Dither", "junk");
    WriteSetting("3DRenderer", "2x");
    WriteSetting("2DRenderer", "4000"); // beyond the list
    WriteSetting("Sound", "-3");
    WriteSetting("Controller", std::string(400, '7').c_str()); // longer than the applet reads
    // A value stored without its terminating zero still reads as its digits.
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_SET_VALUE, &key), ERROR_SUCCESS);
    RegSetValueExA(key, "AntiAlias", 0, REG_SZ, reinterpret_cast<const BYTE*>("1"), 1);
    RegCloseKey(key);
    Applet cpl;
    ASSERT_TRUE(cpl.WithDialog([](HWND dialog) {
        EXPECT_EQ(Selection(dialog, 1023), 1) << "any non-zero render mode is Gouraud";
        EXPECT_EQ(SendDlgItemMessageA(dialog, 1004, BM_GETCHECK, 0, 0), BST_CHECKED);
        EXPECT_EQ(Text(dialog, 1004), "Fullscreen");
        EXPECT_EQ(Text(dialog, 1022), "Specular On");
        EXPECT_EQ(SendDlgItemMessageA(dialog, 1022, BM_GETCHECK, 0, 0), BST_CHECKED);
        EXPECT_EQ(Text(dialog, 1025), "Dither Off");
        EXPECT_EQ(Selection(dialog, 1002), Items(dialog, 1002).size() > 2 ? 2 : -1) << "leading digits";
        EXPECT_EQ(Selection(dialog, 1001), -1) << "an index beyond the list selects nothing";
        EXPECT_EQ(Selection(dialog, 1003), -1);
        EXPECT_EQ(Selection(dialog, 1005), 0) << "a value too long for the applet reads as 0";
        EXPECT_EQ(Text(dialog, 1024), "AntiAlias On");
        // A toggle's caption follows its state.
        SendDlgItemMessageA(dialog, 1024, BM_CLICK, 0, 0);
        EXPECT_EQ(Text(dialog, 1024), "AntiAlias Off");
        SendDlgItemMessageA(dialog, 1004, BM_CLICK, 0, 0);
        EXPECT_EQ(Text(dialog, 1004), "Windowed");
        SendDlgItemMessageA(dialog, 1004, BM_CLICK, 0, 0);
        SendDlgItemMessageA(dialog, IDOK, BM_CLICK, 0, 0);
    }));
    EXPECT_EQ(Setting("Fullscreen"), "1");
    EXPECT_EQ(Setting("RenderMode"), "1");
    EXPECT_EQ(Setting("AntiAlias"), "0");
    EXPECT_EQ(Setting("Dither"), "0");
    EXPECT_EQ(Setting("2DRenderer"), "-1");
    EXPECT_EQ(Setting("Sound"), "-1");
}

TEST_F(AppletTest, CancelAndEscapeSaveNothing)
{
    Applet cpl;
    ASSERT_TRUE(cpl.WithDialog([](HWND dialog) {
        Click(dialog, 1037);
        EXPECT_EQ(Text(dialog, 1039), "French");
        SendDlgItemMessageA(dialog, 1022, BM_CLICK, 0, 0);
        SendDlgItemMessageA(dialog, IDCANCEL, BM_CLICK, 0, 0);
    }));
    EXPECT_FALSE(testkit::KeyExists(HKEY_CURRENT_USER, testkit::Widen(kSettingsKey)));
    WriteSetting("Language", "0");
    // Escape, posted to the focused list as a key press, ends the dialog before the OK
    // that follows it could save anything.
    ASSERT_TRUE(cpl.WithDialog(
        [](HWND dialog) {
            Click(dialog, 1036);
            SetFocus(GetDlgItem(dialog, 1001));
            PostMessageA(GetFocus(), WM_KEYDOWN, VK_ESCAPE, 0);
        },
        IDOK));
    EXPECT_EQ(Setting("Language"), "0");
    EXPECT_EQ(Setting("Fullscreen"), "(none)");
}

TEST_F(AppletTest, SpeedIsWrittenOutOrUnknown)
{
    const std::pair<float, const char*> speeds[] = {{12345.6f, "12350 MHz"},
                                                    {std::numeric_limits<float>::quiet_NaN(), "Unknown"}};
    Applet cpl;
    for (const auto& [speed, shown] : speeds) {
        StandInClass cpu(sys::CLSID_CPU, [speed = speed] { return new StandInCpu(speed); });
        ASSERT_TRUE(cpu.Registered());
        EXPECT_TRUE(cpl.WithDialog([&](HWND dialog) {
            EXPECT_EQ(Text(dialog, 1020), "AMD") << "the stand-in processor was asked";
            EXPECT_EQ(Text(dialog, 1021), shown) << speed;
        }));
    }
}

TEST_F(AppletTest, ProgressWindowIsPaintedAtEachStep)
{
    steps.clear();
    HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROC, &BeforeSent, nullptr, GetCurrentThreadId());
    ASSERT_TRUE(hook);
    Applet cpl;
    const bool shown = cpl.WithDialog([](HWND) {});
    UnhookWindowsHookEx(hook);
    ASSERT_TRUE(shown);
    ASSERT_EQ(steps.size(), 5u);
    // By each step's text the whole window, picture and group box included, has been
    // painted for the step before it.
    for (size_t i = 1; i < steps.size(); ++i) EXPECT_EQ(steps[i].unpainted, 0) << steps[i].text;
}

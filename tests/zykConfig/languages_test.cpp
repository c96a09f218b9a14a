// Flags, captions and context help of the four languages.
#include "applet_fixture.h"

using namespace applet;

namespace {

// The bits of a bitmap, to tell which flag picture a control shows.
std::string Bits(HBITMAP bitmap)
{
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), 16, -16, 1, 32, BI_RGB};
    std::string bits(16 * 16 * 4, '\0');
    HDC dc = GetDC(nullptr);
    GetDIBits(dc, bitmap, 0, 16, bits.data(), &info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, dc);
    return bits;
}

// The least room, in pixels, that a label leaves after its text, and that the text leaves
// before the box beside it.
const long kLabelRoom = 2, kTextGap = 6;

bool ShowsFlag(HWND dialog, int control, HMODULE module, int bitmapId)
{
    auto expected = static_cast<HBITMAP>(LoadImageA(module, MAKEINTRESOURCEA(bitmapId), IMAGE_BITMAP, 16, 16, 0));
    auto shown = reinterpret_cast<HBITMAP>(SendDlgItemMessageA(dialog, control, STM_GETIMAGE, IMAGE_BITMAP, 0));
    const bool same = shown && Bits(shown) == Bits(expected);
    DeleteObject(expected);
    return same;
}

// Stands in for the help viewer: WinHelpA hands its request to a window of this class.
struct HelpRequest {
    UINT command = 0;
    DWORD context = 0;
    std::string file;
};
std::vector<HelpRequest> requests;

LRESULT CALLBACK HelpViewer(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != WM_COPYDATA) return DefWindowProcA(window, message, wParam, lParam);
    // The request: size, command, data, reserved, offsets of the file name and of data.
    const auto* copy = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
    const auto* bytes = static_cast<const BYTE*>(copy->lpData);
    HelpRequest r;
    WORD ofsFile = 0;
    memcpy(&r.command, bytes + 2, 2);
    memcpy(&r.context, bytes + 4, 4);
    memcpy(&ofsFile, bytes + 12, 2);
    if (ofsFile && ofsFile < copy->cbData) r.file = reinterpret_cast<const char*>(bytes + ofsFile);
    requests.push_back(r);
    return TRUE;
}

void AskHelp(HWND dialog, int control)
{
    HWND target = control == -1 ? FindWindowExA(dialog, nullptr, "Static", "") : GetDlgItem(dialog, control);
    HELPINFO help{sizeof help, HELPINFO_WINDOW, GetDlgCtrlID(target), target, 0, {0, 0}};
    SendMessageA(dialog, WM_HELP, 0, reinterpret_cast<LPARAM>(&help));
}

// A label's text in the label's own font, against the label and the box beside it: the
// text must end short of the label's edge, and well short of the box.
::testing::AssertionResult LabelFits(HWND dialog, int label, int box)
{
    HWND window = GetDlgItem(dialog, label);
    wchar_t text[64] = {};
    GetWindowTextW(window, text, 64);
    HDC dc = GetDC(window);
    HGDIOBJ font = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(window, WM_GETFONT, 0, 0)));
    SIZE extent{};
    GetTextExtentPoint32W(dc, text, lstrlenW(text), &extent);
    SelectObject(dc, font);
    ReleaseDC(window, dc);
    RECT client{}, placed{}, beside{};
    GetClientRect(window, &client);
    GetWindowRect(window, &placed);
    GetWindowRect(GetDlgItem(dialog, box), &beside);
    const long room = client.right - extent.cx, gap = beside.left - placed.left - extent.cx;
    if (room >= kLabelRoom && gap >= kTextGap) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << testkit::Narrow(text) << ": " << room << " px left in the label, " << gap
                                         << " px from the text to the box";
}

class Languages : public ::testing::Test {
protected:
    void SetUp() override { DeleteSettings(); }
    void TearDown() override { DeleteSettings(); }
    testkit::ComScope com;
};

} // namespace

TEST_F(Languages, FrenchThenGermanKeepsTheFrenchCaptions)
{
    Applet cpl;
    ASSERT_TRUE(cpl.WithDialog([&](HWND dialog) {
        EXPECT_TRUE(ShowsFlag(dialog, 1038, cpl.Module(), 135)) << "English, current";
        EXPECT_TRUE(ShowsFlag(dialog, 1037, cpl.Module(), 137));
        EXPECT_EQ(Text(dialog, 1034), "System Information:");
        EXPECT_EQ(Text(dialog, 1041), "Processor");
        wchar_t cancel[32] = {};
        GetDlgItemTextW(dialog, IDCANCEL, cancel, 32);
        EXPECT_EQ(std::wstring(cancel), L"\u00AB &Cancel");

        Click(dialog, 1037);
        EXPECT_EQ(Text(dialog, 1039), "French");
        EXPECT_TRUE(ShowsFlag(dialog, 1037, cpl.Module(), 133));
        EXPECT_TRUE(ShowsFlag(dialog, 1038, cpl.Module(), 139));
        const std::wstring french[][2] = {{L"1041", L"Processeur"},        {L"1042", L"Vitesse"},
                                          {L"1004", L"\u00C9cran plein"},  {L"2", L"\u00AB &Annulez"},
                                          {L"1033", L"Contr\u00F4leurs:"}, {L"1030", L"Gfx Adaptateur:"},
                                          {L"1031", L"3D Adaptateur:"},    {L"1034", L"Information du syst\u00E8me:"}};
        for (const auto& caption : french) {
            wchar_t text[64] = {};
            GetDlgItemTextW(dialog, std::stoi(caption[0]), text, 64);
            EXPECT_EQ(std::wstring(text), caption[1]) << testkit::Narrow(caption[0]);
        }
        EXPECT_TRUE(LabelFits(dialog, 1041, 1020));
        EXPECT_TRUE(LabelFits(dialog, 1042, 1021));
        Click(dialog, 1036);
        EXPECT_EQ(Text(dialog, 1039), "German");
        EXPECT_TRUE(ShowsFlag(dialog, 1036, cpl.Module(), 134));
        EXPECT_TRUE(ShowsFlag(dialog, 1037, cpl.Module(), 137));
        EXPECT_EQ(Text(dialog, 1041), "Processeur") << "German has no captions of its own";
        Click(dialog, 1035);
        EXPECT_EQ(Text(dialog, 1039), "Spanish");
        SendDlgItemMessageA(dialog, IDOK, BM_CLICK, 0, 0);
    }));
    EXPECT_EQ(Setting("Language"), "3");
}

TEST_F(Languages, ContextHelpOfTheCurrentLanguage)
{
    WNDCLASSA viewer{};
    viewer.lpfnWndProc = &HelpViewer;
    viewer.hInstance = GetModuleHandleA(nullptr);
    viewer.lpszClassName = "MS_WINHELP";
    RegisterClassA(&viewer);
    HWND window = CreateWindowA("MS_WINHELP", "help", 0, 0, 0, 10, 10, nullptr, nullptr, viewer.hInstance, nullptr);
    ASSERT_TRUE(window);
    requests.clear();
    Applet cpl;
    ASSERT_TRUE(cpl.WithDialog([](HWND) {}));
    EXPECT_TRUE(requests.empty()) << "no help was asked for, so none is ended";
    WriteSetting("Language", "1");
    ASSERT_TRUE(cpl.WithDialog([](HWND dialog) {
        EXPECT_EQ(Text(dialog, 1041), "Processeur");
        AskHelp(dialog, 1021);
        AskHelp(dialog, -1); // the separator line, which has no id
        Click(dialog, 1038);
        AskHelp(dialog, 1001);
    }));
    DestroyWindow(window);
    UnregisterClassA("MS_WINHELP", viewer.hInstance);
    ASSERT_EQ(requests.size(), 3u);
    EXPECT_EQ(requests[0].file, "ZYKCFGFRA.HLP");
    EXPECT_EQ(requests[0].command, static_cast<UINT>(HELP_CONTEXTPOPUP));
    EXPECT_EQ(requests[0].context, 1021u);
    EXPECT_EQ(requests[1].file, "ZYKCFGUK.HLP");
    EXPECT_EQ(requests[1].context, 1001u);
    EXPECT_EQ(requests[2].command, static_cast<UINT>(HELP_QUIT)) << "the viewer is ended with the dialog";
}

TEST_F(Languages, UnknownLanguageReadsAsEnglish)
{
    WriteSetting("Language", "7");
    Applet cpl;
    ASSERT_TRUE(cpl.WithDialog([&](HWND dialog) {
        EXPECT_EQ(Text(dialog, 1039), "English");
        EXPECT_TRUE(ShowsFlag(dialog, 1038, cpl.Module(), 135));
        SendDlgItemMessageA(dialog, IDOK, BM_CLICK, 0, 0);
    }));
    EXPECT_EQ(Setting("Language"), "0");
}

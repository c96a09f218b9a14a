// The applet opened by Wine's Control Panel, and the sample game reading what it saved.
#include "applet_fixture.h"

using namespace applet;

namespace {

const DWORD kLimitMs = 300000; // bounds only: each wait ends as soon as its condition holds

// Runs a program to its end and gives what it printed.
std::string RunProgram(const std::string& command, DWORD& exitCode)
{
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    CreatePipe(&readEnd, &writeEnd, &inherit, 0);
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA start{sizeof start};
    start.dwFlags = STARTF_USESTDHANDLES;
    start.hStdOutput = writeEnd;
    start.hStdError = writeEnd;
    PROCESS_INFORMATION process{};
    std::string line = command;
    exitCode = 1;
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &start, &process)) return "";
    CloseHandle(writeEnd);
    std::string output;
    char chunk[512];
    DWORD got = 0;
    while (ReadFile(readEnd, chunk, sizeof chunk, &got, nullptr) && got) output.append(chunk, got);
    WaitForSingleObject(process.hProcess, kLimitMs);
    GetExitCodeProcess(process.hProcess, &exitCode);
    CloseHandle(readEnd);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return output;
}

} // namespace

TEST(ControlPanel, OpensTheAppletAndEndsWithIt)
{
    DeleteSettings();
    std::string command = "control.exe \"" + AppletFile() + "\"";
    STARTUPINFOA start{sizeof start};
    PROCESS_INFORMATION process{};
    ASSERT_TRUE(
        CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &start, &process));
    HWND dialog = nullptr;
    const DWORD begun = GetTickCount();
    while (!dialog && GetTickCount() - begun < kLimitMs && WaitForSingleObject(process.hProcess, 100) == WAIT_TIMEOUT)
        EnumWindows(&FindShownDialog, reinterpret_cast<LPARAM>(&dialog));
    ASSERT_TRUE(dialog) << "no dialog from " << command;
    EXPECT_EQ(SendDlgItemMessageA(dialog, 1001, CB_GETCOUNT, 0, 0) > 0, true);
    EXPECT_EQ(Text(dialog, 1039), "English");
    PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(WaitForSingleObject(process.hProcess, kLimitMs), WAIT_OBJECT_0) << "the Control Panel did not end";
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    EXPECT_EQ(Setting("RenderMode"), "0") << "OK saved through the Control Panel";
    DeleteSettings();
}

// The sample that the README's picture is taken with offers the picture only once the dialog
// is painted whole; the test stands in for the script that takes it.
TEST(ControlPanel, SampleOffersItsPictureOncePainted)
{
    DeleteSettings();
    const std::string signal = testkit::ProcessFolder("zykshot") + "applet.signal";
    DeleteFileA(signal.c_str());
    std::string command = "\"" + AppletSampleFile() + "\" \"" + AppletFile() + "\"";
    STARTUPINFOA start{sizeof start};
    PROCESS_INFORMATION process{};
    SetEnvironmentVariableA("ZYK_SCREENSHOT_SIGNAL", signal.c_str());
    const BOOL started =
        CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &start, &process);
    SetEnvironmentVariableA("ZYK_SCREENSHOT_SIGNAL", nullptr);
    ASSERT_TRUE(started) << command;
    std::string said;
    const DWORD begun = GetTickCount();
    while (said.rfind("shown", 0) != 0 && GetTickCount() - begun < kLimitMs &&
           WaitForSingleObject(process.hProcess, 1) == WAIT_TIMEOUT)
        said = testkit::ReadAll(signal);
    HWND dialog = nullptr;
    EnumWindows(&FindShownDialog, reinterpret_cast<LPARAM>(&dialog));
    EXPECT_EQ(said.rfind("shown", 0), 0u) << "no picture was offered";
    ASSERT_TRUE(dialog);
    EXPECT_EQ(Unpainted(dialog), 0) << "windows of the dialog still to be painted when its picture was offered";
    testkit::WriteAll(signal + ".new", "taken (none)\n");
    MoveFileExA((signal + ".new").c_str(), signal.c_str(), MOVEFILE_REPLACE_EXISTING);
    EXPECT_EQ(WaitForSingleObject(process.hProcess, kLimitMs), WAIT_OBJECT_0) << "the sample did not end";
    DWORD code = 1;
    GetExitCodeProcess(process.hProcess, &code);
    EXPECT_EQ(code, 0u);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    DeleteFileA(signal.c_str());
}

TEST(Game, AppliesTheSavedChoices)
{
    DeleteSettings();
    WriteSetting("3DRenderer", "1");
    WriteSetting("RenderMode", "0");
    WriteSetting("Specular", "1");
    WriteSetting("AntiAlias", "1");
    WriteSetting("Dither", "1");
    // The adapter at position 1 of the list the applet shows.
    testkit::ComScope com;
    IDispatch* devices = testkit::Create<IDispatch>(L"zyk3D.Devices", IID_IDispatch);
    ASSERT_TRUE(devices);
    VARIANT item, name, index;
    VariantInit(&item);
    VariantInit(&name);
    VariantInit(&index);
    ASSERT_EQ(testkit::DispCall(devices, L"Item", {testkit::VarI4(2)}, &item), S_OK);
    testkit::DispGet(V_DISPATCH(&item), L"Name", &name);
    testkit::DispGet(V_DISPATCH(&item), L"Index", &index);
    const std::string expected = "choices of the configuration applet: 3D adapter 1 \"" +
                                 testkit::Narrow(V_BSTR(&name)) + "\" (device " + std::to_string(V_I4(&index)) +
                                 "), flat shading, specular on, anti-aliasing on, dithering on, ";
    VariantClear(&item);
    VariantClear(&name);
    devices->Release();

    // Windowed and full screen (at the display's size), the game ends normally and writes the
    // whole frame it drew.
    const std::string folder = testkit::ProcessFolder("zykgame");
    const int screen[2] = {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    for (const char* fullscreen : {"0", "1"}) {
        WriteSetting("Fullscreen", fullscreen);
        const bool full = fullscreen[0] == '1';
        const int width = full ? screen[0] : 640, height = full ? screen[1] : 480;
        const std::string size = std::to_string(width) + "x" + std::to_string(height);
        DWORD code = 1;
        const std::string frame = folder + "frame.bmp";
        DeleteFileA(frame.c_str());
        const std::string output = RunProgram("\"" + GameFile() + "\" \"" + frame + "\" 3", code);
        EXPECT_EQ(code, 0u) << output;
        EXPECT_NE(output.find(expected + (full ? "full screen " : "windowed ") + size), std::string::npos) << output;
        const std::string bmp = testkit::ReadAll(frame);
        ASSERT_GE(bmp.size(), 26u) << output;
        LONG written[2] = {};
        memcpy(written, bmp.data() + 18, sizeof written);
        EXPECT_EQ(written[0], width) << fullscreen;
        EXPECT_EQ(written[1], height) << fullscreen;
    }

    DWORD code = 1;
    DeleteSettings();
    const std::string defaults = RunProgram("\"" + GameFile() + "\" \"" + folder + "frame.bmp\" 1", code);
    EXPECT_NE(defaults.find("choices (none saved yet): 3D adapter 0"), std::string::npos) << defaults;
}

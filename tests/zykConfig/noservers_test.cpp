// The applet in a process where none of the servers can be created, and what it leaves
// behind after being opened again and again.
#include "applet_fixture.h"

using namespace applet;

namespace {

bool InChild() { return GetEnvironmentVariableA("ZYK_NO_SERVERS", nullptr, 0) > 0; }

} // namespace

TEST(WithoutServers, Child)
{
    if (!InChild()) GTEST_SKIP() << "runs in a copy of this program that cannot load the servers";
    testkit::ComScope com;
    DeleteSettings();
    Applet cpl;
    ASSERT_TRUE(cpl.WithDialog([](HWND dialog) {
        for (int list : {1001, 1002, 1003, 1005}) {
            const auto items = Items(dialog, list);
            ASSERT_EQ(items.size(), 1u) << list;
            EXPECT_EQ(items[0].text, "Not Registered.") << list;
            EXPECT_EQ(Selection(dialog, list), 0) << list;
            EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, list))) << list;
        }
        EXPECT_TRUE(Strings(dialog, 1043).empty());
        EXPECT_EQ(Text(dialog, 1020), "Unavailable");
        EXPECT_EQ(Text(dialog, 1021), "Unavailable");
        EXPECT_EQ(Text(dialog, 1019), "Unknown");
        // The options of missing servers stay hidden when their page shows.
        ClickTab(dialog, 1);
        for (int option : {1022, 1024, 1025, 1023}) EXPECT_FALSE(Shown(dialog, option)) << option;
        EXPECT_TRUE(Shown(dialog, 1002));
        ClickTab(dialog, 3);
        for (int option : {1017, 1019}) EXPECT_FALSE(Shown(dialog, option)) << option;
        ClickTab(dialog, 0);
        EXPECT_FALSE(Shown(dialog, 1004));
        SendDlgItemMessageA(dialog, IDOK, BM_CLICK, 0, 0);
    }));
    for (const char* name : {"Language", "2DRenderer", "Fullscreen", "3DRenderer", "AntiAlias", "Specular", "Dither",
                             "RenderMode", "Sound", "Controller"})
        EXPECT_EQ(Setting(name), "0") << name;
    EXPECT_EQ(Setting("DisplayMode"), "-1") << "the mode list is empty";

    // Opening the dialog again and again leaves no GDI object behind.
    ASSERT_TRUE(cpl.WithDialog([](HWND dialog) { Click(dialog, 1037); }));
    const DWORD before = testkit::GdiObjectCount();
    ASSERT_GT(before, 0u);
    for (int round = 0; round < 3; ++round)
        ASSERT_TRUE(cpl.WithDialog([](HWND dialog) {
            Click(dialog, 1037);
            Click(dialog, 1036);
            SendDlgItemMessageA(dialog, 1022, BM_CLICK, 0, 0);
        }));
    EXPECT_EQ(testkit::GdiObjectCount(), before);
    DeleteSettings();
}

TEST(WithoutServers, ListsNotRegistered)
{
    // A copy of this program under a name of its own, for which Wine's per-program
    // settings disable the five servers' modules: creating any of them fails.
    const long code = testkit::RunCopy("zyk_config_bare.exe", "WithoutServers.Child", "ZYK_NO_SERVERS", "1",
                                       {{"DllOverrides", "zykGFX", ""},
                                        {"DllOverrides", "zyk3D", ""},
                                        {"DllOverrides", "zykSOUND", ""},
                                        {"DllOverrides", "zykINPUT", ""},
                                        {"DllOverrides", "zykSYSTEM", ""}});
    EXPECT_EQ(code, 0) << "the child without servers failed (its output is above)";
}

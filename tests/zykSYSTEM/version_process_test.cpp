// The kind of Windows as each version of it reports itself: a copy of this program runs
// under a name of its own for which Wine's per-program settings choose the version.
#include "system_fixture.h"
#include <cstdlib>

using sys_test::New;

namespace {

struct Case {
    const char* version; // Wine's name for it
    long major, minor;
    wv_OS type;
};

const Case kCases[] = {
    {"win95", 4, 0, wv_Win95},   {"win98", 4, 10, wv_Win98},  {"winme", 4, 90, wv_Win98}, {"nt40", 4, 0, wv_NT4},
    {"win2k", 5, 0, wv_Win2000}, {"winxp", 5, 1, wv_Win2000}, {"win7", 6, 1, wv_Unknown},
};

} // namespace

// Runs in the child: what the version object reports against what the child was given.
TEST(VersionProcess, Child)
{
    char text[64] = {};
    if (!GetEnvironmentVariableA("ZYK_EXPECT_VERSION", text, sizeof text)) GTEST_SKIP() << "runs in a child";
    long major = 0, minor = 0, type = 0;
    ASSERT_EQ(sscanf(text, "%ld.%ld.%ld", &major, &minor, &type), 3);
    IOSVersion* version = New<IOSVersion>(L"ZYKSystem.OSVersion", IID_IOSVersion);
    ASSERT_NE(version, nullptr);
    long v = -1;
    EXPECT_EQ(version->get_Major(&v), S_OK);
    EXPECT_EQ(v, major);
    EXPECT_EQ(version->get_Minor(&v), S_OK);
    EXPECT_EQ(v, minor);
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof info;
    GetVersionExA(&info);
    EXPECT_EQ(version->get_Build(&v), S_OK);
    EXPECT_EQ(v, static_cast<long>(info.dwBuildNumber)); // as the system gives it
    std::printf("version %ld.%ld build 0x%08lX platform %lu\n", major, minor,
                static_cast<unsigned long>(info.dwBuildNumber), static_cast<unsigned long>(info.dwPlatformId));
    wv_OS kind = wv_WinCE;
    EXPECT_EQ(version->get_WinType(&kind), S_OK);
    EXPECT_EQ(kind, static_cast<wv_OS>(type));
    version->Release();
}

TEST(VersionProcess, EachWindowsVersionHasItsKind)
{
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.version);
        char expect[64];
        snprintf(expect, sizeof expect, "%ld.%ld.%d", c.major, c.minor, static_cast<int>(c.type));
        const long code = testkit::RunCopy(std::string("zyk_sys_") + c.version + ".exe", "VersionProcess.Child",
                                           "ZYK_EXPECT_VERSION", expect, {{"", "Version", c.version}});
        EXPECT_EQ(code, 0) << "the child as " << c.version << " failed (its output is above)";
    }
}

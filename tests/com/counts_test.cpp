// The process counts that the soak benchmark and the leak tests read: each sees an object
// of its kind come and go, once.
#include "counts/counts.h"
#include <gtest/gtest.h>

using namespace zyk::counts;

TEST(ProcessCounts, SeeWhatTheProcessTakesAndGivesBack)
{
    // A first window of the thread brings the platform's own (an IME window under Wine).
    HWND first = CreateWindowA("STATIC", "first", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(first);
    const SIZE_T bytes = PrivateBytes();
    const DWORD gdi = GdiObjectCount(), user = UserObjectCount();
    EXPECT_GT(bytes, 0u);
    EXPECT_GT(gdi, 0u);
    EXPECT_GT(user, 0u);

    const SIZE_T block = 4 << 20;
    void* memory = VirtualAlloc(nullptr, block, MEM_COMMIT, PAGE_READWRITE);
    HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
    HWND second = CreateWindowA("STATIC", "second", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    HMENU menu = CreateMenu();
    EXPECT_GE(PrivateBytes(), bytes + block);
    EXPECT_EQ(GdiObjectCount(), gdi + 1);
    EXPECT_EQ(UserObjectCount(), user + 2);

    VirtualFree(memory, 0, MEM_RELEASE);
    DeleteObject(brush);
    DestroyWindow(second);
    DestroyMenu(menu);
    EXPECT_LT(PrivateBytes(), bytes + block);
    EXPECT_EQ(GdiObjectCount(), gdi);
    EXPECT_EQ(UserObjectCount(), user);
    DestroyWindow(first);
}

// What a client sees in a process where nothing else has started D3DX (the adapter list
// keeps its start for the life of the process, so this runs in a program of its own).
#include "testkit.h"
#include "zyk3D.h"
#include <string>

TEST(FreshProcess, LevelNeedsAStartedD3DX)
{
    IDevice3D* d = nullptr;
    ASSERT_EQ(testkit::CreateByProgId(L"zyk3D.Device3D", IID_IDevice3D, reinterpret_cast<void**>(&d)), S_OK);
    HWLevels level = hl_Highest;
    // A new device's shapes and sprites start D3DX for themselves, so its level answers.
    EXPECT_EQ(d->get_Level(&level), S_OK) << testkit::Narrow(testkit::TakeError().description);
    EXPECT_TRUE(level == hl_TnLHAL || level == hl_Raster || level == hl_2D) << level;
    d->Release();
}

// Without ddraw.dll the server still loads, and the adapter list says what is missing. The
// test runs a copy of itself with DirectDraw switched off for that copy.
TEST(FreshProcess, WithoutDirectDrawTheAdapterListSaysSo)
{
    char marker[8] = {};
    if (GetEnvironmentVariableA("ZYK_NO_DDRAW", marker, sizeof marker)) {
        ASSERT_EQ(LoadLibraryA("ddraw.dll"), nullptr) << "DirectDraw is still there";
        testkit::ClearError();
        IDevices* devices = nullptr;
        ASSERT_EQ(testkit::CreateByProgId(L"zyk3D.Devices", IID_IDevices, reinterpret_cast<void**>(&devices)), S_OK);
        // The loader's "Unable to find DDRAW.DLL" is followed by the list's own failure.
        EXPECT_EQ(testkit::TakeError().description, testkit::SystemText(E_FAIL) + L"Failed to Initialised Direct3D.");
        long n = -1;
        EXPECT_EQ(devices->get_Count(&n), S_OK);
        EXPECT_EQ(n, 0);
        devices->Release();
        // A device cannot start D3DX without DirectDraw and says so.
        IDevice3D* d = nullptr;
        ASSERT_EQ(testkit::CreateByProgId(L"zyk3D.Device3D", IID_IDevice3D, reinterpret_cast<void**>(&d)), S_OK);
        HWND w = testkit::CreateTestWindow(64, 64);
        d->put_Window(static_cast<long>(reinterpret_cast<LONG_PTR>(w)));
        EXPECT_TRUE(FAILED(d->Initialise(0, 64, 64, VARIANT_FALSE, 0)));
        d->Release();
        DestroyWindow(w);
        return;
    }
    // A copy of this program under a name of its own, for which Wine's per-program
    // settings switch DirectDraw off.
    const long code = testkit::RunCopy("zyk_no_ddraw.exe", "FreshProcess.WithoutDirectDraw*", "ZYK_NO_DDRAW", "1",
                                       {{"DllOverrides", "ddraw", ""}});
    EXPECT_EQ(code, 0) << "the child without DirectDraw failed (its output is above)";
}

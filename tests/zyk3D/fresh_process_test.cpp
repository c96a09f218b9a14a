// What a client sees in a process where nothing else has started D3DX (the adapter list
// keeps its start for the life of the process, so this runs in a program of its own).
#include "testkit.h"
#include "zyk3D.h"

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

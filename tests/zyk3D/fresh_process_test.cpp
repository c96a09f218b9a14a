// What a client sees before anything in its process has started D3DX (the adapter list
// keeps its start for the life of the process, so this runs in a program of its own).
#include "testkit.h"
#include "zyk3D.h"

TEST(FreshProcess, LevelNeedsAStartedD3DX)
{
    IDevice3D* d = nullptr;
    ASSERT_EQ(testkit::CreateByProgId(L"zyk3D.Device3D", IID_IDevice3D, reinterpret_cast<void**>(&d)), S_OK);
    HWLevels level;
    EXPECT_EQ(d->get_Level(&level), static_cast<HRESULT>(0xC8770BC7));
    EXPECT_EQ(testkit::TakeError().description, L"Direct3DX Not Started Yet.");
    d->Release();
}

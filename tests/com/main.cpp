#include <gtest/gtest.h>
#include "com/module.h"
#include "testkit.h"

// The program is its own module: failures built from string ids read the table linked
// into it, and error sources come from the registry.
int main(int argc, char** argv)
{
    zyk::com::ThisModule().Init(nullptr, 0, GetModuleHandleA(nullptr), GUID_NULL);
    testing::InitGoogleTest(&argc, argv);
    testkit::ComScope com;
    return RUN_ALL_TESTS();
}

#include "testkit.h"

// The test thread is a COM client in a single-threaded apartment.
int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    testkit::ComScope com;
    return RUN_ALL_TESTS();
}

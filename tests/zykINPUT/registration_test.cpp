// What registration leaves in the registry for the two classes and the Devices control.
#include "testkit.h"
#include "zykINPUT.h"
#include "zykINPUT_classes.h"

TEST(InputRegistration, BothClassesHaveTheirScriptKeys)
{
    EXPECT_EQ(testkit::GuidText(CLSID_Device), L"{014F54C9-3D05-4EDF-BF49-4F9507FF8037}");
    EXPECT_EQ(testkit::GuidText(CLSID_Devices), L"{29D6A23B-8ABA-454B-B1DC-E636DB6AEA46}");
    testkit::ExpectRegistered(L"zykINPUT.dll", L"{6F06941F-377A-4C8E-893B-19AFB8CCCCB3}",
                              {ZYKINPUT_CLASSES(ZYK_REGISTERED_CLASS)});
}

// The video control as a container sees it: what every control does (control_conformance.h).
#include "control_conformance.h"
#include "zykMM.h"

INSTANTIATE_TEST_SUITE_P(zykMM, ControlConformance,
                         testing::Values(testkit::ControlServer{
                             L"zykMM.dll",
                             {{L"zykMM.Device", &CLSID_Device, &IID_IDevice, &DIID__IDeviceEvents, 131473,
                               testkit::Drawing::Placeholder}}}));

// CFlares: the flares of a device.
#pragma once
#include "zyk3D.h"
#include "com/object.h"

// The flares of a device: registered and creatable, with no members of its own yet.
class CFlares : public zyk::com::CoClass<IFlares, &IID_IFlares, &CLSID_Flares> {};

// CFlare: a lens flare.
#pragma once
#include "zyk3D.h"
#include "com/object.h"

// A lens flare: registered and creatable, with no members of its own yet.
class CFlare : public zyk::com::CoClass<IFlare, &IID_IFlare, &CLSID_Flare> {};

// The zyk3D server: its object map and exports.
#include "zyk3D.h"
#include "com/module.h"
#include "com/object.h"
#include "colour.h"
#include "position.h"

namespace {

using zyk::com::Creator;
using zyk::com::ObjectEntry;

const ObjectEntry kObjectMap[] = {
    {&CLSID_Colour, 102, &Creator<CColour>, true, L"zyk3D.Colour.1"},
    {&CLSID_Position, 114, &Creator<CPosition>, true, L"zyk3D.Position.1"},
};

} // namespace

ZYK_SERVER_EXPORTS(kObjectMap, LIBID_ZYK3DLib)

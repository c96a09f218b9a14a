#include "colour.h"
#include "worldfile.h"
#include "com/trace.h"

HRESULT CColour::Save(long f)
{
    return Member([&] {
        world::Block(f, [&](FILE* s) {
            ZYK_TRACE("Saving Colour.\n");
            world::WriteLine(s, "// Colour\n");
            world::WriteFloat(s, red_);
            world::WriteFloat(s, green_);
            world::WriteFloat(s, blue_);
            world::WriteFloat(s, alpha_);
        });
    });
}

HRESULT CColour::Load(long f)
{
    return Member([&] {
        world::Block(f, [&](FILE* s) {
            ZYK_TRACE("Loading Colour.\n");
            world::SkipLine(s);
            red_ = world::ReadFloat(s);
            green_ = world::ReadFloat(s);
            blue_ = world::ReadFloat(s);
            alpha_ = world::ReadFloat(s);
        });
    });
}

DWORD PackColour(IColour* colour)
{
    float r = 0, g = 0, b = 0, a = 0;
    colour->get_Red(&r);
    colour->get_Green(&g);
    colour->get_Blue(&b);
    colour->get_Alpha(&a);
    return PackColour(r, g, b, a);
}

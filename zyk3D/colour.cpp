// CColour's part of the world file, and the helpers that read, pack and make a Colour.
#include "colour.h"
#include "com/create.h"
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
            world::ReadHeader(s, "// Colour");
            red_ = world::ReadFloat(s);
            green_ = world::ReadFloat(s);
            blue_ = world::ReadFloat(s);
            alpha_ = world::ReadFloat(s);
        });
    });
}

void ReadColour(IColour* colour, D3DCOLORVALUE& value)
{
    if (!colour) return;
    colour->get_Red(&value.r);
    colour->get_Green(&value.g);
    colour->get_Blue(&value.b);
    colour->get_Alpha(&value.a);
}

DWORD PackColour(IColour* colour)
{
    D3DCOLORVALUE value{};
    ReadColour(colour, value);
    return PackColour(value.r, value.g, value.b, value.a);
}

zyk::com::Ptr<IColour> MakeColour()
{
    auto colour =
        zyk::com::Ptr<IColour>::Adopt(CreateChild<IColour>(CLSID_Colour, IID_IColour, "Colour Not Registered."));
    colour->put_Red(0.0f);
    colour->put_Green(0.0f);
    colour->put_Blue(0.0f);
    colour->put_Alpha(0.0f);
    return colour;
}

// MakePosition: a new Position at the given coordinates.
#include "position.h"
#include "com/create.h"

zyk::com::Ptr<IPosition> MakePosition(float x, float y, float z)
{
    auto position = zyk::com::Ptr<IPosition>::Adopt(
        CreateChild<IPosition>(CLSID_Position, IID_IPosition, "Position Not Registered."));
    position->put_X(x);
    position->put_Y(y);
    position->put_Z(z);
    return position;
}

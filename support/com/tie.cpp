// IID_IOwned and TieTo, which ties a child of this module under its owner's tie.
#include "tie.h"
#include "module.h"

namespace zyk::com {

// {5B0C8E61-3F4A-4C2D-9E1B-7A6D2F9C4E03}
const IID IID_IOwned = {0x5B0C8E61, 0x3F4A, 0x4C2D, {0x9E, 0x1B, 0x7A, 0x6D, 0x2F, 0x9C, 0x4E, 0x03}};

Tie TieTo(IUnknown* child, const Tie& owner)
{
    Tie tied;
    if (!child) return tied;
    Ptr<IOwned> owned;
    if (FAILED(child->QueryInterface(IID_IOwned, reinterpret_cast<void**>(owned.Out()))) || !owned) return tied;
    if (owned->OwnModule() != ThisModule().Instance()) return tied;
    owned->TieUnder(owner, &tied);
    return tied;
}

} // namespace zyk::com

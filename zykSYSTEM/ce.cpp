// CCE: a value of the Windows CE device's identification read from the registry.
#include "ce.h"

HRESULT CCE::Read(BSTR* out, const char* value)
{
    return Member([&] { sys::ReturnText(sys::ReadMachineText("Platform", value), out); });
}

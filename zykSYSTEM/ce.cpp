#include "ce.h"

HRESULT CCE::Read(BSTR* out, const char* value)
{
    return sys::GuardOf<CCE>([&] { sys::ReturnText(sys::ReadMachineText("Platform", value), out); });
}

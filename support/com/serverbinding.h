// Prelude of a file that binds one server early through its generated header.
//
// Every server's header declares its interfaces and ids under the same plain names
// (IDevices, IDevice, CLSID_Devices, IID_IDevices, ...). A file includes exactly one of
// them, inside a namespace of its own, after this prelude:
//
//   #include "com/serverbinding.h"
//   namespace gfx {
//   #include "zykGFX.h"
//   }
//
// The ids then become constants of that namespace instead of shared C symbols, and no
// interface gets a uuid specialisation, so nothing of one server's can stand in for the
// same name of another's. The members are called through the vtable, in the slot order
// of the server's type library.
#pragma once
#include <windows.h>
#include <ole2.h>
#include <oaidl.h>
#include <ocidl.h>

#undef DEFINE_GUID
#define DEFINE_GUID(name, l, w1, w2, b1, b2, b3, b4, b5, b6, b7, b8)                                                   \
    constexpr GUID name = {l, w1, w2, {b1, b2, b3, b4, b5, b6, b7, b8}}
#undef __CRT_UUID_DECL
#define __CRT_UUID_DECL(type, ...)

// The arguments the hostile client passes: each a fresh VARIANT for one call, so that
// what a member does to it (or fails to copy) never reaches the next call.
#pragma once
#include <windows.h>
#include <oleauto.h>
#include <deque>
#include <vector>

namespace hostile {

// Storage that by-reference arguments point into; lives for one call.
struct Arena {
    std::deque<VARIANT> variants;
    std::deque<LONG> longs;
    std::deque<BSTR> strings;
    ~Arena();
};

struct Value {
    const char* label;
    bool ci;      // in the smaller set of the CI run
    bool address; // 0 or not a number: may go to a hidden member that takes a memory address
    void (*make)(VARIANT& v, Arena& arena, IDispatch* self);
};

// Every hostile value, in the order they are tried.
const std::vector<Value>& HostileValues();

// An IDispatch of the client's own that is none of the servers' objects: every member
// is unknown to it.
IDispatch* ForeignObject();

// Plain arguments, one per parameter type, and the extra arguments of calls with too many.
extern const Value kLong1, kLong0, kFalse, kDouble1, kText, kNoObject, kDefaultText;

} // namespace hostile

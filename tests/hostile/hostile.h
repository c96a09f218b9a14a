// The hostile-argument client: a parent that lists every creatable class of every server
// from its type library and runs each class in a child process of its own (this same
// program), and the child that walks the class's members through IDispatch::Invoke.
//
// The child writes a line to its log before each step, so that the parent can name the
// class, the member and the arguments of a call that crashes or hangs:
//   member <Interface>.<name>.<get|put|call>   the first call of a member
//   call <n> <path> <member> <kind> (<arguments>)
//   step <text>                                set-up and releases outside the numbered calls
//   raised <path> <member>                     a call answered E_FAIL "Exception Raised."
//   done <calls>                               the walk ended and COM was left
#pragma once
#include <windows.h>
#include <string>

namespace hostile {

// How much of the walk a run does: the CI run takes the smaller value set and goes one
// level down into returned objects; ZYK_HOSTILE_FULL=1 takes every value, every value in
// every argument position at once, and goes two levels down. In the CI run a member whose
// calls are slow (a texture loaded from a file takes seconds under emulation) gets those
// of its calls that fit in memberMs; 0 is no bound.
struct Depth {
    bool full = false;
    int levels = 1;
    DWORD memberMs = 6000;
};
Depth DepthFromEnvironment();

// The child: walks class className of the server whose type library is libid, skipping
// the numbered calls up to and including skipThrough (those done by an earlier child that
// crashed), writing its log to logPath. Returns the process exit code.
int RunChild(const GUID& libid, const std::wstring& className, const std::wstring& logPath, long skipThrough);

} // namespace hostile

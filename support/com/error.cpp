// PublishError, and the structured-exception frame that stops a machine fault and hands back its code.
#include "error.h"
#include "module.h"
#include "ptr.h"

namespace zyk::com {

HRESULT PublishError(REFCLSID clsid, REFIID iid, const wchar_t* description, HRESULT hr)
{
    Ptr<ICreateErrorInfo> create;
    if (FAILED(CreateErrorInfo(create.Out())) || !create) return hr;
    create->SetGUID(iid);
    const wchar_t* source = ThisModule().ProgIdOf(clsid);
    LPOLESTR registered = nullptr;
    if (!source && ProgIDFromCLSID(clsid, &registered) == S_OK) source = registered;
    create->SetSource(const_cast<LPOLESTR>(source ? source : L""));
    if (registered) CoTaskMemFree(registered);
    create->SetDescription(const_cast<LPOLESTR>(description ? description : L""));
    create->SetHelpFile(const_cast<LPOLESTR>(L""));
    create->SetHelpContext(0);
    Ptr<IErrorInfo> info = create.As<IErrorInfo>(IID_IErrorInfo);
    if (info) SetErrorInfo(0, info.Get());
    return hr;
}

namespace detail {

bool IsMachineFault(DWORD code)
{
    switch (code) {
    case EXCEPTION_ACCESS_VIOLATION:
    case EXCEPTION_ARRAY_BOUNDS_EXCEEDED:
    case EXCEPTION_DATATYPE_MISALIGNMENT:
    case EXCEPTION_FLT_DENORMAL_OPERAND:
    case EXCEPTION_FLT_DIVIDE_BY_ZERO:
    case EXCEPTION_FLT_INEXACT_RESULT:
    case EXCEPTION_FLT_INVALID_OPERATION:
    case EXCEPTION_FLT_OVERFLOW:
    case EXCEPTION_FLT_STACK_CHECK:
    case EXCEPTION_FLT_UNDERFLOW:
    case EXCEPTION_ILLEGAL_INSTRUCTION:
    case EXCEPTION_IN_PAGE_ERROR:
    case EXCEPTION_INT_DIVIDE_BY_ZERO:
    case EXCEPTION_INT_OVERFLOW:
    case EXCEPTION_PRIV_INSTRUCTION: return true;
    default: return false; // stack overflow and software exceptions go on to the next frame
    }
}

// The registration record that zyk_call_with_fault_frame builds on its stack.
struct FaultRecord {
    FaultRecord* next;
    void* handler;
    DWORD ebp;    // frame of zyk_call_with_fault_frame
    DWORD resume; // where execution goes on after a fault
    DWORD code;   // 0, or the fault's exception code
};

extern "C" EXCEPTION_DISPOSITION __cdecl zyk_fault_handler(EXCEPTION_RECORD* record, void* frame, CONTEXT* context,
                                                           void*)
{
    if (record->ExceptionFlags & (EXCEPTION_UNWINDING | EXCEPTION_EXIT_UNWIND)) return ExceptionContinueSearch;
    if (!IsMachineFault(record->ExceptionCode)) return ExceptionContinueSearch;
    auto* r = static_cast<FaultRecord*>(frame);
    r->code = record->ExceptionCode;
    context->Esp = reinterpret_cast<DWORD>(r);
    context->Ebp = r->ebp;
    context->Eip = r->resume;
    return ExceptionContinueExecution;
}

// clang-format off
// DWORD zyk_call_with_fault_frame(void (*fn)(void*), void* arg)
__asm__(
    ".text\n"
    ".globl _zyk_call_with_fault_frame\n"
    "_zyk_call_with_fault_frame:\n"
    "    pushl %ebp\n"
    "    movl %esp, %ebp\n"
    "    pushl %ebx\n"
    "    pushl %esi\n"
    "    pushl %edi\n"
    "    subl $20, %esp\n"                    // FaultRecord
    "    movl %fs:0, %eax\n"
    "    movl %eax, 0(%esp)\n"                // next
    "    movl $_zyk_fault_handler, 4(%esp)\n" // handler
    "    movl %ebp, 8(%esp)\n"
    "    movl $1f, 12(%esp)\n"
    "    movl $0, 16(%esp)\n"
    "    movl %esp, %fs:0\n"
    "    pushl 12(%ebp)\n"
    "    call *8(%ebp)\n"
    "    addl $4, %esp\n"
    "1:\n"                                    // normal return and fault resume meet here
    "    movl 0(%esp), %eax\n"
    "    movl %eax, %fs:0\n"
    "    movl 16(%esp), %eax\n"
    "    addl $20, %esp\n"
    "    popl %edi\n"
    "    popl %esi\n"
    "    popl %ebx\n"
    "    popl %ebp\n"
    "    ret\n");
// clang-format on

} // namespace detail
} // namespace zyk::com

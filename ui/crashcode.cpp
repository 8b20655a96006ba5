#include "ui/crashcode.h"

#include <csignal>

namespace {

struct CodeName {
    uint32_t code;
    const char* name;
};

constexpr CodeName kCodeNames[] = {
    {0xC0000005, "EXCEPTION_ACCESS_VIOLATION"},
    {0x80000004, "EXCEPTION_SINGLE_STEP"},
    {0x80000003, "EXCEPTION_BREAKPOINT"},
    {0x80000002, "EXCEPTION_DATATYPE_MISALIGNMENT"},
    {0x80000001, "EXCEPTION_GUARD_PAGE"},
    {0xC0000006, "EXCEPTION_IN_PAGE_ERROR"},
    {0xC000008C, "EXCEPTION_ARRAY_BOUNDS_EXCEEDED"},
    {0xC0000026, "EXCEPTION_INVALID_DISPOSITION"},
    {0xC0000025, "EXCEPTION_NONCONTINUABLE_EXCEPTION"},
    {0xC000001D, "EXCEPTION_ILLEGAL_INSTRUCTION"},
    {0xC0000008, "EXCEPTION_INVALID_HANDLE"},
    {0xC000008D, "EXCEPTION_FLT_DENORMAL_OPERAND"},
    {0xC000008E, "EXCEPTION_FLT_DIVIDE_BY_ZERO"},
    {0xC000008F, "EXCEPTION_FLT_INEXACT_RESULT"},
    {0xC0000090, "EXCEPTION_FLT_INVALID_OPERATION"},
    {0xC0000091, "EXCEPTION_FLT_OVERFLOW "},
    {0xC0000092, "EXCEPTION_FLT_STACK_CHECK"},
    {0xC0000093, "EXCEPTION_FLT_UNDERFLOW"},
    {0xC0000094, "EXCEPTION_INT_DIVIDE_BY_ZERO"},
    {0xC0000095, "EXCEPTION_INT_OVERFLOW"},
    {0xC0000096, "EXCEPTION_PRIV_INSTRUCTION"},
    {0xC00000FD, "EXCEPTION_STACK_OVERFLOW"},
};

// abort() has no exception code of its own; the fatal-application-exit status stands in.
constexpr uint32_t kAbortCode = 0x40000015;

uint32_t CodeOf(int signal, int siCode) {
    switch (signal) {
        case SIGSEGV:
            return 0xC0000005;
        case SIGBUS:
            return siCode == BUS_ADRALN ? 0x80000002 : 0xC0000006;
        case SIGILL:
            return siCode == ILL_PRVOPC || siCode == ILL_PRVREG ? 0xC0000096 : 0xC000001D;
        case SIGTRAP:
            return siCode == TRAP_TRACE ? 0x80000004 : 0x80000003;
        case SIGFPE:
            switch (siCode) {
                case FPE_INTDIV:
                    return 0xC0000094;
                case FPE_INTOVF:
                    return 0xC0000095;
                case FPE_FLTDIV:
                    return 0xC000008E;
                case FPE_FLTOVF:
                    return 0xC0000091;
                case FPE_FLTUND:
                    return 0xC0000093;
                case FPE_FLTRES:
                    return 0xC000008F;
                case FPE_FLTSUB:
                    return 0xC000008C;
                default:
                    return 0xC0000090;
            }
        default:
            return kAbortCode;
    }
}

}  // namespace

const char* CrashCodeName(uint32_t code) {
    for (const CodeName& entry : kCodeNames) {
        if (entry.code == code)
            return entry.name;
    }
    return "EXCEPTION_UNKNOWN";
}

CrashCode CrashCodeOf(int signal, int siCode) {
    const uint32_t code = CodeOf(signal, siCode);
    return {code, CrashCodeName(code)};
}

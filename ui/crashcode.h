#pragma once
// How the crash report names a fatal signal: the exception code and name the
// program's reports have always carried.
#include <cstdint>

struct CrashCode {
    uint32_t code;
    const char* name;
};

// The code for a signal and its siginfo code; EXCEPTION_UNKNOWN for the rest.
// Async-signal-safe.
CrashCode CrashCodeOf(int signal, int siCode);
// The name of an exception code ("EXCEPTION_UNKNOWN" for codes it does not know).
const char* CrashCodeName(uint32_t code);

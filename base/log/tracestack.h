#pragma once
// Scope record of one operation: reports entry, result code and elapsed time
// to the debugger output (stderr) unless it is quiet, which every record of
// the program is in normal running.
#include <cstdint>
#include <string>

#include "base/utility/formatstring.h"
#include "platform/hresult.h"

class CTraceStack {
public:
    // params is the caller's parameter line (never a password).
    CTraceStack(const char* file, int line, const wchar_t* funcName, const HRESULT* phr,
                const std::wstring& params, BOOL quiet);
    ~CTraceStack();
    CTraceStack(const CTraceStack&) = delete;
    CTraceStack& operator=(const CTraceStack&) = delete;

private:
    // Tick count when the scope began; differences survive a wrap.
    uint32_t m_start;
    std::wstring m_funcName;
    // The caller's result variable, read when the scope ends; may be null.
    const HRESULT* m_phr;
    // Non-zero: nothing is printed.
    BOOL m_quiet;
    // Where the scope was opened (for a debugger; not printed).
    [[maybe_unused]] const char* m_file;
    [[maybe_unused]] int m_line;
};

// Replaces the tick source of the records (tests); null restores the clock.
void SetTraceTickSource(uint32_t (*source)());

// Opens a quiet scope record for the rest of the enclosing block:
// PELLUX_TRACE_SCOPE(L"CLocalStorage::EncodeFile()", &hr, L"SrcFile = %s", src);
#define PELLUX_TRACE_SCOPE(funcName, phr, ...)                       \
    std::wstring pelluxTraceParams_;                                 \
    CTraceStack pelluxTraceScope_(__FILE__, __LINE__, funcName, phr, \
                                  FormatString(pelluxTraceParams_, __VA_ARGS__), 1)

#include "base/log/tracestack.h"

#include <atomic>
#include <cstdio>

#include "platform/strings.h"
#include "platform/tickcount.h"

namespace {

std::atomic<uint32_t (*)()> g_tickSource{nullptr};

uint32_t Ticks() {
    uint32_t (*source)() = g_tickSource.load();
    return source != nullptr ? source() : GetTickCount();
}

void DebuggerOutput(const std::wstring& text) {
    const std::string bytes = WideToUtf8(text);
    std::fwrite(bytes.data(), 1, bytes.size(), stderr);
    std::fflush(stderr);
}

}  // namespace

void SetTraceTickSource(uint32_t (*source)()) {
    g_tickSource.store(source);
}

CTraceStack::CTraceStack(const char* file, int line, const wchar_t* funcName, const HRESULT* phr,
                         const std::wstring& params, BOOL quiet)
    : m_start(Ticks()),
      m_funcName(funcName != nullptr ? funcName : L""),
      m_phr(phr),
      m_quiet(quiet),
      m_file(file),
      m_line(line) {
    if (m_quiet)
        return;
    std::wstring text;
    DebuggerOutput(FormatString(text, L"CTraceStack In, %s : %s\n", m_funcName, params));
}

CTraceStack::~CTraceStack() {
    if (m_quiet)
        return;
    const uint32_t elapsed = Ticks() - m_start;
    std::wstring text;
    if (m_phr != nullptr) {
        FormatString(text, L"CTraceStack Out,%s : hr = %x, UserTime: %d'.%d'", m_funcName,
                     static_cast<uint32_t>(*m_phr), elapsed / 1000, elapsed % 1000);
    } else {
        FormatString(text, L"CTraceStack Out,%s : UserTime: %d'.%d''", m_funcName, elapsed / 1000,
                     elapsed % 1000);
    }
    DebuggerOutput(text);
}

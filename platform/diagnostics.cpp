#include "platform/diagnostics.h"

#include <atomic>
#include <cstdio>

#include "platform/strings.h"

namespace {
std::atomic<PlatformLogSink> g_sink{nullptr};
}  // namespace

void SetPlatformLogSink(PlatformLogSink sink) {
    g_sink.store(sink);
}

void PlatformLog(int level, const char* sourceFile, int sourceLine, const std::wstring& text) {
    PlatformLogSink sink = g_sink.load();
    if (sink != nullptr) {
        sink(level, sourceFile, sourceLine, text);
        return;
    }
    std::fprintf(stderr, "%s\n", WideToUtf8(text).c_str());
}

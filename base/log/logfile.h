#pragma once
// The program's log: configuration at start-up and the entry through which
// every line is written.
#include <string>

#include "base/log/logwriter.h"
#include "base/utility/formatstring.h"

// Configures the process-wide writer (a null tag or path keeps the current
// one) and runs the maintenance its flags ask for. Returns 0.
int LogConfigure(const wchar_t* tag, const wchar_t* path, int level, uint32_t flags, int keepDays);

// Formats the message (at most 1023 characters) only when its level is
// written, and appends the line.
template <class... A>
void LogWrite(int level, const char* sourceFile, int sourceLine, const wchar_t* format, const A&... args) {
    CLogWriter& writer = TheLogWriter();
    if (!writer.Wants(level))
        return;
    std::wstring message;
    if (format != nullptr)
        FormatString(message, format, args...);
    writer.WriteLine(level, sourceFile, sourceLine, message);
}

// Start-up configuration from "config.ini" in the folder (section "Pellux":
// "LogLevel", default 10; "LogSaveDate" in days, default 3, -1 keeps every
// file): lines go to "log/pellux.log" below the folder, one file a day, and
// older files of that log folder are deleted.
void SetupLog(const std::wstring& folder);

#define PELLUX_LOG(level, ...) LogWrite((level), __FILE__, __LINE__, __VA_ARGS__)
#define PELLUX_LOG_ERROR(...) PELLUX_LOG(kLogError, __VA_ARGS__)
#define PELLUX_LOG_INFO(...) PELLUX_LOG(kLogInfo, __VA_ARGS__)
#define PELLUX_LOG_WARNING(...) PELLUX_LOG(kLogWarning, __VA_ARGS__)
#define PELLUX_LOG_TRACE(...) PELLUX_LOG(kLogTrace, __VA_ARGS__)

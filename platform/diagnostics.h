#pragma once
// A hook through which the platform layer reaches the program's log without
// depending on it: the log writer installs the sink when it is configured.
#include <string>

typedef void (*PlatformLogSink)(int level, const char* sourceFile, int sourceLine, const std::wstring& text);

void SetPlatformLogSink(PlatformLogSink sink);
// Hands the line to the installed sink; without one it goes to stderr.
void PlatformLog(int level, const char* sourceFile, int sourceLine, const std::wstring& text);

#include "base/log/logfile.h"

#include "base/utility/fileutil.h"
#include "base/utility/localpath.h"
#include "platform/diagnostics.h"
#include "platform/profile.h"
#include "platform/strings.h"

namespace {
// Bit 0: purge at configuration. Only bits 0 and 1 are read.
const uint32_t kStartupLogFlags = 0x10000001;

void WritePlatformLine(int level, const char* sourceFile, int sourceLine, const std::wstring& text) {
    LogWrite(level, sourceFile, sourceLine, L"%s", text);
}
}  // namespace

int LogConfigure(const wchar_t* tag, const wchar_t* path, int level, uint32_t flags, int keepDays) {
    // From now on the platform layer's own lines (abandoned workers) go to the log too.
    SetPlatformLogSink(&WritePlatformLine);
    return TheLogWriter().Configure(tag, path, level, flags, keepDays);
}

void SetupLog(const std::wstring& folder) {
    const std::string ini = WideToUtf8(JoinLocalPath(folder, L"config.ini"));
    const int level = GetProfileInt(ini, L"Pellux", L"LogLevel", 10);
    const int keepDays = GetProfileInt(ini, L"Pellux", L"LogSaveDate", 3);
    const std::wstring logFolder = JoinLocalPath(folder, L"log");
    CreateFolderTree(logFolder);
    const std::wstring path = JoinLocalPath(logFolder, L"pellux.log");
    LogConfigure(L"Pellux", path.c_str(), level, kStartupLogFlags, keepDays);
}

#pragma once
// The crash reporter: on a fatal signal it writes a text report into the
// "dump" folder of the per-user folder, optionally shows a short description
// in a box of its own process, and ends the program with exit code 1.
#include <cstdint>
#include <string>

// Reads "CrashReport" (default 1) and "CrashReportDialog" (default 0) from
// section [Pellux] of "config.ini" in the per-user folder; with "CrashReport"
// not 0 installs the reporter for the running program. Returns whether it did.
bool SetupCrashReport(const std::wstring& userFolder);

class CCrashReport {
public:
    // Files of the dump folder older than this are deleted at install.
    static constexpr int64_t kKeepSeconds = 259200;

    static CCrashReport& Instance();

    // Builds the dump prefix ("<folder>dump/<program file name>", or the
    // program's full path when no folder is given), creates the dump folder,
    // deletes old files there and installs the signal handlers. Paths are
    // local (UTF-8); the folder ends with "/". An empty box program means the
    // crash box beside the running program. False when already installed.
    bool Install(const std::string& programPath, bool showDialog, const std::string& folder,
                 const std::string& boxProgram = std::string());
    bool IsInstalled() const { return installed_; }

    // Deletes every entry of the folder that is not a folder and was last
    // written more than kKeepSeconds before now (seconds since the epoch).
    static void PurgeOldDumps(const std::string& dumpFolder, int64_t now);

private:
    CCrashReport() = default;
    bool installed_ = false;
};

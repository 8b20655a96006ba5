#pragma once
// Installing a staged program file over the running one, and the program
// versions that decide whether to.
#include <cstdint>
#include <functional>
#include <string>

struct ProgramVersion {
    uint16_t parts[4] = {0, 0, 0, 0};
    bool known = false;
    // "%d.%d.%d.%d", or empty when the version is not known.
    std::wstring Text() const;
};

// The version note of a program file; not known when the file has none.
ProgramVersion ReadProgramVersion(const std::wstring& path);
// The running program's own version and file.
ProgramVersion RunningProgramVersion();
std::wstring RunningProgramPath();

// True when the staged file exists and carries a version newer than the
// running one (the first differing part decides).
bool IsStagedUpdateNewer(const std::wstring& stagedPath, const ProgramVersion& running);

// Copies a program file: the bytes go to a temporary file beside the target,
// are flushed, made executable and renamed over the target. False on failure,
// with nothing left behind.
bool CopyProgramFile(const std::string& from, const std::string& to);

struct UpdateSwapEnv {
    // Where the new version goes when the program's own folder refuses it.
    std::wstring desktopFolder;
    // CopyProgramFile unless a test injects a failure.
    std::function<bool(const std::string& from, const std::string& to)> copyFile;
    std::function<void(const std::wstring& text, const std::wstring& caption)> showMessage;
};

// The desktop folder of the XDG user folders ("$HOME/Desktop" by default).
std::wstring DesktopFolder();

// Moves the running file aside (its name with "_" appended) and copies the
// staged file to the program's path. Returns the path of the program to start:
// the program's own path, or, when the copy failed, a copy on the desktop (the
// moved-aside file then goes back, so the program path is never left empty).
std::wstring ApplyStagedUpdate(const std::wstring& stagedPath, const std::wstring& programPath,
                               const UpdateSwapEnv& env);

// Deletes the file an earlier swap moved aside; true when there was one.
bool DeleteOldProgramFile(const std::wstring& programPath);

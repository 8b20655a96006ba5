#pragma once
// Facts about a file in the manner of the Win32 attribute data: existence,
// directory and read-only flags, a 64-bit size and times as FILETIME values
// (100 ns units since 1601-01-01 UTC). Paths are UTF-8.
#include <cstdint>
#include <string>

// 100 ns intervals between 1601-01-01 and the Unix epoch.
constexpr uint64_t kFileTimeUnixEpoch = 116444736000000000ull;

struct FileAttributeData {
    bool isDirectory = false;
    // No write permission for the owner (the Windows read-only attribute).
    bool readOnly = false;
    // Directories report 0, as the Win32 attribute data does.
    uint64_t size = 0;
    // Birth time where the file system keeps one, else the last-write time.
    uint64_t creationTime = 0;
    uint64_t lastAccessTime = 0;
    uint64_t lastWriteTime = 0;
};

// Reads the attribute data (following symbolic links); false when the path
// cannot be examined. Works on files that other processes hold open.
bool GetFileAttributeData(const std::string& path, FileAttributeData* data);

bool PathExists(const std::string& path);
bool IsDirectoryPath(const std::string& path);
bool IsReadOnlyPath(const std::string& path);

// FILETIME value of a Unix time in seconds and nanoseconds.
uint64_t UnixTimeToFileTime(int64_t seconds, uint32_t nanoseconds);
// Whole seconds since the Unix epoch of a FILETIME value (rounded down).
int64_t FileTimeToUnixSeconds(uint64_t fileTime);

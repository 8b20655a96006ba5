#pragma once
// The log-file writer: appends timestamped lines to a daily file beside the
// configured path, serialised across processes by a named mutex, and deletes
// old files of the log folder when configured. Files are opened and closed
// for every line; nothing is buffered.
#include <atomic>
#include <cstdint>
#include <ctime>
#include <functional>
#include <mutex>
#include <string>

#include "platform/namedmutex.h"

// Levels of a line; the letters are "ENNNIWNRNT" by level.
enum LogLevel {
    kLogError = 0,
    kLogInfo = 4,
    kLogWarning = 5,
    kLogTrace = 9,
};

// Configuration flags.
enum : uint32_t {
    kLogPurgeOnConfigure = 0x1,      // delete files older than keepDays
    kLogSizeCheckOnConfigure = 0x2,  // without the purge bit: size check
};

constexpr uint64_t kLogFileSizeLimit = 0x6400000;  // 100 MiB
constexpr size_t kLogLineMax = 1100;               // bytes, line end included
extern const char kLogMutexName[];

// Clock and file-system facts the writer asks for; tests replace them.
struct LogWriterHooks {
    // Seconds since the Unix epoch; lines and daily names use its local time.
    std::function<int64_t()> now;
    // The pause before every line that passes the level test.
    std::function<void()> pause;
    // A file's creation time in seconds since the Unix epoch; false when
    // unknown (the file is then kept).
    std::function<bool(const std::string& path, int64_t* seconds)> creationTime;
};
LogWriterHooks DefaultLogWriterHooks();

class CLogWriter {
public:
    // Tag and path start as the running program's name and full path + ".log".
    explicit CLogWriter(const std::string& mutexName = kLogMutexName);
    CLogWriter(const CLogWriter&) = delete;
    CLogWriter& operator=(const CLogWriter&) = delete;

    // A null tag or path leaves that field unchanged. Returns 0.
    int Configure(const wchar_t* tag, const wchar_t* path, int level, uint32_t flags, int keepDays);
    // True when a line of this level (clamped to 0..9) is written.
    bool Wants(int level) const { return ClampLevel(level) <= m_level.load(); }
    void WriteLine(int level, const char* sourceFile, int sourceLine, const std::wstring& message);

    void SetHooks(const LogWriterHooks& hooks);
    // The file the last line went to (empty before the first line).
    std::string DailyPath() const;

    static int ClampLevel(int level) { return level < 0 ? 0 : (level > 9 ? 9 : level); }

private:
    struct Date {
        int year = 0, month = 0, day = 0;
        bool operator==(const Date& o) const { return year == o.year && month == o.month && day == o.day; }
    };

    LogWriterHooks Hooks() const;
    void Maintain(uint32_t flags, int keepDays);
    void Purge(int keepDays);
    void CheckSize(uint64_t limit);
    void UpdateDailyPath(const struct tm& local);
    std::string BuildLine(int level, const struct tm& local, const char* sourceFile, int sourceLine,
                          const std::wstring& message) const;

    CNamedMutex m_mutex;
    // Guards the fields below; also stands in for the named mutex when its
    // lock file cannot be opened.
    mutable std::mutex m_state;
    LogWriterHooks m_hooks;
    // Module tag written in each line (UTF-8).
    std::string m_tag;
    // Configured path; the daily files are named after it.
    std::string m_basePath;
    // The file written on m_day; empty until the first line.
    std::string m_dailyPath;
    // Highest level written.
    std::atomic<int> m_level{4};
    Date m_day;
    // Lines since the last size check.
    uint32_t m_writes = 0;
};

// The process-wide writer, made on first use.
CLogWriter& TheLogWriter();

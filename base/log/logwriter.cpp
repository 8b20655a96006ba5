#include "base/log/logwriter.h"

#include "platform/fdio.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <ctime>

#include "platform/fileinfo.h"
#include "platform/strings.h"
#include "platform/tickcount.h"

const char kLogMutexName[] = "_#_LogFile_Z_MutxName_#_";

namespace {

const char kLevelLetters[] = "ENNNIWNRNT";
const int64_t kSecondsPerDay = 86400;
const uint32_t kWritesPerSizeCheck = 100;

std::string ProgramPath() {
    char buf[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", buf, sizeof(buf) - 1);
    return n > 0 ? std::string(buf, static_cast<size_t>(n)) : std::string("pellux");
}

std::string AfterLastSeparator(const char* path) {
    if (path == nullptr)
        return std::string();
    const std::string p(path);
    const size_t cut = p.find_last_of("/\\");
    return cut == std::string::npos ? p : p.substr(cut + 1);
}

// The longest prefix of at most max bytes that ends on a character boundary.
size_t Utf8Cut(const std::string& text, size_t max) {
    if (text.size() <= max)
        return text.size();
    size_t n = max;
    while (n > 0 && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80)
        --n;
    return n;
}

}  // namespace

LogWriterHooks DefaultLogWriterHooks() {
    LogWriterHooks hooks;
    hooks.now = [] { return static_cast<int64_t>(std::time(nullptr)); };
    hooks.pause = [] { SleepMs(3); };
    hooks.creationTime = [](const std::string& path, int64_t* seconds) {
        FileAttributeData data;
        if (!GetFileAttributeData(path, &data))
            return false;
        *seconds = FileTimeToUnixSeconds(data.creationTime);
        return true;
    };
    return hooks;
}

CLogWriter::CLogWriter(const std::string& mutexName) : m_mutex(mutexName), m_hooks(DefaultLogWriterHooks()) {
    const std::string program = ProgramPath();
    m_tag = AfterLastSeparator(program.c_str());
    m_basePath = program + ".log";
}

void CLogWriter::SetHooks(const LogWriterHooks& hooks) {
    std::lock_guard<std::mutex> guard(m_state);
    m_hooks = hooks;
}

LogWriterHooks CLogWriter::Hooks() const {
    std::lock_guard<std::mutex> guard(m_state);
    return m_hooks;
}

std::string CLogWriter::DailyPath() const {
    std::lock_guard<std::mutex> guard(m_state);
    return m_dailyPath;
}

int CLogWriter::Configure(const wchar_t* tag, const wchar_t* path, int level, uint32_t flags, int keepDays) {
    {
        std::lock_guard<std::mutex> guard(m_state);
        if (tag != nullptr)
            m_tag = WideToUtf8(tag);
        if (path != nullptr) {
            m_basePath = WideToUtf8(path);
            // The daily name follows the new path at once, not only at the
            // next change of date.
            m_dailyPath.clear();
        }
    }
    m_level.store(level);
    Maintain(flags, keepDays);
    return 0;
}

void CLogWriter::Maintain(uint32_t flags, int keepDays) {
    if (flags & kLogPurgeOnConfigure) {
        Purge(keepDays);
    } else if (flags & kLogSizeCheckOnConfigure) {
        const LogWriterHooks hooks = Hooks();
        const bool held = m_mutex.Lock();
        const time_t now = static_cast<time_t>(hooks.now());
        {
            std::lock_guard<std::mutex> guard(m_state);
            struct tm local = {};
            localtime_r(&now, &local);
            UpdateDailyPath(local);
            CheckSize(keepDays < 0 ? 0 : static_cast<uint64_t>(keepDays));
        }
        if (held)
            m_mutex.Unlock();
    }
}

// Every file of the log folder is a candidate, whatever its name: the folder
// belongs to the log alone (the named mutex's file lives elsewhere).
void CLogWriter::Purge(int keepDays) {
    // -1 keeps every file; other negative values would reach into the future
    // and delete today's file too, so they keep everything as well.
    if (keepDays < 0)
        return;
    std::string folder;
    LogWriterHooks hooks;
    {
        std::lock_guard<std::mutex> guard(m_state);
        const size_t cut = m_basePath.rfind('/');
        // A bare file name would make the current folder the log folder.
        if (cut == std::string::npos)
            return;
        folder = m_basePath.substr(0, cut + 1);
        hooks = m_hooks;
    }
    const int64_t limit = hooks.now() - static_cast<int64_t>(keepDays) * kSecondsPerDay;
    DIR* dir = opendir(folder.c_str());
    if (dir == nullptr)
        return;
    while (struct dirent* e = readdir(dir)) {
        const std::string name = e->d_name;
        if (name == "." || name == "..")
            continue;
        const std::string path = folder + name;
        struct stat st;
        if (lstat(path.c_str(), &st) != 0 || S_ISDIR(st.st_mode))
            continue;
        int64_t created = 0;
        if (hooks.creationTime(path, &created) && created < limit)
            unlink(path.c_str());
    }
    closedir(dir);
}

void CLogWriter::CheckSize(uint64_t limit) {
    if (++m_writes < kWritesPerSizeCheck)
        return;
    m_writes = 0;
    struct stat st;
    if (!m_dailyPath.empty() && stat(m_dailyPath.c_str(), &st) == 0 &&
        static_cast<uint64_t>(st.st_size) > limit)
        unlink(m_dailyPath.c_str());
}

void CLogWriter::UpdateDailyPath(const struct tm& local) {
    const Date today = {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
    if (!m_dailyPath.empty() && today == m_day)
        return;
    const size_t slash = m_basePath.rfind('/');
    const size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    size_t dot = m_basePath.rfind('.');
    if (dot == std::string::npos || dot < nameStart)
        dot = m_basePath.size();
    char date[48];
    std::snprintf(date, sizeof(date), "_%d_%02d_%02d", today.year, today.month, today.day);
    m_dailyPath = m_basePath.substr(0, dot) + date + m_basePath.substr(dot);
    m_day = today;
}

std::string CLogWriter::BuildLine(int level, const struct tm& local, const char* sourceFile, int sourceLine,
                                  const std::wstring& message) const {
    char head[256];
    const unsigned pid = static_cast<unsigned>(getpid());
    const unsigned tid = static_cast<unsigned>(syscall(SYS_gettid));
    std::snprintf(head, sizeof(head), "%d/%02d/%02d %02d:%02d:%02d \t%c \t", local.tm_year + 1900,
                  local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec,
                  kLevelLetters[level]);
    char ids[64];
    std::snprintf(ids, sizeof(ids), " \t%08x:%08x \t", pid, tid);
    const std::string prefix = head + m_tag + ids;

    std::string suffix;
    if (m_level.load() > 4) {
        char where[32];
        std::snprintf(where, sizeof(where), "(%d)", sourceLine);
        suffix = " \tFL:" + AfterLastSeparator(sourceFile) + where;
    }
    suffix += "\r\n";

    // A long message is cut, never the line end.
    std::string text = WideToUtf8(message);
    if (prefix.size() + suffix.size() <= kLogLineMax) {
        text.resize(Utf8Cut(text, kLogLineMax - prefix.size() - suffix.size()));
        return prefix + text + suffix;
    }
    std::string line = prefix + suffix.substr(0, suffix.size() - 2);
    line.resize(Utf8Cut(line, kLogLineMax - 2));
    return line + "\r\n";
}

void CLogWriter::WriteLine(int level, const char* sourceFile, int sourceLine, const std::wstring& message) {
    level = ClampLevel(level);
    const LogWriterHooks hooks = Hooks();
    if (hooks.pause)
        hooks.pause();
    if (!Wants(level))
        return;

    // When the lock file cannot be had, the in-process lock still keeps this
    // process's lines whole.
    const bool held = m_mutex.Lock();
    const time_t now = static_cast<time_t>(hooks.now());
    {
        std::lock_guard<std::mutex> guard(m_state);
        struct tm local = {};
        localtime_r(&now, &local);
        UpdateDailyPath(local);
        CheckSize(kLogFileSizeLimit);
        const int fd = open(m_dailyPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        if (fd >= 0) {
            const std::string line = BuildLine(level, local, sourceFile, sourceLine, message);
            if (lseek(fd, 0, SEEK_END) >= 0)
                WriteAllToFd(fd, line.data(), line.size());
            close(fd);
        }
    }
    if (held)
        m_mutex.Unlock();
}

CLogWriter& TheLogWriter() {
    // Made on first use, so the runtime folder of the named mutex is the one
    // the process runs with. Never destroyed: a worker abandoned at exit may
    // still be writing while static objects go.
    static CLogWriter* const writer = new CLogWriter;
    return *writer;
}

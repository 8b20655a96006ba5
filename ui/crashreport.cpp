#include "ui/crashreport.h"

#include <dirent.h>
#include <execinfo.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <ucontext.h>
#include <unistd.h>

#include <atomic>
#include <csignal>
#include <cstring>
#include <ctime>

#include "platform/profile.h"
#include "platform/strings.h"
#include "ui/crashcode.h"
#include "ui/crashtext.h"

extern char** environ;

namespace {

constexpr int kSignals[] = {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGTRAP, SIGABRT};
constexpr size_t kPathMax = 4096;
constexpr int kMaxFrames = 64;

// Everything the handler needs is laid out at install: it must not allocate.
struct CrashSettings {
    char prefix[kPathMax];
    char module[kPathMax];
    char boxProgram[kPathMax];
    bool showDialog;
    // Seconds east of UTC at install; the handler cannot ask the time zone.
    int64_t utcOffset;
};
CrashSettings g_settings;
alignas(16) char g_altStack[256 * 1024];
std::atomic<pid_t> g_crashingThread{0};

void WriteAll(int fd, const char* text, size_t length) {
    while (length > 0) {
        const ssize_t n = write(fd, text, length);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return;
        text += n;
        length -= static_cast<size_t>(n);
    }
}

void WriteText(int fd, const CCrashText& text) {
    WriteAll(fd, text.Text(), text.Length());
}

const char* SignalName(int signal) {
    switch (signal) {
        case SIGSEGV:
            return "SIGSEGV";
        case SIGBUS:
            return "SIGBUS";
        case SIGFPE:
            return "SIGFPE";
        case SIGILL:
            return "SIGILL";
        case SIGTRAP:
            return "SIGTRAP";
        case SIGABRT:
            return "SIGABRT";
        default:
            return "?";
    }
}

uint64_t InstructionAddress(const ucontext_t* context) {
#if defined(__x86_64__)
    return static_cast<uint64_t>(context->uc_mcontext.gregs[REG_RIP]);
#elif defined(__aarch64__)
    return context->uc_mcontext.pc;
#else
    (void)context;
    return 0;
#endif
}

void WriteRegisters(int fd, const ucontext_t* context) {
    char buffer[1024];
    CCrashText text(buffer, sizeof(buffer));
    text.Add("\n[Registers]\n");
#if defined(__x86_64__)
    static const struct {
        const char* name;
        int index;
    } kRegs[] = {{"RIP", REG_RIP}, {"RSP", REG_RSP}, {"RBP", REG_RBP}, {"RAX", REG_RAX}, {"RBX", REG_RBX},
                 {"RCX", REG_RCX}, {"RDX", REG_RDX}, {"RSI", REG_RSI}, {"RDI", REG_RDI}, {"R8", REG_R8},
                 {"R9", REG_R9},   {"R10", REG_R10}, {"R11", REG_R11}, {"R12", REG_R12}, {"R13", REG_R13},
                 {"R14", REG_R14}, {"R15", REG_R15}, {"EFL", REG_EFL}};
    for (const auto& reg : kRegs)
        text.Add(reg.name)
            .Add("=")
            .AddHex(static_cast<uint64_t>(context->uc_mcontext.gregs[reg.index]))
            .Add("\n");
#elif defined(__aarch64__)
    text.Add("PC=").AddHex(context->uc_mcontext.pc).Add("\nSP=").AddHex(context->uc_mcontext.sp).Add("\n");
    for (int i = 0; i < 31; ++i)
        text.Add("X").AddDec(i).Add("=").AddHex(context->uc_mcontext.regs[i]).Add("\n");
#else
    (void)context;
#endif
    WriteText(fd, text);
}

void CopyFileTo(int fd, const char* path) {
    const int in = open(path, O_RDONLY | O_CLOEXEC);
    if (in < 0)
        return;
    char buffer[4096];
    for (;;) {
        const ssize_t n = read(in, buffer, sizeof(buffer));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        WriteAll(fd, buffer, static_cast<size_t>(n));
    }
    close(in);
}

// A new file for this crash: never one that an earlier crash in the same
// second already wrote.
int CreateReportFile() {
    struct timespec now;
    clock_gettime(CLOCK_REALTIME, &now);
    const CrashTime time = CrashTimeOf(now.tv_sec + g_settings.utcOffset);
    for (int n = 0; n < 100; ++n) {
        char name[kPathMax + 64];
        CCrashText path(name, sizeof(name));
        BuildDumpName(path, g_settings.prefix, time, n);
        const int fd = open(name, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

void ShowBox(const char* description) {
    if (g_settings.boxProgram[0] == '\0')
        return;
    // A raw clone: fork() would run the C library's fork handlers, which may
    // wait for locks the crashed thread holds.
    const long child = syscall(SYS_clone, SIGCHLD, 0, 0, 0, 0);
    if (child == 0) {
        char* const argv[] = {g_settings.boxProgram, const_cast<char*>(description), nullptr};
        execve(g_settings.boxProgram, argv, environ);
        _exit(127);
    }
    if (child < 0)
        return;
    int status = 0;
    while (waitpid(static_cast<pid_t>(child), &status, 0) < 0 && errno == EINTR) {
    }
}

void OnCrashSignal(int signal, siginfo_t* info, void* raw) {
    const pid_t self = static_cast<pid_t>(syscall(SYS_gettid));
    pid_t expected = 0;
    if (!g_crashingThread.compare_exchange_strong(expected, self)) {
        if (expected == self)
            _exit(1);  // the report itself crashed
        for (;;)
            pause();  // the first crash ends the process
    }
    const auto* context = static_cast<const ucontext_t*>(raw);
    const CrashCode code = CrashCodeOf(signal, info != nullptr ? info->si_code : 0);
    const uint64_t address = context != nullptr ? InstructionAddress(context) : 0;

    // The description of the box, at most 260 characters as ever.
    char description[260];
    CCrashText box(description, sizeof(description));
    box.Add("Module=").Add(g_settings.module).Add("\nCode=").AddHex(code.code).Add("\nDescription=");
    box.Add(code.name).Add("\nAdddress=").AddHex(address);

    const int fd = CreateReportFile();
    if (fd >= 0) {
        char head[kPathMax + 512];
        CCrashText text(head, sizeof(head));
        text.Add("Module=").Add(g_settings.module).Add("\nCode=").AddHex(code.code);
        text.Add("\nDescription=").Add(code.name).Add("\nAdddress=").AddHex(address);
        text.Add("\nSignal=").AddDec(signal).Add(" (").Add(SignalName(signal)).Add(")");
        text.Add("\nSignalCode=").AddDec(info != nullptr ? info->si_code : 0);
        // Only a fault the kernel raised has an address; a sent signal carries the sender there.
        if (info != nullptr && info->si_code > 0)
            text.Add("\nFaultAddress=").AddHex(reinterpret_cast<uint64_t>(info->si_addr));
        text.Add("\nProcess=").AddDec(getpid()).Add("\nThread=").AddDec(self).Add("\n");
        WriteText(fd, text);
        if (context != nullptr)
            WriteRegisters(fd, context);
        const char backtraceHead[] = "\n[Backtrace]\n";
        WriteAll(fd, backtraceHead, sizeof(backtraceHead) - 1);
        void* frames[kMaxFrames];
        const int count = backtrace(frames, kMaxFrames);
        backtrace_symbols_fd(frames, count, fd);
        const char mapsHead[] = "\n[Maps]\n";
        WriteAll(fd, mapsHead, sizeof(mapsHead) - 1);
        CopyFileTo(fd, "/proc/self/maps");
        close(fd);
    }
    if (g_settings.showDialog)
        ShowBox(description);
    _exit(1);
}

void CopyPath(char* target, const std::string& source) {
    const size_t n = source.size() < kPathMax - 1 ? source.size() : kPathMax - 1;
    std::memcpy(target, source.data(), n);
    target[n] = '\0';
}

std::string RunningProgram() {
    char path[kPathMax];
    const ssize_t n = readlink("/proc/self/exe", path, sizeof(path) - 1);
    return n > 0 ? std::string(path, static_cast<size_t>(n)) : std::string();
}

std::string FileNamePart(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

bool SetupCrashReport(const std::wstring& userFolder) {
    std::string folder = WideToUtf8(userFolder);
    if (!folder.empty() && folder.back() != '/')
        folder += '/';
    const std::string ini = folder + "config.ini";
    if (GetProfileInt(ini, L"Pellux", L"CrashReport", 1) == 0)
        return false;
    const bool showDialog = GetProfileInt(ini, L"Pellux", L"CrashReportDialog", 0) != 0;
    return CCrashReport::Instance().Install(RunningProgram(), showDialog, folder);
}

CCrashReport& CCrashReport::Instance() {
    static CCrashReport instance;
    return instance;
}

bool CCrashReport::Install(const std::string& programPath, bool showDialog, const std::string& folder,
                           const std::string& boxProgram) {
    if (installed_)
        return false;
    std::string prefix = programPath;
    if (!folder.empty()) {
        const std::string dumpFolder = folder + "dump/";
        // Only the one level, as ever: without the per-user folder no report is written.
        mkdir(dumpFolder.c_str(), 0700);
        PurgeOldDumps(dumpFolder, static_cast<int64_t>(time(nullptr)));
        prefix = dumpFolder + FileNamePart(programPath);
    }
    CopyPath(g_settings.prefix, prefix);
    CopyPath(g_settings.module, programPath);
    std::string box = boxProgram;
    if (box.empty()) {
        const std::string self = RunningProgram();
        box = self.substr(0, self.rfind('/') + 1) + "pellux-crashbox";
    }
    CopyPath(g_settings.boxProgram, box);
    g_settings.showDialog = showDialog;
    const time_t now = time(nullptr);
    struct tm local;
    localtime_r(&now, &local);
    g_settings.utcOffset = local.tm_gmtoff;
    // The first backtrace loads the unwinder, which allocates: do it now.
    void* warm[2];
    backtrace(warm, 2);

    stack_t stack = {};
    stack.ss_sp = g_altStack;
    stack.ss_size = sizeof(g_altStack);
    sigaltstack(&stack, nullptr);
    struct sigaction action = {};
    action.sa_sigaction = OnCrashSignal;
    action.sa_flags = SA_SIGINFO | SA_ONSTACK;
    sigemptyset(&action.sa_mask);
    for (int signal : kSignals)
        sigaction(signal, &action, nullptr);
    installed_ = true;
    return true;
}

void CCrashReport::PurgeOldDumps(const std::string& dumpFolder, int64_t now) {
    DIR* dir = opendir(dumpFolder.c_str());
    if (dir == nullptr)
        return;
    std::string folder = dumpFolder;
    if (folder.back() != '/')
        folder += '/';
    while (struct dirent* entry = readdir(dir)) {
        const std::string path = folder + entry->d_name;
        struct stat st;
        if (lstat(path.c_str(), &st) != 0 || S_ISDIR(st.st_mode))
            continue;
        if (static_cast<int64_t>(st.st_mtime) < now - kKeepSeconds)
            unlink(path.c_str());
    }
    closedir(dir);
}

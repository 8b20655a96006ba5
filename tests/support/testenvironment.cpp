#include "tests/support/testenvironment.h"

#include <dirent.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#if defined(__SANITIZE_THREAD__)
// Debian's cpp-httplib is a prebuilt library without ThreadSanitizer
// instrumentation, so its own locking is invisible to the tool.
extern "C" const char* __tsan_default_suppressions() {
    return "race:libcpp-httplib.so\n";
}
#endif

namespace pellux_test {

namespace {
std::string g_home;
pid_t g_homeOwner = 0;  // a forked child that exits must leave the home alone

void Cleanup() {
    std::error_code ignored;  // leftovers under /tmp are harmless
    if (!g_home.empty() && getpid() == g_homeOwner && std::getenv("PELLUX_KEEP_TEST_HOME") == nullptr)
        std::filesystem::remove_all(g_home, ignored);
}
}  // namespace

void SetUpTestHome() {
    if (!g_home.empty())
        return;
    char tmpl[] = "/tmp/pellux-test-XXXXXX";
    if (!mkdtemp(tmpl))
        throw std::runtime_error("mkdtemp failed");
    g_home = tmpl;
    const std::string dirs[] = {"/.local", "/.local/share", "/.config", "/runtime", "/.cache"};
    for (const auto& d : dirs)
        mkdir((g_home + d).c_str(), 0700);
    setenv("HOME", g_home.c_str(), 1);
    setenv("XDG_DATA_HOME", (g_home + "/.local/share").c_str(), 1);
    setenv("XDG_CONFIG_HOME", (g_home + "/.config").c_str(), 1);
    setenv("XDG_CACHE_HOME", (g_home + "/.cache").c_str(), 1);
    setenv("XDG_RUNTIME_DIR", (g_home + "/runtime").c_str(), 1);
    setenv("PELLUX_REGISTRY_FILE", (g_home + "/.config/registry.ini").c_str(), 1);
    g_homeOwner = getpid();
    std::atexit(Cleanup);
}

const std::string& TestHome() {
    return g_home;
}

std::string MakeTempDir(const std::string& prefix) {
    static std::atomic<int> counter{0};
    std::string buf = g_home + "/" + prefix + std::to_string(++counter) + "-XXXXXX";
    if (!mkdtemp(buf.data()))
        throw std::runtime_error("mkdtemp failed");
    return buf;
}

std::string BinaryDir() {
    const char* s = std::getenv("PELLUX_BINARY_DIR");
    return s ? s : PELLUX_BINARY_DIR_DEFAULT;
}

bool WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    f.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(f);
}

std::string ReadFile(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    std::ostringstream s;
    s << f.rdbuf();
    return s.str();
}

std::set<std::string> ListFolder(const std::string& path) {
    std::set<std::string> names;
    if (DIR* dir = opendir(path.c_str())) {
        while (const dirent* entry = readdir(dir)) {
            if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0)
                names.insert(entry->d_name);
        }
        closedir(dir);
    }
    return names;
}

int RunCommand(const std::string& command, std::string* output) {
    FILE* p = popen((command + " 2>&1").c_str(), "r");
    if (!p)
        return -1;
    std::string text;
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof(buf), p)) > 0)
        text.append(buf, n);
    int status = pclose(p);
    if (output)
        *output = text;
    return status != -1 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool HaveProgram(const std::string& name) {
    return RunCommand("command -v '" + name + "' >/dev/null") == 0;
}

}  // namespace pellux_test

#include "platform/xdgfolders.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <algorithm>
#include <cstdlib>
#include <fstream>

namespace {

std::string AbsoluteEnv(const char* name) {
    const char* v = std::getenv(name);
    if (v && v[0] == '/')
        return v;
    return std::string();
}

std::string StripTrailingSlashes(std::string path) {
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

// A fallback folder under /tmp is only used when it is a real directory of
// ours that nobody else can enter (another user could have planted it).
bool IsPrivateDirectory(const std::string& path) {
    struct stat st;
    if (lstat(path.c_str(), &st) != 0)
        return false;
    return S_ISDIR(st.st_mode) && st.st_uid == geteuid() && (st.st_mode & 077) == 0;
}

}  // namespace

std::string GetHomeFolder() {
    std::string home = AbsoluteEnv("HOME");
    if (!home.empty())
        return StripTrailingSlashes(home);
    struct passwd pw;
    struct passwd* found = nullptr;
    char buf[4096];
    if (getpwuid_r(geteuid(), &pw, buf, sizeof(buf), &found) == 0 && found && found->pw_dir)
        return StripTrailingSlashes(found->pw_dir);
    return "/tmp";
}

std::string GetDataHomeFolder() {
    std::string v = AbsoluteEnv("XDG_DATA_HOME");
    return v.empty() ? GetHomeFolder() + "/.local/share" : StripTrailingSlashes(v);
}

std::string GetConfigHomeFolder() {
    std::string v = AbsoluteEnv("XDG_CONFIG_HOME");
    return v.empty() ? GetHomeFolder() + "/.config" : StripTrailingSlashes(v);
}

std::string GetRuntimeFolder() {
    std::string v = AbsoluteEnv("XDG_RUNTIME_DIR");
    if (!v.empty())
        return StripTrailingSlashes(v);
    std::string path = "/tmp/pellux-runtime-" + std::to_string(geteuid());
    if (mkdir(path.c_str(), 0700) != 0 && errno != EEXIST)
        return std::string();
    return IsPrivateDirectory(path) ? path : std::string();
}

bool MakeDirectories(const std::string& path, unsigned mode) {
    if (path.empty())
        return false;
    struct stat st;
    if (stat(path.c_str(), &st) == 0)
        return S_ISDIR(st.st_mode);
    size_t pos = 0;
    while (true) {
        pos = path.find('/', pos + 1);
        std::string part = path.substr(0, pos);
        if (!part.empty() && mkdir(part.c_str(), mode) != 0 && errno != EEXIST)
            break;
        if (pos == std::string::npos)
            break;
    }
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

namespace {

// The entries of user-dirs.dirs as (NAME, absolute path) in file order; lines
// read XDG_NAME_DIR="$HOME/Folder" or XDG_NAME_DIR="/absolute/path". False
// when the file cannot be read.
bool ReadUserDirs(std::vector<std::pair<std::string, std::string>>& entries) {
    std::ifstream in(GetConfigHomeFolder() + "/user-dirs.dirs");
    if (!in)
        return false;
    const std::string home = GetHomeFolder();
    std::string line;
    while (std::getline(in, line)) {
        size_t eq = line.find('=');
        if (line.compare(0, 4, "XDG_") != 0 || eq == std::string::npos || eq < 8 ||
            line.compare(eq - 4, 4, "_DIR") != 0)
            continue;
        std::string value = line.substr(eq + 1);
        while (!value.empty() && (value.back() == '\r' || value.back() == ' '))
            value.pop_back();
        if (value.size() < 2 || value.front() != '"' || value.back() != '"')
            continue;
        value = value.substr(1, value.size() - 2);
        if (value.compare(0, 5, "$HOME") == 0)
            value = home + value.substr(5);
        entries.emplace_back(line.substr(4, eq - 8), StripTrailingSlashes(value));
    }
    return true;
}

}  // namespace

std::vector<std::string> GetUserDirectoryFolders() {
    const std::string home = GetHomeFolder();
    std::vector<std::string> folders;
    auto add = [&](std::string path) {
        path = StripTrailingSlashes(path);
        if (path.empty() || path[0] != '/' || path == home)
            return;
        if (std::find(folders.begin(), folders.end(), path) == folders.end())
            folders.push_back(path);
    };
    std::vector<std::pair<std::string, std::string>> entries;
    if (!ReadUserDirs(entries)) {
        for (const char* name :
             {"Desktop", "Downloads", "Documents", "Music", "Pictures", "Public", "Templates", "Videos"})
            add(home + "/" + name);
        return folders;
    }
    for (const auto& entry : entries)
        add(entry.second);
    return folders;
}

std::string GetUserDirectoryFolder(const std::string& name, const std::string& fallback) {
    std::vector<std::pair<std::string, std::string>> entries;
    ReadUserDirs(entries);
    for (const auto& entry : entries) {
        if (entry.first == name && !entry.second.empty() && entry.second[0] == '/')
            return entry.second;
    }
    return GetHomeFolder() + "/" + fallback;
}

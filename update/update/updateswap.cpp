#include "update/update/updateswap.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>

#include "base/utility/formatstring.h"
#include "base/utility/localpath.h"
#include "platform/fdio.h"
#include "platform/strings.h"
#include "platform/tickcount.h"
#include "platform/versionnote.h"
#include "platform/xdgfolders.h"

namespace {

const wchar_t kCaption[] = L"Orvane便携版";
const wchar_t kStagedBaseName[] = L"Orvane便捷版";

bool FileExists(const std::string& path) {
    struct stat st {};
    return lstat(path.c_str(), &st) == 0;
}

}  // namespace

std::wstring ProgramVersion::Text() const {
    if (!known)
        return std::wstring();
    std::wstring text;
    return FormatString(text, L"%d.%d.%d.%d", parts[0], parts[1], parts[2], parts[3]);
}

ProgramVersion ReadProgramVersion(const std::wstring& path) {
    ProgramVersion version;
    version.known = ReadVersionNote(WideToUtf8(path), version.parts);
    return version;
}

ProgramVersion RunningProgramVersion() {
    return ReadProgramVersion(RunningProgramPath());
}

std::wstring RunningProgramPath() {
    return Utf8ToWide(GetRunningProgramPath());
}

bool IsStagedUpdateNewer(const std::wstring& stagedPath, const ProgramVersion& running) {
    const ProgramVersion staged = ReadProgramVersion(stagedPath);
    if (!staged.known)
        return false;
    for (int i = 0; i < 4; ++i) {
        if (staged.parts[i] != running.parts[i])
            return staged.parts[i] > running.parts[i];
    }
    return false;
}

bool CopyProgramFile(const std::string& from, const std::string& to) {
    const int in = open(from.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0)
        return false;
    std::string temp = to + ".partXXXXXX";
    const int out = mkstemp(&temp[0]);
    if (out < 0) {
        close(in);
        return false;
    }
    bool ok = true;
    char buffer[65536];
    for (;;) {
        const ssize_t got = read(in, buffer, sizeof(buffer));
        if (got == 0)
            break;
        if (got < 0 || !WriteAllToFd(out, buffer, static_cast<size_t>(got))) {
            ok = false;
            break;
        }
    }
    close(in);
    ok = ok && fchmod(out, 0755) == 0 && fsync(out) == 0;
    ok = (close(out) == 0) && ok;
    if (ok && rename(temp.c_str(), to.c_str()) == 0)
        return true;
    unlink(temp.c_str());
    return false;
}

std::wstring DesktopFolder() {
    return Utf8ToWide(GetUserDirectoryFolder("DESKTOP", "Desktop"));
}

std::wstring ApplyStagedUpdate(const std::wstring& stagedPath, const std::wstring& programPath,
                               const UpdateSwapEnv& env) {
    const auto copy = env.copyFile ? env.copyFile : CopyProgramFile;
    const std::wstring version = ReadProgramVersion(stagedPath).Text();
    const std::string program = WideToUtf8(programPath);
    const std::string leftOver = program + "_";
    const bool movedAside = rename(program.c_str(), leftOver.c_str()) == 0;
    std::wstring text;
    if (copy(WideToUtf8(stagedPath), program)) {
        if (env.showMessage)
            env.showMessage(FormatString(text, L"恭喜您，Tessal已经升级到最新版本：%s\n", version), kCaption);
        // Unlinking the old file is fine while it still runs.
        unlink(leftOver.c_str());
        return programPath;
    }
    if (movedAside)
        rename(leftOver.c_str(), program.c_str());
    std::wstring name = std::wstring(kStagedBaseName) + L".exe";
    std::wstring target = JoinLocalPath(env.desktopFolder, name);
    if (FileExists(WideToUtf8(target))) {
        std::wstring middle = version;
        if (middle.empty())
            FormatString(middle, L"%d", static_cast<int>(GetTickCount()));
        name = std::wstring(kStagedBaseName) + middle + L".exe";
        target = JoinLocalPath(env.desktopFolder, name);
    }
    copy(WideToUtf8(stagedPath), WideToUtf8(target));
    if (env.showMessage)
        env.showMessage(
            FormatString(text, L"已经升级到最新版本：%s，拷到了桌面上，文件名为：%s", version, name),
            kCaption);
    return target;
}

bool DeleteOldProgramFile(const std::wstring& programPath) {
    const std::string leftOver = WideToUtf8(programPath) + "_";
    return FileExists(leftOver) && unlink(leftOver.c_str()) == 0;
}

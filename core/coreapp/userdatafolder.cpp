#include "core/coreapp/userdatafolder.h"

#include <climits>
#include <cstdlib>

#include "base/log/logfile.h"
#include "base/utility/fileutil.h"
#include "platform/strings.h"

namespace {

// The path with symbolic links resolved when it exists; empty when it does not.
std::string RealPath(const std::string& path) {
    if (path.empty())
        return std::string();
    char resolved[PATH_MAX];
    return realpath(path.c_str(), resolved) ? std::string(resolved) : std::string();
}

// True when `inner` is `outer` or lies below it.
bool IsSameOrBelow(const std::string& inner, const std::string& outer) {
    if (outer.empty() || inner.empty())
        return false;
    if (outer == "/")
        return true;
    return inner == outer || (inner.size() > outer.size() && inner.compare(0, outer.size(), outer) == 0 &&
                              inner[outer.size()] == '/');
}

bool IsDeletableReal(const std::string& real, const std::string& dataDir) {
    if (real.empty() || real == "/")
        return false;
    const char* home = std::getenv("HOME");
    for (const std::string& kept : {RealPath(home ? home : ""), RealPath(dataDir)}) {
        if (!kept.empty() && IsSameOrBelow(kept, real))
            return false;
    }
    return true;
}

}  // namespace

bool IsDeletableUserFolder(const std::wstring& folder, const std::wstring& dataDir) {
    return IsDeletableReal(RealPath(WideToUtf8(folder)), WideToUtf8(dataDir));
}

void DeleteUserDataFolders(const std::wstring& userDataDir, const std::wstring& syncRoot,
                           const std::wstring& dataDir) {
    const std::string userFolder = RealPath(WideToUtf8(userDataDir));
    const std::string rootFolder = RealPath(WideToUtf8(syncRoot));
    const std::string folders[] = {userFolder, rootFolder};
    for (size_t i = 0; i < 2; ++i) {
        const std::string& folder = folders[i];
        // A local root inside the user's folder went with it.
        if (folder.empty() || (i == 1 && IsSameOrBelow(rootFolder, userFolder)))
            continue;
        if (!IsDeletableReal(folder, WideToUtf8(dataDir))) {
            LogWrite(kLogWarning, __FILE__, __LINE__, L"CSyncCenter: refused to delete %s", folder);
            continue;
        }
        DeleteFolderTree(Utf8ToWide(folder));
    }
}

#include "base/utility/fileutil.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "platform/fileinfo.h"
#include "platform/strings.h"
#include "platform/xdgfolders.h"

HRESULT CreateFolderTree(const std::wstring& path) {
    return MakeDirectories(WideToUtf8(path)) ? S_OK : E_FAIL;
}

HRESULT GetFileSize64(const std::wstring& path, uint64_t& size) {
    FileAttributeData data;
    if (!GetFileAttributeData(WideToUtf8(path), &data))
        return E_FAIL;
    size = data.size;
    return S_OK;
}

namespace {

void DeleteTree(const std::string& path) {
    struct stat st;
    if (lstat(path.c_str(), &st) != 0)
        return;
    if (!S_ISDIR(st.st_mode)) {
        unlink(path.c_str());
        return;
    }
    chmod(path.c_str(), (st.st_mode & 07777) | S_IRWXU);
    if (DIR* dir = opendir(path.c_str())) {
        while (dirent* entry = readdir(dir)) {
            const std::string name = entry->d_name;
            if (name != "." && name != "..")
                DeleteTree(path + "/" + name);
        }
        closedir(dir);
    }
    rmdir(path.c_str());
}

}  // namespace

HRESULT DeleteFolderTree(const std::wstring& path) {
    const std::string narrow = WideToUtf8(path);
    if (narrow.empty())
        return E_INVALIDARG;
    DeleteTree(narrow);
    struct stat st;
    return lstat(narrow.c_str(), &st) != 0 ? S_OK : E_FAIL;
}

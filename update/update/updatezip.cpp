#include "update/update/updatezip.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <vector>

#include "base/utility/fileutil.h"
#include "base/utility/localpath.h"
#include "base/zip/zipentry.h"
#include "platform/fdio.h"
#include "platform/strings.h"

namespace {

bool ReadOnlyEntry(const std::string& archive, std::vector<char>& bytes) {
    unzFile zip = unzOpen64(archive.c_str());
    if (!zip)
        return false;
    unz_global_info64 global{};
    bool ok = unzGetGlobalInfo64(zip, &global) == UNZ_OK && global.number_entry == 1 &&
              unzGoToFirstFile(zip) == UNZ_OK;
    if (ok) {
        unz_file_info64 info{};
        CurrentZipEntryName(zip, info);
        ok = ReadCurrentZipEntry(zip, info.uncompressed_size, kMaxUpdateEntryBytes, bytes);
    }
    unzClose(zip);
    return ok;
}

bool WriteExecutableAtomically(const std::string& target, const std::vector<char>& bytes) {
    std::string temp = target + ".partXXXXXX";
    int fd = mkstemp(&temp[0]);
    if (fd < 0)
        return false;
    bool ok = WriteAllToFd(fd, bytes.data(), bytes.size()) && fchmod(fd, 0755) == 0 && fsync(fd) == 0;
    ok = (close(fd) == 0) && ok;
    if (ok && rename(temp.c_str(), target.c_str()) == 0)
        return true;
    unlink(temp.c_str());
    return false;
}

}  // namespace

HRESULT ExtractUpdateZip(const std::wstring& archivePath, const std::wstring& targetPath) {
    std::vector<char> bytes;
    if (!ReadOnlyEntry(WideToUtf8(archivePath), bytes))
        return E_FAIL;
    std::wstring folder;
    GetParentFolder(folder, targetPath);
    if (!folder.empty() && FAILED(CreateFolderTree(folder)))
        return E_FAIL;
    return WriteExecutableAtomically(WideToUtf8(targetPath), bytes) ? S_OK : E_FAIL;
}

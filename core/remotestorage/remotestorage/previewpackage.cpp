#include "core/remotestorage/remotestorage/previewpackage.h"

#include <cstdio>
#include <string>
#include <vector>

#include "base/utility/fileutil.h"
#include "base/zip/zipentry.h"
#include "platform/strings.h"

namespace {

bool IsPictureEntry(const std::string& name) {
    const size_t dot = name.rfind('.');
    return dot != std::string::npos && name.compare(dot + 1, std::string::npos, "jpg") == 0;
}

bool FindPicture(const std::string& packagePath, std::vector<char>& picture) {
    unzFile zip = unzOpen64(packagePath.c_str());
    if (!zip)
        return false;
    bool found = false;
    bool ok = false;
    for (int rc = unzGoToFirstFile(zip); rc == UNZ_OK && !found; rc = unzGoToNextFile(zip)) {
        unz_file_info64 info{};
        if (!IsPictureEntry(CurrentZipEntryName(zip, info)))
            continue;
        found = true;
        ok = ReadCurrentZipEntry(zip, info.uncompressed_size, kMaxPreviewPictureBytes, picture);
    }
    unzClose(zip);
    return ok;
}

bool WriteWhole(const std::string& path, const std::vector<char>& bytes) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    const bool closed = std::fclose(file) == 0;
    if (written && closed)
        return true;
    // A cut-off picture must not pass for a cached preview.
    std::remove(path.c_str());
    return false;
}

}  // namespace

HRESULT ExtractPreviewPicture(const std::wstring& packagePath, const std::wstring& cachePath) {
    std::vector<char> picture;
    if (!FindPicture(WideToUtf8(packagePath), picture))
        return E_FAIL;
    const size_t slash = cachePath.rfind(L'/');
    if (slash != std::wstring::npos && slash > 0) {
        if (FAILED(CreateFolderTree(cachePath.substr(0, slash))))
            return E_FAIL;
    }
    return WriteWhole(WideToUtf8(cachePath), picture) ? S_OK : E_FAIL;
}

#include "core/remotestorage/remotestorage/previewpackage.h"

#include <minizip/unzip.h>

#include <cstdio>
#include <string>
#include <vector>

#include "base/utility/fileutil.h"
#include "platform/strings.h"

namespace {

bool IsPictureEntry(const std::string& name) {
    const size_t dot = name.rfind('.');
    return dot != std::string::npos && name.compare(dot + 1, std::string::npos, "jpg") == 0;
}

std::string CurrentEntryName(unzFile zip, unz_file_info64& info) {
    if (unzGetCurrentFileInfo64(zip, &info, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK)
        return std::string();
    std::vector<char> name(info.size_filename + 1, '\0');
    if (unzGetCurrentFileInfo64(zip, &info, name.data(), static_cast<uLong>(name.size()), nullptr, 0, nullptr,
                                0) != UNZ_OK)
        return std::string();
    return std::string(name.data(), info.size_filename);
}

// The current entry whole: exactly its declared size, and a CRC that matches.
bool ReadCurrentEntry(unzFile zip, uint64_t declaredSize, std::vector<char>& bytes) {
    if (declaredSize > kMaxPreviewPictureBytes)
        return false;
    if (unzOpenCurrentFile(zip) != UNZ_OK)
        return false;
    // One byte of room tells an entry longer than declared from an exact one.
    bytes.assign(static_cast<size_t>(declaredSize) + 1, '\0');
    size_t total = 0;
    bool readError = false;
    while (total < bytes.size()) {
        const int got =
            unzReadCurrentFile(zip, bytes.data() + total, static_cast<unsigned>(bytes.size() - total));
        if (got < 0) {
            readError = true;
            break;
        }
        if (got == 0)
            break;
        total += static_cast<size_t>(got);
    }
    // The CRC is checked only when the whole entry was read.
    const bool crcOk = unzCloseCurrentFile(zip) == UNZ_OK;
    if (readError || total != declaredSize || !crcOk)
        return false;
    bytes.resize(total);
    return true;
}

bool FindPicture(const std::string& packagePath, std::vector<char>& picture) {
    unzFile zip = unzOpen64(packagePath.c_str());
    if (!zip)
        return false;
    bool found = false;
    bool ok = false;
    for (int rc = unzGoToFirstFile(zip); rc == UNZ_OK && !found; rc = unzGoToNextFile(zip)) {
        unz_file_info64 info{};
        if (!IsPictureEntry(CurrentEntryName(zip, info)))
            continue;
        found = true;
        ok = ReadCurrentEntry(zip, info.uncompressed_size, picture);
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

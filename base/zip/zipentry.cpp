#include "base/zip/zipentry.h"

std::string CurrentZipEntryName(unzFile zip, unz_file_info64& info) {
    if (unzGetCurrentFileInfo64(zip, &info, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK)
        return std::string();
    std::vector<char> name(info.size_filename + 1, '\0');
    if (unzGetCurrentFileInfo64(zip, &info, name.data(), static_cast<uLong>(name.size()), nullptr, 0, nullptr,
                                0) != UNZ_OK)
        return std::string();
    return std::string(name.data(), info.size_filename);
}

bool ReadCurrentZipEntry(unzFile zip, uint64_t declaredSize, uint64_t maxBytes, std::vector<char>& bytes) {
    if (declaredSize > maxBytes)
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

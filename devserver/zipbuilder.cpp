#include "devserver/zipbuilder.h"

#include <zip.h>

#include <cstdio>
#include <fstream>
#include <iterator>

#include "devserver/store.h"

namespace devserver {

bool BuildZip(const Store& store, const ZipEntries& entries, std::string* bytes) {
    std::string path = store.TempPath(".zip");
    zipFile zip = zipOpen64(path.c_str(), APPEND_STATUS_CREATE);
    if (!zip) {
        return false;
    }
    bool ok = true;
    for (const auto& entry : entries) {
        zip_fileinfo info{};
        ok = ok && zipOpenNewFileInZip(zip, entry.first.c_str(), &info, nullptr, 0, nullptr, 0, nullptr,
                                       Z_DEFLATED, Z_DEFAULT_COMPRESSION) == ZIP_OK;
        ok = ok && zipWriteInFileInZip(zip, entry.second.data(),
                                       static_cast<unsigned>(entry.second.size())) == ZIP_OK;
        ok = ok && zipCloseFileInZip(zip) == ZIP_OK;
    }
    ok = zipClose(zip, nullptr) == ZIP_OK && ok;
    if (ok) {
        std::ifstream in(path, std::ios::binary);
        bytes->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        ok = static_cast<bool>(in) || in.eof();
    }
    std::remove(path.c_str());
    return ok;
}

}  // namespace devserver

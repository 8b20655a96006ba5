#include "devserver/blobfiles.h"

#include <cstdio>
#include <fstream>
#include <iterator>

#include "devserver/ids.h"

namespace devserver {

std::string BlobPath(const Store& store, const std::string& name) {
    return store.BlobDir() + "/" + name;
}

std::string WriteBlob(const Store& store, const std::string& bytes) {
    std::string name = RandomHex(16) + ".blob";
    std::ofstream out(BlobPath(store, name), std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) {
        std::remove(BlobPath(store, name).c_str());
        return "";
    }
    return name;
}

bool ReadBlob(const Store& store, const std::string& name, std::string* bytes) {
    if (name.empty()) {
        return false;
    }
    std::ifstream in(BlobPath(store, name), std::ios::binary);
    if (!in) {
        return false;
    }
    bytes->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return true;
}

void RemoveBlobs(const Store& store, const std::vector<std::string>& names) {
    for (const auto& name : names) {
        if (!name.empty()) {
            std::remove(BlobPath(store, name).c_str());
        }
    }
}

}  // namespace devserver

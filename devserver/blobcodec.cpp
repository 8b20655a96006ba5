#include "devserver/blobcodec.h"

#include <cstdio>
#include <fstream>
#include <iterator>

#include "base/filecrypt/encryptedfile.h"
#include "devserver/store.h"
#include "platform/strings.h"

namespace devserver {

namespace {

bool WriteAll(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

bool ReadAll(const std::string& path, std::string* bytes) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return false;
    }
    bytes->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return true;
}

// Temporary files removed on every path out.
struct TempFiles {
    std::string in;
    std::string out;
    ~TempFiles() {
        std::remove(in.c_str());
        std::remove(out.c_str());
    }
};

}  // namespace

bool FileKeyBytes(const std::string& fileKey, unsigned char key[32]) {
    if (fileKey.size() != 64) {
        return false;
    }
    for (size_t i = 0; i < 32; ++i) {
        int low = HexDigitValue(fileKey[2 * i]);
        int high = HexDigitValue(fileKey[2 * i + 1]);
        if (low < 0 || high < 0) {
            return false;
        }
        key[i] = static_cast<unsigned char>(high * 16 + low);
    }
    return true;
}

bool EncodeBlob(const Store& store, const std::string& fileKey, const std::string& plain, std::string* blob) {
    unsigned char key[32];
    if (!FileKeyBytes(fileKey, key)) {
        return false;
    }
    TempFiles files{store.TempPath(".plain"), store.TempPath(".enc")};
    return WriteAll(files.in, plain) &&
           EncryptFileToHeaderFormat(key, sizeof(key), Utf8ToWide(files.in), Utf8ToWide(files.out)) &&
           ReadAll(files.out, blob);
}

bool DecodeBlob(const Store& store, const std::string& fileKey, const std::string& blob, std::string* plain) {
    unsigned char key[32];
    if (!FileKeyBytes(fileKey, key)) {
        return false;
    }
    TempFiles files{store.TempPath(".enc"), store.TempPath(".plain")};
    int format = 0;
    return WriteAll(files.in, blob) &&
           DecryptFileAnyFormat(key, sizeof(key), Utf8ToWide(files.in), Utf8ToWide(files.out), &format) &&
           ReadAll(files.out, plain);
}

}  // namespace devserver

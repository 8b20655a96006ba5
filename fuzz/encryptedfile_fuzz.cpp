// The encrypted-file readers against arbitrary files: they must refuse or
// decode without a crash, never leave a destination behind when they refuse,
// and the writer's output of the same bytes must read back to them exactly.
#include <stdlib.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include "base/crypto/cryptodispatch.h"
#include "base/filecrypt/encryptedfile.h"
#include "base/filecrypt/filecryptpause.h"
#include "platform/strings.h"

namespace {

const uint8_t kKey[32] = {0x60, 0x3d, 0xeb, 0x10, 0x15, 0xca, 0x71, 0xbe, 0x2b, 0x73, 0xae,
                          0xf0, 0x85, 0x7d, 0x77, 0x81, 0x1f, 0x35, 0x2c, 0x07, 0x3b, 0x61,
                          0x08, 0xd7, 0x2d, 0x98, 0x10, 0xa3, 0x09, 0x14, 0xdf, 0xf4};

std::string g_folder;

void RemoveFolder() {
    for (const char* name : {"/input", "/output", "/encoded", "/back"})
        unlink((g_folder + name).c_str());
    rmdir(g_folder.c_str());
}

bool Exists(const std::string& path) {
    return access(path.c_str(), F_OK) == 0;
}

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    const char* tmp = getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/pellux-fuzz-XXXXXX";
    if (!mkdtemp(pattern.data()))
        abort();
    g_folder = pattern;
    atexit(RemoveFolder);
    SetFileCryptPause([] {});
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string input = g_folder + "/input", output = g_folder + "/output";
    const std::string encoded = g_folder + "/encoded", back = g_folder + "/back";
    {
        std::ofstream out(input, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
        if (!out)
            abort();
    }
    // Both code paths of the cipher get their share of inputs.
    SetPortableCryptoForced(size % 2 == 1);

    int format = -1;
    if (DecryptFileAnyFormat(kKey, sizeof(kKey), Utf8ToWide(input), Utf8ToWide(output), &format)) {
        if (format < kDecodedLegacyPacked || format > kDecodedCurrent || !Exists(output))
            abort();
        unlink(output.c_str());
    } else if (Exists(output)) {
        abort();
    }
    int packed = -1;
    if (DecryptLegacyFile(Utf8ToWide(input), Utf8ToWide(output), kKey, sizeof(kKey), &packed)) {
        if (packed != 0 && packed != 0x40)
            abort();
        unlink(output.c_str());
    }

    if (!EncryptFileWithHeader(kKey, sizeof(kKey), Utf8ToWide(input), Utf8ToWide(encoded)))
        abort();
    int kind = -1;
    if (!ProbeEncryptedFileFormat(Utf8ToWide(encoded), &kind) || kind != kEncryptedFileCurrent)
        abort();
    if (!DecryptFileWithHeader(kKey, sizeof(kKey), Utf8ToWide(encoded), Utf8ToWide(back)))
        abort();
    if (ReadAll(back) != std::string(reinterpret_cast<const char*>(data), size))
        abort();
    unlink(back.c_str());
    unlink(encoded.c_str());
    return 0;
}

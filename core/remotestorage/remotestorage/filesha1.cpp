#include "core/remotestorage/remotestorage/filesha1.h"

#include <cstdio>
#include <memory>
#include <thread>
#include <vector>

#include "base/crypto/sha1.h"
#include "base/utility/formatstring.h"
#include "platform/strings.h"

namespace {

struct FileCloser {
    void operator()(FILE* file) const { std::fclose(file); }
};

}  // namespace

HRESULT FileSha1Hex(const std::wstring& path, const std::function<bool()>& goOn, std::wstring& hex) {
    std::unique_ptr<FILE, FileCloser> file(std::fopen(WideToUtf8(path).c_str(), "rb"));
    if (!file)
        return E_FAIL;
    std::vector<unsigned char> chunk(kFileSha1ChunkBytes, 0);
    Sha1Context context;
    Sha1Init(&context);
    for (;;) {
        const size_t got = std::fread(chunk.data(), 1, chunk.size(), file.get());
        if (got == 0) {
            if (std::ferror(file.get()))
                return E_FAIL;
            break;
        }
        // Large files are hashed on task threads; let the others run between chunks.
        std::this_thread::yield();
        if (std::ferror(file.get()))
            return E_FAIL;
        Sha1Update(chunk.data(), got, &context);
        if (goOn && !goOn())
            return E_FAIL;
    }
    hex = FinalSha1Hex(&context);
    return S_OK;
}

std::wstring FinalSha1Hex(Sha1Context* context) {
    uint32_t digest[5];
    Sha1Final(context, digest);
    std::wstring hex;
    FormatString(hex, L"%08x%08x%08x%08x%08x", digest[0], digest[1], digest[2], digest[3], digest[4]);
    return hex;
}

HRESULT FileSha1Hex(const std::wstring& path, const std::atomic<bool>& cancel, std::wstring& hex) {
    return FileSha1Hex(
        path, [&cancel] { return !cancel.load(); }, hex);
}

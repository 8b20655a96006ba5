#include "base/sevenzip/sevenzipwriter.h"

#include "platform/fdio.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <vector>

// The SDK's Types.h defines many bare macros (True, RINOK, ...): this is the
// only file of the program that sees them.
#include <lzma/LzmaEnc.h>

#include "platform/strings.h"

static_assert(kSevenZipErrorMem == SZ_ERROR_MEM, "SDK result codes");
static_assert(kSevenZipErrorParam == SZ_ERROR_PARAM, "SDK result codes");
static_assert(kSevenZipErrorRead == SZ_ERROR_READ, "SDK result codes");
static_assert(kSevenZipErrorWrite == SZ_ERROR_WRITE, "SDK result codes");

namespace {

const uint8_t kSignature[6] = {'7', 'z', 0xBC, 0xAF, 0x27, 0x1C};
const size_t kStartHeaderSize = 32;
// Seconds from 1601-01-01 (FILETIME's epoch) to 1970-01-01.
const uint64_t kFileTimeEpochOffset = 11644473600ULL;

// Property ids of the 7z header.
enum : uint8_t {
    kIdEnd = 0x00,
    kIdHeader = 0x01,
    kIdMainStreamsInfo = 0x04,
    kIdFilesInfo = 0x05,
    kIdPackInfo = 0x06,
    kIdUnpackInfo = 0x07,
    kIdSubStreamsInfo = 0x08,
    kIdSize = 0x09,
    kIdFolder = 0x0B,
    kIdCodersUnpackSize = 0x0C,
    kIdName = 0x11,
    kIdMTime = 0x14,
    kIdAttributes = 0x15,
};

void* SdkAlloc(void*, size_t size) {
    return size == 0 ? nullptr : std::malloc(size);
}
void SdkFree(void*, void* address) {
    std::free(address);
}
ISzAlloc g_sdkAlloc = {SdkAlloc, SdkFree};

// The SDK hands its callbacks a pointer to the interface struct, which is
// the first member here.
struct FdOutStream {
    ISeqOutStream vt;
    int fd;
};

size_t FdOutWrite(void* p, const void* buf, size_t size) {
    const FdOutStream* s = static_cast<const FdOutStream*>(p);
    return WriteAllToFd(s->fd, buf, size) ? size : 0;
}

struct FdInStream {
    ISeqInStream vt;
    int fd;
    // Bytes handed to the encoder so far: the true unpacked size.
    uint64_t consumed;
};

SRes FdInRead(void* p, void* buf, size_t* size) {
    FdInStream* s = static_cast<FdInStream*>(p);
    for (;;) {
        ssize_t n = read(s->fd, buf, *size);
        if (n >= 0) {
            *size = static_cast<size_t>(n);
            s->consumed += static_cast<uint64_t>(n);
            return SZ_OK;
        }
        if (errno != EINTR) {
            *size = 0;
            return SZ_ERROR_READ;
        }
    }
}

class HeaderBuilder {
public:
    void Byte(uint8_t b) { m_bytes.push_back(b); }
    void Bytes(const uint8_t* p, size_t n) { m_bytes.insert(m_bytes.end(), p, p + n); }
    void UInt32(uint32_t v) {
        for (int i = 0; i < 4; ++i)
            Byte(static_cast<uint8_t>(v >> (8 * i)));
    }
    void UInt64(uint64_t v) {
        for (int i = 0; i < 8; ++i)
            Byte(static_cast<uint8_t>(v >> (8 * i)));
    }
    // The 7z variable-length number: the leading one bits of the first byte
    // count the little-endian bytes that follow.
    void Number(uint64_t v) {
        uint8_t first = 0;
        uint8_t mask = 0x80;
        int extra = 0;
        for (; extra < 8; ++extra) {
            if (v < (uint64_t(1) << (7 * (extra + 1)))) {
                first |= static_cast<uint8_t>(v >> (8 * extra));
                break;
            }
            first |= mask;
            mask >>= 1;
        }
        Byte(first);
        for (; extra > 0; --extra) {
            Byte(static_cast<uint8_t>(v));
            v >>= 8;
        }
    }
    const std::vector<uint8_t>& bytes() const { return m_bytes; }

private:
    std::vector<uint8_t> m_bytes;
};

uint32_t Crc32(const uint8_t* p, size_t n) {
    return static_cast<uint32_t>(crc32(crc32(0L, Z_NULL, 0), p, static_cast<uInt>(n)));
}

std::vector<uint8_t> BuildHeader(uint64_t packSize, uint64_t unpackSize, const uint8_t* coderProps,
                                 size_t coderPropsSize, const std::wstring& entryName, uint64_t mtime) {
    HeaderBuilder h;
    h.Byte(kIdHeader);
    h.Byte(kIdMainStreamsInfo);

    h.Byte(kIdPackInfo);
    h.Number(0);
    h.Number(1);
    h.Byte(kIdSize);
    h.Number(packSize);
    h.Byte(kIdEnd);

    h.Byte(kIdUnpackInfo);
    h.Byte(kIdFolder);
    h.Number(1);
    h.Byte(0);     // not external
    h.Number(1);   // one coder
    h.Byte(0x23);  // 3-byte id, has properties
    const uint8_t lzmaId[3] = {0x03, 0x01, 0x01};
    h.Bytes(lzmaId, sizeof(lzmaId));
    h.Number(coderPropsSize);
    h.Bytes(coderProps, coderPropsSize);
    h.Byte(kIdCodersUnpackSize);
    h.Number(unpackSize);
    h.Byte(kIdEnd);

    h.Byte(kIdSubStreamsInfo);
    h.Byte(kIdEnd);
    h.Byte(kIdEnd);

    h.Byte(kIdFilesInfo);
    h.Number(1);

    const std::u16string name = WideToUtf16(entryName);
    h.Byte(kIdName);
    h.Number(2 * name.size() + 3);
    h.Byte(0);  // not external
    for (char16_t c : name) {
        h.Byte(static_cast<uint8_t>(c));
        h.Byte(static_cast<uint8_t>(c >> 8));
    }
    h.Byte(0);
    h.Byte(0);

    h.Byte(kIdMTime);
    h.Number(10);
    h.Byte(1);  // all defined
    h.Byte(0);  // not external
    h.UInt64(mtime);

    h.Byte(kIdAttributes);
    h.Number(6);
    h.Byte(1);       // all defined
    h.Byte(0);       // not external
    h.UInt32(0x20);  // FILE_ATTRIBUTE_ARCHIVE

    h.Byte(kIdEnd);
    h.Byte(kIdEnd);
    return h.bytes();
}

uint64_t FileTimeOf(const struct stat& st) {
    const uint64_t seconds = static_cast<uint64_t>(st.st_mtim.tv_sec) + kFileTimeEpochOffset;
    return seconds * 10000000ULL + static_cast<uint64_t>(st.st_mtim.tv_nsec) / 100;
}

// Text after the last path separator; never a path of the user's folders.
std::wstring StoredName(const std::wstring& sourcePath) {
    const size_t cut = sourcePath.find_last_of(L"/\\");
    std::wstring name = cut == std::wstring::npos ? sourcePath : sourcePath.substr(cut + 1);
    return name.empty() ? std::wstring(L"file") : name;
}

int EncodeAndFinish(CLzmaEncHandle enc, int outFd, const std::wstring& entryName, int inFd) {
    uint8_t coderProps[LZMA_PROPS_SIZE];
    SizeT coderPropsSize = sizeof(coderProps);
    SRes res = LzmaEnc_WriteProperties(enc, coderProps, &coderPropsSize);
    if (res != SZ_OK)
        return res;

    const off_t start = lseek(outFd, 0, SEEK_CUR);
    if (start < 0)
        return SZ_ERROR_WRITE;
    uint8_t startHeader[kStartHeaderSize] = {};
    for (size_t i = 0; i < sizeof(kSignature); ++i)
        startHeader[i] = kSignature[i];
    startHeader[7] = 3;  // version 0.3
    if (!WriteAllToFd(outFd, startHeader, sizeof(startHeader)))
        return SZ_ERROR_WRITE;

    FdOutStream out = {{FdOutWrite}, outFd};
    FdInStream in = {{FdInRead}, inFd, 0};
    res = LzmaEnc_Encode(enc, &out.vt, &in.vt, nullptr, &g_sdkAlloc, &g_sdkAlloc);
    if (res != SZ_OK)
        return res;

    const off_t end = lseek(outFd, 0, SEEK_CUR);
    if (end < start + static_cast<off_t>(kStartHeaderSize))
        return SZ_ERROR_WRITE;
    const uint64_t packSize = static_cast<uint64_t>(end - start) - kStartHeaderSize;
    struct stat st;
    if (fstat(outFd, &st) != 0)
        return SZ_ERROR_WRITE;

    const std::vector<uint8_t> header =
        BuildHeader(packSize, in.consumed, coderProps, coderPropsSize, entryName, FileTimeOf(st));
    if (!WriteAllToFd(outFd, header.data(), header.size()))
        return SZ_ERROR_WRITE;

    HeaderBuilder tail;
    tail.UInt64(packSize);
    tail.UInt64(header.size());
    tail.UInt32(Crc32(header.data(), header.size()));
    HeaderBuilder crcAndTail;
    crcAndTail.UInt32(Crc32(tail.bytes().data(), tail.bytes().size()));
    crcAndTail.Bytes(tail.bytes().data(), tail.bytes().size());
    if (lseek(outFd, start + 8, SEEK_SET) != start + 8)
        return SZ_ERROR_WRITE;
    if (!WriteAllToFd(outFd, crcAndTail.bytes().data(), crcAndTail.bytes().size()))
        return SZ_ERROR_WRITE;
    return SZ_OK;
}

}  // namespace

int Write7zSingleFileArchive(int outFd, const std::wstring& entryName, int inFd) {
    CLzmaEncHandle enc = LzmaEnc_Create(&g_sdkAlloc);
    if (enc == nullptr)
        return SZ_ERROR_MEM;
    CLzmaEncProps props;
    LzmaEncProps_Init(&props);
    // The encoder's window and match finder are sized to the input: a small
    // file needs no 16 MiB dictionary. Only the stored dictionary size changes.
    struct stat st;
    if (fstat(inFd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size >= 0 && st.st_size < 0xFFFFFFFF)
        props.reduceSize = static_cast<UInt32>(st.st_size);
    SRes res = LzmaEnc_SetProps(enc, &props);
    if (res == SZ_OK)
        res = EncodeAndFinish(enc, outFd, entryName, inFd);
    LzmaEnc_Destroy(enc, &g_sdkAlloc, &g_sdkAlloc);
    return res;
}

int CompressFileTo7z(const std::wstring& archivePath, const std::wstring& sourcePath) {
    const int src = open(WideToUtf8(sourcePath).c_str(), O_RDONLY | O_CLOEXEC);
    if (src < 0)
        return 0;
    struct stat st;
    if (fstat(src, &st) != 0 || S_ISDIR(st.st_mode)) {
        close(src);
        return 0;
    }
    const int out = open(WideToUtf8(archivePath).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (out < 0) {
        close(src);
        return 0;
    }
    const int res = Write7zSingleFileArchive(out, StoredName(sourcePath), src);
    close(src);
    // A failed close can be the first report of a failed write.
    const bool closed = close(out) == 0;
    return res == SZ_OK && closed ? 1 : 0;
}

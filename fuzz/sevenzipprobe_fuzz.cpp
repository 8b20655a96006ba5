// Feeds arbitrary files to the 7z probe, and what it takes for an archive to
// the extractor: a hostile or damaged download must give a result, never a
// crash or a runaway allocation.
#include <stddef.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <unistd.h>
#include <zlib.h>

#include <cstdlib>
#include <string>

#include "base/sevenzip/sevenzipreader.h"
#include "platform/strings.h"

namespace {

// The probe takes a path: every input goes through one file of this process.
const std::string& InputPath() {
    static const std::string path = [] {
        const char* tmp = getenv("TMPDIR");
        std::string p = std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/sevenzipprobe-XXXXXX";
        const int fd = mkstemp(&p[0]);
        if (fd < 0)
            abort();
        close(fd);
        return p;
    }();
    static const bool cleanup = [] {
        return std::atexit([] {
                   unlink(path.c_str());
                   unlink((path + ".out").c_str());
               }) == 0;
    }();
    (void)cleanup;
    return path;
}

uint64_t Le(const uint8_t* p, int width) {
    uint64_t v = 0;
    for (int i = width - 1; i >= 0; --i)
        v = (v << 8) | p[i];
    return v;
}

void PutLe32(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<uint8_t>(v >> (8 * i));
}

// Random bytes almost never carry matching CRCs; repairing them lets the
// mutations reach the archive parser behind the start-header checks.
void RepairChecksums(std::string& bytes) {
    if (bytes.size() < 32)
        return;
    uint8_t* p = reinterpret_cast<uint8_t*>(&bytes[0]);
    const uint64_t offset = Le(p + 12, 8);
    const uint64_t size = Le(p + 20, 8);
    const uint64_t room = bytes.size() - 32;
    if (offset <= room && size <= room - offset)
        PutLe32(p + 28, static_cast<uint32_t>(crc32(0, p + 32 + offset, static_cast<uInt>(size))));
    PutLe32(p + 8, static_cast<uint32_t>(crc32(0, p + 12, 20)));
}

}  // namespace

// A refused allocation is what a release build meets too (malloc returns
// null, libarchive reports an error); only crashes are findings.
extern "C" const char* __asan_default_options() {
    return "allocator_may_return_null=1";
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The last byte chooses between the bytes as given and repaired CRCs.
    if (size == 0)
        return 0;
    std::string bytes(reinterpret_cast<const char*>(data), size - 1);
    if (data[size - 1] & 1)
        RepairChecksums(bytes);
    const std::string& path = InputPath();
    FILE* f = fopen(path.c_str(), "wb");
    if (f == nullptr)
        return 0;
    const bool written = fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    if (fclose(f) != 0 || !written)
        return 0;
    uint64_t itemSize = 0;
    if (Query7zArchive(Utf8ToWide(path), &itemSize)) {
        const std::string out = path + ".out";
        ExtractFirstFileFrom7z(Utf8ToWide(out), Utf8ToWide(path));
        unlink(out.c_str());
    }
    return 0;
}

#include "platform/versionnote.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstring>
#include <vector>

namespace {

// Section data larger than this is not a version note worth reading.
constexpr uint64_t kMaxNoteSection = 1 << 16;
constexpr uint64_t kMaxSections = 1 << 16;

class ElfReader {
public:
    explicit ElfReader(int fd) : m_fd(fd) {}

    bool ReadAt(uint64_t offset, void* buf, size_t size) const {
        size_t done = 0;
        while (done < size) {
            ssize_t n =
                pread(m_fd, static_cast<char*>(buf) + done, size - done, static_cast<off_t>(offset + done));
            if (n <= 0)
                return false;
            done += static_cast<size_t>(n);
        }
        return true;
    }

    void SetFormat(bool is64, bool bigEndian) {
        m_is64 = is64;
        m_big = bigEndian;
    }
    bool Is64() const { return m_is64; }

    uint64_t Get(const unsigned char* p, size_t size) const {
        uint64_t v = 0;
        for (size_t i = 0; i < size; ++i)
            v |= static_cast<uint64_t>(p[m_big ? size - 1 - i : i]) << (8 * i);
        return v;
    }

private:
    int m_fd;
    bool m_is64 = true;
    bool m_big = false;
};

struct Section {
    uint32_t name = 0;
    uint32_t link = 0;
    uint64_t offset = 0;
    uint64_t size = 0;
};

bool ReadSection(const ElfReader& elf, uint64_t shoff, uint64_t entsize, uint64_t index, Section* s) {
    unsigned char b[64];
    size_t need = elf.Is64() ? 64 : 40;
    if (entsize < need || !elf.ReadAt(shoff + index * entsize, b, need))
        return false;
    s->name = static_cast<uint32_t>(elf.Get(b, 4));
    if (elf.Is64()) {
        s->offset = elf.Get(b + 24, 8);
        s->size = elf.Get(b + 32, 8);
        s->link = static_cast<uint32_t>(elf.Get(b + 40, 4));
    } else {
        s->offset = elf.Get(b + 16, 4);
        s->size = elf.Get(b + 20, 4);
        s->link = static_cast<uint32_t>(elf.Get(b + 24, 4));
    }
    return true;
}

bool FindVersionInNotes(const ElfReader& elf, const std::vector<unsigned char>& data, uint16_t parts[4]) {
    const size_t nameLen = sizeof(kVersionNoteName);  // with its terminating zero
    size_t pos = 0;
    while (pos + 12 <= data.size()) {
        uint64_t namesz = elf.Get(&data[pos], 4);
        uint64_t descsz = elf.Get(&data[pos + 4], 4);
        uint64_t type = elf.Get(&data[pos + 8], 4);
        uint64_t nameAt = pos + 12;
        uint64_t descAt = nameAt + ((namesz + 3) & ~3ull);
        uint64_t next = descAt + ((descsz + 3) & ~3ull);
        if (next > data.size())
            return false;
        if (namesz == nameLen && type == kVersionNoteType && descsz >= 8 &&
            std::memcmp(&data[nameAt], kVersionNoteName, nameLen) == 0) {
            for (int i = 0; i < 4; ++i)
                parts[i] = static_cast<uint16_t>(elf.Get(&data[descAt + 2 * i], 2));
            return true;
        }
        pos = static_cast<size_t>(next);
    }
    return false;
}

bool ReadVersionNoteFd(int fd, uint16_t parts[4]) {
    ElfReader elf(fd);
    unsigned char h[64];
    if (!elf.ReadAt(0, h, 52))
        return false;
    if (std::memcmp(h,
                    "\x7f"
                    "ELF",
                    4) != 0)
        return false;
    if ((h[4] != 1 && h[4] != 2) || (h[5] != 1 && h[5] != 2))
        return false;
    elf.SetFormat(h[4] == 2, h[5] == 2);
    if (elf.Is64() && !elf.ReadAt(0, h, 64))
        return false;

    uint64_t shoff, shentsize, shnum, shstrndx;
    if (elf.Is64()) {
        shoff = elf.Get(h + 40, 8);
        shentsize = elf.Get(h + 58, 2);
        shnum = elf.Get(h + 60, 2);
        shstrndx = elf.Get(h + 62, 2);
    } else {
        shoff = elf.Get(h + 32, 4);
        shentsize = elf.Get(h + 46, 2);
        shnum = elf.Get(h + 48, 2);
        shstrndx = elf.Get(h + 50, 2);
    }
    if (shoff == 0)
        return false;
    Section first;
    if (!ReadSection(elf, shoff, shentsize, 0, &first))
        return false;
    // Very large files keep the real counts in section 0.
    if (shnum == 0)
        shnum = first.size;
    if (shstrndx == 0xFFFF)
        shstrndx = first.link;
    if (shnum > kMaxSections || shstrndx >= shnum)
        return false;

    Section names;
    if (!ReadSection(elf, shoff, shentsize, shstrndx, &names))
        return false;
    const size_t wantLen = sizeof(kVersionNoteSection);  // with its terminating zero
    for (uint64_t i = 1; i < shnum; ++i) {
        Section s;
        if (!ReadSection(elf, shoff, shentsize, i, &s))
            return false;
        if (s.name + wantLen > names.size || s.size == 0 || s.size > kMaxNoteSection)
            continue;
        char name[sizeof(kVersionNoteSection)];
        if (!elf.ReadAt(names.offset + s.name, name, wantLen) ||
            std::memcmp(name, kVersionNoteSection, wantLen) != 0)
            continue;
        std::vector<unsigned char> data(static_cast<size_t>(s.size));
        if (!elf.ReadAt(s.offset, data.data(), data.size()))
            continue;
        if (FindVersionInNotes(elf, data, parts))
            return true;
    }
    return false;
}

void PutWord(std::string& out, uint32_t v, size_t size, bool big) {
    for (size_t i = 0; i < size; ++i) {
        size_t shift = 8 * (big ? size - 1 - i : i);
        out.push_back(static_cast<char>((v >> shift) & 0xFF));
    }
}

}  // namespace

bool ReadVersionNote(const std::string& path, uint16_t parts[4]) {
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    uint16_t found[4];
    bool ok = ReadVersionNoteFd(fd, found);
    close(fd);
    if (ok)
        for (int i = 0; i < 4; ++i)
            parts[i] = found[i];
    return ok;
}

std::string BuildVersionNote(const uint16_t parts[4], bool bigEndian) {
    std::string out;
    PutWord(out, sizeof(kVersionNoteName), 4, bigEndian);
    PutWord(out, 8, 4, bigEndian);
    PutWord(out, kVersionNoteType, 4, bigEndian);
    out.append(kVersionNoteName, sizeof(kVersionNoteName));
    while (out.size() % 4)
        out.push_back('\0');
    for (int i = 0; i < 4; ++i)
        PutWord(out, parts[i], 2, bigEndian);
    return out;
}

std::string GetRunningProgramPath() {
    std::vector<char> buf(4096);
    ssize_t n = readlink("/proc/self/exe", buf.data(), buf.size());
    if (n <= 0 || static_cast<size_t>(n) >= buf.size())
        return std::string();
    return std::string(buf.data(), static_cast<size_t>(n));
}

#include "base/sevenzip/sevenzipheaderguard.h"

#include <unistd.h>
#include <zlib.h>

#include <cerrno>
#include <cstddef>
#include <cstring>
#include <vector>

#include "base/lzmasdk/lzmaraw.h"

namespace {

const size_t kStartHeaderSize = 32;
// Most coders in a folder, and most streams into or out of its coders.
const uint64_t kMaxCoderStreams = 32;

// Property ids of the 7z header.
enum : uint8_t {
    kIdEnd = 0x00,
    kIdHeader = 0x01,
    kIdArchiveProperties = 0x02,
    kIdAdditionalStreamsInfo = 0x03,
    kIdMainStreamsInfo = 0x04,
    kIdFilesInfo = 0x05,
    kIdPackInfo = 0x06,
    kIdUnpackInfo = 0x07,
    kIdSubStreamsInfo = 0x08,
    kIdSize = 0x09,
    kIdCrc = 0x0A,
    kIdFolder = 0x0B,
    kIdCodersUnpackSize = 0x0C,
    kIdNumUnpackStream = 0x0D,
    kIdEncodedHeader = 0x17,
};

const uint8_t kLzmaId[3] = {0x03, 0x01, 0x01};
const uint8_t kLzma2Id[1] = {0x21};
const uint8_t kPpmdId[3] = {0x03, 0x04, 0x01};

uint32_t Le32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

bool ReadAt(int fd, uint64_t position, uint8_t* out, size_t size) {
    while (size > 0) {
        const ssize_t n = pread(fd, out, size, static_cast<off_t>(position));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        out += n;
        position += static_cast<uint64_t>(n);
        size -= static_cast<size_t>(n);
    }
    return true;
}

// Reads the header's bytes; every read past the end fails.
class Cursor {
public:
    Cursor(const uint8_t* p, size_t size) : m_p(p), m_left(size) {}

    bool Byte(uint8_t* b) {
        if (m_left == 0)
            return false;
        *b = *m_p++;
        --m_left;
        return true;
    }
    bool Expect(uint8_t id) {
        uint8_t b = 0;
        return Byte(&b) && b == id;
    }
    const uint8_t* Take(uint64_t n) {
        if (n > m_left)
            return nullptr;
        const uint8_t* p = m_p;
        m_p += n;
        m_left -= static_cast<size_t>(n);
        return p;
    }
    bool Skip(uint64_t n) { return Take(n) != nullptr; }
    // The format's variable-length number: the leading one bits of the first
    // byte count the little-endian bytes that follow.
    bool Number(uint64_t* v) {
        uint8_t first = 0;
        if (!Byte(&first))
            return false;
        uint64_t value = 0;
        uint8_t mask = 0x80;
        for (int i = 0; i < 8; ++i, mask >>= 1) {
            if ((first & mask) == 0) {
                value |= static_cast<uint64_t>(first & (mask - 1)) << (8 * i);
                *v = value;
                return true;
            }
            uint8_t b = 0;
            if (!Byte(&b))
                return false;
            value |= static_cast<uint64_t>(b) << (8 * i);
        }
        *v = value;
        return true;
    }
    // A count that must stay within max.
    bool Count(uint64_t* v, uint64_t max) { return Number(v) && *v <= max; }

private:
    const uint8_t* m_p;
    size_t m_left;
};

struct Folder {
    uint64_t outStreams = 0;
    uint64_t coders = 0;
    // The first coder, which is all an encoded header may have.
    std::vector<uint8_t> firstId;
    std::vector<uint8_t> firstProps;
    std::vector<uint64_t> unpackSizes;
    bool crcDefined = false;
    uint32_t crc = 0;
};

struct StreamsInfo {
    uint64_t packPosition = 0;
    std::vector<uint64_t> packSizes;
    std::vector<Folder> folders;
};

bool IdIs(const std::vector<uint8_t>& id, const uint8_t* want, size_t size) {
    return id.size() == size && std::memcmp(id.data(), want, size) == 0;
}

// Dictionaries and models are allocated at the size the properties state.
bool CoderMemoryIsBounded(const std::vector<uint8_t>& id, const std::vector<uint8_t>& props) {
    if ((IdIs(id, kLzmaId, sizeof(kLzmaId)) || IdIs(id, kPpmdId, sizeof(kPpmdId))) && props.size() >= 5)
        return Le32(props.data() + 1) <= kSevenZipMaxCoderMemory;
    if (IdIs(id, kLzma2Id, sizeof(kLzma2Id)) && !props.empty()) {
        const unsigned d = props[0];
        if (d > 40)
            return false;
        const uint64_t dictionary = d == 40 ? 0xFFFFFFFFu : (uint64_t(2) | (d & 1)) << (d / 2 + 11);
        return dictionary <= kSevenZipMaxCoderMemory;
    }
    return true;
}

// Digests of `count` streams; `defined` receives which have one.
bool ParseDigests(Cursor& c, uint64_t count, std::vector<bool>* defined, std::vector<uint32_t>* crcs) {
    uint8_t all = 0;
    if (!c.Byte(&all))
        return false;
    std::vector<bool> bits(static_cast<size_t>(count), all != 0);
    if (all == 0) {
        uint8_t byte = 0;
        for (uint64_t i = 0; i < count; ++i) {
            if (i % 8 == 0 && !c.Byte(&byte))
                return false;
            bits[static_cast<size_t>(i)] = (byte & (0x80 >> (i % 8))) != 0;
        }
    }
    std::vector<uint32_t> values(static_cast<size_t>(count), 0);
    for (uint64_t i = 0; i < count; ++i) {
        if (!bits[static_cast<size_t>(i)])
            continue;
        const uint8_t* p = c.Take(4);
        if (p == nullptr)
            return false;
        values[static_cast<size_t>(i)] = Le32(p);
    }
    if (defined != nullptr)
        *defined = bits;
    if (crcs != nullptr)
        *crcs = values;
    return true;
}

bool ParsePackInfo(Cursor& c, StreamsInfo* s) {
    uint64_t count = 0;
    if (!c.Number(&s->packPosition) || !c.Count(&count, kSevenZipMaxItems))
        return false;
    for (;;) {
        uint8_t id = 0;
        if (!c.Byte(&id))
            return false;
        if (id == kIdEnd)
            return true;
        if (id == kIdSize) {
            s->packSizes.resize(static_cast<size_t>(count));
            for (uint64_t& size : s->packSizes) {
                if (!c.Number(&size))
                    return false;
            }
        } else if (id != kIdCrc || !ParseDigests(c, count, nullptr, nullptr)) {
            return false;
        }
    }
}

bool ParseFolder(Cursor& c, Folder* f) {
    if (!c.Count(&f->coders, kMaxCoderStreams) || f->coders == 0)
        return false;
    uint64_t inTotal = 0;
    for (uint64_t i = 0; i < f->coders; ++i) {
        uint8_t flags = 0;
        if (!c.Byte(&flags) || (flags & 0xC0) != 0)
            return false;
        const uint8_t* idBytes = c.Take(flags & 0x0F);
        if (idBytes == nullptr)
            return false;
        const std::vector<uint8_t> id(idBytes, idBytes + (flags & 0x0F));
        uint64_t in = 1, out = 1;
        if ((flags & 0x10) != 0 && (!c.Count(&in, kMaxCoderStreams) || !c.Count(&out, kMaxCoderStreams)))
            return false;
        inTotal += in;
        f->outStreams += out;
        if (inTotal > kMaxCoderStreams || f->outStreams > kMaxCoderStreams)
            return false;
        std::vector<uint8_t> props;
        if ((flags & 0x20) != 0) {
            uint64_t size = 0;
            const uint8_t* p = nullptr;
            if (!c.Number(&size) || (p = c.Take(size)) == nullptr)
                return false;
            props.assign(p, p + size);
        }
        if (!CoderMemoryIsBounded(id, props))
            return false;
        if (i == 0) {
            f->firstId = id;
            f->firstProps = props;
        }
    }
    if (f->outStreams == 0)
        return false;
    const uint64_t bindPairs = f->outStreams - 1;
    if (inTotal < bindPairs)
        return false;
    uint64_t index = 0;
    for (uint64_t i = 0; i < bindPairs; ++i) {
        if (!c.Number(&index) || !c.Number(&index))
            return false;
    }
    const uint64_t packed = inTotal - bindPairs;
    if (packed > 1) {
        for (uint64_t i = 0; i < packed; ++i) {
            if (!c.Number(&index))
                return false;
        }
    }
    return true;
}

bool ParseUnpackInfo(Cursor& c, StreamsInfo* s) {
    uint64_t count = 0;
    if (!c.Expect(kIdFolder) || !c.Count(&count, kSevenZipMaxItems) || !c.Expect(0))  // not external
        return false;
    s->folders.resize(static_cast<size_t>(count));
    for (Folder& f : s->folders) {
        if (!ParseFolder(c, &f))
            return false;
    }
    if (!c.Expect(kIdCodersUnpackSize))
        return false;
    for (Folder& f : s->folders) {
        f.unpackSizes.resize(static_cast<size_t>(f.outStreams));
        for (uint64_t& size : f.unpackSizes) {
            if (!c.Number(&size))
                return false;
        }
    }
    for (;;) {
        uint8_t id = 0;
        if (!c.Byte(&id))
            return false;
        if (id == kIdEnd)
            return true;
        std::vector<bool> defined;
        std::vector<uint32_t> crcs;
        if (id != kIdCrc || !ParseDigests(c, count, &defined, &crcs))
            return false;
        for (size_t i = 0; i < s->folders.size(); ++i) {
            s->folders[i].crcDefined = defined[i];
            s->folders[i].crc = crcs[i];
        }
    }
}

bool ParseSubStreamsInfo(Cursor& c, const StreamsInfo& s) {
    std::vector<uint64_t> streams(s.folders.size(), 1);
    uint8_t id = 0;
    if (!c.Byte(&id))
        return false;
    if (id == kIdNumUnpackStream) {
        uint64_t total = 0;
        for (uint64_t& n : streams) {
            if (!c.Count(&n, kSevenZipMaxItems) || (total += n) > kSevenZipMaxItems)
                return false;
        }
        if (!c.Byte(&id))
            return false;
    }
    if (id == kIdSize) {
        uint64_t size = 0;
        for (uint64_t n : streams) {
            for (uint64_t i = 1; i < n; ++i) {
                if (!c.Number(&size))
                    return false;
            }
        }
        if (!c.Byte(&id))
            return false;
    }
    if (id == kIdCrc) {
        uint64_t digests = 0;
        for (size_t i = 0; i < streams.size(); ++i) {
            if (streams[i] != 1 || !s.folders[i].crcDefined)
                digests += streams[i];
        }
        if (!ParseDigests(c, digests, nullptr, nullptr) || !c.Byte(&id))
            return false;
    }
    return id == kIdEnd;
}

bool ParseStreamsInfo(Cursor& c, StreamsInfo* s) {
    uint8_t id = 0;
    if (!c.Byte(&id))
        return false;
    if (id == kIdPackInfo) {
        if (!ParsePackInfo(c, s) || !c.Byte(&id))
            return false;
    }
    if (id == kIdUnpackInfo) {
        if (!ParseUnpackInfo(c, s) || !c.Byte(&id))
            return false;
    }
    if (id == kIdSubStreamsInfo) {
        if (!ParseSubStreamsInfo(c, *s) || !c.Byte(&id))
            return false;
    }
    return id == kIdEnd;
}

// Skips (id, size, bytes) records up to and including their end marker.
bool SkipProperties(Cursor& c) {
    for (;;) {
        uint8_t id = 0;
        uint64_t size = 0;
        if (!c.Byte(&id))
            return false;
        if (id == kIdEnd)
            return true;
        if (!c.Number(&size) || !c.Skip(size))
            return false;
    }
}

bool ParseHeader(Cursor& c) {
    uint8_t id = 0;
    if (!c.Expect(kIdHeader) || !c.Byte(&id))
        return false;
    if (id == kIdArchiveProperties) {
        if (!SkipProperties(c) || !c.Byte(&id))
            return false;
    }
    StreamsInfo streams;
    if (id == kIdAdditionalStreamsInfo) {
        if (!ParseStreamsInfo(c, &streams) || !c.Byte(&id))
            return false;
    }
    if (id == kIdMainStreamsInfo) {
        streams = StreamsInfo();
        if (!ParseStreamsInfo(c, &streams) || !c.Byte(&id))
            return false;
    }
    if (id == kIdFilesInfo) {
        uint64_t files = 0;
        if (!c.Count(&files, kSevenZipMaxItems))
            return false;
        // Every property of the files is sized from the header's own bytes.
        if (!SkipProperties(c) || !c.Byte(&id))
            return false;
    }
    return id == kIdEnd;
}

// A compressed header: one LZMA coder over one pack stream before the header
// itself, unpacked here within the limit and then checked like a stored one.
bool EncodedHeaderIsBounded(int fd, Cursor& c, uint64_t headerPosition) {
    StreamsInfo s;
    if (!ParseStreamsInfo(c, &s) || s.packSizes.size() != 1 || s.folders.size() != 1)
        return false;
    const Folder& f = s.folders[0];
    if (f.coders != 1 || f.unpackSizes.size() != 1 || !IdIs(f.firstId, kLzmaId, sizeof(kLzmaId)) ||
        f.firstProps.size() != 5)
        return false;
    const uint64_t packSize = s.packSizes[0];
    const uint64_t unpackSize = f.unpackSizes[0];
    const uint64_t room = headerPosition - kStartHeaderSize;
    if (packSize > kSevenZipMaxHeaderBytes || unpackSize > kSevenZipMaxHeaderBytes || unpackSize == 0 ||
        s.packPosition > room || packSize > room - s.packPosition)
        return false;
    std::vector<uint8_t> packed(static_cast<size_t>(packSize));
    if (!ReadAt(fd, kStartHeaderSize + s.packPosition, packed.data(), packed.size()))
        return false;
    std::vector<uint8_t> header(static_cast<size_t>(unpackSize));
    if (!PelluxLzmaDecodeRaw(header.data(), header.size(), packed.data(), packed.size(), f.firstProps.data()))
        return false;
    if (f.crcDefined && crc32(crc32(0L, Z_NULL, 0), header.data(), static_cast<uInt>(header.size())) != f.crc)
        return false;
    Cursor inner(header.data(), header.size());
    return ParseHeader(inner);
}

}  // namespace

bool SevenZipHeaderIsBounded(int fd, uint64_t headerPosition, uint64_t headerSize) {
    if (headerSize > kSevenZipMaxHeaderBytes || headerPosition < kStartHeaderSize)
        return false;
    std::vector<uint8_t> bytes(static_cast<size_t>(headerSize));
    if (!ReadAt(fd, headerPosition, bytes.data(), bytes.size()))
        return false;
    Cursor c(bytes.data(), bytes.size());
    if (!bytes.empty() && bytes[0] == kIdEncodedHeader) {
        c.Skip(1);
        return EncodedHeaderIsBounded(fd, c, headerPosition);
    }
    return ParseHeader(c);
}

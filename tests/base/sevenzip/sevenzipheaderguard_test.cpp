#include "base/sevenzip/sevenzipheaderguard.h"

#include <fcntl.h>

#include <gtest/gtest.h>

#include "base/sevenzip/sevenzipwriter.h"
#include "tests/base/sevenzip/sevenziptestutil.h"

using namespace pellux_test;
using namespace sevenzip_test;

namespace {

template <size_t N>
std::string B(const char (&s)[N]) {
    return std::string(s, N - 1);
}

// Whether the guard takes `header` stored after the start header and `packed`.
bool Taken(const std::string& path, const std::string& packed, const std::string& header, size_t extra = 0) {
    EXPECT_TRUE(WriteFile(path, std::string(32, '\0') + packed + header));
    const int fd = open(path.c_str(), O_RDONLY);
    const bool taken = SevenZipHeaderIsBounded(fd, 32 + packed.size(), header.size() + extra);
    close(fd);
    return taken;
}

// A header of one folder; pack info (position, count, records), folder, and
// what follows its unpack sizes marker.
std::string Stored(const std::string& pack, const std::string& folder, const std::string& sizes) {
    return "\x01\x04\x06" + pack + B("\x07\x0B\x01\x00") + folder + "\x0C" + sizes + std::string(3, '\0');
}

}  // namespace

TEST(SevenZipHeaderGuard, FoldersCodersAndDigestsAreWalkedAndOutOfBoundsOnesRefused) {
    const std::string dir = MakeTempDir("7zw"), p1(B("\x00\x01\x09\x05\x00"));
    const std::string copy("\x01\x01\x00", 3), crc0(4, '\0');
    struct Case {
        std::string header;
        bool taken;
    } cases[] = {
        {B("\x01\x02\x00\x03\x00\x00"), true},  // empty properties and extra streams
        {"\x01\x02\x05", false},
        {"\x01\x03\x01", false},
        {Stored(p1, copy, "\x05"), true},
        {Stored(B("\xFF\0\0\0\0\0\0\0\0\x01\x09\x05\x00"), copy, "\x05"), true},
        {Stored(B("\x00\x09\x09") + std::string(9, '\x01') + B("\x0A\x00\x80\x00") + crc0 + '\0', copy,
                "\x05"),
         true},
        {Stored(B("\x00\x01\x0A\x01") + crc0 + '\0', copy, "\x05"), true},
        {Stored(B("\x00\x01\x0B\x00"), copy, "\x05"), false},
        {Stored(p1, copy, B("\x05\x0A\x00\x80") + crc0), true},
        {Stored(p1, copy, "\x05\x0B"), false},
        {Stored(p1, "\x01\x40", ""), false},                         // reserved coder flags
        {Stored(p1, B("\x01\x11\x00\x01\x00"), ""), false},          // no output stream
        {Stored(p1, B("\x01\x11\x00\x00\x02"), "\x05\x05"), false},  // too few inputs to bind
        {Stored(p1, B("\x01\x11\x00\x21"), ""), false},
        {Stored(p1, B("\x02\x11\x00\x14\x01\x11\x00\x14\x01"), "\x05\x05"), false},
        {Stored(p1, B("\x02\x01\x00\x01\x00\x00\x01"), "\x05\x05"), true},  // bound pair
        {Stored(p1, B("\x01\x11\x00\x02\x01\x00\x01"), "\x05"), true},      // two packed inputs
        {Stored(p1, "\x01\x21\x21\x01\x20", "\x05"), true},                 // LZMA2 with 256 MiB, and beyond
        {Stored(p1, "\x01\x21\x21\x01\x21", "\x05"), false},
        {Stored(p1, "\x01\x21\x21\x01\x29", "\x05"), false},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(Taken(dir + "/h.7z", "", cases[i].header), cases[i].taken);
    }
    EXPECT_FALSE(Taken(dir + "/h.7z", "", B("\x01\x00"), 1));  // past the end of the file
}

TEST(SevenZipHeaderGuard, EncodedHeadersAreUnpackedAndCheckedLikeStoredOnes) {
    const std::string dir = MakeTempDir("7ze"), inner = B("\x01\x00");
    ASSERT_TRUE(WriteFile(dir + "/plain", inner));
    ASSERT_EQ(CompressFileTo7z(W(dir + "/a.7z"), W(dir + "/plain")), 1);
    const std::string a = ReadFile(dir + "/a.7z"), packed = a.substr(32, LeAt(a, 12, 8));
    ASSERT_LT(packed.size(), 0x80u);
    const std::string size(1, static_cast<char>(packed.size())), one = "\x01\x09" + size + '\0';
    const std::string lzma = "\x01\x23\x03\x01\x01\x05" + a.substr(a.find("\x03\x01\x01\x05", 32) + 4, 5);
    const auto encoded = [](const std::string& pack, const std::string& coder, const std::string& tail) {
        return B("\x17\x06\x00") + pack + B("\x07\x0B\x01\x00") + coder + tail + std::string(2, '\0');
    };
    const std::string crc = "\x0C\x02\x0A\x01" + Le(Crc(inner), 4),
                      wrong = "\x0C\x02\x0A\x01" + Le(~Crc(inner), 4);
    struct Case {
        std::string packed, header;
        bool taken;
    } cases[] = {
        {packed, encoded(one, lzma, crc), true},
        {packed, encoded(one, lzma, wrong), false},
        {packed, encoded("\x02\x09" + size + size + '\0', lzma, crc), false},
        {packed, encoded(one, B("\x01\x01\x00"), "\x0C\x02"), false},
        {packed, encoded(one, lzma, B("\x0C\x00")), false},
        {'\x01' + packed.substr(1), encoded(one, lzma, "\x0C\x02"), false},  // not an LZMA stream
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(Taken(dir + "/h.7z", cases[i].packed, cases[i].header), cases[i].taken);
    }
}

#include "base/sevenzip/sevenzipheaderguard.h"

#include <fcntl.h>

#include <gtest/gtest.h>

#include "base/sevenzip/sevenzipwriter.h"
#include "tests/base/sevenzip/sevenziptestutil.h"

using namespace std::string_literals;

// Each refusal of the walk next to a header it takes; encoded ones unpack LZMA this program wrote.
TEST(SevenZipHeaderGuard, FoldersCodersDigestsAndEncodedHeadersAreCheckedCaseByCase) {
    const std::string dir = pellux_test::MakeTempDir("7zw"), inner = "\x01\x00"s;
    ASSERT_TRUE(pellux_test::WriteFile(dir + "/plain", inner));
    ASSERT_EQ(CompressFileTo7z(W(dir + "/a.7z"), W(dir + "/plain")), 1);
    const std::string a = pellux_test::ReadFile(dir + "/a.7z"), lz = a.substr(32, LeAt(a, 12, 8));
    const std::string size(1, static_cast<char>(lz.size())), one = "\x00\x01\x09"s + size + '\0';
    const std::string lzma = "\x01\x23\x03\x01\x01\x05" + a.substr(a.find("\x03\x01\x01\x05", 32) + 4, 5);
    const std::string p1 = "\x00\x01\x09\x05\x00"s, copy = "\x01\x01\x00"s, crc0(4, '\0');
    const auto stored = [](const std::string& pack, const std::string& folder, const std::string& sizes) {
        return "\x01\x04\x06"s + pack + "\x07\x0B\x01\x00"s + folder + "\x0C" + sizes + "\x00\x00\x00"s;
    };
    const auto crc = [&](uint32_t c) { return "\x02\x0A\x01"s + Le(c, 4); };
    const std::vector<std::tuple<std::string, std::string, bool>> cases = {
        {"", "\x01\x02\x00\x03\x00\x00"s, true},  // empty properties and extra streams
        {"", "\x01\x02\x05", false},
        {"", "\x01\x03\x01", false},
        {"", stored(p1, copy, "\x05"), true},
        {"", stored("\xFF\0\0\0\0\0\0\0\0\x01\x09\x05\x00"s, copy, "\x05"), true},
        {"", stored(p1, copy, "\x05\x0A\x00\x80"s + crc0), true},
        {"", stored(p1, copy, "\x05\x0B"), false},
        {"", stored(p1, "\x01\x40", ""), false},                       // reserved coder flags
        {"", stored(p1, "\x01\x11\x00\x01\x00"s, ""), false},          // no output stream
        {"", stored(p1, "\x01\x11\x00\x00\x02"s, "\x05\x05"), false},  // too few inputs to bind
        {"", stored(p1, "\x01\x11\x00\x21"s, ""), false},              // too many inputs
        {"", stored(p1, "\x02\x11\x00\x14\x01\x11\x00\x14\x01"s, "\x05\x05"), false},
        {"", stored(p1, "\x02\x01\x00\x01\x00\x00\x01"s, "\x05\x05"), true},  // bound pair
        {"", stored(p1, "\x01\x11\x00\x02\x01\x00\x01"s, "\x05"), true},      // two packed inputs
        {"", stored(p1, "\x01\x21\x21\x01\x20", "\x05"), true},  // LZMA2 with 256 MiB, and beyond
        {"", stored(p1, "\x01\x21\x21\x01\x21", "\x05"), false},
        {"", stored(p1, "\x01\x21\x21\x01\x29", "\x05"), false},
        {lz, "\x17" + stored(one, lzma, crc(sevenzip_test::Crc(inner))).substr(2), true},
        {lz, "\x17" + stored(one, lzma, crc(~sevenzip_test::Crc(inner))).substr(2), false},
        {lz, "\x17" + stored("\x00\x02\x09"s + size + size + '\0', lzma, "\x02").substr(2), false},
        {lz, "\x17" + stored(one, copy, "\x02").substr(2), false},
        {lz, "\x17" + stored(one, lzma, "\x00"s).substr(2), false},
        {'\x01' + lz.substr(1), "\x17" + stored(one, lzma, "\x02").substr(2), false},  // not an LZMA stream
    };
    for (const auto& [packed, header, taken] : cases) {
        SCOPED_TRACE(testing::PrintToString(header));
        ASSERT_TRUE(pellux_test::WriteFile(dir + "/h.7z", std::string(32, '\0') + packed + header));
        const int fd = open((dir + "/h.7z").c_str(), O_RDONLY);
        EXPECT_EQ(SevenZipHeaderIsBounded(fd, 32 + packed.size(), header.size()), taken);
        EXPECT_FALSE(SevenZipHeaderIsBounded(fd, 32 + packed.size(), header.size() + 1));  // past the end
        close(fd);
    }
}

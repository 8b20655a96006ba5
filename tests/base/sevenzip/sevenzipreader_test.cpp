#include "base/sevenzip/sevenzipreader.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <gtest/gtest.h>

#include "base/sevenzip/sevenzipheaderguard.h"
#include "base/sevenzip/sevenzipwriter.h"
#include "tests/base/sevenzip/sevenziptestutil.h"

using namespace pellux_test;
using namespace sevenzip_test;

namespace {

void ExpectNotAnArchive(const std::string& path, const std::string& dir) {
    SCOPED_TRACE(path);
    uint64_t size = 777;
    EXPECT_EQ(Query7zArchive(W(path), &size), 0);
    EXPECT_EQ(size, 777u);
    const std::string dest = dir + "/should-not-exist";
    EXPECT_EQ(ExtractFirstFileFrom7z(W(dest), W(path)), 0);
    EXPECT_FALSE(FileExists(dest));
}

std::string Number7z(uint64_t v) {
    int extra = 0;
    while (extra < 8 && v >= (uint64_t(1) << (7 * (extra + 1))))
        ++extra;
    uint8_t first = 0;
    for (int i = 0; i < extra; ++i)
        first |= static_cast<uint8_t>(0x80 >> i);
    if (extra < 8)
        first |= static_cast<uint8_t>(v >> (8 * extra));
    std::string out(1, static_cast<char>(first));
    for (int i = 0; i < extra; ++i)
        out += static_cast<char>(v >> (8 * i));
    return out;
}

// A whole archive: start header, packed streams, then the header.
std::string Assemble(const std::string& packed, const std::string& header) {
    const std::string tail = Le(packed.size(), 8) + Le(header.size(), 8) + Le(Crc(header), 4);
    return std::string("7z\xBC\xAF\x27\x1C\x00\x04", 8) + Le(Crc(tail), 4) + tail + packed + header;
}

// A raw LZMA stream of the bytes (properties 5D 00 00 00 01), taken from the
// one archive this program writes.
std::string RawLzma(const std::string& dir, const std::string& bytes) {
    EXPECT_TRUE(WriteFile(dir + "/plain", bytes));
    EXPECT_EQ(CompressFileTo7z(W(dir + "/packed.7z"), W(dir + "/plain")), 1);
    const std::string archive = ReadFile(dir + "/packed.7z");
    const uint64_t packSize = LeAt(archive, 12, 8);
    return archive.substr(32, packSize);
}

// The header squeezed into an LZMA stream the way the reference tool stores
// headers: a header that states how to unpack the real one.
std::string WithEncodedHeader(const std::string& dir, const std::string& header) {
    const std::string packed = RawLzma(dir, header);
    std::string encoded = "\x17\x06" + Number7z(0) + Number7z(1) + "\x09" + Number7z(packed.size());
    encoded += std::string("\x00\x07\x0B", 3) + Number7z(1) + std::string("\x00", 1) + Number7z(1);
    encoded += std::string("\x23\x03\x01\x01\x05\x5D\x00\x00\x00\x01\x0C", 11) + Number7z(header.size());
    encoded += std::string("\x00\x00", 2);
    return Assemble(packed, encoded);
}

// A header of `files` items, every one an empty file: the reader's tables
// grow with the count while the header itself is a run of one bits.
std::string EmptyFilesHeader(uint64_t files) {
    const std::string bits((files + 7) / 8, '\xFF');
    return "\x01\x05" + Number7z(files) + "\x0E" + Number7z(bits.size()) + bits + std::string("\x00\x00", 2);
}

}  // namespace

TEST(SevenZipReader, ExtractsReferenceArchivesWithLzma2BcjAndPpmd) {
    if (!HaveProgram("7z"))
        GTEST_SKIP() << "7z not installed";
    const std::string dir = MakeTempDir("7zr");
    const std::string bytes = MixedBytes(300000, 3);
    ASSERT_TRUE(WriteFile(dir + "/data.bin", bytes));
    for (const std::string switches : {"-m0=BCJ -m1=LZMA2", "-m0=PPMd"}) {
        SCOPED_TRACE(switches);
        const std::string archive = dir + "/ref" + std::to_string(switches.size()) + ".7z";
        std::string out;
        ASSERT_EQ(
            RunCommand("cd " + Quote(dir) + " && 7z a -t7z " + switches + " " + Quote(archive) + " data.bin",
                       &out),
            0)
            << out;
        uint64_t size = 0;
        EXPECT_EQ(Query7zArchive(W(archive), &size), 1);
        EXPECT_EQ(size, bytes.size());
        const std::string dest = archive + ".out";
        ASSERT_EQ(ExtractFirstFileFrom7z(W(dest), W(archive)), 1);
        EXPECT_TRUE(ReadFile(dest) == bytes);
    }
}

TEST(SevenZipReader, ExtractsTheFirstItemThatIsNotAFolderIfAny) {
    if (!HaveProgram("7z"))
        GTEST_SKIP() << "7z not installed";
    const std::string dir = MakeTempDir("7zm");
    ASSERT_EQ(mkdir((dir + "/a").c_str(), 0700), 0);
    ASSERT_EQ(mkdir((dir + "/a/empty").c_str(), 0700), 0);
    ASSERT_TRUE(WriteFile(dir + "/a/one.txt", "first file"));
    ASSERT_TRUE(WriteFile(dir + "/a/two.txt", "second file, longer"));
    ASSERT_EQ(mkdir((dir + "/d1").c_str(), 0700), 0);
    ASSERT_EQ(mkdir((dir + "/d1/d2").c_str(), 0700), 0);
    const std::string archive = dir + "/multi.7z";
    std::string out;
    ASSERT_EQ(RunCommand("cd " + Quote(dir) + " && 7z a -t7z " + Quote(archive) + " a", &out), 0) << out;
    ASSERT_EQ(RunCommand("cd " + Quote(dir) + " && 7z a -t7z dirs.7z d1", &out), 0) << out;

    int status = 0;
    const auto items = ListItems(archive, &status);
    std::string firstFile;
    for (const auto& item : items) {
        if (item.at("Attributes").rfind("D", 0) != 0) {
            firstFile = item.at("Path");
            break;
        }
    }
    ASSERT_FALSE(firstFile.empty());
    const std::string dest = dir + "/first.out";
    ASSERT_EQ(ExtractFirstFileFrom7z(W(dest), W(archive)), 1);
    EXPECT_EQ(ReadFile(dest), ReadFile(dir + "/" + firstFile));

    // The destination is replaced, not appended to.
    ASSERT_TRUE(WriteFile(dest, std::string(5000, 'x')));
    ASSERT_EQ(ExtractFirstFileFrom7z(W(dest), W(archive)), 1);
    EXPECT_EQ(ReadFile(dest), ReadFile(dir + "/" + firstFile));

    // Folders only, or no items at all: the archive opens, and nothing is
    // extracted.
    ASSERT_TRUE(WriteFile(dir + "/empty.7z", Assemble("", "")));
    EXPECT_EQ(RunCommand("7z t " + Quote(dir + "/empty.7z"), &out), 0) << out;
    for (const std::string name : {"/dirs.7z", "/empty.7z"}) {
        SCOPED_TRACE(name);
        uint64_t size = 99;
        EXPECT_EQ(Query7zArchive(W(dir + name), &size), 1);
        EXPECT_EQ(size, 0u);
        EXPECT_EQ(ExtractFirstFileFrom7z(W(dir + "/none.out"), W(dir + name)), 0);
        EXPECT_FALSE(FileExists(dir + "/none.out"));
    }
}

TEST(SevenZipReader, ZipTextExecutablesAndSelfExtractorsAreNotArchives) {
    const std::string dir = MakeTempDir("7zn");
    const std::pair<std::string, std::string> files[] = {
        {"text.txt", "just some text\n"}, {"empty", ""}, {"true.bin", ReadFile("/bin/true")}};
    for (const auto& [name, bytes] : files) {
        ASSERT_TRUE(WriteFile(dir + "/" + name, bytes));
        ExpectNotAnArchive(dir + "/" + name, dir);
    }
    ExpectNotAnArchive(dir + "/missing", dir);
    ExpectNotAnArchive(dir, dir);
    if (HaveProgram("7z")) {
        std::string out;
        ASSERT_EQ(RunCommand("cd " + Quote(dir) + " && 7z a -tzip z.zip text.txt", &out), 0) << out;
        ExpectNotAnArchive(dir + "/z.zip", dir);
    }

    // Nor is a self-extracting program: an executable stub followed by an
    // archive where self-extractors keep it.
    ASSERT_EQ(CompressFileTo7z(W(dir + "/payload.7z"), W(dir + "/text.txt")), 1);
    std::string sfx = "MZ";
    sfx.resize(0x27000, '\0');
    sfx += ReadFile(dir + "/payload.7z");
    const std::string program = dir + "/setup.exe";
    ASSERT_TRUE(WriteFile(program, sfx));
    ExpectNotAnArchive(program, dir);
    // Nor may the program be overwritten by its first item.
    EXPECT_EQ(ExtractFirstFileFrom7z(W(program), W(program)), 0);
    EXPECT_TRUE(ReadFile(program) == sfx);
}

TEST(SevenZipReader, DamagedArchivesAreRefused) {
    const std::string dir = MakeTempDir("7zb");
    const std::string bytes = MixedBytes(5000, 9);
    ASSERT_TRUE(WriteFile(dir + "/src.bin", bytes));
    const std::string good = dir + "/good.7z";
    ASSERT_EQ(CompressFileTo7z(W(good), W(dir + "/src.bin")), 1);
    const std::string a = ReadFile(good);

    std::vector<std::string> damaged = {a, a.substr(0, a.size() - 1), a.substr(0, 40), a, a};
    damaged[0][a.size() - 10] ^= 0x40;  // inside the header
    damaged[3][9] ^= 0x01;              // start header CRC
    damaged[4][6] = 1;                  // version
    for (size_t i = 0; i < damaged.size(); ++i) {
        const std::string path = dir + "/bad" + std::to_string(i) + ".7z";
        ASSERT_TRUE(WriteFile(path, damaged[i]));
        ExpectNotAnArchive(path, dir);
    }

    // Extracting onto the archive itself cannot work while streaming; the
    // archive is left intact.
    EXPECT_EQ(ExtractFirstFileFrom7z(W(good), W(good)), 0);
    EXPECT_TRUE(ReadFile(good) == a);
}

TEST(SevenZipReader, HeadersThatClaimHugeTablesAreRefused) {
    const std::string dir = MakeTempDir("7zh");
    // A thousand empty files: a header of this shape is read.
    ASSERT_TRUE(WriteFile(dir + "/small.7z", WithEncodedHeader(dir, EmptyFilesHeader(1000))));
    uint64_t size = 9;
    EXPECT_EQ(Query7zArchive(W(dir + "/small.7z"), &size), 1);
    EXPECT_EQ(size, 0u);

    // A hundred million: a file of a few kilobytes would take gigabytes of
    // memory (and seconds) in the reader.
    const std::string bomb = WithEncodedHeader(dir, EmptyFilesHeader(100 * 1000 * 1000));
    EXPECT_LT(bomb.size(), 64u * 1024);
    ASSERT_TRUE(WriteFile(dir + "/bomb.7z", bomb));
    ExpectNotAnArchive(dir + "/bomb.7z", dir);

    // The same count in a stored header.
    ASSERT_TRUE(WriteFile(dir + "/stored.7z", Assemble("", EmptyFilesHeader(kSevenZipMaxItems + 1))));
    ExpectNotAnArchive(dir + "/stored.7z", dir);
    ASSERT_TRUE(WriteFile(dir + "/stored-ok.7z", Assemble("", EmptyFilesHeader(kSevenZipMaxItems))));
    EXPECT_EQ(Query7zArchive(W(dir + "/stored-ok.7z"), &size), 1);

    // An encoded header that would unpack beyond the limit.
    const std::string big(kSevenZipMaxHeaderBytes + 16, '\0');
    ASSERT_TRUE(WriteFile(dir + "/big.7z",
                          WithEncodedHeader(dir, "\x01\x05" + Number7z(1) + "\x19" + Number7z(big.size()) +
                                                     big + std::string("\x00\x00", 2))));
    ExpectNotAnArchive(dir + "/big.7z", dir);
}

TEST(SevenZipReader, CodersThatAskForHugeDictionariesAreRefused) {
    const std::string dir = MakeTempDir("7zc");
    ASSERT_TRUE(WriteFile(dir + "/src.bin", MixedBytes(3000, 4)));
    ASSERT_EQ(CompressFileTo7z(W(dir + "/ok.7z"), W(dir + "/src.bin")), 1);
    const std::string archive = ReadFile(dir + "/ok.7z");
    const uint64_t packSize = LeAt(archive, 12, 8);
    std::string header = archive.substr(32 + packSize);
    // The writer sizes the dictionary to the input: 64 KiB here.
    const size_t props = header.find(std::string("\x03\x01\x01\x05\x5D\x00\x00\x01\x00", 9));
    ASSERT_NE(props, std::string::npos);
    // 4 GiB, which the reader would reserve before reading a byte.
    header.replace(props + 5, 4, std::string(4, '\xFF'));
    const std::string patched = Assemble(archive.substr(32, packSize), header);
    ASSERT_TRUE(WriteFile(dir + "/huge.7z", patched));
    ExpectNotAnArchive(dir + "/huge.7z", dir);
    // 256 MiB is still taken.
    header.replace(props + 5, 4, Le(kSevenZipMaxCoderMemory, 4));
    ASSERT_TRUE(WriteFile(dir + "/large.7z", Assemble(archive.substr(32, packSize), header)));
    uint64_t size = 0;
    EXPECT_EQ(Query7zArchive(W(dir + "/large.7z"), &size), 1);
    EXPECT_EQ(size, 3000u);
}

// Every check of the header walk has its refusal: no header cut short is taken,
// ours or the reference tool's (solid, several files, header not compressed).
TEST(SevenZipHeaderGuard, EveryHeaderCutShortIsRefused) {
    const std::string dir = MakeTempDir("7zg");
    ASSERT_TRUE(WriteFile(dir + "/a.txt", MixedBytes(3000, 5)));
    ASSERT_TRUE(WriteFile(dir + "/b.txt", MixedBytes(2000, 6)));
    ASSERT_EQ(CompressFileTo7z(W(dir + "/ours.7z"), W(dir + "/a.txt")), 1);
    std::vector<std::string> archives{dir + "/ours.7z"};
    std::string out;
    if (HaveProgram("7z")) {
        ASSERT_EQ(RunCommand("cd " + Quote(dir) + " && 7z a -t7z -mhc=off ref.7z a.txt b.txt", &out), 0)
            << out;
        archives.push_back(dir + "/ref.7z");
    }
    for (const std::string& archive : archives) {
        SCOPED_TRACE(archive);
        const std::string a = ReadFile(archive);
        const uint64_t offset = LeAt(a, 12, 8), size = LeAt(a, 20, 8);
        const int fd = open(archive.c_str(), O_RDONLY);
        ASSERT_GE(fd, 0);
        EXPECT_TRUE(SevenZipHeaderIsBounded(fd, 32 + offset, size));
        for (uint64_t cut = 0; cut < size; ++cut)
            EXPECT_FALSE(SevenZipHeaderIsBounded(fd, 32 + offset, cut)) << cut;
        close(fd);
        // An (empty) archive properties block is walked over.
        const std::string header = a.substr(32 + offset, size);
        ASSERT_TRUE(WriteFile(dir + "/props.7z",
                              Assemble(a.substr(32, offset),
                                       header.substr(0, 1) + std::string("\x02\x00", 2) + header.substr(1))));
        const int props = open((dir + "/props.7z").c_str(), O_RDONLY);
        EXPECT_TRUE(SevenZipHeaderIsBounded(props, 32 + offset, size + 2));
        close(props);
    }
}

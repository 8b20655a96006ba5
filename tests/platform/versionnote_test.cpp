#include "platform/versionnote.h"

#include <gtest/gtest.h>

#include <vector>

#include "tests/support/testenvironment.h"

namespace {

// Copies a program and adds a note section to it with objcopy.
std::string StampedCopy(const std::string& notes, const std::string& source = "/bin/true",
                        const std::string& extra = "") {
    std::string dir = pellux_test::MakeTempDir("note");
    std::string target = dir + "/program";
    EXPECT_TRUE(pellux_test::WriteFile(dir + "/note.bin", notes));
    std::string out;
    int rc = pellux_test::RunCommand("objcopy " + extra + " --add-section " + kVersionNoteSection + "='" +
                                         dir + "/note.bin' '" + source + "' '" + target + "'",
                                     &out);
    EXPECT_EQ(rc, 0) << out;
    return target;
}

std::string Word(uint32_t v) {
    return std::string(reinterpret_cast<const char*>(&v), 4);
}

}  // namespace

class VersionNote : public ::testing::Test {
protected:
    void SetUp() override {
        if (!pellux_test::HaveProgram("objcopy"))
            GTEST_SKIP() << "objcopy is not installed";
    }
};

TEST_F(VersionNote, StampedProgramReadsBackAlsoBehindOtherNotesOfTheSection) {
    const uint16_t v[4] = {3, 14, 159, 65535};
    std::string foreign = Word(4) + Word(3) + Word(1) + std::string("GNU\0", 4) + std::string("abc\0", 4);
    std::string wrongType =
        Word(7) + Word(8) + Word(2) + std::string("Pellux\0\0", 8) + std::string(8, '\x09');
    for (const std::string& before : {std::string(), foreign + wrongType}) {
        uint16_t got[4] = {0, 0, 0, 0};
        ASSERT_TRUE(ReadVersionNote(StampedCopy(before + BuildVersionNote(v)), got));
        EXPECT_EQ(std::vector<uint16_t>(got, got + 4), std::vector<uint16_t>(v, v + 4));
    }
}

TEST_F(VersionNote, ThirtyTwoBitAndBigEndianFilesReadBack) {
    std::string dir = pellux_test::MakeTempDir("raw");
    ASSERT_TRUE(pellux_test::WriteFile(dir + "/data.bin", "payload"));
    const uint16_t v[4] = {0x0102, 0x0304, 0x0506, 0x0708};
    const struct {
        const char* target;
        bool big;
    } kinds[] = {{"elf32-i386", false}, {"elf32-big", true}, {"elf64-big", true}};
    for (const auto& k : kinds) {
        std::string object = dir + "/" + k.target + ".o";
        const std::string convert =
            std::string("objcopy -I binary -O ") + k.target + " '" + dir + "/data.bin' '" + object + "'";
        std::string out;
        ASSERT_EQ(pellux_test::RunCommand(convert, &out), 0) << out;
        uint16_t got[4] = {0, 0, 0, 0};
        EXPECT_TRUE(ReadVersionNote(
            StampedCopy(BuildVersionNote(v, k.big), object, std::string("-I ") + k.target), got))
            << k.target;
        EXPECT_EQ(got[0], 0x0102) << k.target;
        EXPECT_EQ(got[3], 0x0708) << k.target;
    }
}

TEST_F(VersionNote, FilesWithoutTheNoteGiveNothing) {
    uint16_t got[4] = {9, 9, 9, 9};
    std::string dir = pellux_test::MakeTempDir("none");
    std::string bytes = pellux_test::ReadFile("/bin/true");
    ASSERT_TRUE(pellux_test::WriteFile(dir + "/truncated", bytes.substr(0, 200)));
    ASSERT_TRUE(pellux_test::WriteFile(dir + "/text", "#!/bin/sh\necho hi\n"));
    ASSERT_TRUE(pellux_test::WriteFile(dir + "/empty", ""));
    // A note whose size runs past its section.
    std::string broken = Word(7) + Word(0x7FFFFFF0) + Word(1) + std::string("Pellux\0\0", 8);
    const std::string files[] = {
        "/bin/true", dir + "/truncated", dir + "/text", dir + "/empty", dir + "/missing", StampedCopy(broken),
        dir};
    for (const auto& f : files) {
        EXPECT_FALSE(ReadVersionNote(f, got)) << f;
    }
    EXPECT_EQ(got[0], 9);  // untouched on failure
}

#include "platform/profile.h"

#include <gtest/gtest.h>

#include "tests/support/testenvironment.h"

namespace {

const std::string kLong(5000, 'L');

std::string WriteSample() {
    std::string path = pellux_test::MakeTempDir("ini") + "/config.ini";
    std::string text =
        "\xEF\xBB\xBF[Pellux]\r\n"  // a BOM right before the first section
        "; a comment = not a key\r\n"
        "LogLevel = 4\r\n"
        "Negative=-1\r\n"
        "Plus=+79\r\n"
        "Hex=0x1F\r\nHexLower=0xaf\r\n"
        "Junk=abc\r\n"
        "Partial=12ab\r\n"
        "Empty=\r\n"
        "Quoted=\"  spaced value  \"\r\n"
        "Single='x'\r\n"
        "Unbalanced=\"abc\r\n"
        "Lone=\"\r\n"
        "  Indented Key  =  trimmed value  \r\n"
        "Url=http://host/a=b\r\n"
        "Long=" +
        kLong +
        "\r\n"
        "Chinese=\xe4\xb8\xad\xe6\x96\x87\r\n"
        "\r\n"
        "[ pellux ]\r\n"
        "OnlyInSecond=1\r\n"
        "LogLevel=99\r\n"
        "[Other]\n"
        "LogLevel=5\n"
        "Last=no newline at the end";
    EXPECT_TRUE(pellux_test::WriteFile(path, text));
    return path;
}

}  // namespace

TEST(ProfileRead, ValuesFollowWindowsRulesAndMissingOnesGiveTheDefault) {
    const std::string ini = WriteSample();
    struct Case {
        const wchar_t* section;
        const wchar_t* key;
        std::wstring expected;
    } cases[] = {
        {L"Pellux", L"LogLevel", L"4"},
        {L"Pellux", L"Long", std::wstring(kLong.begin(), kLong.end())},
        {L"PELLUX", L"loglevel", L"4"},  // names ignore case
        {L"Pellux", L"Quoted", L"  spaced value  "},
        {L"Pellux", L"Single", L"x"},
        {L"Pellux", L"Unbalanced", L"\"abc"},
        {L"Pellux", L"Lone", L"\""},
        {L"Pellux", L"Indented Key", L"trimmed value"},
        {L"Pellux", L"Url", L"http://host/a=b"},
        {L"Pellux", L"Empty", L""},
        {L"Pellux", L"Chinese", L"\u4e2d\u6587"},
        {L"Other", L"LogLevel", L"5"},
        {L"Other", L"Last", L"no newline at the end"},
        {L"Nowhere", L"LogLevel", L"dflt"},
        {L"Pellux", L"Nothing", L"dflt"},
        {L"Pellux", L"OnlyInSecond", L"dflt"},  // the first of two sections with one name is read
    };
    for (const auto& c : cases)
        EXPECT_EQ(GetProfileString(ini, c.section, c.key, L"dflt"), c.expected) << c.section << "/" << c.key;
    // A missing file gives the default; a comment line is no key, and trailing blanks of the default go.
    EXPECT_EQ(GetProfileString(ini + ".missing", L"Pellux", L"LogLevel", L"d"), L"d");
    EXPECT_EQ(GetProfileString(ini, L"Pellux", L"; a comment", L"d  "), L"d");
}

TEST(ProfileRead, IntegersTakeASignAndStopAtTheFirstNonDigit) {
    const std::string ini = WriteSample();
    struct Case {
        const wchar_t* key;
        int expected;
    } cases[] = {
        {L"LogLevel", 4}, {L"Negative", -1}, {L"Plus", 79},  {L"Hex", 31},     {L"HexLower", 175},
        {L"Junk", 0},     {L"Partial", 12},  {L"Empty", 77}, {L"Missing", 77},
    };
    for (const auto& c : cases)
        EXPECT_EQ(GetProfileInt(ini, L"Pellux", c.key, 77), c.expected) << c.key;
    EXPECT_EQ(GetProfileInt(ini + ".missing", L"Pellux", L"LogLevel", -3), -3);
}

TEST(ProfileWrite, CreatesTheFileAndReadsBack) {
    std::string ini = pellux_test::MakeTempDir("ini") + "/_pellux_dragdata_1.ini";
    ASSERT_TRUE(WriteProfileString(ini, L"Files", L"0", L"0|id1|id0|\\a\\b.txt"));
    ASSERT_TRUE(WriteProfileString(ini, L"Files", L"1", L"1|id2|id0|\\a\\\u4e2d"));
    ASSERT_TRUE(WriteProfileString(ini, L"Files", L"Count", L"2"));
    EXPECT_EQ(GetProfileInt(ini, L"Files", L"Count", 0), 2);
    EXPECT_EQ(pellux_test::ReadFile(ini),
              "[Files]\n0=0|id1|id0|\\a\\b.txt\n1=1|id2|id0|\\a\\\xe4\xb8\xad\nCount=2\n");
}

TEST(ProfileWrite, KeepsOtherLinesAndReplacesKeysInPlace) {
    std::string ini = pellux_test::MakeTempDir("ini") + "/m.ini";
    ASSERT_TRUE(pellux_test::WriteFile(ini, "\xEF\xBB\xBF; note\r\n[A]\r\nx=1\r\n\r\n[B]\r\ny=2\r\n"));
    ASSERT_TRUE(WriteProfileString(ini, L"a", L"X", L"10"));  // replaced under any case
    ASSERT_TRUE(WriteProfileString(ini, L"A", L"z", L"3"));   // appended after the section's last key
    ASSERT_TRUE(WriteProfileString(ini, L"C", L"w", L"4"));   // new section at the end
    EXPECT_EQ(pellux_test::ReadFile(ini), "\xEF\xBB\xBF; note\n[A]\nX=10\nz=3\n\n[B]\ny=2\n[C]\nw=4\n");
    ASSERT_TRUE(WriteProfileString(ini, L"B", L"long", std::wstring(3000, L'q')));
    EXPECT_EQ(GetProfileString(ini, L"B", L"long", L""), std::wstring(3000, L'q'));
}

TEST(ProfileWrite, RefusesTextThatWouldCorruptTheFile) {
    std::string ini = pellux_test::MakeTempDir("ini") + "/m.ini";
    EXPECT_FALSE(WriteProfileString(ini, L"A", L"k", L"two\nlines"));
    EXPECT_FALSE(WriteProfileString(ini, L"A\r", L"k", L"v"));
    EXPECT_FALSE(WriteProfileString(ini, L"A]", L"k", L"v"));
    EXPECT_FALSE(WriteProfileString(ini, L"A", L"k=1", L"v"));
    EXPECT_FALSE(WriteProfileString(ini, L"A", L"", L"v"));
    EXPECT_FALSE(WriteProfileString(ini, L"A", L";k", L"v"));
    EXPECT_FALSE(WriteProfileString(ini, L"A", L"k", std::wstring(L"a\0b", 3)));
    EXPECT_EQ(pellux_test::ReadFile(ini), "");
    EXPECT_FALSE(WriteProfileString(pellux_test::TestHome() + "/no/such/folder/m.ini", L"A", L"k", L"v"));
}

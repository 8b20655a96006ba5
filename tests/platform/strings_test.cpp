#include "platform/strings.h"

#include <gtest/gtest.h>

TEST(Utf8Conversion, RoundTripsEveryPlane) {
    const std::wstring text = L"a\u00e4\u4e2d\U0001F600z";
    EXPECT_EQ(WideToUtf8(text), "a\xc3\xa4\xe4\xb8\xad\xf0\x9f\x98\x80z");
    EXPECT_EQ(Utf8ToWide(WideToUtf8(text)), text);
    EXPECT_EQ(Utf16ToWide(WideToUtf16(text)), text);
    EXPECT_EQ(WideToUtf16(text).size(), 6u);  // the emoji takes a surrogate pair
}

TEST(Utf8Conversion, InvalidInputIsReplacedNotFatal) {
    // Lone continuation byte, overlong form, surrogate, truncated sequence at the end.
    EXPECT_EQ(Utf8ToWide(std::string("a\x80"
                                     "b")),
              L"a\uFFFDb");
    EXPECT_EQ(Utf8ToWide(std::string("\xc0\xaf")), L"\uFFFD\uFFFD");
    EXPECT_EQ(Utf8ToWide(std::string("\xed\xa0\x80")), L"\uFFFD");
    EXPECT_EQ(Utf8ToWide(std::string("\xe0\x80\xaf\xf4\x90\x80\x80")),
              L"\uFFFD\uFFFD");  // overlong, past U+10FFFF
    EXPECT_EQ(Utf8ToWide(std::string("x\xe4\xb8")), L"x\uFFFD");
    EXPECT_EQ(WideToUtf8(std::wstring(1, static_cast<wchar_t>(0x110000))), "\xef\xbf\xbd");
    EXPECT_EQ(WideToUtf8(std::wstring{0xD83D, 0xE000}), "\xef\xbf\xbd\xee\x80\x80");
    // A high surrogate pairs only with a low one: before U+E000 it stands alone.
    EXPECT_EQ(Utf16ToWide(std::u16string{0xD83D, 0xE000, 0xD83D, 0xDE00}), L"\uFFFD\uE000\U0001F600");
}

TEST(CompareNoCase, FoldsAsciiOnlyWhenAsked) {
    EXPECT_EQ(CompareNoCaseAscii(std::wstring(L"Result"), std::wstring(L"result")), 0);
    EXPECT_NE(CompareNoCaseAscii(std::wstring(L"\u00c4"), std::wstring(L"\u00e4")), 0);
    EXPECT_LT(CompareNoCaseAscii(std::wstring(L"a"), std::wstring(L"B")), 0);
    // The folded range ends exactly at 'A' and 'Z': '@' and '[' stay apart from '`' and '{'.
    for (const std::string upper : {"AZ", "@", "["}) {
        std::string lower = upper;
        for (char& c : lower)
            c = static_cast<char>(c + 32);
        const int expected = upper == "AZ" ? 0 : -1;
        EXPECT_EQ(CompareNoCaseAscii(upper, lower), expected) << upper;
        EXPECT_EQ(CompareNoCaseAscii(lower, upper), -expected) << upper;
        EXPECT_EQ(CompareNoCaseAscii(Utf8ToWide(upper), Utf8ToWide(lower)), expected) << upper;
    }
    EXPECT_EQ(CompareNoCase(L"UserId", L"userid"), 0);
}

#include "base/utility/formatstring.h"

#include <gtest/gtest.h>

TEST(FormatString, StringConversionsTakeWideAndNarrowAlike) {
    std::wstring out;
    std::wstring wide = L"\u4e2d\u6587";
    std::string narrow = "\xe4\xb8\xad";
    EXPECT_EQ(FormatString(out, L"[%s|%s|%S|%ls]", wide, narrow, L"w", "n"), L"[\u4e2d\u6587|\u4e2d|w|n]");
    EXPECT_EQ(FormatString(out, L"%-4s|%4s|%.1s", L"ab", std::string("cd"), L"xyz"), L"ab  |  cd|x");
}

TEST(FormatString, IntegersFollowTheirLengthModifier) {
    std::wstring out;
    EXPECT_EQ(FormatString(out, L"%d %u %x %08x", -5, 7u, 255, 0x1234), L"-5 7 ff 00001234");
    // A negative code printed with %x shows 32 bits, as result codes are logged.
    EXPECT_EQ(FormatString(out, L"hr = %x", static_cast<int32_t>(0x80004005)), L"hr = 80004005");
    EXPECT_EQ(FormatString(out, L"%I64d %lld %llu", int64_t(1) << 40, -3LL, ~0ULL),
              L"1099511627776 -3 18446744073709551615");
    EXPECT_EQ(FormatString(out, L"%I64x %I64u %I32d %Id %hhd", ~0ULL, int64_t(1) << 33, -7, 8, 0x1ff),
              L"ffffffffffffffff 8589934592 -7 8 -1");
    EXPECT_EQ(FormatString(out, L"%04d-%02d-%02d %.2f %c %%", 2026, 1, 9, 1.5, L'x'), L"2026-01-09 1.50 x %");
}

TEST(FormatString, MissingAndMismatchedArgumentsAreHarmless) {
    std::wstring out;
    EXPECT_EQ(FormatString(out, L"%s %d"), L"(null) 0");
    EXPECT_EQ(FormatString(out, L"%s", 42), L"(null)");
    EXPECT_EQ(FormatString(out, L"trailing %"), L"trailing ");
    EXPECT_EQ(FormatUtf8("%s=%d", L"\u00e4", 3), "\xc3\xa4=3");
}

// Output is cut at 1023 characters; extreme widths and precisions stay bounded.
TEST(FormatString, OutputIsCutAt1023CharactersWhateverTheWidth) {
    std::wstring out;
    const std::wstring big(2000, L'a');
    EXPECT_EQ(FormatString(out, L"%s", big).size(), 1023u);
    EXPECT_EQ(FormatStringUnbounded(L"%s!", big).size(), 2001u);
    // The largest double with many decimals still prints whole (not as "").
    EXPECT_EQ(FormatStringUnbounded(L"%.400f", 1e300).size(), 301u + 1 + 400);
    // Absurd widths neither overflow nor allocate without bound; the cap holds.
    EXPECT_EQ(FormatString(out, L"%99999999999999999999s", L"x").size(), 1023u);
    EXPECT_EQ(FormatString(out, L"%*s|", INT32_MIN, L"x"), L"x" + std::wstring(1022, L' '));
    EXPECT_EQ(FormatString(out, L"%.*s|", -1, L"abc"), L"abc|");
    EXPECT_EQ(FormatString(out, L"%.0s|%.*s|%10d|", L"abc", 0, L"abc", 5), L"||         5|");
}

#include "base/utility/urlutil.h"

#include <gtest/gtest.h>

TEST(UrlEncode, ReservedBytesBecomeLowercaseEscapes) {
    const struct {
        std::string in;
        std::string out;
    } cases[] = {
        {"/", "%2f"},
        {"~", "~"},
        {"\xE4", "%e4"},
        {".", "%2e"},
        {"a-b_c:d,e", "a-b_c:d,e"},
        {"&=%+`{}|[]\"<>\\^;", "%26%3d%25%2b%60%7b%7d%7c%5b%5d%22%3c%3e%5c%5e%3b"},
        {"\x7f\xff", "%7f%ff"},
        {"\t\n", "\t\n"},  // control bytes pass unchanged
        {"", ""},
    };
    for (const auto& c : cases) {
        std::string out = "stale";
        EXPECT_EQ(UrlEncode(c.in, out), c.out) << c.in;
    }
}

TEST(UrlDecode, OnlyHexDigitsFollowAPercentSign) {
    const struct {
        std::string in;
        std::string out;
    } cases[] = {
        {"%41", "A"},
        {"%zz", "?"},
        {"a%e4b", "a\xE4\x62"},
        // One digit at the very end, or none: nothing beyond the input is read.
        {"%4", "\x04"},
        {"%", "?"},
        {"ab%", "ab?"},
        {"%4z!", std::string("\x04!")},          // one digit is enough; three bytes are used
        {"%+1x", "?x"},                          // a sign is no digit
        {"% 41", "?1"},                          // nor is a blank
        {"%0x41", std::string(1, '\0') + "41"},  // "0x" is not a prefix
        {"plain+text", "plain+text"},
    };
    for (const auto& c : cases) {
        std::string out = "stale";
        EXPECT_EQ(UrlDecode(c.in, out), c.out) << c.in;
    }
}

TEST(UrlDecode, UndoesUrlEncodeForEveryByte) {
    std::string all;
    for (int b = 1; b < 256; ++b)
        all.push_back(static_cast<char>(b));
    std::string encoded, decoded;
    UrlEncode(all, encoded);
    EXPECT_EQ(UrlDecode(encoded, decoded), all);
}

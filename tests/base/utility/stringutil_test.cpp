#include "base/utility/stringutil.h"

#include <gtest/gtest.h>

TEST(SplitString, KeepsInnerEmptyPartsAndDropsATrailingOne) {
    const struct {
        std::wstring text;
        std::vector<std::wstring> parts;
    } cases[] = {
        {L"a||b|", {L"a", L"", L"b"}},
        {L"", {}},
        {L"|a", {L"", L"a"}},
        {L"a", {L"a"}},
        {L"|", {L""}},
        {L"||", {L"", L""}},
        {L"0|id|pid|\\a\\b", {L"0", L"id", L"pid", L"\\a\\b"}},
    };
    for (const auto& c : cases) {
        std::vector<std::wstring> parts = {L"old"};  // appended to, not cleared
        SplitString(c.text, L'|', parts);
        ASSERT_EQ(parts.front(), L"old");
        EXPECT_EQ(std::vector<std::wstring>(parts.begin() + 1, parts.end()), c.parts) << c.text;
    }
}

TEST(CompareSwitch, OrdinalOrCaseInsensitive) {
    EXPECT_EQ(CompareSwitch(L"-hasupdate", L"-hasupdate", false), 0);
    EXPECT_NE(CompareSwitch(L"-HasUpdate", L"-hasupdate", false), 0);
    EXPECT_EQ(CompareSwitch(L"-HasUpdate", L"-hasupdate", true), 0);
    EXPECT_EQ(CompareSwitch(L"-W", L"-w", true), 0);
    EXPECT_EQ(CompareSwitch(L"-a", L"-b", false), -1);
    EXPECT_EQ(CompareSwitch(L"-b", L"-a", true), 1);
    EXPECT_NE(CompareSwitch(L"-w", L"-wx", true), 0);
}

TEST(IsNullOrEmpty, NullAndEmptyOnly) {
    EXPECT_TRUE(IsNullOrEmpty(nullptr));
    EXPECT_TRUE(IsNullOrEmpty(L""));
    EXPECT_FALSE(IsNullOrEmpty(L" "));
}

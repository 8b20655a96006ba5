// Sharer lists in the cache: any field, separators and escapes included,
// reads back as written, and text written before fields were escaped (or
// damaged) reads as it always did.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/localstorage/localstorage/sharerlist.h"
#include "platform/strings.h"

namespace {

bool SameSharer(const SharerInfo& a, const SharerInfo& b) {
    return a.nickName == b.nickName && a.userId == b.userId && a.email == b.email && a.rights == b.rights;
}

TEST(SharerList, AnyFieldReadsBackAsWritten) {
    const std::vector<SharerInfo> sharers = {
        {L"李明", L"1001", L"li@example.com", 1},
        {L"", L"", L"", 0},
        {L"last|", L"2", L"l@x", 1},
        {L"|,|", L"1", L"q@x", 3},
        {L"x|1,2,3", L"u1", L"a@x", 1},
        {L"n", L"u|v,w", L"e,ma|il", 3},
        {L"%7C%2C%25", L"%", L"100%,", 2},
        {L"\u674E|\u660E,", L"9", L"|", 1},
    };
    for (const SharerInfo& sharer : sharers) {
        for (const std::vector<SharerInfo>& list :
             {std::vector<SharerInfo>{sharer}, std::vector<SharerInfo>{sharer, {L"z", L"2", L"z@x", 1}}}) {
            const std::wstring text = FormatSharerList(list);
            SCOPED_TRACE(WideToUtf8(text));
            std::vector<SharerInfo> back;
            ParseSharerList(text, back);
            ASSERT_EQ(list.size(), back.size());
            for (size_t i = 0; i < list.size(); ++i)
                EXPECT_TRUE(SameSharer(list[i], back[i])) << i;
        }
    }
}

// Appends to what the list holds, and never reads out of range.
TEST(SharerList, OldAndDamagedTextReadsAsBefore) {
    struct Case {
        const wchar_t* text;
        std::vector<SharerInfo> read;
    };
    const std::vector<Case> cases = {
        {L"", {}},
        {L"userId1,3,email1,nick1|userId2,1,email2,nick2",
         {{L"nick1", L"userId1", L"email1", 3}, {L"nick2", L"userId2", L"email2", 1}}},
        {L"u,1,e,a|b", {{L"a|b", L"u", L"e", 1}}},
        {L"u,1,e,a,b|v,2,f,c", {{L"a,b", L"u", L"e", 1}, {L"c", L"v", L"f", 2}}},
        {L"u,1,e,50% off|v,2,f,%41", {{L"50% off", L"u", L"e", 1}, {L"%41", L"v", L"f", 2}}},
        {L"u,x,e", {{L"", L"u", L"e", 0}}},
        {L",,,,,,", {{L",,,", L"", L"", 0}}},
        {L"|u,1,e,n", {{L"", L"", L"", 0}, {L"n", L"u", L"e", 1}}},
        {L"u,99999999999,e,n", {{L"n", L"u", L"e", INT32_MAX}}},
        {L",", {{L"", L"", L"", 0}}},
        {L"|", {{L"|", L"", L"", 0}}},
        {L"u", {{L"", L"u", L"", 0}}},
        {L"u,", {{L"", L"u", L"", 0}}},
        {L"u,3", {{L"", L"u", L"", 3}}},
        {L"\u4E2D|,|\u4E2D,", {{L"|,|\u4E2D,", L"\u4E2D", L"", 0}}},
    };
    const SharerInfo kept{L"kept", L"0", L"", 0};
    for (const Case& c : cases) {
        SCOPED_TRACE(WideToUtf8(c.text));
        std::vector<SharerInfo> back{kept};
        ParseSharerList(c.text, back);
        ASSERT_EQ(back.size(), c.read.size() + 1);
        EXPECT_TRUE(SameSharer(back[0], kept));
        for (size_t i = 0; i < c.read.size(); ++i)
            EXPECT_TRUE(SameSharer(back[i + 1], c.read[i])) << i;
    }
}

}  // namespace

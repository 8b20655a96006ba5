// Sharer lists in the cache: any field, separators and escapes included,
// reads back as written, and text written before fields were escaped reads as
// it always did.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/localstorage/localstorage/sharerlist.h"

namespace {

std::string Narrow(const std::wstring& text) {
    return std::string(text.begin(), text.end());
}

TEST(SharerFields, AnyFieldReadsBackAsWritten) {
    const std::vector<SharerInfo> sharers = {
        {L"x|1,2,3", L"u1", L"a@x", 1},     {L"n", L"u|v,w", L"e,ma|il", 3},
        {L"%7C%2C%25", L"%", L"100%,", 2},  {L"", L"", L"", 0},
        {L"\u674E|\u660E,", L"9", L"|", 1},
    };
    for (const SharerInfo& sharer : sharers) {
        for (const std::vector<SharerInfo>& list :
             {std::vector<SharerInfo>{sharer}, std::vector<SharerInfo>{sharer, {L"z", L"2", L"z@x", 1}}}) {
            const std::wstring text = FormatSharerList(list);
            SCOPED_TRACE(Narrow(text));
            std::vector<SharerInfo> back;
            ParseSharerList(text, back);
            ASSERT_EQ(list.size(), back.size());
            for (size_t i = 0; i < list.size(); ++i) {
                EXPECT_EQ(list[i].nickName, back[i].nickName);
                EXPECT_EQ(list[i].userId, back[i].userId);
                EXPECT_EQ(list[i].email, back[i].email);
                EXPECT_EQ(list[i].rights, back[i].rights);
            }
        }
    }
}

TEST(SharerFields, UnescapedOldTextReadsAsBefore) {
    struct Case {
        const wchar_t* text;
        std::vector<std::wstring> nickNames;
    };
    const std::vector<Case> cases = {
        {L"u,1,e,a|b", {L"a|b"}},
        {L"u,1,e,a,b|v,2,f,c", {L"a,b", L"c"}},
        {L"u,1,e,50% off|v,2,f,%41", {L"50% off", L"%41"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Narrow(c.text));
        std::vector<SharerInfo> back;
        ParseSharerList(c.text, back);
        ASSERT_EQ(c.nickNames.size(), back.size());
        for (size_t i = 0; i < back.size(); ++i)
            EXPECT_EQ(c.nickNames[i], back[i].nickName);
    }
}

}  // namespace

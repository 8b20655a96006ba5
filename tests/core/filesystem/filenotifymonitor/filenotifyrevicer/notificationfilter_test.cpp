#include "core/filesystem/filenotifymonitor/filenotifyrevicer/notificationfilter.h"

#include <gtest/gtest.h>

#include "core/filesystem/filenotifymonitor/filenotifyrevicer/directorychangehandler.h"

TEST(NotificationFilter, FlagsPatternsAndTheHandlerDecideTogether) {
    struct Case {
        uint32_t flags;
        int action;
        std::wstring path, newPath, includes, excludes;
        bool handlerSays;
        bool passes;
        int handlerAsked;
    };
    const std::wstring d = L"/w";
    const std::vector<Case> cases = {
        // No patterns and the handler's filter: every change reaches the slots.
        {8, kChangeAdded, L"/w/a.txt", L"", L"", L"", true, true, 1},
        {8, kChangeAdded, L"/w/a.txt", L"", L"", L"", false, false, 1},
        {8, kChangeAdded, L"/w/a.txt", L"", L"*.txt", L"", true, true, 1},
        {8, kChangeAdded, L"/w/a.doc", L"", L"*.txt;*.ini", L"", true, false, 0},
        {8, kChangeAdded, L"/w/x/a.ini", L"", L"*.txt;*.ini", L"a.*", true, false, 0},
        // A rename passes on its new name.
        {8, kChangeRenamed, L"/w/a.tmp", L"/w/a.txt", L"*.txt", L"", true, true, 1},
        // Partial path tests what lies below the watched folder, else the full path.
        {4, kChangeAdded, L"/w/x/a.txt", L"", L"x/*", L"", true, true, 1},
        {0x100, kChangeAdded, L"/w/x/a.txt", L"", L"x/*", L"", true, false, 0},
        {0x100, kChangeAdded, L"/w/x/a.txt", L"", L"/w/?/*.txt", L"", true, true, 1},
        // Ask first: the handler's no wins over matching patterns, asked once.
        {8 | 16, kChangeAdded, L"/w/a.txt", L"", L"*.txt", L"", false, false, 1},
        {8 | 16, kChangeAdded, L"/w/a.txt", L"", L"*.txt", L"", true, true, 1},
        // Never ask; with no patterns either, nothing is tested.
        {8 | 32, kChangeAdded, L"/w/a.doc", L"", L"*.txt", L"", false, false, 0},
        {1 | 32, kChangeAdded, L"/w/a.doc", L"", L"*.txt", L"", false, true, 0},
        {1, kChangeAdded, L"/w/a.doc", L"", L"*.txt", L"", false, false, 1},
        // Lifecycle reports always pass.
        {8, kChangeReadError, L"/w", L"", L"*.txt", L"", false, true, 0},
    };
    for (size_t i = 0; i < cases.size(); ++i) {
        const Case& c = cases[i];
        SCOPED_TRACE(i);
        int asked = 0;
        bool got = PassesNotificationFilter(c.flags, c.action, c.path, c.newPath, d,
                                            SplitPatterns(c.includes), SplitPatterns(c.excludes), [&] {
                                                ++asked;
                                                return c.handlerSays;
                                            });
        EXPECT_EQ(got, c.passes);
        EXPECT_EQ(asked, c.handlerAsked);
    }
}

TEST(NotificationFilter, WildcardsMatchRunsAndSingleCharactersExactly) {
    struct Case {
        const wchar_t* pattern;
        const wchar_t* text;
        bool matches;
    };
    const std::vector<Case> cases = {
        {L"*", L"", true},
        {L"*.txt", L"a.txt", true},
        {L"*.txt", L"a.TXT", false},
        {L"a?c", L"abc", true},
        {L"a?c", L"ac", false},
        {L"a*b*c", L"axxbyyc", true},
        {L"a*b*c", L"axxbyy", false},
        {L"*a", L"aaa", true},
        {L"", L"x", false},
        {L"文*", L"文件.txt", true},
        {L"a*", L"a*", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.pattern);
        EXPECT_EQ(WildcardMatch(c.pattern, c.text), c.matches);
    }
}

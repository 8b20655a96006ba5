// Which commands the explorer allows, from one table of situations.
#include "ui/middlewindow/explorerwindow/explorerrules.h"

#include <gtest/gtest.h>

#include <map>

#include "ui/mainwindowpanes.h"

namespace pellux_test {
namespace {

TEST(ExplorerRulesTest, FollowSectionSelectionAndWriteBit) {
    // Share rights as the local cache would answer them.
    const std::map<std::wstring, int> rights = {
        {L"w", 2}, {L"rw", 3}, {L"r", 1}, {L"item-w", 2}, {L"item-rw", 3}};
    auto lookup = [rights](const std::wstring& id) {
        std::vector<SharerInfo> out;
        auto it = rights.find(id);
        if (it != rights.end()) {
            SharerInfo s;
            s.rights = it->second;
            out.push_back(s);
        }
        return out;
    };
    struct Case {
        const char* what;
        int type;
        std::wstring parentId;
        std::vector<int> rows;
        std::wstring firstId;
        bool pending;
        // upload, download, rename, delete, move, share, view
        std::string expected;
    };
    const std::vector<Case> cases = {
        {"my files, one row", kNavigateMyFiles, L"", {1}, L"f", false, "1111111"},
        {"my files, two rows", kNavigateMyFiles, L"", {1, 2}, L"f", false, "1101101"},
        {"parent row selected first", kNavigateMyFiles, L"p", {0, 1}, L"", false, "1000001"},
        {"nothing selected", kNavigateMyFiles, L"p", {}, L"", false, "1000000"},
        {"new folder pending", kNavigateMyFiles, L"p", {3}, L"", true, "0010000"},
        {"shared by me, root", kNavigateShareToOther, L"", {1}, L"f", false, "0111011"},
        {"shared by me, below", kNavigateShareToOther, L"p", {1}, L"f", false, "1111011"},
        {"shared with me, root of people", kNavigateShareToMe, L"", {1}, L"bob@x", false, "0000001"},
        {"shared with me, write bit on both", kNavigateShareToMe, L"w", {1}, L"item-w", false, "1111111"},
        {"shared with me, read and write", kNavigateShareToMe, L"rw", {1}, L"item-rw", false, "1111111"},
        {"shared with me, read only", kNavigateShareToMe, L"r", {1}, L"item-rw", false, "0111011"},
        {"shared with me, ids with @", kNavigateShareToMe, L"w@x", {1}, L"item-w", false, "0100011"},
        {"shared with me, pending new folder", kNavigateShareToMe, L"w", {4}, L"", true, "0010000"},
        {"recycle bin", kNavigateRecycle, L"", {1, 2}, L"r1", false, "0001100"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const ExplorerRules r(ExplorerRuleState{c.type, c.parentId, c.rows, c.firstId, c.pending, lookup});
        std::string got;
        for (bool b : {r.CanUpload(), r.CanDownload(), r.CanRename(), r.CanDelete(), r.CanMove(),
                       r.CanShare(), r.CanView()})
            got += b ? '1' : '0';
        EXPECT_EQ(got, c.expected);
        EXPECT_EQ(r.CanCopy(), r.CanDownload());
    }
}

}  // namespace
}  // namespace pellux_test

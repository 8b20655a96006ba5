// The explorer's listing: sorting, history and breadcrumb, recycle-bin
// paging, the status line and failed listings, each as the user sees rows.
#include <QScrollBar>
#include <QTest>

#include "skingui/listviewctrlex.h"
#include "skingui/skinstatic.h"
#include "tests/ui/middlewindow/explorerwindow/explorerfixture.h"

namespace pellux_test {
namespace {

using NameList = std::vector<std::wstring>;

TEST_F(ExplorerTest, SortingKeepsTheParentRowOnTopAndOrdersByKindThenColumn) {
    fs->folders[L""] = {Item(0, L"b.txt", L"f1", L"", 5000000000LL), Item(1, L"Alpha", L"d1", L""),
                        Item(0, L"A.txt", L"f2", L"", 600000000), Item(1, L"zeta", L"d2", L""),
                        Item(0, L"c.txt", L"f3", L"", 7000)};
    Open();
    struct Case {
        const char* what;
        int clickColumn;  // -1: as listed
        NameList names;
    };
    const NameList zToA = {L"..", L"zeta", L"Alpha", L"c.txt", L"b.txt", L"A.txt"};
    const std::vector<Case> cases = {
        {"after a listing: folders first, Z to A", -1, zToA},
        {"one click on the name: files first, A to Z",
         0,
         {L"..", L"A.txt", L"b.txt", L"c.txt", L"Alpha", L"zeta"}},
        {"again: back to Z to A", 0, zToA},
        {"size ascending compares 64 bits (a stable sort)",
         1,
         {L"..", L"c.txt", L"A.txt", L"b.txt", L"zeta", L"Alpha"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.clickColumn >= 0)
            window->SortByColumn(c.clickColumn);
        EXPECT_EQ(Names(), c.names);
    }
    // A new folder being named stays last whatever the sort.
    ASSERT_EQ(window->RunCommand(CExplorerWindow::kCmdNewFolder), S_OK);
    window->SortByColumn(0);
    EXPECT_EQ(Names().back(), L"新建文件夹");
    EXPECT_EQ(Names().front(), L"..");
    EXPECT_EQ(window->Model()->data(window->Model()->index(RowOf(L"b.txt"), 1), Qt::DisplayRole).toString(),
              QStringLiteral("4.66G"));
    SaveShot(*window, "explorer_sorted_details");
}

TEST_F(ExplorerTest, HistoryAndBreadcrumbFollowTheEntriesOwnPathAndSection) {
    fs->folders[L""] = {Item(1, L"A", L"a", L"")};
    fs->folders[L"a"] = {Item(1, L"B's <b>", L"b", L"a")};
    fs->folders[L"b"] = {Item(0, L"x.txt", L"x", L"b")};
    fs->shareToOther[L""] = {Item(1, L"A", L"s", L"")};
    Open();
    auto crumbs = [&] {
        std::vector<std::pair<std::wstring, std::wstring>> out;  // link name, text
        SKINGUI::MultiLineFormatControl& page = window->Breadcrumb()->Format();
        for (int e = 0; e < page.ElementCount(); ++e) {
            if (const SKINGUI::ActionRecord* a = page.FindAction(e))
                out.emplace_back(a->name.toStdWString(), page.Element(e)->text.toStdWString());
        }
        return out;
    };
    ASSERT_EQ(window->OpenRow(RowOf(L"A")), S_OK);
    ASSERT_EQ(window->OpenRow(RowOf(L"B's <b>")), S_OK);
    EXPECT_EQ(crumbs(), (std::vector<std::pair<std::wstring, std::wstring>>{
                            {L"\\", L"根目录"}, {L"\\A", L"A"}, {L"\\A\\B's <b>", L"B's <b>"}}));
    SaveShot(*window, "explorer_breadcrumb_quote");

    struct Step {
        const char* what;
        std::function<HRESULT()> act;
        HRESULT result;
        std::wstring parentId, path;
        int type;
    };
    const std::vector<Step> steps = {
        {"back", [&] { return window->GoBack(); }, S_OK, L"a", L"\\A", 0},
        {"forward", [&] { return window->GoForward(); }, S_OK, L"b", L"\\A\\B's <b>", 0},
        {"breadcrumb link", [&] { return window->NavigateTo(0, L"\\A"); }, S_OK, L"a", L"\\A", 0},
        {"unknown path stays", [&] { return window->NavigateTo(0, L"\\Q"); }, E_INVALIDARG, L"a", L"\\A", 0},
        {"unknown ancestor stays", [&] { return window->NavigateTo(0, L"\\Q\\A"); }, E_INVALIDARG, L"a",
         L"\\A", 0},
        {"ids resolve within the section", [&] { return window->NavigateTo(1, L"\\A"); }, E_INVALIDARG, L"a",
         L"\\A", 0},
        {"another section", [&] { return window->ShowSection(0, 1); }, S_OK, L"", L"\\", 1},
        {"back crosses sections", [&] { return window->GoBack(); }, S_OK, L"a", L"\\A", 0},
        {"parent row", [&] { return window->OpenRow(0); }, S_OK, L"", L"\\", 0},
        {"parent row at the root", [&] { return window->OpenRow(0); }, S_OK, L"", L"\\", 0},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.what);
        EXPECT_EQ(s.act(), s.result);
        EXPECT_EQ(window->CurrentParentId(), s.parentId);
        EXPECT_EQ(window->CurrentPath(), s.path);
        EXPECT_EQ(window->NavigateType(), s.type);
    }
}

TEST_F(ExplorerTest, RecycleBinPagesUntilAShortPageOrAFailure) {
    auto page = [](int first, int count) {
        std::vector<RemoteItem> items;
        for (int i = 0; i < count; ++i) {
            RemoteItem item = Item(0, L"del" + std::to_wstring(first + i) + L".txt",
                                   L"r" + std::to_wstring(first + i), L"");
            item.opVer = 4000 - first - i;
            items.push_back(item);
        }
        return items;
    };
    struct Case {
        const char* what;
        QSize size;
        HRESULT secondPage;
        bool scroll;
        int rows;
    };
    const std::vector<std::string> calls = {"GetRecycle 5000000001", "GetRecycle 3873"};
    const std::vector<Case> cases = {
        {"a full page, then a short one on scrolling", QSize(900, 500), S_OK, true, 1 + 133},
        {"no scroll bar: the next page comes at once", QSize(900, 3600), S_OK, false, 1 + 133},
        {"a failed page keeps the rows", QSize(900, 500), E_FAIL, true, 1 + 128},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fs->results.erase("GetRecycle");
        fs->SetRecyclePages({page(0, 128), page(128, 5)});
        Open(c.size);
        fs->ClearCalls();
        ASSERT_EQ(window->ShowSection(0, kNavigateRecycle), S_OK);
        fs->results["GetRecycle"] = c.secondPage;
        if (c.scroll) {
            QScrollBar* bar = window->CurrentView()->verticalScrollBar();
            bar->setValue(bar->maximum());
            bar->setValue(bar->maximum());
        }
        EXPECT_EQ(CallsOf("GetRecycle"), calls);
        EXPECT_EQ(window->Model()->rowCount(), c.rows);
    }
}

TEST_F(ExplorerTest, StatusTextCountsRowsAndAFailedListingLeavesItAlone) {
    fs->folders[L""] = {Item(1, L"docs", L"d", L""), Item(0, L"a.txt", L"f", L"")};
    Open();
    EXPECT_EQ(main.status, L"共 1个文件夹，1个文件");
    EXPECT_EQ(main.total, uint64_t(1) << 32);
    ASSERT_EQ(window->OpenRow(RowOf(L"docs")), S_OK);
    EXPECT_EQ(Names(), NameList{L".."});
    EXPECT_EQ(main.status, L"共 0个文件夹，0个文件");
    fs->results["Dir"] = E_RESULT_SERVER_BUSY;
    EXPECT_EQ(window->GoBack(), E_RESULT_SERVER_BUSY);
    EXPECT_EQ(Names(), NameList{L".."});
    EXPECT_EQ(main.status, L"共 0个文件夹，0个文件");
    fs->results.erase("Dir");
    fs->searchHits = {Item(0, L"hit.txt", L"h", L"x")};
    EXPECT_EQ(window->FullTextSearch(L"hit"), S_OK);
    EXPECT_EQ(Names(), (NameList{L"..", L"hit.txt"}));
}

TEST_F(ExplorerTest, ColumnWidthsAndRememberedUploadAnswersAreStoredOnlyWhenDue) {
    Open();
    auto widths = [] {
        std::wstring text;
        return GetCoreAccess().GetUserValue(text, L"_ExplorerHeaderWidth", L"");
    };
    window->DetailsView()->setColumnWidth(0, 0);
    window->DetailsView()->setColumnWidth(1, 120);
    window->SetViewMode(CExplorerModel::kList);
    EXPECT_EQ(widths(), L"250|120|160|150");  // a column dragged shut keeps its default
    ASSERT_EQ(GetCoreAccess().SetUserValue(L"_ExplorerHeaderWidth", L"300|90|100|120"), S_OK);
    window->SaveColumnWidths();  // not in details: nothing to store
    EXPECT_EQ(widths(), L"300|90|100|120");
    window.reset();
    Open();
    EXPECT_EQ(window->DetailsView()->columnWidth(0), 300);

    // With no transfer pending, the idle turn forgets the upload "exists" answers.
    for (const wchar_t* key : {L"Wizard_UpLoadFileExist", L"Wizard_UpLoadFolderExist"})
        ASSERT_EQ(GetCoreAccess().SetUserIntValue(key, 1), S_OK);
    EXPECT_TRUE(QTest::qWaitFor(
        [] {
            return GetCoreAccess().GetUserIntValue(L"Wizard_UpLoadFileExist") == 0 &&
                   GetCoreAccess().GetUserIntValue(L"Wizard_UpLoadFolderExist") == 0;
        },
        5000));
}

}  // namespace
}  // namespace pellux_test

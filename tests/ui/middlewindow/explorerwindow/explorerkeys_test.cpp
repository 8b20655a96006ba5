// The explorer as the keyboard and the toolbar drive it: which keys run which
// command and which reach the list, the five views, and the toolbar and
// history buttons following the rules.
#include <QClipboard>
#include <QListView>
#include <QMimeData>
#include <QTest>
#include <QToolButton>
#include <QUrl>

#include "skingui/toolbarctrlex.h"
#include "tests/ui/middlewindow/explorerwindow/explorerfixture.h"

namespace pellux_test {
namespace {

class ExplorerKeyTest : public ExplorerTest {
protected:
    void SetUp() override {
        ExplorerTest::SetUp();
        fs->folders[L""] = {Item(1, L"docs", L"d", L""), Item(0, L"a.txt", L"f", L""),
                            Item(0, L"c.txt", L"g", L""), Item(0, L"v.txt", L"h", L"")};
        fs->folders[L"d"] = {Item(0, L"in.txt", L"i", L"d")};
        Open();
    }
    QString CurrentName() const {
        const QModelIndex i = window->Selection()->currentIndex();
        return i.isValid() ? window->Model()->data(i.siblingAtColumn(0), Qt::DisplayRole).toString()
                           : QString();
    }
};

TEST_F(ExplorerKeyTest, KeysRunTheirCommandsOnlyWhenFreeAndOutsideTheRecycleBin) {
    const std::string dir = MakeTempDir("keys");
    ASSERT_TRUE(WriteFile(dir + "/up.txt", "x"));
    bridge->SetAnswer(L"Wizard_DeleteFiles", kAskDefault);
    // prep: 0 nothing, 1 a new folder row being named, 2 a local file on the clipboard.
    struct Case {
        const char* what;
        int section, prep;
        std::wstring select;
        Qt::Key key;
        Qt::KeyboardModifiers mods;
        std::vector<std::string> calls;
        QString current;
        std::wstring path;
        bool editing;
    };
    const int my = kNavigateMyFiles, bin = kNavigateRecycle;
    const Qt::KeyboardModifiers none = Qt::NoModifier, ctrl = Qt::ControlModifier;
    const std::vector<Case> cases = {
        {"F5 lists again", my, 0, L"a.txt", Qt::Key_F5, none, {"Dir "}, "", L"\\", false},
        {"Enter opens the folder", my, 0, L"docs", Qt::Key_Return, none, {"Dir d"}, "..", L"\\docs", false},
        {"Backspace goes back", my, 0, L"..", Qt::Key_Backspace, none, {"Dir d"}, "", L"\\docs", false},
        {"Delete asks and deletes",
         my,
         0,
         L"a.txt",
         Qt::Key_Delete,
         none,
         {"Delete f", "Dir "},
         "",
         L"\\",
         false},
        {"F2 renames", my, 0, L"a.txt", Qt::Key_F2, none, {}, "a.txt", L"\\", true},
        {"a plain C searches the list", my, 0, L"a.txt", Qt::Key_C, none, {}, "c.txt", L"\\", false},
        {"a plain V searches the list", my, 0, L"a.txt", Qt::Key_V, none, {}, "v.txt", L"\\", false},
        {"Ctrl+V uploads the clipboard",
         my,
         2,
         L"a.txt",
         Qt::Key_V,
         ctrl,
         {"Dir ", "Upload \\up.txt"},
         "a.txt",
         L"\\",
         false},
        {"nothing runs while a new folder is named", my, 1, L"a.txt", Qt::Key_F5, none, {}, "", L"\\", true},
        {"Delete does nothing in the bin", bin, 0, L"a.txt", Qt::Key_Delete, none, {}, "a.txt", L"", false},
        {"F5 does nothing in the bin", bin, 0, L"a.txt", Qt::Key_F5, none, {}, "a.txt", L"", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.section == bin) {
            fs->SetRecyclePages({{Item(0, L"a.txt", L"r", L"")}});
            window->ShowSection(0, kNavigateRecycle);
        }
        if (c.prep == 2) {
            auto* data = new QMimeData();
            data->setUrls({QUrl::fromLocalFile(QString::fromStdString(dir + "/up.txt"))});
            QApplication::clipboard()->setMimeData(data);
        }
        Settle();
        window->CurrentView()->keyboardSearch(QString());
        Select({c.select});
        if (c.prep == 1)
            ASSERT_EQ(window->RunCommand(CExplorerWindow::kCmdNewFolder), S_OK);
        fs->ClearCalls();
        QTest::keyClick(window->CurrentView(), c.key, c.mods);
        Settle();
        EXPECT_EQ(CallsOf({"Dir", "Delete", "Upload", "CleanRecycle", "GetMaxVer"}), c.calls);
        if (!c.current.isEmpty())
            EXPECT_EQ(CurrentName(), c.current);
        if (c.section == my)
            EXPECT_EQ(window->CurrentPath(), c.path);
        EXPECT_EQ(window->LabelEditing() || window->NewFolderPending(), c.editing);
        if (c.editing)
            EndEdit(QString(), Qt::Key_Escape);
        window->ShowSection(0, kNavigateMyFiles);
    }
}

TEST_F(ExplorerKeyTest, ViewCommandsSwitchTheListAndItsLayout) {
    struct Case {
        int command, mode;
        bool details;
        QListView::ViewMode look;
        QSize grid;
    };
    using W = CExplorerWindow;
    const std::vector<Case> cases = {
        {W::kCmdViewIcons, CExplorerModel::kIcons, false, QListView::IconMode, QSize(112, 84)},
        {W::kCmdViewList, CExplorerModel::kList, false, QListView::ListMode, QSize(220, 22)},
        {W::kCmdViewThumbnails, CExplorerModel::kThumbnails, false, QListView::IconMode, QSize(120, 136)},
        {W::kCmdViewTiles, CExplorerModel::kTiles, false, QListView::ListMode, QSize(240, 58)},
        {W::kCmdViewDetails, CExplorerModel::kDetails, true, QListView::ListMode, QSize(240, 58)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        EXPECT_EQ(window->RunCommand(c.command), S_OK);
        EXPECT_EQ(window->ViewMode(), c.mode);
        EXPECT_EQ(window->CurrentView() != window->ItemsView(), c.details);
        EXPECT_EQ(window->ItemsView()->viewMode(), c.look);
        EXPECT_EQ(window->ItemsView()->gridSize(), c.grid);
    }
}

TEST_F(ExplorerKeyTest, ToolbarAndHistoryButtonsFollowTheRules) {
    using W = CExplorerWindow;
    const std::vector<int> commands = {W::kCmdRefresh, W::kCmdUpload,  W::kCmdDownload, W::kCmdNewFolder,
                                       W::kCmdRename,  W::kCmdDelete,  W::kCmdMove,     W::kCmdShare,
                                       W::kCmdView,    W::kCmdViewMenu};
    QToolButton *back = nullptr, *forward = nullptr;
    for (QToolButton* b : window->findChildren<QToolButton*>()) {
        if (b->toolTip() == QStringLiteral("后退"))
            back = b;
        if (b->toolTip() == QStringLiteral("前进"))
            forward = b;
    }
    ASSERT_TRUE(back && forward);
    // step: 0 select, 1 open the selected folder, 2 go back.
    struct Case {
        int step;
        std::vector<std::wstring> select;
        bool download, rename, back, forward;
    };
    const std::vector<Case> cases = {
        {0, {}, false, false, false, false},
        {0, {L"a.txt"}, true, true, false, false},
        {0, {L"a.txt", L"c.txt"}, true, false, false, false},
        {1, {L"docs"}, false, false, true, false},
        {2, {}, false, false, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.step);
        if (c.step == 0)
            Select(c.select);
        else if (c.step == 1)
            window->OpenRow(RowOf(L"docs"));
        else
            window->GoBack();
        Settle();
        std::vector<bool> shown, ruled;
        for (int command : commands) {
            shown.push_back(window->ToolBar()->IsButtonEnabled(command));
            ruled.push_back(window->IsCommandEnabled(command));
        }
        EXPECT_EQ(shown, ruled);
        EXPECT_EQ(window->ToolBar()->IsButtonEnabled(W::kCmdDownload), c.download);
        EXPECT_EQ(window->ToolBar()->IsButtonEnabled(W::kCmdRename), c.rename);
        EXPECT_EQ(back->isEnabled(), c.back);
        EXPECT_EQ(forward->isEnabled(), c.forward);
    }
}

}  // namespace
}  // namespace pellux_test

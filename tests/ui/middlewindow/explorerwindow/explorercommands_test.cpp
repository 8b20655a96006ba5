// The explorer's commands as the user drives them: label edits for new
// folders and renames, the jobs on the waiting dialog with scripted answers,
// paste, download, move and restore.
#include <QClipboard>
#include <QMimeData>
#include <QUrl>

#include "tests/ui/middlewindow/explorerwindow/explorerfixture.h"
#include "ui/middlewindow/explorerwindow/filetreedlg.h"

namespace pellux_test {
namespace {

class ExplorerCommandTest : public ExplorerTest {
protected:
    void SetUp() override {
        ExplorerTest::SetUp();
        fs->folders[L""] = {Item(1, L"docs", L"d", L""), Item(0, L"a.txt", L"f", L"", 10),
                            Item(0, L"b.txt", L"g", L"", 20)};
        Open();
    }
};

TEST_F(ExplorerCommandTest, LabelEditsEndAsTheCoreAnswers) {
    const std::wstring sameName = L"无法重命名，指定的文件与现有文件重名，请重新命名!";
    const std::wstring badChars = L"无法重命名，含有不合法字符，请重新命名!";
    // message: 0 none, 1 same name, 2 bad characters; lastRowName "" when the row is gone.
    struct Case {
        const char* what;
        bool newFolder;
        QString text;
        Qt::Key key;
        HRESULT core;
        const char* call;
        int message;
        std::wstring lastRowName;
        bool hasItem, stillEditing;
    };
    const std::vector<Case> cases = {
        {"new folder left empty", true, "", Qt::Key_Return, S_OK, "NewFolder \\新建文件夹\\", 0,
         L"新建文件夹", 1, 0},
        {"new folder cancelled", true, "x", Qt::Key_Escape, S_OK, "NewFolder \\新建文件夹\\", 0,
         L"新建文件夹", 1, 0},
        {"new folder named", true, "Plans", Qt::Key_Return, S_OK, "NewFolder \\Plans\\", 0, L"Plans", 1, 0},
        {"new folder that exists", true, "docs", Qt::Key_Return, E_RESULT_TARGET_EXIST, "NewFolder \\docs\\",
         1, L"新建文件夹", 0, 1},
        {"new folder the core refuses", true, "x", Qt::Key_Return, E_FAIL, "NewFolder \\x\\", 0, L"", 0, 0},
        {"new folder with a colon", true, "a:b", Qt::Key_Return, S_OK, "", 2, L"新建文件夹", 0, 1},
        {"rename", false, "c.txt", Qt::Key_Return, S_OK, "Rename f=c.txt", 0, L"c.txt", 1, 0},
        {"rename to the same name", false, "a.txt", Qt::Key_Return, S_OK, "", 0, L"a.txt", 1, 0},
        {"rename onto a sibling", false, "b.txt", Qt::Key_Return, E_RESULT_TARGET_EXIST, "Rename f=b.txt", 1,
         L"a.txt", 1, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        window->Refresh();
        Settle();
        fs->ClearCalls();
        const size_t before = Messages().size();
        fs->results["NewFolder"] = c.core;
        fs->results["Rename"] = c.core;
        int row = 0;
        if (c.newFolder) {
            ASSERT_EQ(window->RunCommand(CExplorerWindow::kCmdNewFolder), S_OK);
            row = window->Model()->rowCount() - 1;
        } else {
            Select({L"a.txt"});
            row = RowOf(L"a.txt");
            ASSERT_EQ(window->RunCommand(CExplorerWindow::kCmdRename), S_OK);
        }
        EndEdit(c.text, c.key);
        EXPECT_EQ(CallsOf({"NewFolder", "Rename"}),
                  *c.call ? std::vector<std::string>{c.call} : std::vector<std::string>{});
        const std::vector<std::wstring> messages = Messages();
        std::vector<std::wstring> expected;
        if (c.message)
            expected.push_back(c.message == 1 ? sameName : badChars);
        EXPECT_EQ(std::vector<std::wstring>(messages.begin() + long(before), messages.end()), expected);
        if (c.lastRowName.empty()) {
            EXPECT_EQ(RowOf(L"新建文件夹"), -1);
            EXPECT_FALSE(window->NewFolderPending());
        } else {
            EXPECT_EQ(Names()[size_t(row)], c.lastRowName);
            EXPECT_EQ(window->Model()->ItemOfRow(row) != nullptr, c.hasItem);
        }
        EXPECT_EQ(window->LabelEditing(), c.stillEditing);
        if (c.stillEditing)
            EndEdit(QString(), Qt::Key_Escape);
        fs->results.clear();
    }
}

TEST_F(ExplorerCommandTest, DeleteAndEmptyAskThenDeleteEachItemInListOrder) {
    struct Case {
        const char* what;
        int type, command, answer;
        std::vector<std::wstring> select;
        HRESULT result;
        std::vector<std::string> calls;
    };
    const int my = kNavigateMyFiles, bin = kNavigateRecycle;
    const int del = CExplorerWindow::kCmdDelete, empty = CExplorerWindow::kCmdEmpty;
    fs->SetRecyclePages({});
    const std::vector<Case> cases = {
        {"confirmed", my, del, kAskDefault, {L"a.txt", L"docs"}, S_OK, {"Delete d", "Delete f"}},
        {"remembered, box not shown", my, del, kAskNotShown, {L"b.txt"}, S_OK, {"Delete g"}},
        {"cancelled", my, del, kAskCancel, {L"a.txt"}, 1, {}},
        {"the parent row is never acted on", my, del, kAskDefault, {L".."}, S_FALSE, {}},
        {"recycle bin deletes for good", bin, del, kAskDefault, {L"a.txt"}, S_OK, {"CleanRecycle r"}},
        {"emptying the bin cancelled", bin, empty, kAskCancel, {}, E_FAIL, {}},
        {"emptying the bin", bin, empty, kAskDefault, {}, S_OK, {"CleanRecycle r2", "CleanRecycle r"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.type == kNavigateRecycle) {
            fs->SetRecyclePages({{Item(0, L"a.txt", L"r", L""), Item(1, L"y", L"r2", L"")}});
            window->ShowSection(0, kNavigateRecycle);
        }
        bridge->SetAnswer(L"Wizard_DeleteFiles", c.answer);
        Select(c.select);
        fs->ClearCalls();
        EXPECT_EQ(window->RunCommand(c.command), c.result);
        EXPECT_EQ(CallsOf({"Delete", "CleanRecycle"}), c.calls);
        // A finished job shows the folder again.
        EXPECT_EQ(!CallsOf(c.type == kNavigateRecycle ? "GetMaxVer" : "Dir").empty(), c.result == S_OK);
    }
}

TEST_F(ExplorerCommandTest, RestoreAndMoveWorkOnTheRowsShown) {
    fs->SetRecyclePages({{Item(0, L"x", L"r1", L""), Item(1, L"y", L"r2", L"")}});
    ASSERT_EQ(window->ShowSection(0, kNavigateRecycle), S_OK);
    FileTreeResult target;
    target.id = L"t";
    CExplorerWindow::Pickers pickers;
    pickers.remoteFolder = [&target](QWidget*, const QString&, const QString&, FileTreeResult* out) {
        *out = target;
        return true;
    };
    window->SetPickers(pickers);

    // Rows in list order: the folder first.
    Select({L"x", L"y"});
    fs->ClearCalls();
    EXPECT_EQ(window->RunCommand(CExplorerWindow::kCmdMove), S_OK);
    EXPECT_EQ(CallsOf("Recover"), (std::vector<std::string>{"Recover r2>t", "Recover r1>t"}));

    window->ShowSection(0, kNavigateMyFiles);
    Select({L"a.txt"});
    fs->ClearCalls();
    EXPECT_EQ(window->RunCommand(CExplorerWindow::kCmdMove), S_OK);
    EXPECT_EQ(CallsOf("Move"), std::vector<std::string>{"Move f>t"});
}

TEST_F(ExplorerCommandTest, PasteUploadsFilesAndFoldersButNotOurMarkerOrUnsafeNames) {
    const std::string dir = MakeTempDir("paste");
    for (const char* file : {"up.txt", "A.TXT", "_pellux_copydata_123.ini", "bad:name.txt"})
        ASSERT_TRUE(WriteFile(dir + "/" + file, "x"));
    ASSERT_TRUE(QDir().mkpath(QString::fromStdString(dir + "/folder")));
    auto* data = new QMimeData();
    QList<QUrl> urls;
    for (const char* name : {"up.txt", "A.TXT", "folder", "_pellux_copydata_123.ini", "bad:name.txt"})
        urls.push_back(QUrl::fromLocalFile(QString::fromStdString(dir + "/" + name)));
    data->setUrls(urls);
    QApplication::clipboard()->setMimeData(data);
    fs->ClearCalls();
    EXPECT_EQ(window->RunCommand(CExplorerWindow::kCmdPaste), S_OK);
    EXPECT_EQ(CallsOf("Upload"), (std::vector<std::string>{"Upload \\up.txt", "Upload \\A.TXT"}));
    EXPECT_EQ(CallsOf("UploadFolder"), std::vector<std::string>{"UploadFolder \\folder"});
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_NE(Messages()[0].find(L"bad:name.txt"), std::wstring::npos);
    EXPECT_NE(RowOf(L"up.txt"), -1);
    EXPECT_NE(RowOf(L"folder"), -1);
    // The file that replaced a.txt is no second row.
    EXPECT_EQ(main.status, L"共 2个文件夹，3个文件");
}

TEST_F(ExplorerCommandTest, DownloadNeverTurnsAServerNameIntoAPathOutsideTheFolder) {
    fs->folders[L""].push_back(Item(0, L"..", L"evil", L""));
    fs->folders[L""].push_back(Item(0, L"a/b", L"evil2", L""));
    window->Refresh();
    const std::string folder = MakeTempDir("down");
    CExplorerWindow::Pickers pickers;
    pickers.localFolder = [folder](QWidget*) { return Utf8ToWide(folder); };
    window->SetPickers(pickers);
    Select({L"a.txt", L"docs", L"a/b"});
    // Row 0 is the parent row; the hostile item named ".." is another row.
    const std::vector<std::wstring> names = Names();
    for (size_t r = 1; r < names.size(); ++r) {
        if (names[r] == L"..")
            window->Selection()->select(window->Model()->index(int(r), 0),
                                        QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
    fs->ClearCalls();
    window->RunCommand(CExplorerWindow::kCmdDownload);
    EXPECT_EQ(CallsOf("Download"), std::vector<std::string>{"Download f>" + folder + "/a.txt"});
    EXPECT_EQ(CallsOf("DownloadFolder"), std::vector<std::string>{"DownloadFolder d>" + folder + "/docs"});
    ASSERT_FALSE(Messages().empty());
    EXPECT_NE(Messages().back().find(L"a/b"), std::wstring::npos);
    EXPECT_NE(Messages().back().find(L".."), std::wstring::npos);
}

}  // namespace
}  // namespace pellux_test

// A working session on the demo account: the real core against the service
// emulator, logged in through the log-in dialog, driven through the explorer
// as a person would, with a screenshot at each step.
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "tests/support/emulatorfixture.h"
#include "tests/ui/middlewindow/explorerwindow/explorerfixture.h"
#include "ui/logindlg.h"
#include "ui/main/componentwiring.h"
#include "ui/middlewindow/explorerwindow/filetreedlg.h"
#include "ui/middlewindow/explorerwindow/thumbnailworker.h"

namespace pellux_test {
namespace {

class ExplorerEndToEndTest : public EmulatorTest, public ExplorerHost {
protected:
    void SetUp() override {
        EmulatorTest::SetUp();
        if (HasFatalFailure())
            return;
        SetIniFolder(Utf8ToWide(ConfigFolder()));
        scratch = MakeTempDir("e2e");
        // The program's own components, as it installs them.
        InstallComponentMakers();
        run.Start(GetDefaultComponentMakers(), scratch, bridge.get());
    }
    void TearDown() override {
        window.reset();
        run.Stop();
        EmulatorTest::TearDown();
    }
    // True once no transfer is pending (bounded).
    static bool TransfersDone() {
        return QTest::qWaitFor(
            [] {
                std::vector<TaskInfo> pending;
                return SUCCEEDED(GetCoreAccess().GetTaskList(false, &pending)) && pending.empty();
            },
            30000);
    }

    std::string scratch;
};

TEST_F(ExplorerEndToEndTest, ADayOfWorkOnTheDemoAccount) {
    {
        CLoginDlg login(GetCoreAccess());
        login.show();
        login.AccountEdit()->setText(QStringLiteral("demo"));
        login.PasswordEdit()->setText(QStringLiteral("demo"));
        SaveShot(login, "e2e_01_login");
        // A refused log-in would wait in a message box: close it and fail.
        QTimer::singleShot(20000, [] {
            if (QWidget* box = QApplication::activeModalWidget())
                box->close();
        });
        login.LoginButton()->click();
        ASSERT_TRUE(QTest::qWaitFor([] { return GetCoreAccess().IsLoggedIn(); }, 20000));
    }
    Open(QSize(900, 560));
    for (const wchar_t* name : {L"Documents", L"Pictures", L"archive.zip", L"welcome.txt"})
        EXPECT_NE(RowOf(name), -1) << WideToUtf8(name);
    EXPECT_EQ(main.status, L"共 2个文件夹，2个文件");
    SaveShot(*window, "e2e_02_details");
    const std::vector<std::pair<int, std::string>> views = {{CExplorerModel::kList, "e2e_03_list"},
                                                            {CExplorerModel::kIcons, "e2e_04_icons"},
                                                            {CExplorerModel::kTiles, "e2e_05_tiles"}};
    for (const auto& v : views) {
        window->SetViewMode(v.first);
        SaveShot(*window, v.second);
    }
    window->SetViewMode(CExplorerModel::kDetails);
    bridge->SetAnswer(L"Wizard_OpenFolder", kAskDefault);
    ASSERT_EQ(window->OpenRow(RowOf(L"Pictures")), S_OK);
    EXPECT_EQ(window->ViewMode(), int(CExplorerModel::kThumbnails));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !window->Thumbnails()->Busy(); }, 30000));
    SaveShot(*window, "e2e_06_thumbnails");
    window->SetViewMode(CExplorerModel::kDetails);
    ASSERT_EQ(window->GoBack(), S_OK);
    ASSERT_EQ(window->OpenRow(RowOf(L"Documents")), S_OK);
    EXPECT_NE(RowOf(L"说明.txt"), -1);
    SaveShot(*window, "e2e_06_documents");
    ASSERT_EQ(window->OpenRow(0), S_OK);
    EXPECT_EQ(window->CurrentPath(), L"\\");

    // Upload a local file by command, then download it again.
    const std::string local = scratch + "/e2e-upload.txt";
    const std::string bytes = "Pellux end-to-end upload " + std::string(3000, 'x') + "\n";
    ASSERT_TRUE(WriteFile(local, bytes));
    const std::string downloads = MakeTempDir("got");
    FileTreeResult root;  // the root of my files, as the folder picker gives it
    CExplorerWindow::Pickers pickers;
    pickers.localPaths = [&](QWidget*) { return std::vector<std::wstring>{Utf8ToWide(local)}; };
    pickers.localFolder = [&](QWidget*) { return Utf8ToWide(downloads); };
    pickers.remoteFolder = [&](QWidget*, const QString&, const QString&, FileTreeResult* out) {
        *out = root;
        return true;
    };
    window->SetPickers(pickers);
    EXPECT_GE(window->RunCommand(CExplorerWindow::kCmdUpload), 0);
    ASSERT_TRUE(TransfersDone());
    ASSERT_EQ(window->Refresh(), S_OK);
    ASSERT_NE(RowOf(L"e2e-upload.txt"), -1);
    SaveShot(*window, "e2e_07_uploaded");
    Select({L"e2e-upload.txt"});
    EXPECT_GE(window->RunCommand(CExplorerWindow::kCmdDownload), 0);
    ASSERT_TRUE(TransfersDone());
    ASSERT_TRUE(QTest::qWaitFor([&] { return ReadFile(downloads + "/e2e-upload.txt") == bytes; }, 30000));

    // Rename, delete, restore from the recycle bin.
    Select({L"e2e-upload.txt"});
    ASSERT_EQ(window->RunCommand(CExplorerWindow::kCmdRename), S_OK);
    EndEdit(QStringLiteral("e2e-renamed.txt"), Qt::Key_Return);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !window->LabelEditing(); }, 10000));
    ASSERT_EQ(window->Refresh(), S_OK);
    EXPECT_EQ(RowOf(L"e2e-upload.txt"), -1);
    ASSERT_NE(RowOf(L"e2e-renamed.txt"), -1);
    bridge->SetAnswer(L"Wizard_DeleteFiles", kAskDefault);
    Select({L"e2e-renamed.txt"});
    EXPECT_EQ(window->RunCommand(CExplorerWindow::kCmdDelete), S_OK);
    EXPECT_EQ(RowOf(L"e2e-renamed.txt"), -1);
    ASSERT_EQ(window->ShowSection(0, kNavigateRecycle), S_OK);
    for (const wchar_t* name : {L"e2e-renamed.txt", L"old-draft.txt", L"Old photos"})
        EXPECT_NE(RowOf(name), -1) << WideToUtf8(name);
    SaveShot(*window, "e2e_08_recycle_bin");
    Select({L"e2e-renamed.txt"});
    EXPECT_EQ(window->RunCommand(CExplorerWindow::kCmdRestore), S_OK);
    EXPECT_EQ(RowOf(L"e2e-renamed.txt"), -1);
    // The cached listing of my files learns of the restore from the push
    // channel; a refresh (F5) asks the service at once.
    ASSERT_EQ(window->ShowSection(0, kNavigateMyFiles), S_OK);
    ASSERT_EQ(window->Refresh(), S_OK);
    EXPECT_NE(RowOf(L"e2e-renamed.txt"), -1);

    // Search finds it; the shared-with-me section shows the friend's items.
    ASSERT_EQ(window->FullTextSearch(L"e2e-renamed"), S_OK);
    EXPECT_NE(RowOf(L"e2e-renamed.txt"), -1);
    SaveShot(*window, "e2e_09_search");
    ASSERT_EQ(window->ShowSection(0, kNavigateShareToMe), S_OK);
    ASSERT_GT(window->Model()->rowCount(), 1);
    EXPECT_EQ(window->Model()->ItemOfRow(1)->isFolder, kSharerFolder);
    ASSERT_EQ(window->OpenRow(1), S_OK);
    EXPECT_GT(window->Model()->rowCount(), 1);
    SaveShot(*window, "e2e_10_shared_with_me");

    // The finished transfers are on the task list the task pane shows.
    std::vector<TaskInfo> finished;
    ASSERT_EQ(GetCoreAccess().GetTaskList(true, &finished), S_OK);
    bool transferred = false;
    for (const TaskInfo& t : finished)
        transferred |= t.itemPath == L"\\e2e-upload.txt" && t.state == 3 && t.result == S_OK;
    EXPECT_TRUE(transferred);
}

}  // namespace
}  // namespace pellux_test

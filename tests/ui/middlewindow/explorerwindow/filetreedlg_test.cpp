// The folder picker over the in-memory remote space.
#include "ui/middlewindow/explorerwindow/filetreedlg.h"

#include <QTreeWidget>

#include "ui/middlewindow/explorerwindow/exticoncache.h"

#include "tests/ui/middlewindow/explorerwindow/explorerfixture.h"

namespace pellux_test {
namespace {

QTreeWidgetItem* Child(QTreeWidgetItem* node, const QString& name) {
    for (int i = 0; i < node->childCount(); ++i) {
        if (node->child(i)->text(0) == name)
            return node->child(i);
    }
    return nullptr;
}

TEST_F(ExplorerTest, FolderPickerListsSectionsLazilyAndReportsPaths) {
    fs->folders[L""] = {Item(1, L"Work", L"w", L""), Item(0, L"top.txt", L"t", L"")};
    fs->folders[L"w"] = {Item(1, L"2026", L"y", L"w"), Item(0, L"plan.doc", L"pd", L"w")};
    fs->folders[L"y"] = {Item(0, L"only-a-file.txt", L"o", L"y")};
    fs->shareToMe[L""] = {Item(kSharerFolder, L"bob", L"bob@x", L"")};
    fs->shareToOther[L""] = {Item(1, L"Shared out", L"s@1", L""), Item(1, L"Plain", L"pl", L"")};
    fs->shareToOther[L"s@1"] = {Item(1, L"Inner", L"in", L"s@1")};
    fs->folders[L"pl"] = {Item(1, L"Deep", L"dp", L"pl")};

    const std::vector<QString> roots = {"我的Orvane", "我收到的共享文件", "我共享的文件"};
    for (bool showFiles : {true, false}) {
        SCOPED_TRACE(showFiles);
        CFileTreeDlg dialog;
        dialog.title = QStringLiteral("移动文件");
        dialog.prompt = QStringLiteral("选择移动到的位置:");
        dialog.showFiles = showFiles;
        dialog.Populate();
        QTreeWidget* tree = dialog.Tree();
        ASSERT_EQ(tree->topLevelItemCount(), 3);
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(tree->topLevelItem(i)->text(0), roots[size_t(i)]);
        QTreeWidgetItem* mine = tree->topLevelItem(0);
        EXPECT_EQ(Child(mine, "top.txt") != nullptr, showFiles);
        QTreeWidgetItem* work = Child(mine, "Work");
        ASSERT_NE(work, nullptr);
        // Folders, files and sharers each show their own kind of icon.
        ExtIconCache icons;
        const auto same = [](QTreeWidgetItem* node, const QIcon& icon) {
            return node && node->icon(0).pixmap(16).toImage() == icon.pixmap(16).toImage();
        };
        EXPECT_TRUE(same(work, icons.Folder().icon));
        EXPECT_TRUE(same(Child(mine, "top.txt"), icons.ForFileName("top.txt").icon) || !showFiles);
        EXPECT_TRUE(same(tree->topLevelItem(1)->child(0), icons.User().icon));
        fs->ClearCalls();
        tree->setCurrentItem(work);
        tree->setCurrentItem(mine);
        tree->setCurrentItem(work);
        EXPECT_EQ(CallsOf("Dir"), std::vector<std::string>{"Dir w"});  // filled once
        QTreeWidgetItem* year = Child(work, "2026");
        ASSERT_NE(year, nullptr);
        tree->setCurrentItem(year);
        EXPECT_EQ(year->childCount(), showFiles ? 1 : 0);
        EXPECT_EQ(dialog.Result().path, L"\\Work\\2026");
        EXPECT_EQ(dialog.Result().id, L"y");
        EXPECT_EQ(dialog.Result().parentId, L"w");
        tree->setCurrentItem(mine);
        EXPECT_EQ(dialog.Result().path, L"\\");
        EXPECT_EQ(dialog.Result().navigateType, kNavigateMyFiles);

        QTreeWidgetItem* out = tree->topLevelItem(2);
        fs->ClearCalls();
        tree->setCurrentItem(Child(out, "Shared out"));
        tree->setCurrentItem(Child(out, "Plain"));
        EXPECT_EQ(fs->Calls(), (std::vector<std::string>{"DirShareToOther s@1", "Dir pl"}));
        EXPECT_EQ(dialog.Result().navigateType, kNavigateShareToOther);
        if (!showFiles) {
            tree->setCurrentItem(year);
            SaveShot(dialog, "folder_picker");
        }
    }
}

TEST_F(ExplorerTest, FolderPickerOkNeedsASelection) {
    fs->folders[L""] = {Item(1, L"Work", L"w", L"")};
    CFileTreeDlg dialog;
    dialog.myFilesRoot = true;
    dialog.shareToMeRoot = false;
    dialog.shareToOtherRoot = false;
    dialog.Populate();
    dialog.show();
    dialog.Tree()->clearSelection();
    dialog.Tree()->setCurrentItem(nullptr);
    dialog.accept();
    EXPECT_TRUE(dialog.isVisible());
    dialog.Tree()->setCurrentItem(dialog.Tree()->topLevelItem(0)->child(0));
    dialog.accept();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.Result().id, L"w");
}

}  // namespace
}  // namespace pellux_test

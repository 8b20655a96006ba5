// The multi-select open dialog: folders and files together, in list order.
#include "ui/middlewindow/explorerwindow/multifiledialogex.h"

#include <QAbstractItemView>
#include <QDialogButtonBox>
#include <QDir>
#include <QPushButton>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QTest>

#include "tests/ui/middlewindow/explorerwindow/explorerfixture.h"

namespace pellux_test {
namespace {

class MultiFileDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = QString::fromStdString(MakeTempDir("multi"));
        for (const char* folder : {"alpha", "beta"})
            QDir(dir).mkdir(folder);
        for (const char* file : {"c.txt", "Makefile", "长文件名的说明文档.pdf"})
            WriteFile((dir + "/" + file).toStdString(), "x");
        dialog = std::make_unique<CMultiFileDialogEx>();
        dialog->setDirectory(dir);
        dialog->resize(640, 420);
        dialog->show();
        view = dialog->findChild<QAbstractItemView*>(QStringLiteral("listView"));
        ASSERT_NE(view, nullptr);
        ASSERT_TRUE(QTest::qWaitFor([&] { return view->model()->rowCount(view->rootIndex()) == 5; }, 10000));
    }
    QModelIndex Row(const QString& name) {
        QAbstractItemModel* m = view->model();
        for (int r = 0; r < m->rowCount(view->rootIndex()); ++r) {
            const QModelIndex i = m->index(r, 0, view->rootIndex());
            if (i.data().toString() == name)
                return i;
        }
        return QModelIndex();
    }
    std::vector<std::wstring> Paths(std::initializer_list<const char*> names) {
        std::vector<std::wstring> out;
        for (const char* n : names)
            out.push_back((dir + "/" + QString::fromUtf8(n)).toStdWString());
        return out;
    }

    QString dir;
    std::unique_ptr<CMultiFileDialogEx> dialog;
    QAbstractItemView* view = nullptr;
};

TEST_F(MultiFileDialogTest, OkTakesSelectedFoldersAndFilesInListOrder) {
    EXPECT_TRUE(Row("Makefile").isValid());  // files without an extension are listed
    for (const char* name : {"c.txt", "beta", "alpha"})
        view->selectionModel()->select(Row(name), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    QTest::qWait(20);
    // Folders in the selection neither rename nor grey OK.
    QPushButton* ok = dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Open);
    EXPECT_EQ(ok->text(), QStringLiteral("确定(&O)"));
    EXPECT_TRUE(ok->isEnabled());
    SaveShot(*dialog, "multi_select_dialog");
    dialog->accept();
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_TRUE(dialog->Collected());
    EXPECT_EQ(dialog->ChosenPaths(), Paths({"alpha", "beta", "c.txt"}));
    std::wstring first, next;
    EXPECT_TRUE(dialog->GetFirstPathName(first));
    EXPECT_EQ(first, Paths({"alpha"})[0]);
    EXPECT_TRUE(dialog->GetNextPathName(next));
    EXPECT_TRUE(dialog->GetNextPathName(next));
    EXPECT_FALSE(dialog->GetNextPathName(next));
}

TEST_F(MultiFileDialogTest, ATypedNameOrCancel) {
    struct Case {
        const char* what;
        QString typed;
        bool cancel;
        const char* chosen;
        // Set: the dialog shows this subfolder and the user types the full
        // path key by key, so that the completer selects what it names.
        const char* shownFolder;
    };
    for (const Case& c :
         std::vector<Case>{{"typed name", "Makefile", false, "Makefile", nullptr},
                           {"cancel", "c.txt", true, nullptr, nullptr},
                           {"typed path of another folder", "alpha/", false, "alpha", "beta"}}) {
        SCOPED_TRACE(c.what);
        SetUp();
        view->selectionModel()->clearSelection();
        auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        if (c.shownFolder) {
            dialog->setDirectory(dir + "/" + c.shownFolder);
            QTest::keyClicks(edit, dir + "/" + c.typed);
            QTest::qWait(50);
        } else {
            edit->setText(c.typed);
            view->selectionModel()->clearSelection();
        }
        if (c.cancel)
            dialog->reject();
        else
            dialog->accept();
        EXPECT_FALSE(dialog->isVisible());
        EXPECT_EQ(dialog->ChosenPaths(), c.chosen ? Paths({c.chosen}) : std::vector<std::wstring>());
    }
}

}  // namespace
}  // namespace pellux_test

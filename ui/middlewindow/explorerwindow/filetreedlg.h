#pragma once
// The dialog in which the user picks a remote folder (the target of a move,
// the place of a restore, a favourite): a tree whose top nodes are sections
// of the remote space and whose folders are listed the first time they are
// opened.
#include <QDialog>
#include <QString>
#include <string>

class QLabel;
class QTreeWidget;
class QTreeWidgetItem;

struct FileTreeResult {
    std::wstring id;
    std::wstring parentId;
    // "\" for a section's root.
    std::wstring path;
    int navigateType = 0;
    int kind = 1;
};

class CFileTreeDlg : public QDialog {
    Q_OBJECT
public:
    explicit CFileTreeDlg(QWidget* parent = nullptr);
    ~CFileTreeDlg() override;

    // Set before the dialog is shown.
    QString title;
    QString prompt;
    bool showFiles = true;
    bool myFilesRoot = true;
    bool shareToMeRoot = true;
    bool shareToOtherRoot = true;

    // Builds the tree (called by exec when not done yet).
    void Populate();
    // The selected node as it was last recorded.
    const FileTreeResult& Result() const { return result_; }
    bool HasSelection() const;
    QTreeWidget* Tree() const { return tree_; }
    int exec() override;
    void accept() override;

private:
    QTreeWidgetItem* AddRoot(const QString& name, int type, const QString& iconName);
    void FillChildren(QTreeWidgetItem* node);
    void LoadNode(QTreeWidgetItem* node);
    void Record(QTreeWidgetItem* node);

    QLabel* promptLabel_ = nullptr;
    QTreeWidget* tree_ = nullptr;
    FileTreeResult result_;
    bool populated_ = false;
};

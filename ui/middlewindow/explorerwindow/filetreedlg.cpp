#include "ui/middlewindow/explorerwindow/filetreedlg.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <vector>

#include "base/utility/remotepath.h"
#include "core/coreapp/coreaccess.h"
#include "ui/mainwindowpanes.h"
#include "ui/middlewindow/explorerwindow/exticoncache.h"
#include "ui/themeicon.h"

namespace {

// A node's item text: kind|id|type.
constexpr int kNodeTextRole = Qt::UserRole + 1;
constexpr int kNameRole = Qt::UserRole + 2;

QString NodeText(int kind, const std::wstring& id, int type) {
    return QStringLiteral("%1|%2|%3").arg(kind).arg(QString::fromStdWString(id)).arg(type);
}

struct NodeFields {
    int kind = 0;
    std::wstring id;
    int type = 0;
};

NodeFields ParseNode(const QTreeWidgetItem* node) {
    NodeFields f;
    if (!node)
        return f;
    const QString text = node->data(0, kNodeTextRole).toString();
    const int first = text.indexOf(u'|');
    const int last = text.lastIndexOf(u'|');
    if (first < 0 || last <= first)
        return f;
    f.kind = text.left(first).toInt();
    f.id = text.mid(first + 1, last - first - 1).toStdWString();
    f.type = text.mid(last + 1).toInt();
    if (f.type != kNavigateMyFiles && f.type != kNavigateShareToOther && f.type != kNavigateShareToMe)
        f.type = kNavigateMyFiles;
    return f;
}

bool IsFolderKind(int kind) {
    return kind == 1 || kind == kSharerFolder;
}

bool IsPlaceholder(const QTreeWidgetItem* node) {
    return node && node->data(0, kNodeTextRole).toString().isEmpty();
}

void AddPlaceholder(QTreeWidgetItem* node) {
    node->addChild(new QTreeWidgetItem());
}

}  // namespace

CFileTreeDlg::CFileTreeDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("树控件列表"));
    resize(360, 420);
    promptLabel_ = new QLabel(this);
    tree_ = new QTreeWidget(this);
    tree_->setHeaderHidden(true);
    tree_->setIconSize(QSize(16, 16));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("确定"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("取消"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(promptLabel_);
    layout->addWidget(tree_, 1);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &CFileTreeDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CFileTreeDlg::reject);
    connect(tree_, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* node) { LoadNode(node); });
    connect(tree_, &QTreeWidget::itemExpanded, this, [this](QTreeWidgetItem* node) {
        if (tree_->currentItem() != node)
            tree_->setCurrentItem(node);
        else
            LoadNode(node);
    });
    connect(tree_, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* node) { LoadNode(node); });
}

CFileTreeDlg::~CFileTreeDlg() = default;

void CFileTreeDlg::Populate() {
    if (populated_)
        return;
    populated_ = true;
    if (!title.isEmpty())
        setWindowTitle(title);
    promptLabel_->setText(prompt);
    promptLabel_->setVisible(!prompt.isEmpty());
    if (myFilesRoot)
        AddRoot(QStringLiteral("我的Orvane"), kNavigateMyFiles, QStringLiteral("folder-cloud"));
    if (shareToMeRoot)
        AddRoot(QStringLiteral("我收到的共享文件"), kNavigateShareToMe, QStringLiteral("folder-remote"));
    if (shareToOtherRoot)
        AddRoot(QStringLiteral("我共享的文件"), kNavigateShareToOther, QStringLiteral("folder-publicshare"));
}

int CFileTreeDlg::exec() {
    Populate();
    return QDialog::exec();
}

QTreeWidgetItem* CFileTreeDlg::AddRoot(const QString& name, int type, const QString& iconName) {
    auto* root = new QTreeWidgetItem(QStringList(name));
    root->setIcon(0, ThemeIcon(iconName, QStyle::SP_DirIcon));
    root->setData(0, kNodeTextRole, NodeText(1, std::wstring(), type));
    tree_->addTopLevelItem(root);
    FillChildren(root);
    root->setExpanded(true);
    return root;
}

void CFileTreeDlg::FillChildren(QTreeWidgetItem* node) {
    const NodeFields f = ParseNode(node);
    std::vector<RemoteItem> items;
    HRESULT hr = E_FAIL;
    CCoreAccess& core = GetCoreAccess();
    if (f.type == kNavigateMyFiles)
        hr = core.Dir(f.id, std::wstring(), &items, false);
    else if (f.type == kNavigateShareToMe)
        hr = core.DirShareToMe(f.id, std::wstring(), &items, false);
    else if (!f.id.empty() && f.id.find(L'@') == std::wstring::npos)
        hr = core.Dir(f.id, std::wstring(), &items, false);
    else
        hr = core.DirShareToOther(f.id, std::wstring(), &items, false);
    if (FAILED(hr))
        return;
    static ExtIconCache icons;
    for (const RemoteItem& item : items) {
        const bool folder = IsFolderKind(item.isFolder);
        if ((!folder && !showFiles) || item.name.empty())
            continue;
        const QString name = QString::fromStdWString(item.name);
        auto* child = new QTreeWidgetItem(QStringList(name));
        child->setData(0, kNodeTextRole, NodeText(item.isFolder, item.fileId, f.type));
        child->setData(0, kNameRole, name);
        child->setIcon(0, item.isFolder == kSharerFolder ? icons.User().icon
                          : folder                       ? icons.Folder().icon
                                                         : icons.ForFileName(name).icon);
        node->addChild(child);
        if (folder)
            AddPlaceholder(child);
    }
}

void CFileTreeDlg::LoadNode(QTreeWidgetItem* node) {
    if (!node)
        return;
    tree_->scrollToItem(node);
    Record(node);
    const NodeFields f = ParseNode(node);
    if (IsFolderKind(f.kind) && node->childCount() > 0 && IsPlaceholder(node->child(0))) {
        delete node->takeChild(0);
        FillChildren(node);
        node->setExpanded(true);
    }
    Record(node);
}

void CFileTreeDlg::Record(QTreeWidgetItem* node) {
    const NodeFields f = ParseNode(node);
    result_.kind = f.kind;
    result_.id = f.id;
    result_.navigateType = f.type;
    result_.parentId = ParseNode(node->parent()).id;
    // Every node below a section's root has an id and adds its name.
    std::vector<std::wstring> names;
    for (QTreeWidgetItem* n = node; n && !ParseNode(n).id.empty(); n = n->parent())
        names.push_back(n->data(0, kNameRole).toString().toStdWString());
    std::wstring path = L"\\";
    for (auto it = names.rbegin(); it != names.rend(); ++it)
        path = JoinRemotePath(path, *it);
    result_.path = path;
}

bool CFileTreeDlg::HasSelection() const {
    return tree_->currentItem() != nullptr && tree_->currentItem()->isSelected();
}

void CFileTreeDlg::accept() {
    if (HasSelection())
        QDialog::accept();
}

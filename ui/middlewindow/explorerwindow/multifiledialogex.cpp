#include "ui/middlewindow/explorerwindow/multifiledialogex.h"

#include <QAbstractItemView>
#include <QDir>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QDialogButtonBox>
#include <QItemSelectionModel>
#include <QPushButton>
#include <QTimer>
#include <algorithm>

CMultiFileDialogEx::CMultiFileDialogEx(QWidget* parent, const QString& filter) : QFileDialog(parent) {
    // The platform's own dialog cannot hand back folders and files together.
    setOption(QFileDialog::DontUseNativeDialog, true);
    setOption(QFileDialog::ReadOnly, true);
    setFileMode(QFileDialog::ExistingFiles);
    setNameFilter(filter);
    setWindowTitle(QStringLiteral("请选择目录或文件"));
    setLabelText(QFileDialog::Accept, QStringLiteral("确定(&O)"));
    setLabelText(QFileDialog::Reject, QStringLiteral("取消"));
    setLabelText(QFileDialog::LookIn, QStringLiteral("查找范围:"));
    setLabelText(QFileDialog::FileName, QStringLiteral("文件名:"));
    setLabelText(QFileDialog::FileType, QStringLiteral("文件类型:"));
    // The dialog retitles and greys its OK button as the selection changes (a
    // folder would make it "Open" into the folder); here OK always takes the
    // selection, so it keeps its text and stays enabled.
    auto keepOk = [this] {
        QTimer::singleShot(0, this, [this] {
            auto* box = findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"));
            QPushButton* ok = box ? box->button(QDialogButtonBox::Open) : nullptr;
            if (!ok)
                return;
            ok->setText(QStringLiteral("确定(&O)"));
            ok->setEnabled(true);
        });
    };
    connect(this, &QFileDialog::currentChanged, this, keepOk);
    connect(this, &QFileDialog::directoryEntered, this, keepOk);
    if (auto* edit = findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
        connect(edit, &QLineEdit::textChanged, this, keepOk);
    for (const char* name : {"listView", "treeView"}) {
        auto* view = findChild<QAbstractItemView*>(QString::fromLatin1(name));
        if (view && view->selectionModel())
            connect(view->selectionModel(), &QItemSelectionModel::selectionChanged, this, keepOk);
    }
    keepOk();
}

CMultiFileDialogEx::~CMultiFileDialogEx() = default;

bool CMultiFileDialogEx::GetFirstPathName(std::wstring& out) {
    readPosition_ = -1;
    return GetNextPathName(out);
}

bool CMultiFileDialogEx::GetNextPathName(std::wstring& out) {
    if (readPosition_ + 1 >= int(chosen_.size()))
        return false;
    out = chosen_[size_t(++readPosition_)];
    return true;
}

QStringList CMultiFileDialogEx::SelectedInListOrder() const {
    QAbstractItemView* view = nullptr;
    for (const char* name : {"listView", "treeView"}) {
        auto* candidate = findChild<QAbstractItemView*>(QString::fromLatin1(name));
        if (candidate && candidate->isVisible()) {
            view = candidate;
            break;
        }
    }
    if (!view)
        view = findChild<QAbstractItemView*>(QStringLiteral("listView"));
    if (!view || !view->selectionModel())
        return {};
    QModelIndexList rows = view->selectionModel()->selectedRows(0);
    std::stable_sort(rows.begin(), rows.end(),
                     [](const QModelIndex& a, const QModelIndex& b) { return a.row() < b.row(); });
    // A path typed into the name box selects its item wherever it lies, not
    // only in the folder shown, so each row brings its own full path.
    QStringList paths;
    const QDir folder = directory();
    for (const QModelIndex& row : rows) {
        const QString path = row.data(QFileSystemModel::FilePathRole).toString();
        paths.push_back(path.isEmpty() ? folder.filePath(row.data(Qt::DisplayRole).toString()) : path);
    }
    return paths;
}

void CMultiFileDialogEx::accept() {
    const QStringList selected = SelectedInListOrder();
    chosen_.clear();
    readPosition_ = -1;
    if (!selected.isEmpty()) {
        collected_ = true;
        for (const QString& path : selected)
            chosen_.push_back(QDir::cleanPath(path).toStdWString());
        done(QDialog::Accepted);
        return;
    }
    collected_ = false;
    auto* edit = findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    const QString typed = edit ? edit->text().trimmed() : QString();
    if (typed.isEmpty())
        return;
    // A name typed in quotes is taken without them, as the list shows it.
    QString name = typed;
    if (name.size() >= 2 && name.startsWith(u'"') && name.endsWith(u'"'))
        name = name.mid(1, name.size() - 2);
    const QString path = QDir::isAbsolutePath(name) ? name : directory().filePath(name);
    chosen_.push_back(QDir::cleanPath(path).toStdWString());
    done(QDialog::Accepted);
}

// The commands of the explorer window: rules, toolbar states, menus, keys,
// label editing for rename and new folder, and the commands that run on the
// waiting dialog.
#include <QApplication>
#include <QClipboard>
#include <QDateTime>
#include <QFileDialog>
#include <QKeyEvent>
#include <QListView>
#include <QMenu>
#include <QMimeData>
#include <QToolButton>
#include <QUrl>
#include <map>
#include <memory>
#include <set>

#include "base/utility/localpath.h"
#include "base/utility/remotepath.h"
#include "core/coreapp/coreaccess.h"
#include "core/filesystem/filenotifymonitor/filenotifyrevicer/markerfile.h"
#include "core/remotestorage/remotestorage/resultcodes.h"
#include "skingui/listviewctrlex.h"
#include "skingui/toolbarctrlex.h"
#include "ui/mainwindowpanes.h"
#include "ui/middlewindow/explorerwindow/explorerdragdrop.h"
#include "ui/middlewindow/explorerwindow/explorermodel.h"
#include "ui/middlewindow/explorerwindow/explorerrules.h"
#include "ui/middlewindow/explorerwindow/explorerwindow.h"
#include "ui/middlewindow/explorerwindow/filetreedlg.h"
#include "ui/middlewindow/explorerwindow/multifiledialogex.h"
#include "ui/waittingdlg.h"

namespace {

const wchar_t kCaption[] = L"Orvane便携版";
const wchar_t kDontAskAgain[] = L"下次不再提示";
const QString kNewFolderName = QStringLiteral("新建文件夹");

bool IsValidFileName(const QString& name) {
    for (QChar c : name) {
        if (QStringLiteral("\\/:*?\"<>|").contains(c))
            return false;
    }
    return true;
}

QString Q(const std::wstring& s) {
    return QString::fromStdWString(s);
}

std::vector<std::wstring> DefaultLocalPaths(QWidget* owner) {
    CMultiFileDialogEx dialog(owner);
    dialog.exec();
    return dialog.ChosenPaths();
}

std::wstring DefaultLocalFolder(QWidget* owner) {
    return QFileDialog::getExistingDirectory(owner, QStringLiteral("另存为:")).toStdWString();
}

bool DefaultRemoteFolder(QWidget* owner, const QString& title, const QString& prompt, FileTreeResult* out) {
    CFileTreeDlg dialog(owner);
    dialog.title = title;
    dialog.prompt = prompt;
    dialog.showFiles = false;
    dialog.shareToMeRoot = false;
    dialog.shareToOtherRoot = false;
    if (dialog.exec() != QDialog::Accepted)
        return false;
    *out = dialog.Result();
    return true;
}

}  // namespace

std::vector<CExplorerWindow::SelectedRow> CExplorerWindow::SelectionSnapshot() const {
    std::set<int> rows;
    for (const QModelIndex& index : selection_->selectedIndexes())
        rows.insert(index.row());
    std::vector<SelectedRow> out;
    for (int row : rows)
        out.push_back(SelectedRow{row, model_->ItemOfRow(row)});
    return out;
}

ExplorerRules CExplorerWindow::Rules() const {
    ExplorerRuleState s;
    s.navigateType = navigateType_;
    s.parentId = parentId_;
    s.newFolderPending = newFolderPending_;
    for (const SelectedRow& r : SelectionSnapshot()) {
        if (s.selectedRows.empty() && r.item)
            s.firstSelectedId = r.item->fileId;
        s.selectedRows.push_back(r.row);
    }
    auto known = std::make_shared<std::map<std::wstring, std::vector<SharerInfo>>>();
    s.shareRights = [known](const std::wstring& id) {
        auto it = known->find(id);
        if (it == known->end()) {
            std::vector<SharerInfo> sharers;
            GetCoreAccess().GetItemShareRight(id, &sharers);
            it = known->emplace(id, std::move(sharers)).first;
        }
        return it->second;
    };
    return ExplorerRules(std::move(s));
}

bool CExplorerWindow::IsCommandEnabled(int command) const {
    return IsCommandEnabled(command, Rules());
}

bool CExplorerWindow::IsCommandEnabled(int command, const ExplorerRules& rules) const {
    const int rows = model_->rowCount();
    switch (command) {
        case kCmdRefresh:
        case kCmdViewMenu:
            return !newFolderPending_;
        case kCmdView:
            return rules.CanView();
        case kCmdShare:
            return rules.CanShare();
        case kCmdUpload:
        case kCmdNewFolder:
        case kCmdPaste:
            return rules.CanUpload();
        case kCmdDownload:
            return rules.CanDownload();
        case kCmdCopy:
            return rules.CanCopy();
        case kCmdRename:
            return rules.CanRename() && !newFolderPending_;
        case kCmdDelete:
            return rules.CanDelete();
        case kCmdMove:
            return rules.CanMove();
        case kCmdRestore:
            return navigateType_ == kNavigateRecycle && !SelectionSnapshot().empty();
        case kCmdEmpty:
            return navigateType_ == kNavigateRecycle && rows > 1;
        case kCmdBack:
            return !newFolderPending_ && history_.CanBack();
        case kCmdForward:
            return !newFolderPending_ && history_.CanForward();
        case kCmdViewDetails:
        case kCmdViewList:
        case kCmdViewIcons:
        case kCmdViewTiles:
        case kCmdViewThumbnails:
            return true;
        default:
            return false;
    }
}

void CExplorerWindow::UpdateCommandStates() {
    // One set of rules per turn: in the shared-with-me section each rule may ask for rights.
    const ExplorerRules rules = Rules();
    for (int command : {kCmdRefresh, kCmdUpload, kCmdDownload, kCmdNewFolder, kCmdRename, kCmdDelete,
                        kCmdMove, kCmdShare, kCmdView, kCmdViewMenu}) {
        const bool enabled = IsCommandEnabled(command, rules);
        if (toolbar_->IsButtonEnabled(command) != enabled)
            toolbar_->EnableButton(command, enabled);
    }
    const bool canBack = IsCommandEnabled(kCmdBack, rules);
    if (back_->isEnabled() != canBack)
        back_->setEnabled(canBack);
    const bool canForward = IsCommandEnabled(kCmdForward, rules);
    if (forward_->isEnabled() != canForward)
        forward_->setEnabled(canForward);
    emit commandStatesUpdated();
}

void CExplorerWindow::OnIdleTurn() {
    if (!isVisible())
        return;
    UpdateCommandStates();
    // The remembered "already exists" answers of uploads last only while uploads are pending.
    std::vector<TaskInfo> tasks;
    if (FAILED(GetCoreAccess().GetTaskList(false, &tasks)) || !tasks.empty()) {
        uploadAnswersCleared_ = 0;
        return;
    }
    if (uploadAnswersCleared_ == 1)
        return;
    for (const wchar_t* key : {L"Wizard_UpLoadFileExist", L"Wizard_UpLoadFolderExist"}) {
        if (GetCoreAccess().GetUserIntValue(key) != 0)
            GetCoreAccess().SetUserIntValue(key, 0);
    }
    uploadAnswersCleared_ = 1;
}

HRESULT CExplorerWindow::RunCommand(int command) {
    if (!IsCommandEnabled(command))
        return S_FALSE;
    switch (command) {
        case kCmdRefresh:
            return Refresh();
        case kCmdView: {
            const QModelIndex current = CurrentView()->currentIndex();
            const std::vector<SelectedRow> rows = SelectionSnapshot();
            const int row = current.isValid() && selection_->isRowSelected(current.row()) ? current.row()
                                                                                          : rows.front().row;
            return OpenRow(row);
        }
        case kCmdShare:
            return Share();
        case kCmdUpload:
            return Upload();
        case kCmdDownload:
            return Download();
        case kCmdNewFolder:
            return NewFolder();
        case kCmdRename:
            return Rename();
        case kCmdDelete:
            return DeleteSelection();
        case kCmdMove:
            return navigateType_ == kNavigateRecycle ? RestoreSelection() : Move();
        case kCmdRestore:
            return RestoreSelection();
        case kCmdEmpty:
            return EmptyRecycle();
        case kCmdBack:
            return GoBack();
        case kCmdForward:
            return GoForward();
        case kCmdCopy:
            return Copy();
        case kCmdPaste:
            return Paste();
        case kCmdViewDetails:
            SetViewMode(CExplorerModel::kDetails);
            return S_OK;
        case kCmdViewList:
            SetViewMode(CExplorerModel::kList);
            return S_OK;
        case kCmdViewIcons:
            SetViewMode(CExplorerModel::kIcons);
            return S_OK;
        case kCmdViewTiles:
            SetViewMode(CExplorerModel::kTiles);
            return S_OK;
        case kCmdViewThumbnails:
            SetViewMode(CExplorerModel::kThumbnails);
            return S_OK;
        case kCmdViewMenu: {
            QMenu menu(this);
            AddViewModeActions(&menu);
            const QRect button = toolbar_->ButtonRect(kCmdViewMenu);
            QAction* chosen = menu.exec(toolbar_->mapToGlobal(button.bottomLeft()));
            return chosen ? RunCommand(chosen->data().toInt()) : S_FALSE;
        }
        default:
            return E_INVALIDARG;
    }
}

void CExplorerWindow::AddViewModeActions(QMenu* menu) {
    struct ModeEntry {
        int command;
        int mode;
        const char16_t* text;
    };
    static const ModeEntry modes[] = {
        {kCmdViewThumbnails, CExplorerModel::kThumbnails, u"缩略图"},
        {kCmdViewTiles, CExplorerModel::kTiles, u"平铺"},
        {kCmdViewIcons, CExplorerModel::kIcons, u"图标"},
        {kCmdViewList, CExplorerModel::kList, u"列表"},
        {kCmdViewDetails, CExplorerModel::kDetails, u"详细信息"},
    };
    for (const ModeEntry& m : modes) {
        QAction* action = menu->addAction(QString::fromUtf16(m.text));
        action->setData(m.command);
        action->setCheckable(true);
        action->setChecked(viewMode_ == m.mode);
    }
}

void CExplorerWindow::ShowContextMenu(const QPoint& pos) {
    QAbstractItemView* view = CurrentView();
    const QModelIndex hit = view->indexAt(pos);
    if (hit.isValid() && hit.row() > 0 && !selection_->hasSelection()) {
        selection_->select(hit, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        selection_->setCurrentIndex(hit, QItemSelectionModel::NoUpdate);
    }
    UpdateCommandStates();
    QMenu menu(this);
    auto add = [&](const char16_t* text, int command) {
        QAction* action = menu.addAction(QString::fromUtf16(text));
        action->setData(command);
        action->setEnabled(IsCommandEnabled(command));
        return action;
    };
    if (navigateType_ == kNavigateRecycle) {
        add(u"刷新(&E)\tF5", kCmdRefresh);
        menu.addSeparator();
        add(u"删除(&D)\tDelete", kCmdDelete);
        add(u"还原", kCmdRestore);
        add(u"清空", kCmdEmpty);
    } else {
        add(u"刷新(&E)\tF5", kCmdRefresh);
        add(u"查看(&V)", kCmdView);
        menu.addSeparator();
        add(u"共享(&H)", kCmdShare);
        menu.addSeparator();
        add(u"上传(&U)", kCmdUpload);
        add(u"下载(&L)", kCmdDownload);
        menu.addSeparator();
        add(u"新建文件夹(&W)", kCmdNewFolder);
        add(u"重命名(&M)\tF2", kCmdRename);
        add(u"删除(&D)\tDelete", kCmdDelete);
        add(u"移动到(&O)...", kCmdMove);
    }
    menu.addSeparator();
    AddViewModeActions(menu.addMenu(QStringLiteral("视图")));
    QAction* chosen = menu.exec(view->viewport()->mapToGlobal(pos));
    if (chosen)
        RunCommand(chosen->data().toInt());
}

bool CExplorerWindow::HandleKey(QObject* watched, QKeyEvent* key) {
    if (watched != details_ && watched != items_)
        return false;
    if (navigateType_ == kNavigateRecycle)
        return false;
    const bool ctrl = key->modifiers() & Qt::ControlModifier;
    const bool busy = labelEditing_ || newFolderPending_;
    switch (key->key()) {
        case Qt::Key_Backspace:
            if (!busy)
                RunCommand(kCmdBack);
            return true;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (!busy)
                RunCommand(kCmdView);
            return true;
        case Qt::Key_Delete:
            if (!busy)
                RunCommand(kCmdDelete);
            return true;
        case Qt::Key_F2:
            if (!labelEditing_)
                RunCommand(kCmdRename);
            return true;
        case Qt::Key_F5:
            if (!busy)
                RunCommand(kCmdRefresh);
            return true;
        case Qt::Key_C:
            if (!ctrl)
                return false;
            if (!busy)
                RunCommand(kCmdCopy);
            return true;
        case Qt::Key_V:
            if (!ctrl)
                return false;
            if (!busy)
                RunCommand(kCmdPaste);
            return true;
        default:
            return false;
    }
}

void CExplorerWindow::ShowMessage(const QString& text, const QString& caption) {
    GetCoreAccess().ShowMessage(text.toStdWString(), caption.toStdWString());
}

void CExplorerWindow::StartLabelEdit(int row) {
    if (row <= 0 || row >= model_->rowCount())
        return;
    QAbstractItemView* view = CurrentView();
    const QModelIndex index = model_->index(row, CExplorerModel::kColName);
    view->setFocus();
    selection_->select(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    view->setCurrentIndex(index);
    view->scrollTo(index);
    labelEditing_ = true;
    oldLabel_ = model_->data(index, Qt::DisplayRole).toString();
    view->edit(index);
}

HRESULT CExplorerWindow::NewFolder() {
    const QString now = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    const int row = model_->AppendNewFolderRow(kNewFolderName, now);
    newFolderPending_ = true;
    UpdateCommandStates();
    StartLabelEdit(row);
    return S_OK;
}

HRESULT CExplorerWindow::Rename() {
    if (labelEditing_)
        return S_FALSE;
    const std::vector<SelectedRow> rows = SelectionSnapshot();
    if (rows.size() != 1 || !rows.front().item)
        return S_FALSE;
    StartLabelEdit(rows.front().row);
    return S_OK;
}

void CExplorerWindow::EndLabelEdit(int row, const QString& text, bool cancelled) {
    if (!labelEditing_ && !newFolderPending_)
        return;
    auto reopen = [this, row] {
        QMetaObject::invokeMethod(
            this, [this, row] { StartLabelEdit(row); }, Qt::QueuedConnection);
    };
    QString name = cancelled ? QString() : text;
    if (!cancelled && !IsValidFileName(name)) {
        ShowMessage(QStringLiteral("无法重命名，含有不合法字符，请重新命名!"), Q(kCaption));
        reopen();
        return;
    }
    const QString sameName = QStringLiteral("无法重命名，指定的文件与现有文件重名，请重新命名!");
    QApplication::setOverrideCursor(Qt::WaitCursor);
    if (newFolderPending_) {
        if (name.isEmpty())
            name = kNewFolderName;
        const std::wstring path = JoinRemotePath(currentPath_, name.toStdWString()) + L"\\";
        std::wstring id;
        const HRESULT hr = GetCoreAccess().NewFolder(parentId_, path, &id);
        QApplication::restoreOverrideCursor();
        if (hr == S_OK) {
            RemoteItem item;
            item.isFolder = 1;
            item.name = name.toStdWString();
            item.fileId = id;
            item.parentId = parentId_;
            item.modTime = model_->data(model_->index(row, CExplorerModel::kColModified), Qt::DisplayRole)
                               .toString()
                               .toStdWString();
            model_->GiveNewFolderItem(row, item);
            newFolderPending_ = false;
            labelEditing_ = false;
        } else if (hr == E_RESULT_TARGET_EXIST) {
            ShowMessage(sameName, Q(kCaption));
            reopen();
        } else {
            model_->RemoveRowAt(row);
            newFolderPending_ = false;
            labelEditing_ = false;
        }
        UpdateCommandStates();
        return;
    }
    const RemoteItem* item = model_->ItemOfRow(row);
    if (name.isEmpty() || name == oldLabel_ || !item) {
        QApplication::restoreOverrideCursor();
        labelEditing_ = false;
        return;
    }
    const HRESULT hr =
        GetCoreAccess().Rename(item->isFolder != 0, item->fileId,
                               JoinRemotePath(currentPath_, name.toStdWString()), name.toStdWString());
    QApplication::restoreOverrideCursor();
    if (hr == S_OK) {
        model_->SetItemName(row, name.toStdWString());
        labelEditing_ = false;
        return;
    }
    if (hr == E_RESULT_TARGET_EXIST)
        ShowMessage(sameName, Q(kCaption));
    reopen();
}

HRESULT CExplorerWindow::OpenFileRow(const RemoteItem& item) {
    GetCoreAccess().AskUser(L"Wizard_OpenFiles", L"当您关闭本文件后，我们自动为您快速同步编辑后的文件。",
                            kCaption, L"确定", 0, kDontAskAgain, -1);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const HRESULT hr =
        GetCoreAccess().OpenFile(item.fileId, item.parentId, JoinRemotePath(currentPath_, item.name));
    QApplication::restoreOverrideCursor();
    return hr;
}

std::vector<ExplorerJobItem> CExplorerWindow::JobItems() const {
    std::vector<ExplorerJobItem> out;
    for (const SelectedRow& r : SelectionSnapshot()) {
        if (r.item)
            out.push_back(ExplorerJobItem{*r.item, JoinRemotePath(currentPath_, r.item->name)});
    }
    return out;
}

HRESULT CExplorerWindow::RunUpload(std::vector<UploadEntry> entries) {
    // Names the service cannot hold are refused here, with the reason.
    QStringList refused;
    std::vector<UploadEntry> accepted;
    for (UploadEntry& e : entries) {
        const std::wstring problem = UploadNameProblem(e.localPath);
        if (problem.empty())
            accepted.push_back(std::move(e));
        else
            refused.push_back(QStringLiteral("“%1”：%2").arg(Q(e.localPath), Q(problem)));
    }
    if (!refused.isEmpty())
        ShowMessage(QStringLiteral("以下文件无法上传：\n") + refused.join(u'\n'), Q(kCaption));
    if (accepted.empty())
        return S_FALSE;
    // The worker may outlive a cancelled box: what it hands back is shared.
    auto rowsToAdd = std::make_shared<std::vector<RemoteItem>>();
    const std::wstring shown = parentId_;
    const int result = CWaittingDlg::Instance().Run(
        [accepted, shown, rowsToAdd](CWaitJob& job) {
            std::vector<RemoteItem> rows;
            const int hr = RunUploadJob(job, accepted, shown, &rows);
            QMetaObject::invokeMethod(
                qApp, [rowsToAdd, rows] { *rowsToAdd = rows; }, Qt::QueuedConnection);
            return hr;
        },
        this);
    QCoreApplication::sendPostedEvents(qApp);
    if (!rowsToAdd->empty() && shown == parentId_) {
        model_->AppendItems(std::move(*rowsToAdd));
        ShowCounts();
    }
    UpdateCommandStates();
    return result;
}

HRESULT CExplorerWindow::Upload() {
    GetCoreAccess().AskUser(L"Wizard_UpLoadFiles", L"您可以直接拖动目录或文件来上传。", kCaption, L"确定", 0,
                            kDontAskAgain, -1);
    const std::vector<std::wstring> paths =
        pickers_.localPaths ? pickers_.localPaths(this) : DefaultLocalPaths(this);
    std::vector<UploadEntry> entries;
    for (const std::wstring& path : paths) {
        std::wstring name;
        GetFileNameFromPath(name, path);
        entries.push_back(UploadEntry{parentId_, 0, JoinRemotePath(currentPath_, name), path});
    }
    return entries.empty() ? S_FALSE : RunUpload(std::move(entries));
}

HRESULT CExplorerWindow::Paste() {
    const QMimeData* data = QApplication::clipboard()->mimeData();
    if (!data || !data->hasUrls())
        return S_FALSE;
    std::vector<UploadEntry> entries;
    for (const QUrl& url : data->urls()) {
        if (!url.isLocalFile())
            continue;
        const std::wstring path = QDir::cleanPath(url.toLocalFile()).toStdWString();
        std::wstring name;
        GetFileNameFromPath(name, path);
        // Our own copy-out hands a marker file around; it is no upload.
        if (!MarkerTokenFromName(name).empty())
            continue;
        entries.push_back(UploadEntry{parentId_, 0, JoinRemotePath(currentPath_, name), path});
    }
    return entries.empty() ? S_FALSE : RunUpload(std::move(entries));
}

HRESULT CExplorerWindow::Copy() {
    return dragDrop_->CopySelection();
}

HRESULT CExplorerWindow::Download() {
    GetCoreAccess().AskUser(L"Wizard_DownLoadFiles", L"您可以直接拖动目录或文件到桌面来下载。", kCaption,
                            L"确定", 0, kDontAskAgain, -1);
    const std::wstring folder = pickers_.localFolder ? pickers_.localFolder(this) : DefaultLocalFolder(this);
    if (folder.empty())
        return S_OK;
    HRESULT hr = S_OK;
    QStringList refused;
    for (const ExplorerJobItem& j : JobItems()) {
        std::wstring local;
        // A name like ".." or "a/b" from the service must never leave the chosen folder.
        if (FAILED(JoinLocalName(folder, j.item.name, local))) {
            refused.push_back(Q(j.item.name));
            hr = E_INVALIDARG;
            continue;
        }
        hr = j.item.isFolder != 0
                 ? GetCoreAccess().DownloadFolder(j.item.fileId, j.item.parentId, j.remotePath, local)
                 : GetCoreAccess().Download(j.item.fileId, j.item.parentId, j.remotePath, local);
    }
    if (!refused.isEmpty())
        ShowMessage(QStringLiteral("以下名称不能作为本地文件名，未下载：\n") + refused.join(u'\n'),
                    Q(kCaption));
    return hr;
}

HRESULT CExplorerWindow::Move() {
    GetCoreAccess().AskUser(L"Wizard_MoveFiles", L"您可以直接拖动目录或文件以完成移动操作。", kCaption,
                            L"确定", 0, kDontAskAgain, -1);
    const std::vector<ExplorerJobItem> items = JobItems();
    if (items.empty())
        return S_FALSE;
    FileTreeResult target;
    const QString title = QStringLiteral("移动文件");
    const QString prompt = QStringLiteral("选择移动到的位置:");
    const bool chosen = pickers_.remoteFolder ? pickers_.remoteFolder(this, title, prompt, &target)
                                              : DefaultRemoteFolder(this, title, prompt, &target);
    if (!chosen)
        return S_FALSE;
    HRESULT hr = S_OK;
    {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        for (const ExplorerJobItem& j : items)
            hr = GetCoreAccess().Move(j.item.isFolder != 0, j.item.fileId, j.remotePath, target.id);
        QApplication::restoreOverrideCursor();
    }
    if (JobSucceeded(hr))
        Refresh();
    return hr;
}

HRESULT CExplorerWindow::Share() {
    const std::vector<ExplorerJobItem> items = JobItems();
    if (items.size() != 1 || !pickers_.share)
        return S_FALSE;
    pickers_.share(this, items.front().item);
    return S_OK;
}

HRESULT CExplorerWindow::DeleteSelection() {
    const std::vector<ExplorerJobItem> items = JobItems();
    const int count = int(SelectionSnapshot().size());
    const QString text = navigateType_ == kNavigateRecycle
                             ? QStringLiteral("您确定要将这 %1 项从网络回收站删除吗?").arg(count)
                             : QStringLiteral("您确实要将这 %1 项放入网络回收站吗?").arg(count);
    const int answer = GetCoreAccess().AskUser(L"Wizard_DeleteFiles", text.toStdWString(), kCaption,
                                               L"确定|取消", 1, L"", 1);
    if (answer == kAskCancel)
        return 1;
    const int type = navigateType_;
    const int hr = CWaittingDlg::Instance().Run(
        [items, type](CWaitJob& job) { return RunDeleteJob(job, type, items); }, this);
    if (JobSucceeded(hr))
        Refresh();
    return hr;
}

HRESULT CExplorerWindow::RestoreSelection() {
    const std::vector<ExplorerJobItem> items = JobItems();
    FileTreeResult target;
    const QString title = QStringLiteral("还原文件");
    const QString prompt = QStringLiteral("选择还原位置:");
    const bool chosen = pickers_.remoteFolder ? pickers_.remoteFolder(this, title, prompt, &target)
                                              : DefaultRemoteFolder(this, title, prompt, &target);
    if (!chosen)
        return S_FALSE;
    const std::wstring targetId = target.id;
    const int hr = CWaittingDlg::Instance().Run(
        [items, targetId](CWaitJob& job) { return RunRestoreJob(job, items, targetId); }, this);
    if (JobSucceeded(hr))
        Refresh();
    return hr;
}

HRESULT CExplorerWindow::EmptyRecycle() {
    const int answer =
        GetCoreAccess().AskUser(L"Wizard_DeleteFiles", L"您确定要清空当前页吗? 清空后无法恢复!", kCaption,
                                L"确定|取消", 1, kDontAskAgain, 1);
    if (answer != kAskDefault && answer != kAskNotShown)
        return E_FAIL;
    if (model_->rowCount() < 2)
        return Refresh();
    std::vector<ExplorerJobItem> items;
    for (int row = 1; row < model_->rowCount(); ++row) {
        if (const RemoteItem* item = model_->ItemOfRow(row))
            items.push_back(ExplorerJobItem{*item, JoinRemotePath(currentPath_, item->name)});
    }
    const int hr =
        CWaittingDlg::Instance().Run([items](CWaitJob& job) { return RunEmptyJob(job, items); }, this);
    if (JobSucceeded(hr))
        Refresh();
    return hr;
}

// Navigation and listing of the explorer window: the one road of every
// navigation, the four sections, the breadcrumb, history, search and sorting.
#include <QApplication>
#include <QHeaderView>
#include <QListView>
#include <QScrollBar>
#include <QToolButton>

#include "base/log/tracestack.h"
#include "base/utility/formatstring.h"
#include "base/utility/remotepath.h"
#include "core/coreapp/coreaccess.h"
#include "skingui/listviewctrlex.h"
#include "skingui/skinstatic.h"
#include "ui/mainwindowpanes.h"
#include "ui/middlewindow/explorerwindow/explorermodel.h"
#include "ui/middlewindow/explorerwindow/explorerwindow.h"
#include "ui/middlewindow/explorerwindow/thumbnailworker.h"
#include "ui/themeicon.h"

namespace {

constexpr int64_t kRecyclePageSize = 128;

struct SectionInfo {
    const char16_t* label;
    const char* icon;
};

const SectionInfo kSections[] = {
    {u"根目录", "folder-cloud"},
    {u"我共享给别人的文件", "folder-publicshare"},
    {u"别人共享给我的文件", "folder-remote"},
    {u"回收站", "user-trash"},
};

const SectionInfo& Section(int type) {
    return kSections[type >= 0 && type <= 3 ? type : 0];
}

// The wait cursor for the length of a core call.
class WaitCursor {
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
};

}  // namespace

HRESULT CExplorerWindow::DirAndUpdateExplorerByItemType(const std::wstring& parentId,
                                                        const std::wstring& fullPath, int type, bool fill,
                                                        bool force) {
    HRESULT hr = S_OK;
    PELLUX_TRACE_SCOPE(L"CExplorerWindow::DirAndUpdateExplorerByItemType()", &hr,
                       L"szParentId = %s, szFullPath = %s, eNagivateType = %d", parentId, fullPath, type);
    WaitCursor wait;
    parentId_ = parentId;
    currentPath_ = fullPath.empty() ? L"\\" : fullPath;
    ShowBreadcrumb(type, currentPath_);
    model_->ResetCounts();
    navigateType_ = type;
    previousNavigateType_ = type;
    StopThumbnails();
    if (fill) {
        // The rows go, and with them whatever name was being edited.
        newFolderPending_ = false;
        labelEditing_ = false;
    }
    if (type == kNavigateRecycle)
        hr = ListRecycle();
    else if (type == kNavigateMyFiles)
        hr = ListMyFiles(fill, force);
    else
        hr = ListShares(type, fill, force);
    if (SUCCEEDED(hr)) {
        ShowCounts();
        if (type != kNavigateRecycle && viewMode_ == CExplorerModel::kThumbnails)
            StartThumbnails();
    }
    UpdateCommandStates();
    return hr;
}

HRESULT CExplorerWindow::ListMyFiles(bool fill, bool force) {
    HRESULT hr = S_OK;
    PELLUX_TRACE_SCOPE(L"CExplorerWindow::DirAndUpdateExplorer()", &hr,
                       L"szParentId = %s, szFullPath = %s, eNagivateType = %d", parentId_, currentPath_, 0);
    std::vector<RemoteItem> items;
    if (!fill) {
        hr = GetCoreAccess().Dir(parentId_, currentPath_, &items, force);
        return hr;
    }
    model_->ClearRows();
    hr = GetCoreAccess().Dir(parentId_, currentPath_, &items, force);
    if (FAILED(hr))
        return hr;
    if (!parentId_.empty())
        AskThumbnailMode(items);
    AddRows(std::move(items));
    SortAfterListing();
    int64_t used = 0;
    int64_t total = 0;
    if (GetCoreAccess().GetSpaceInfo(&used, &total, force) == S_OK && mainWindow_) {
        void* pane = nullptr;
        if (SUCCEEDED(mainWindow_->GetPane(kPaneTop, &pane)) && pane)
            static_cast<ITopWindow*>(pane)->SetSpaceInfo(uint64_t(std::max<int64_t>(used, 0)),
                                                         uint64_t(std::max<int64_t>(total, 0)));
    }
    return hr;
}

HRESULT CExplorerWindow::ListShares(int type, bool fill, bool force) {
    std::vector<RemoteItem> items;
    auto list = [&] {
        return type == kNavigateShareToMe
                   ? GetCoreAccess().DirShareToMe(parentId_, std::wstring(), &items, force)
                   : GetCoreAccess().DirShareToOther(parentId_, std::wstring(), &items, force);
    };
    if (!fill)
        return list();
    model_->ClearRows();
    HRESULT hr = list();
    if (FAILED(hr))
        return hr;
    AskThumbnailMode(items);
    AddRows(std::move(items));
    SortAfterListing();
    return hr;
}

HRESULT CExplorerWindow::ListRecycle() {
    model_->ClearRows();
    recycleEnd_ = false;
    std::wstring maxVer;
    HRESULT hr = GetCoreAccess().GetMaxVer(&maxVer);
    if (FAILED(hr))
        return hr;
    // Versions are 64-bit on the service; the first page starts above the newest.
    recycleCursor_ = std::to_wstring(ParseReplyInt64(maxVer) + 1);
    std::vector<RemoteItem> page;
    hr = FetchRecyclePage(&page);
    if (FAILED(hr))
        return hr;
    AddRows(std::move(page));
    SortAfterListing();
    // A first page that does not fill the list leaves nothing to scroll to the end.
    while (!recycleEnd_) {
        QAbstractItemView* view = CurrentView();
        view->doItemsLayout();
        if (view->verticalScrollBar()->maximum() > 0 || view->horizontalScrollBar()->maximum() > 0)
            break;
        std::vector<RemoteItem> more;
        if (FetchRecyclePage(&more) != S_OK)
            break;
        AddRows(std::move(more));
    }
    return S_OK;
}

HRESULT CExplorerWindow::FetchRecyclePage(std::vector<RemoteItem>* page) {
    if (recycleEnd_)
        return S_FALSE;
    HRESULT hr = GetCoreAccess().GetRecycle(recycleCursor_, kRecyclePageSize, page);
    if (FAILED(hr))
        return hr;
    if (int64_t(page->size()) < kRecyclePageSize)
        recycleEnd_ = true;
    if (!page->empty())
        recycleCursor_ = std::to_wstring(int64_t(page->back().opVer));
    return S_OK;
}

HRESULT CExplorerWindow::FetchMoreRecycle() {
    if (navigateType_ != kNavigateRecycle || recycleEnd_)
        return S_FALSE;
    std::vector<RemoteItem> page;
    HRESULT hr = FetchRecyclePage(&page);
    if (hr != S_OK)
        return hr;
    AddRows(std::move(page));
    ShowCounts();
    return hr;
}

void CExplorerWindow::OnScrolled() {
    if (navigateType_ != kNavigateRecycle || recycleEnd_)
        return;
    QAbstractItemView* view = CurrentView();
    QScrollBar* bar =
        viewMode_ == CExplorerModel::kList ? view->horizontalScrollBar() : view->verticalScrollBar();
    if (bar->maximum() > 0 && bar->value() == bar->maximum())
        FetchMoreRecycle();
}

void CExplorerWindow::AddRows(std::vector<RemoteItem> items) {
    model_->AppendItems(std::move(items));
}

void CExplorerWindow::SortAfterListing() {
    if (sortColumn_ < 0) {
        sortColumn_ = CExplorerModel::kColName;
        sortAscending_ = false;
    }
    details_->header()->setSortIndicator(sortColumn_,
                                         sortAscending_ ? Qt::AscendingOrder : Qt::DescendingOrder);
    model_->Sort(sortColumn_, sortAscending_ ? Qt::AscendingOrder : Qt::DescendingOrder);
}

void CExplorerWindow::SortByColumn(int column) {
    if (column < 0 || column >= CExplorerModel::kColumnCount)
        return;
    sortAscending_ = !(sortColumn_ == column && sortAscending_);
    sortColumn_ = column;
    details_->header()->setSortIndicator(sortColumn_,
                                         sortAscending_ ? Qt::AscendingOrder : Qt::DescendingOrder);
    model_->Sort(sortColumn_, sortAscending_ ? Qt::AscendingOrder : Qt::DescendingOrder);
}

void CExplorerWindow::ShowCounts() {
    if (!mainWindow_)
        return;
    const QString text =
        QStringLiteral("共 %1个文件夹，%2个文件").arg(model_->FolderCount()).arg(model_->FileCount());
    mainWindow_->SetStatusText(text.toStdWString());
}

void CExplorerWindow::ShowBreadcrumb(int type, const std::wstring& path) {
    sectionButton_->setIcon(ThemeIcon(QString::fromLatin1(Section(type).icon), QStyle::SP_DirIcon));
    // Names come from the service: they go in as literal runs, never as markup.
    breadcrumb_->SetPlainText(QString());
    SKINGUI::MultiLineFormatControl& page = breadcrumb_->Format();
    page.AddLink(QStringLiteral("\\"), QString::fromUtf16(Section(type).label));
    const QStringList parts = QString::fromStdWString(path).split(u'\\', Qt::SkipEmptyParts);
    QString link;
    for (const QString& part : parts) {
        link += u'\\' + part;
        page.AddPlainText(QStringLiteral(" \\ "));
        page.AddLink(link, part);
    }
    breadcrumb_->update();
    update(QRect(0, 0, width(), 34));
}

void CExplorerWindow::OnBreadcrumbLink(const QString& name) {
    NavigateTo(navigateType_, name.isEmpty() ? std::wstring(L"\\") : name.toStdWString());
}

HRESULT CExplorerWindow::NavigateTo(int navigateType, const std::wstring& path) {
    std::wstring folderId;
    std::wstring parentId;
    // Only folders this section has shown can be found again; a path whose
    // folder or parent is unknown would list the wrong folder.
    if (!history_.FolderIdOf(path, navigateType, &folderId))
        return E_INVALIDARG;
    if (path != L"\\" && !history_.FolderIdOf(GetRemoteParentFolder(path), navigateType, &parentId))
        return E_INVALIDARG;
    history_.Push(HistoryEntry{parentId, folderId, path, navigateType});
    return DirAndUpdateExplorerByItemType(folderId, path, navigateType, true, false);
}

HRESULT CExplorerWindow::ShowSection(int, int navigateType) {
    if (navigateType < kNavigateMyFiles || navigateType > kNavigateRecycle)
        return E_INVALIDARG;
    navigateType_ = navigateType;
    history_.Push(HistoryEntry{std::wstring(), std::wstring(), L"\\", navigateType});
    return DirAndUpdateExplorerByItemType(std::wstring(), L"\\", navigateType, true, false);
}

HRESULT CExplorerWindow::OpenItem(int navigateType, const std::wstring& id, const std::wstring& parentId,
                                  const std::wstring& path, bool isFolder) {
    if (isFolder) {
        navigateType_ = navigateType;
        history_.Push(HistoryEntry{parentId, id, path, navigateType});
        return DirAndUpdateExplorerByItemType(id, path, navigateType, true, false);
    }
    if (id.empty()) {
        GetCoreAccess().ShowMessage(L"您的文件不存在", std::wstring());
        return E_FAIL;
    }
    return GetCoreAccess().OpenFile(id, parentId, path);
}

HRESULT CExplorerWindow::OpenRow(int row) {
    if (row == 0) {
        const std::wstring parentId = history_.ParentIdOf(parentId_);
        std::wstring path = history_.PathOf(parentId, navigateType_);
        if (path.empty())
            path = GetRemoteParentFolder(currentPath_);
        return DirAndUpdateExplorerByItemType(parentId, path, navigateType_, true, false);
    }
    const RemoteItem* item = model_->ItemOfRow(row);
    if (!item)
        return E_INVALIDARG;
    if (item->isFolder == 0)
        return OpenFileRow(*item);
    const RemoteItem folder = *item;
    const std::wstring path = JoinRemotePath(currentPath_, folder.name);
    history_.Push(HistoryEntry{folder.parentId, folder.fileId, path, navigateType_});
    return DirAndUpdateExplorerByItemType(folder.fileId, path, navigateType_, true, false);
}

HRESULT CExplorerWindow::GoBack() {
    if (newFolderPending_)
        return S_FALSE;
    const HistoryEntry* entry = history_.Back();
    if (!entry)
        return S_FALSE;
    const HistoryEntry e = *entry;
    return DirAndUpdateExplorerByItemType(e.folderId, e.path, e.navigateType, true, false);
}

HRESULT CExplorerWindow::GoForward() {
    if (newFolderPending_)
        return S_FALSE;
    const HistoryEntry* entry = history_.Forward();
    if (!entry)
        return S_FALSE;
    const HistoryEntry e = *entry;
    return DirAndUpdateExplorerByItemType(e.folderId, e.path, e.navigateType, true, false);
}

HRESULT CExplorerWindow::Refresh() {
    setUpdatesEnabled(false);
    newFolderPending_ = false;
    labelEditing_ = false;
    const HRESULT hr = DirAndUpdateExplorerByItemType(parentId_, currentPath_, navigateType_, true, true);
    setUpdatesEnabled(true);
    return hr;
}

HRESULT CExplorerWindow::FullTextSearch(const std::wstring& keyword) {
    StopThumbnails();
    if (keyword.empty())
        return S_FALSE;
    std::vector<RemoteItem> items;
    WaitCursor wait;
    HRESULT hr = GetCoreAccess().FullTextSearch(keyword, 0, &items);
    if (FAILED(hr))
        return hr;
    model_->ClearRows();
    AddRows(std::move(items));
    SortAfterListing();
    if (viewMode_ == CExplorerModel::kThumbnails)
        StartThumbnails();
    UpdateCommandStates();
    return hr;
}

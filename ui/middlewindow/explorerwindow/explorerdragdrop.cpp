#include "ui/middlewindow/explorerwindow/explorerdragdrop.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QItemSelectionModel>
#include <QListView>
#include <QMouseEvent>
#include <QPainter>

#include "base/utility/remotepath.h"
#include "core/coreapp/coreaccess.h"
#include "skingui/listviewctrlex.h"
#include "ui/middlewindow/explorerwindow/copyfilestoclipboard.h"
#include "ui/middlewindow/explorerwindow/dragdatafile.h"
#include "ui/middlewindow/explorerwindow/dropdatasource.h"
#include "ui/middlewindow/explorerwindow/explorermodel.h"
#include "ui/middlewindow/explorerwindow/explorerrules.h"
#include "ui/middlewindow/explorerwindow/explorerwindow.h"

namespace {

constexpr int kDragIconSide = 48;

}  // namespace

CExplorerDragDrop::CExplorerDragDrop(CExplorerWindow* window)
    : QObject(window),
      window_(window),
      detailsTarget_(new CListViewDropTarget(window->DetailsView(), this)),
      itemsTarget_(new CListViewDropTarget(window->ItemsView(), this)) {
    window->DetailsView()->viewport()->installEventFilter(this);
    window->ItemsView()->viewport()->installEventFilter(this);
}

CListViewDropTarget* CExplorerDragDrop::DropTargetOf(QAbstractItemView* view) const {
    return view == window_->DetailsView() ? detailsTarget_
           : view == window_->ItemsView() ? itemsTarget_
                                          : nullptr;
}

QAbstractItemView* CExplorerDragDrop::ViewOf(QObject* viewport) const {
    for (QAbstractItemView* view : {static_cast<QAbstractItemView*>(window_->DetailsView()),
                                    static_cast<QAbstractItemView*>(window_->ItemsView())}) {
        if (view->viewport() == viewport)
            return view;
    }
    return nullptr;
}

void CExplorerDragDrop::PruneLeftovers() {
    std::wstring root;
    if (SUCCEEDED(GetCoreAccess().GetSyncRoot(root)) && !root.empty())
        PruneDragDataFiles(root);
}

HRESULT CExplorerDragDrop::CopySelection() {
    const std::vector<DragRecord> records =
        DragRecordsOfRows(window_->SelectionSnapshot(), window_->NavigateType(), window_->CurrentPath());
    if (records.empty())
        return S_FALSE;
    std::wstring root, marker;
    HRESULT hr = GetCoreAccess().GetSyncRoot(root);
    if (FAILED(hr))
        return hr;
    hr = WriteDragDataFile(root, MarkerKind::kCopy, records, marker);
    if (FAILED(hr))
        return hr;
    return CopyFilesToClipboard({marker}, true);
}

QPixmap CExplorerDragDrop::DragPixmap(const std::vector<DragRecord>& records) const {
    CExplorerModel* model = window_->Model();
    int firstRow = -1;
    for (const CExplorerWindow::SelectedRow& r : window_->SelectionSnapshot()) {
        if (r.row >= 1 && r.item) {
            firstRow = r.row;
            break;
        }
    }
    const qreal ratio = window_->devicePixelRatioF();
    QPixmap pixmap(QSize(kDragIconSide + 16, kDragIconSide + 16) * ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    if (firstRow >= 1)
        model->IconOfRow(firstRow).paint(&p, QRect(0, 8, kDragIconSide, kDragIconSide));
    if (records.size() > 1) {
        // How many rows go, as the desktop's own file managers show it.
        const QString count = QString::number(records.size());
        QFont font = window_->font();
        font.setBold(true);
        p.setFont(font);
        const int side = std::max(20, p.fontMetrics().horizontalAdvance(count) + 8);
        const QRect badge(kDragIconSide + 16 - side, 0, side, 20);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        p.setBrush(window_->palette().color(QPalette::Highlight));
        p.drawRoundedRect(badge, 10, 10);
        p.setPen(window_->palette().color(QPalette::HighlightedText));
        p.drawText(badge, Qt::AlignCenter, count);
    }
    return pixmap;
}

HRESULT CExplorerDragDrop::StartDrag(QAbstractItemView* view, Qt::DropAction* effect) {
    const std::vector<DragRecord> records =
        DragRecordsOfRows(window_->SelectionSnapshot(), window_->NavigateType(), window_->CurrentPath());
    if (records.empty())
        return S_FALSE;
    CDropDataSource source;
    source.SetText(BuildDragRecordText(records));
    // The recycle bin and the tops of the shared sections give no download:
    // such a drag carries the records alone.
    if (window_->Rules().CanDownload()) {
        std::wstring root, marker;
        if (SUCCEEDED(GetCoreAccess().GetSyncRoot(root)) &&
            SUCCEEDED(WriteDragDataFile(root, MarkerKind::kDrag, records, marker)))
            source.SetFiles(marker, {marker});
    }
    source.SetPixmap(DragPixmap(records));
    return source.DoDragDrop(view, Qt::CopyAction, effect);
}

bool CExplorerDragDrop::eventFilter(QObject* watched, QEvent* event) {
    QAbstractItemView* view = ViewOf(watched);
    if (!view)
        return QObject::eventFilter(watched, event);
    switch (event->type()) {
        case QEvent::MouseButtonPress: {
            auto* e = static_cast<QMouseEvent*>(event);
            pressRow_ = -1;
            const QModelIndex index = view->indexAt(e->position().toPoint());
            // A drag never starts on row 0.
            if (e->button() == Qt::LeftButton && index.isValid() && index.row() >= 1) {
                pressRow_ = index.row();
                pressPos_ = e->position().toPoint();
            }
            break;
        }
        case QEvent::MouseMove: {
            auto* e = static_cast<QMouseEvent*>(event);
            if (pressRow_ < 1 || !(e->buttons() & Qt::LeftButton) ||
                (e->position().toPoint() - pressPos_).manhattanLength() < QApplication::startDragDistance())
                break;
            const int row = pressRow_;
            pressRow_ = -1;
            if (window_->LabelEditing() || window_->NewFolderPending() ||
                !window_->Selection()->isRowSelected(row, QModelIndex()))
                break;
            StartDrag(view);
            return true;
        }
        case QEvent::MouseButtonRelease:
            pressRow_ = -1;
            break;
        default:
            break;
    }
    return QObject::eventFilter(watched, event);
}

bool CExplorerDragDrop::RowFolder(int row, DropFolder* out) const {
    if (row == 0) {
        // Only a folder above the one shown that the history can name; at
        // the top of a section there is none.
        const std::wstring path = window_->CurrentPath();
        if (path.empty() || path == L"\\")
            return false;
        const std::wstring parentPath = GetRemoteParentFolder(path);
        std::wstring id;
        if (!window_->History().FolderIdOf(parentPath, window_->NavigateType(), &id))
            return false;
        *out = DropFolder{id, window_->History().ParentIdOf(id), parentPath};
        return true;
    }
    const RemoteItem* item = window_->Model()->ItemOfRow(row);
    if (!item || item->isFolder == 0)
        return false;
    *out = DropFolder{item->fileId, item->parentId, JoinRemotePath(window_->CurrentPath(), item->name)};
    return true;
}

DropFolder CExplorerDragDrop::ShownFolder() const {
    const std::wstring id = window_->CurrentParentId();
    return DropFolder{id, window_->History().ParentIdOf(id), window_->CurrentPath()};
}

int CExplorerDragDrop::ShownNavigateType() const {
    return window_->NavigateType();
}

bool CExplorerDragDrop::DropCanMove() const {
    return window_->Rules().CanMove();
}

bool CExplorerDragDrop::DropCanUpload() const {
    return window_->Rules().CanUpload();
}

HRESULT CExplorerDragDrop::MoveItem(bool isFolder, const std::wstring& fileId, const std::wstring& path,
                                    const std::wstring& targetId) {
    return GetCoreAccess().Move(isFolder, fileId, path, targetId);
}

void CExplorerDragDrop::RefreshAfterMove() {
    window_->Refresh();
}

void CExplorerDragDrop::UploadDropped(std::vector<UploadEntry> entries) {
    window_->RunUpload(std::move(entries));
}

#include "ui/middlewindow/explorerwindow/listviewdroptarget.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QDir>
#include <QMimeData>
#include <QPainter>
#include <QUrl>

#include "base/log/logfile.h"
#include "base/utility/localpath.h"
#include "base/utility/remotepath.h"
#include "core/filesystem/filenotifymonitor/filenotifyrevicer/markerfile.h"
#include "core/remotestorage/remotestorage/resultcodes.h"
#include "ui/explorerdragmime.h"
#include "ui/mainwindowpanes.h"

// The row under the cursor, outlined over the list without touching its
// selection (the selection is what is being dragged).
class CDropHoverFrame : public QWidget {
public:
    explicit CDropHoverFrame(QWidget* viewport) : QWidget(viewport) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        hide();
    }
    void ShowAt(const QRect& rect) {
        setGeometry(rect);
        show();
        raise();
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        QColor fill = palette().color(QPalette::Highlight);
        fill.setAlpha(60);
        p.fillRect(rect(), fill);
        p.setPen(palette().color(QPalette::Highlight));
        p.drawRect(rect().adjusted(0, 0, -1, -1));
    }
};

CListViewDropTarget::CListViewDropTarget(QAbstractItemView* view, IListDropSink* sink)
    : CDropTargetCtrl(view->viewport(),
                      {QString::fromLatin1(kExplorerDragMime), QStringLiteral("text/uri-list")}),
      view_(view),
      sink_(sink),
      frame_(new CDropHoverFrame(view->viewport())) {}

void CListViewDropTarget::SetHover(int row) {
    if (row == hoverRow_)
        return;
    hoverRow_ = row;
    if (row < 0) {
        frame_->hide();
        return;
    }
    const QModelIndex index = view_->model()->index(row, 0);
    view_->scrollTo(index, QAbstractItemView::EnsureVisible);
    QRect rect = view_->visualRect(index);
    // The whole row in the details view, not just its first cell.
    const int last = view_->model()->columnCount() - 1;
    if (last > 0) {
        const QRect end = view_->visualRect(view_->model()->index(row, last));
        if (end.isValid() && end.top() == rect.top())
            rect = rect.united(end);
    }
    frame_->ShowAt(rect);
}

void CListViewDropTarget::OnDragOver(const QPoint& pos) {
    const QModelIndex index = view_->indexAt(pos);
    SetHover(index.isValid() ? index.row() : -1);
}

void CListViewDropTarget::OnDragLeave() {
    SetHover(-1);
}

void CListViewDropTarget::OnDrop(const QString& format, const QMimeData* data, const QPoint& pos,
                                 Qt::DropAction) {
    const QModelIndex index = view_->indexAt(pos);
    const int row = index.isValid() ? index.row() : -1;
    // The data goes with the drag: take what is needed now, act after it ended.
    if (format == QLatin1String(kExplorerDragMime)) {
        const std::vector<DragRecord> records =
            ParseDragRecordText(QString::fromUtf8(data->data(format)).toStdWString());
        QMetaObject::invokeMethod(
            this, [this, records, row] { MoveRecords(records, row); }, Qt::QueuedConnection);
        return;
    }
    std::vector<std::wstring> paths;
    for (const QUrl& url : data->urls()) {
        if (url.isLocalFile())
            paths.push_back(QDir::cleanPath(url.toLocalFile()).toStdWString());
    }
    QMetaObject::invokeMethod(
        this, [this, paths, row] { UploadFiles(paths, row); }, Qt::QueuedConnection);
}

void CListViewDropTarget::MoveRecords(const std::vector<DragRecord>& records, int row) {
    DropFolder target;
    if (records.empty() || !sink_->RowFolder(row, &target))
        return;
    // Nothing goes into the recycle bin by a drag; deleting asks first.
    if (sink_->ShownNavigateType() == kNavigateRecycle || !sink_->DropCanMove())
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    bool moved = false;
    HRESULT hr = S_OK;
    for (const DragRecord& r : records) {
        // Nothing moves into itself, and what follows it stays too.
        if (r.fileId == target.id)
            break;
        hr = sink_->MoveItem(r.isFolder, r.fileId, r.path, target.id);
        moved = true;
    }
    QApplication::restoreOverrideCursor();
    if (moved && (hr == S_OK || hr == E_RESULT_TARGET_EXIST))
        sink_->RefreshAfterMove();
}

void CListViewDropTarget::UploadFiles(const std::vector<std::wstring>& localPaths, int row) {
    if (!sink_->DropCanUpload())
        return;
    DropFolder target;
    if (!sink_->RowFolder(row, &target))
        target = sink_->ShownFolder();
    std::vector<UploadEntry> entries;
    for (const std::wstring& path : localPaths) {
        std::wstring name;
        GetFileNameFromPath(name, path);
        // Our own marker coming back is no upload.
        if (name.empty() || !MarkerTokenFromName(name).empty())
            continue;
        entries.push_back(UploadEntry{target.id, 0, JoinRemotePath(target.path, name), path});
    }
    if (!entries.empty())
        sink_->UploadDropped(std::move(entries));
}

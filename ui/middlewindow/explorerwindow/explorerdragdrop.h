#pragma once
// Drag out, copy out and the drop targets of the explorer list. A drag that
// starts on a selected row (never on row 0) carries the rows' records and,
// where they may be downloaded, a marker file; Ctrl+C puts a marker on the
// clipboard. Both views of the list get a drop target.
#include <QObject>
#include <QPoint>

#include "platform/hresult.h"
#include "ui/middlewindow/explorerwindow/listviewdroptarget.h"

class CExplorerWindow;
class QAbstractItemView;

class CExplorerDragDrop : public QObject, public IListDropSink {
    Q_OBJECT
public:
    explicit CExplorerDragDrop(CExplorerWindow* window);

    // Clears away the markers earlier runs left in the sync root.
    void PruneLeftovers();
    // Ctrl+C: S_FALSE when no row may be copied.
    HRESULT CopySelection();
    // The drag of the selected rows from the view; S_FALSE when no row may go.
    HRESULT StartDrag(QAbstractItemView* view, Qt::DropAction* effect = nullptr);

    CListViewDropTarget* DropTargetOf(QAbstractItemView* view) const;

    bool RowFolder(int row, DropFolder* out) const override;
    DropFolder ShownFolder() const override;
    int ShownNavigateType() const override;
    bool DropCanMove() const override;
    bool DropCanUpload() const override;
    HRESULT MoveItem(bool isFolder, const std::wstring& fileId, const std::wstring& path,
                     const std::wstring& targetId) override;
    void RefreshAfterMove() override;
    void UploadDropped(std::vector<UploadEntry> entries) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QAbstractItemView* ViewOf(QObject* viewport) const;
    QPixmap DragPixmap(const std::vector<DragRecord>& records) const;

    CExplorerWindow* window_;
    CListViewDropTarget* detailsTarget_;
    CListViewDropTarget* itemsTarget_;
    // Where the left button went down on a row that may start a drag; -1 none.
    int pressRow_ = -1;
    QPoint pressPos_;
};

#pragma once
// The explorer list's drop target. The program's own drag records dropped on
// a folder row (row 0: the folder above the one shown) move those items
// there; local files dropped anywhere upload into the folder row under the
// cursor or else into the folder shown. The work runs once the drag has
// ended, so the source is never kept waiting for the service.
#include <string>
#include <vector>

#include "platform/hresult.h"
#include "ui/middlewindow/explorerwindow/droptargetctrl.h"
#include "ui/middlewindow/explorerwindow/dragrecord.h"
#include "ui/middlewindow/explorerwindow/explorerjobs.h"

class QAbstractItemView;
class CDropHoverFrame;

// A remote folder a drop goes into.
struct DropFolder {
    std::wstring id;
    std::wstring parentId;
    std::wstring path;
};

// What the list target asks of the explorer.
class IListDropSink {
public:
    virtual ~IListDropSink() = default;
    // The folder the row stands for; false for a file row, a row without an
    // item, and row 0 at the root of a section.
    virtual bool RowFolder(int row, DropFolder* out) const = 0;
    virtual DropFolder ShownFolder() const = 0;
    virtual int ShownNavigateType() const = 0;
    virtual bool DropCanMove() const = 0;
    virtual bool DropCanUpload() const = 0;
    virtual HRESULT MoveItem(bool isFolder, const std::wstring& fileId, const std::wstring& path,
                             const std::wstring& targetId) = 0;
    virtual void RefreshAfterMove() = 0;
    virtual void UploadDropped(std::vector<UploadEntry> entries) = 0;
};

class CListViewDropTarget : public CDropTargetCtrl {
    Q_OBJECT
public:
    CListViewDropTarget(QAbstractItemView* view, IListDropSink* sink);

    int HoverRow() const { return hoverRow_; }

    // The two drops, as run once the drag has ended.
    void MoveRecords(const std::vector<DragRecord>& records, int row);
    void UploadFiles(const std::vector<std::wstring>& localPaths, int row);

protected:
    void OnDragOver(const QPoint& pos) override;
    void OnDragLeave() override;
    void OnDrop(const QString& format, const QMimeData* data, const QPoint& pos,
                Qt::DropAction effect) override;

private:
    void SetHover(int row);

    QAbstractItemView* view_;
    IListDropSink* sink_;
    CDropHoverFrame* frame_;
    int hoverRow_ = -1;
};

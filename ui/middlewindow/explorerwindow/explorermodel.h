#pragma once
// The rows of the explorer: row 0 is the permanent parent row (".."), every
// other row shows one item of the current listing, except the one row of a
// new folder whose name is still being edited (it gets its item once the
// folder exists). The details view shows four columns; the other views show
// column 0. Rows are added in bulk and sorted in one pass, so a listing of a
// hundred thousand items stays responsive.
#include <QAbstractTableModel>
#include <QFont>
#include <QHash>
#include <QPixmap>
#include <vector>

#include "core/localstorage/localstorage/remoteitem.h"
#include "ui/middlewindow/explorerwindow/exticoncache.h"

class CExplorerModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { kColName = 0, kColSize, kColType, kColModified, kColumnCount };
    // Item data of the rows that show no item.
    static constexpr int kParentRow = -2;
    static constexpr int kNoItem = -1;
    // View modes: 0 thumbnails, 1 tiles, 2 icons, 3 list, 4 details.
    enum ViewMode { kThumbnails = 0, kTiles, kIcons, kList, kDetails };

    explicit CExplorerModel(QObject* parent = nullptr);
    ~CExplorerModel() override;

    // Rows below row 0 go; the items with them.
    void ClearRows();
    // Appends the items and one row for each that has a name.
    void AppendItems(std::vector<RemoteItem> items);
    // The new-folder row (no item yet); returns its row.
    int AppendNewFolderRow(const QString& name, const QString& modified);
    // The new-folder row becomes the row of this item.
    void GiveNewFolderItem(int row, const RemoteItem& item);
    // Removes one row below row 0 (its item stays in the vector, unreferenced).
    void RemoveRowAt(int row);
    void SetItemName(int row, const std::wstring& name);

    // Row 0 first, the new-folder row last, the rest stably ordered by kind and column.
    void Sort(int column, Qt::SortOrder order);

    // kParentRow, kNoItem or the index into Items().
    int ItemIndexOfRow(int row) const;
    // Null for row 0, the new-folder row and rows out of range.
    const RemoteItem* ItemOfRow(int row) const;
    // -1 when no row shows the item.
    int RowOfItemIndex(int index) const;
    const std::vector<RemoteItem>& Items() const { return items_; }
    int RowCountTotal() const { return int(rows_.size()); }
    int FolderCount() const { return folders_; }
    int FileCount() const { return files_; }
    void ResetCounts() { folders_ = files_ = 0; }

    void SetViewMode(int mode);
    int ViewMode() const { return viewMode_; }
    // The thumbnail view's picture or status tile of an item; dropped with DropTiles.
    void SetTile(int itemIndex, const QPixmap& tile);
    bool HasTile(int itemIndex) const { return tiles_.contains(itemIndex); }
    void DropTiles();
    void SetTileFont(const QFont& font) { tileFont_ = font; }

    ExtIconCache& Icons() { return icons_; }
    QIcon IconOfRow(int row) const;
    QString TypeTextOf(const RemoteItem& item) const;
    // "%.2fK", "%.2fM" or "%.2fG".
    static QString SizeText(int64_t size);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // Label edits end in the window, never here.
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

private:
    struct Row {
        int item = kNoItem;
    };
    ExtIconEntry& EntryOf(const RemoteItem& item) const;
    QPixmap TileOfRow(int row) const;

    mutable ExtIconCache icons_;
    std::vector<RemoteItem> items_;
    std::vector<Row> rows_;
    QString newFolderName_;
    QString newFolderModified_;
    int folders_ = 0;
    int files_ = 0;
    int viewMode_ = kDetails;
    QHash<int, QPixmap> tiles_;
    QFont tileFont_;
};

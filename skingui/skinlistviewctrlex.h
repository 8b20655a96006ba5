#pragma once
// The task list: rows kept in the control, grouped under collapsible group rows,
// every cell a single-line markup page that may hold icons and links. The view
// shows the visible rows only; item indexes are visible indexes.
#include <QTreeView>
#include <memory>
#include <vector>

#include "skingui/colorref.h"
#include "skingui/listgroupmap.h"
#include "skingui/vformatcontrol.h"

namespace SKINGUI {

class CSkinHeaderCtrlEx;
class SkinListModel;

class CSkinListViewCtrlEx : public QTreeView {
    Q_OBJECT
public:
    enum SkinStyle : uint32_t {
        kNoSelection = 1,             // selected rows are drawn like the others
        kSkinHeader = 4,              // the header takes the list's height and colours
        kFixedColumns = 8,            // the user cannot resize columns
        kBorder = 0x2000,             // 1-pixel border; no left grid line in the first column
        kTransparentHeader = 0x4000,  // header captions without their own background
        kHorzGrid = 0x8000,           // a line under every cell
        kVertGrid = 0x10000,          // lines between cells
    };
    enum RowType { kRowNormal = 0, kRowGroup = 1 };

    struct Cell {
        std::unique_ptr<SingleLineFormatControl> page;
    };
    struct Row {
        uint32_t flags = 0;  // the owner's value (the task pane keeps its row kind here)
        int level = 0;       // group rows sit above the rows under them
        int expanded = 1;    // 0 hides the rows under this row
        int type = kRowNormal;
        uint32_t color = uint32_t(kNotSet);  // background; kNotSet = the list's colour
        std::vector<Cell> cells;
    };

    explicit CSkinListViewCtrlEx(QWidget* parent = nullptr);
    ~CSkinListViewCtrlEx() override;

    void SetSkinStyle(uint32_t flags);
    uint32_t SkinStyle() const { return style_; }
    // Height of every row (and of the skinned header, when attached later).
    void SetRowHeight(int height);
    int RowHeight() const { return rowHeight_; }
    // Background of the skinned header; false while the header is not attached.
    bool SetSkinBkColor(ColorRef color);
    void SetBkColor(ColorRef color);
    ColorRef BkColor() const { return bkColor_; }
    void SetSelectionColor(ColorRef color);
    // kNotSet draws no selection frame.
    void SetSelectionFrameColor(uint32_t color);
    void SetGradientSelection(bool on);
    void SetGridColors(ColorRef horizontal, ColorRef vertical);
    ColorRef HorzGridColor() const { return horzGrid_; }

    // Creates columns up to the index and sets the column's caption markup.
    int SetColumn(int index, const QString& caption, int width, int startX, uint32_t alignment);
    int ColumnCount() const;
    // Resizes a column and every cell page in it.
    void SetColumnWidth(int column, int width);
    CSkinHeaderCtrlEx* SkinHeader() const { return header_; }

    // Inserts blank rows; false when index is beyond the row count.
    bool InsertRows(int index, int count);
    // Deletes rows first..first+count-1; a range that is not wholly there is ignored.
    bool DeleteRows(int first, int count);
    bool DeleteRow(int row);
    void DeleteAllRows();
    // Sets the owner's word, creating rows up to the index.
    void SetRowFlags(int row, uint32_t value);
    // Background, level and type of an existing row; false when there is no such row.
    bool SetRowAttributes(int row, uint32_t color, int level, int type);
    // Sets a cell's markup, creating rows up to the index; 0 for a column that does not exist.
    int SetCellText(int row, int column, const QString& text, int startX, uint32_t alignment);
    // The cell's page, created (empty) when missing, for owners that build it from
    // plain text runs and links; null for a column that does not exist. Call UpdateRow afterwards.
    SingleLineFormatControl* EnsureCellPage(int row, int column, int startX, uint32_t alignment);
    void UpdateRow(int row);
    // Returns the number of rows under the group, 0 when the state did not change.
    int ExpandGroup(int row, bool expanded);
    // direction 1: visible index -> row; 0: row -> visible index (-1 when hidden).
    int MapRowIndex(int index, int direction) const;
    // Null when out of range.
    const Row* GetRow(int row) const;
    int RowCount() const { return int(rows_.size()); }
    // Visible rows: the view's item count.
    int ItemCount() const { return map_.VisibleCount(); }
    // Colour a row is filled with in the given selection state.
    ColorRef RowBkColor(int row, bool selected) const;
    // Cell rectangle in viewport coordinates of a row (empty when hidden).
    QRect CellRect(int row, int column) const;

signals:
    // A link in a cell was clicked.
    void linkClicked(int row, int column, const QString& name);

protected:
    void drawRow(QPainter* painter, const QStyleOptionViewItem& option,
                 const QModelIndex& index) const override;
    void keyPressEvent(QKeyEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    bool viewportEvent(QEvent* event) override;

private:
    friend class SkinListModel;

    void ApplyBorder();
    Row* GetOrCreateRow(int row);
    void RowsChanged();
    void ResizeCellPage(int row, int column);
    void ResizeColumnPages(int column);
    bool IsRowSelected(int visible) const;
    // Row and column of the cell under a viewport point; false when none.
    bool CellAt(QPoint point, int* row, int* column) const;
    SingleLineFormatControl* CellPage(int row, int column) const;
    void ClearHover();

    SkinListModel* model_ = nullptr;
    CSkinHeaderCtrlEx* header_ = nullptr;
    std::vector<std::unique_ptr<Row>> rows_;
    ListGroupMap map_;
    // The row shown at each item position since the last rebuild; only
    // compared, never followed, once rows may have gone.
    std::vector<const Row*> visibleRows_;
    uint32_t style_ = 0;
    bool headerAttached_ = false;  // SetSkinStyle with kSkinHeader has dressed the header
    int rowHeight_ = 20;
    ColorRef bkColor_ = 0xFFFFFF;
    ColorRef selColor_ = 0xDCBEAA;
    uint32_t selFrameColor_ = uint32_t(kNotSet);
    bool gradientSelection_ = false;
    ColorRef horzGrid_ = 0xC0C0C0;
    ColorRef vertGrid_ = 0xC0C0C0;
    int hoverRow_ = -1;  // cell whose page last saw the pointer; -1 none
    int hoverColumn_ = -1;
    int pressRow_ = -1;  // cell the left button went down on; -1 none
    int pressColumn_ = -1;
};

}  // namespace SKINGUI

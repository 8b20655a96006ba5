#include "skingui/skinlistviewctrlex.h"

#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <unordered_map>

#include "skingui/drawhelpers.h"
#include "skingui/reportview.h"
#include "skingui/skinheaderctrlex.h"
#include "skingui/skinlistmodel.h"

namespace SKINGUI {

CSkinListViewCtrlEx::CSkinListViewCtrlEx(QWidget* parent) : QTreeView(parent) {
    header_ = new CSkinHeaderCtrlEx(this);
    setHeader(header_);
    model_ = new SkinListModel(this);
    rowHeight_ = fontMetrics().height() + 4;
    model_->SetRowHeight(rowHeight_);
    setModel(model_);
    SetUpReportView(*this);
    setFrameStyle(QFrame::NoFrame);
    setMouseTracking(true);
    viewport()->setMouseTracking(true);
    SetBkColor(GetSysColor(COLOR_WINDOW));
    connect(header_, &QHeaderView::sectionResized, this,
            [this](int column, int, int) { ResizeColumnPages(column); });
}

CSkinListViewCtrlEx::~CSkinListViewCtrlEx() = default;

void CSkinListViewCtrlEx::SetSkinStyle(uint32_t flags) {
    style_ = flags;
    ApplyBorder();
    if ((flags & kSkinHeader) && !headerAttached_) {
        headerAttached_ = true;
        header_->SetHeaderHeight(rowHeight_);
        header_->SetLineColor(horzGrid_);
        header_->SetBkColor(bkColor_);
        header_->SetFlags(flags & (kFixedColumns | kTransparentHeader));
    }
    viewport()->update();
}

void CSkinListViewCtrlEx::ApplyBorder() {
    // The frame takes one pixel off every side, as the shrunk client area did.
    ApplyReportBorder(*this, (style_ & kBorder) != 0, horzGrid_);
}

void CSkinListViewCtrlEx::SetRowHeight(int height) {
    rowHeight_ = std::max(1, height);
    model_->SetRowHeight(rowHeight_);
    for (int r = 0; r < int(rows_.size()); ++r) {
        for (int c = 0; c < int(rows_[r]->cells.size()); ++c) {
            ResizeCellPage(r, c);
        }
    }
    doItemsLayout();
    viewport()->update();
}

bool CSkinListViewCtrlEx::SetSkinBkColor(ColorRef color) {
    if (!headerAttached_) {
        return false;
    }
    header_->SetBkColor(color);
    return true;
}

void CSkinListViewCtrlEx::SetBkColor(ColorRef color) {
    bkColor_ = color;
    QPalette pal = viewport()->palette();
    pal.setColor(QPalette::Base, color.ToQColor());
    pal.setColor(QPalette::Window, color.ToQColor());
    viewport()->setPalette(pal);
    viewport()->setAutoFillBackground(true);
    viewport()->update();
}

void CSkinListViewCtrlEx::SetSelectionColor(ColorRef color) {
    selColor_ = color;
    viewport()->update();
}

void CSkinListViewCtrlEx::SetSelectionFrameColor(uint32_t color) {
    selFrameColor_ = color;
    viewport()->update();
}

void CSkinListViewCtrlEx::SetGradientSelection(bool on) {
    gradientSelection_ = on;
    viewport()->update();
}

void CSkinListViewCtrlEx::SetGridColors(ColorRef horizontal, ColorRef vertical) {
    horzGrid_ = horizontal;
    vertGrid_ = vertical;
    ApplyBorder();
    viewport()->update();
}

int CSkinListViewCtrlEx::SetColumn(int index, const QString& caption, int width, int startX,
                                   uint32_t alignment) {
    if (index < 0) {
        return 0;
    }
    const int before = model_->columnCount();
    if (index >= before) {
        model_->SyncColumns(index + 1);
        // Columns created on the way take the same width.
        for (int c = before; c < index && width != -1; ++c) {
            header_->SetItemWidth(c, width);
        }
    }
    const int result = header_->SetItemMarkup(index, caption, width, startX, alignment);
    ResizeColumnPages(index);
    return result;
}

int CSkinListViewCtrlEx::ColumnCount() const {
    return model_->columnCount();
}

void CSkinListViewCtrlEx::SetColumnWidth(int column, int width) {
    if (column < 0 || column >= ColumnCount()) {
        return;
    }
    header_->SetItemWidth(column, width);
    ResizeColumnPages(column);
    viewport()->update();
}

bool CSkinListViewCtrlEx::InsertRows(int index, int count) {
    if (index < 0 || index > int(rows_.size()) || count < 0) {
        return false;
    }
    for (int i = 0; i < count; ++i) {
        rows_.insert(rows_.begin() + index, std::make_unique<Row>());
    }
    RowsChanged();
    return true;
}

bool CSkinListViewCtrlEx::DeleteRows(int first, int count) {
    if (first < 0 || count < 0 || first + count > int(rows_.size())) {
        return false;
    }
    // Last first, as the rows below keep their indexes meanwhile.
    for (int r = first + count - 1; r >= first; --r) {
        rows_.erase(rows_.begin() + r);
    }
    RowsChanged();
    return true;
}

bool CSkinListViewCtrlEx::DeleteRow(int row) {
    return DeleteRows(row, 1);
}

void CSkinListViewCtrlEx::DeleteAllRows() {
    DeleteRows(0, int(rows_.size()));
}

CSkinListViewCtrlEx::Row* CSkinListViewCtrlEx::GetOrCreateRow(int row) {
    if (row < 0) {
        return nullptr;
    }
    while (int(rows_.size()) <= row) {
        rows_.push_back(std::make_unique<Row>());
    }
    return rows_[row].get();
}

void CSkinListViewCtrlEx::SetRowFlags(int row, uint32_t value) {
    const bool grows = row >= int(rows_.size());
    if (Row* r = GetOrCreateRow(row)) {
        r->flags = value;
        if (grows) {
            RowsChanged();
        }
    }
}

bool CSkinListViewCtrlEx::SetRowAttributes(int row, uint32_t color, int level, int type) {
    if (row < 0 || row >= int(rows_.size())) {
        return false;
    }
    Row& r = *rows_[row];
    r.color = color;
    r.level = level;
    r.type = type;
    if (!r.cells.empty()) {
        ResizeCellPage(row, 0);
    }
    RowsChanged();
    return true;
}

SingleLineFormatControl* CSkinListViewCtrlEx::EnsureCellPage(int row, int column, int startX,
                                                             uint32_t alignment) {
    // Cells exist only for the header's columns.
    if (column < 0 || column >= ColumnCount() || row < 0) {
        return nullptr;
    }
    const bool grows = row >= int(rows_.size());
    Row* r = GetOrCreateRow(row);
    if (int(r->cells.size()) < ColumnCount()) {
        r->cells.resize(ColumnCount());
    }
    auto& page = r->cells[column].page;
    if (!page) {
        page = std::make_unique<SingleLineFormatControl>();
        page->SetCursorWidget(viewport());
    }
    page->SetAlignment(alignment);
    page->SetStartX(startX);
    ResizeCellPage(row, column);
    if (grows) {
        RowsChanged();
    }
    return page.get();
}

int CSkinListViewCtrlEx::SetCellText(int row, int column, const QString& text, int startX,
                                     uint32_t alignment) {
    SingleLineFormatControl* page = EnsureCellPage(row, column, startX, alignment);
    if (page == nullptr) {
        return 0;
    }
    if (hoverRow_ == row && hoverColumn_ == column) {
        hoverRow_ = hoverColumn_ = -1;
    }
    const int result = page->SetText(text);
    UpdateRow(row);
    return result;
}

void CSkinListViewCtrlEx::UpdateRow(int row) {
    const int visible = map_.RowToVisible(row);
    if (visible >= 0) {
        viewport()->update(visualRect(model_->index(visible, 0)).adjusted(-10000, 0, 10000, 0));
    }
}

int CSkinListViewCtrlEx::ExpandGroup(int row, bool expanded) {
    if (row < 0 || row >= int(rows_.size()) || (rows_[row]->expanded != 0) == expanded) {
        return 0;
    }
    rows_[row]->expanded = expanded ? 1 : 0;
    RowsChanged();
    return map_.ChildCount(row);
}

int CSkinListViewCtrlEx::MapRowIndex(int index, int direction) const {
    return direction == 1 ? map_.VisibleToRow(index) : map_.RowToVisible(index);
}

const CSkinListViewCtrlEx::Row* CSkinListViewCtrlEx::GetRow(int row) const {
    return (row >= 0 && row < int(rows_.size())) ? rows_[row].get() : nullptr;
}

void CSkinListViewCtrlEx::RowsChanged() {
    if (hoverRow_ >= 0) {
        // Rows may have moved under the hovered cell: no cell keeps an underline.
        for (const auto& r : rows_) {
            for (const Cell& cell : r->cells) {
                if (cell.page) {
                    cell.page->LeaveLinks();
                }
            }
        }
    }
    // The selection and the current item stay with the rows the user chose,
    // not with item positions: a cancel or open acts on the task that was
    // highlighted, whatever was inserted, deleted or collapsed around it.
    std::vector<const Row*> selected;
    const Row* current = nullptr;
    if (QItemSelectionModel* selection = selectionModel()) {
        for (const QModelIndex& index : selection->selectedRows()) {
            if (index.row() < int(visibleRows_.size()))
                selected.push_back(visibleRows_[index.row()]);
        }
        const QModelIndex index = selection->currentIndex();
        if (index.isValid() && index.row() < int(visibleRows_.size()))
            current = visibleRows_[index.row()];
    }
    std::vector<ListGroupMap::Row> states(rows_.size());
    for (size_t i = 0; i < rows_.size(); ++i) {
        states[i].level = rows_[i]->level;
        states[i].expanded = rows_[i]->expanded != 0;
    }
    map_.Rebuild(states);
    // The item count always follows the visible rows, never the raw row count.
    model_->SyncRows(map_.VisibleCount());
    visibleRows_.assign(size_t(map_.VisibleCount()), nullptr);
    std::unordered_map<const Row*, int> visibleOf;
    for (int v = 0; v < map_.VisibleCount(); ++v) {
        visibleRows_[v] = rows_[map_.VisibleToRow(v)].get();
        visibleOf[visibleRows_[v]] = v;
    }
    if (QItemSelectionModel* selection = selectionModel()) {
        QItemSelection kept;
        const int lastColumn = std::max(model_->columnCount() - 1, 0);
        for (const Row* row : selected) {
            auto found = visibleOf.find(row);
            if (found != visibleOf.end())
                kept.select(model_->index(found->second, 0), model_->index(found->second, lastColumn));
        }
        auto found = visibleOf.find(current);
        const QModelIndex now = found != visibleOf.end() ? model_->index(found->second, 0) : QModelIndex();
        if (now != selection->currentIndex())
            selection->setCurrentIndex(now, QItemSelectionModel::NoUpdate);
        if (kept != selection->selection())
            selection->select(kept, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    }
    hoverRow_ = hoverColumn_ = -1;
    pressRow_ = pressColumn_ = -1;
    viewport()->update();
}

void CSkinListViewCtrlEx::ResizeCellPage(int row, int column) {
    SingleLineFormatControl* page = CellPage(row, column);
    if (page == nullptr) {
        return;
    }
    const Row& r = *rows_[row];
    // A group row's first cell spans the whole row.
    const int width = (r.type == kRowGroup && column == 0) ? header_->length() : header_->sectionSize(column);
    page->SetSize(width, rowHeight_);
}

void CSkinListViewCtrlEx::ResizeColumnPages(int column) {
    for (int r = 0; r < int(rows_.size()); ++r) {
        ResizeCellPage(r, column);
        if (rows_[r]->type == kRowGroup) {
            ResizeCellPage(r, 0);
        }
    }
    viewport()->update();
}

SingleLineFormatControl* CSkinListViewCtrlEx::CellPage(int row, int column) const {
    const Row* r = GetRow(row);
    if (r == nullptr || column < 0 || column >= int(r->cells.size())) {
        return nullptr;
    }
    return r->cells[column].page.get();
}

ColorRef CSkinListViewCtrlEx::RowBkColor(int row, bool selected) const {
    if (selected && !(style_ & kNoSelection)) {
        return selColor_;
    }
    const Row* r = GetRow(row);
    if (r != nullptr && r->color != uint32_t(kNotSet)) {
        return r->color;
    }
    return bkColor_;
}

bool CSkinListViewCtrlEx::IsRowSelected(int visible) const {
    return selectionModel() != nullptr && selectionModel()->isRowSelected(visible, QModelIndex());
}

QRect CSkinListViewCtrlEx::CellRect(int row, int column) const {
    const int visible = map_.RowToVisible(row);
    if (visible < 0 || column < 0 || column >= ColumnCount()) {
        return QRect();
    }
    const QRect item = visualRect(model_->index(visible, 0));
    const Row& r = *rows_[row];
    if (r.type == kRowGroup) {
        return QRect(header_->sectionViewportPosition(0), item.top(), header_->length(), item.height());
    }
    return QRect(header_->sectionViewportPosition(column), item.top(), header_->sectionSize(column),
                 item.height());
}

void CSkinListViewCtrlEx::drawRow(QPainter* painter, const QStyleOptionViewItem& option,
                                  const QModelIndex& index) const {
    const int row = map_.VisibleToRow(index.row());
    const Row* r = GetRow(row);
    if (r == nullptr) {
        return;
    }
    QPainter& p = *painter;
    p.save();
    p.setFont(font());
    p.setPen(GetSysColor(COLOR_WINDOWTEXT).ToQColor());
    const int top = option.rect.top(), h = option.rect.height(), bottom = top + h;
    const bool selected = IsRowSelected(index.row());
    const ColorRef bk = RowBkColor(row, selected);
    if (r->type == kRowGroup) {
        const QRect item(header_->sectionViewportPosition(0), top, header_->length(), h);
        p.fillRect(item, bk.ToQColor());
        DrawLine(p, item.left(), bottom - 1, item.left() + item.width(), bottom - 1, horzGrid_);
        if (!r->cells.empty() && r->cells[0].page) {
            r->cells[0].page->Draw(p, item);
        }
        p.restore();
        return;
    }
    const int columns = ColumnCount();
    int lastVisual = -1;
    for (int v = 0; v < header_->count(); ++v) {
        if (!header_->isSectionHidden(header_->logicalIndex(v))) {
            lastVisual = v;
        }
    }
    for (int v = 0; v < header_->count(); ++v) {
        const int c = header_->logicalIndex(v);
        if (c >= columns || header_->isSectionHidden(c)) {
            continue;
        }
        const int left = header_->sectionViewportPosition(c);
        const int right = left + header_->sectionSize(c);
        const QRect cell(left, top, right - left, h);
        p.fillRect(cell, bk.ToQColor());
        if (style_ & kHorzGrid) {
            DrawLine(p, left, bottom - 1, right, bottom - 1, horzGrid_);
        }
        if (style_ & kVertGrid) {
            if (!(c == 0 && (style_ & kBorder))) {
                DrawLine(p, left, top, left, bottom, vertGrid_);
            }
            DrawLine(p, right, top, right, bottom, vertGrid_);
        }
        if (selected && !(style_ & kNoSelection)) {
            QRect inner(left + 1, top + 1, right - left - 2, h - 2);
            if (style_ & kVertGrid) {
                inner.setWidth(inner.width() - 1);
            }
            if (gradientSelection_) {
                FillGradient(p, inner, 0xFFFFFF, ColorRef(selFrameColor_), true);
            } else {
                p.fillRect(inner, selColor_.ToQColor());
            }
            if (selFrameColor_ != uint32_t(kNotSet)) {
                const ColorRef frame(selFrameColor_);
                DrawLine(p, left, top, right, top, frame);
                DrawLine(p, left, bottom - 1, right, bottom - 1, frame);
                if (c == 0) {
                    DrawLine(p, left, top, left, bottom, frame);
                }
                if (v == lastVisual) {
                    DrawLine(p, right - 1, top, right - 1, bottom, frame);
                }
            }
        }
        if (c < int(r->cells.size()) && r->cells[c].page) {
            r->cells[c].page->Draw(p, cell);
        }
    }
    p.restore();
}

void CSkinListViewCtrlEx::keyPressEvent(QKeyEvent* event) {
    const int row = map_.VisibleToRow(currentIndex().row());
    const Row* r = GetRow(row);
    if (r != nullptr && event->key() == Qt::Key_Left) {
        if (r->type == kRowGroup) {
            ExpandGroup(row, false);
        } else {
            const int group = map_.GroupOf(row);
            const int visible = map_.RowToVisible(group);
            if (visible >= 0) {
                setCurrentIndex(model_->index(visible, 0));
            }
        }
    } else if (r != nullptr && event->key() == Qt::Key_Right && r->type == kRowGroup) {
        ExpandGroup(row, true);
    }
    QTreeView::keyPressEvent(event);
}

bool CSkinListViewCtrlEx::CellAt(QPoint point, int* row, int* column) const {
    const QModelIndex index = indexAt(point);
    if (!index.isValid()) {
        return false;
    }
    *row = map_.VisibleToRow(index.row());
    const Row* r = GetRow(*row);
    if (r == nullptr) {
        return false;
    }
    *column = r->type == kRowGroup ? 0 : header_->logicalIndexAt(point.x());
    return *column >= 0;
}

void CSkinListViewCtrlEx::ClearHover() {
    if (SingleLineFormatControl* page = CellPage(hoverRow_, hoverColumn_)) {
        if (page->LeaveLinks() == kLinkHoverChanged) {
            viewport()->update(CellRect(hoverRow_, hoverColumn_));
        }
    }
    hoverRow_ = hoverColumn_ = -1;
}

void CSkinListViewCtrlEx::mouseMoveEvent(QMouseEvent* event) {
    QTreeView::mouseMoveEvent(event);
    const QPoint pt = event->position().toPoint();
    int row = -1, column = -1;
    if (!CellAt(pt, &row, &column) || CellPage(row, column) == nullptr) {
        ClearHover();
        return;
    }
    if (row != hoverRow_ || column != hoverColumn_) {
        ClearHover();
        hoverRow_ = row;
        hoverColumn_ = column;
    }
    const QRect cell = CellRect(row, column);
    if (CellPage(row, column)->TrackLinkHover(pt - cell.topLeft()) == kLinkHoverChanged) {
        viewport()->update(cell);
    }
}

void CSkinListViewCtrlEx::mousePressEvent(QMouseEvent* event) {
    pressRow_ = pressColumn_ = -1;
    if (event->button() == Qt::LeftButton) {
        CellAt(event->position().toPoint(), &pressRow_, &pressColumn_);
    }
    QTreeView::mousePressEvent(event);
}

void CSkinListViewCtrlEx::mouseReleaseEvent(QMouseEvent* event) {
    QTreeView::mouseReleaseEvent(event);
    if (event->button() != Qt::LeftButton) {
        return;
    }
    const QPoint pt = event->position().toPoint();
    int row = -1, column = -1;
    const bool sameCell = CellAt(pt, &row, &column) && row == pressRow_ && column == pressColumn_;
    pressRow_ = pressColumn_ = -1;
    SingleLineFormatControl* page = sameCell ? CellPage(row, column) : nullptr;
    if (page == nullptr) {
        return;
    }
    QString name;
    if (page->HitTest(pt - CellRect(row, column).topLeft(), &name) == kActionLink) {
        emit linkClicked(row, column, name);
    }
}

void CSkinListViewCtrlEx::leaveEvent(QEvent* event) {
    ClearHover();
    QTreeView::leaveEvent(event);
}

bool CSkinListViewCtrlEx::viewportEvent(QEvent* event) {
    if (event->type() == QEvent::Leave) {
        ClearHover();
    }
    return QTreeView::viewportEvent(event);
}

}  // namespace SKINGUI

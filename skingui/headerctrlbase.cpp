#include "skingui/headerctrlbase.h"

#include <QPainter>

#include "skingui/drawhelpers.h"

namespace SKINGUI {

CHeaderCtrlBase::CHeaderCtrlBase(QWidget* parent) : QHeaderView(Qt::Horizontal, parent) {
    setSectionsMovable(false);
    setStretchLastSection(false);
    setMinimumSectionSize(0);
    setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    connect(this, &QHeaderView::sectionCountChanged, this, [this] { ApplyWidths(); });
}

CHeaderCtrlBase::~CHeaderCtrlBase() = default;

void CHeaderCtrlBase::SetFlags(uint32_t flags) {
    flags_ = flags;
    setSectionResizeMode((flags & kFixedWidths) ? QHeaderView::Fixed : QHeaderView::Interactive);
    viewport()->update();
}

void CHeaderCtrlBase::SetHeaderHeight(int height) {
    height_ = height;
    for (auto& page : pages_) {
        if (page) {
            page->SetSize(page->Width(), height_);
        }
    }
    updateGeometry();
    // The owning tree view re-places its header and rows on this signal.
    emit geometriesChanged();
    viewport()->update();
}

void CHeaderCtrlBase::SetLineColor(ColorRef color) {
    lineColor_ = color;
    viewport()->update();
}

void CHeaderCtrlBase::GrowSlots(int columns) {
    if (int(pages_.size()) < columns) {
        pages_.resize(columns);
        widths_.resize(columns, -1);
    }
}

int CHeaderCtrlBase::SetItemMarkup(int column, const QString& text, int width, int startX,
                                   uint32_t alignment) {
    if (column < 0) {
        return 0;
    }
    GrowSlots(column + 1);
    auto& page = pages_[column];
    if (!page) {
        page = std::make_unique<SingleLineFormatControl>();
    }
    if (width != -1) {
        SetItemWidth(column, width);
    }
    page->SetSize(width != -1 ? width : ItemWidth(column), height_);
    page->SetStartX(startX);
    page->SetAlignment(alignment);
    const int result = page->SetText(text);
    viewport()->update();
    return result;
}

void CHeaderCtrlBase::SetItemWidth(int column, int width) {
    if (column < 0) {
        return;
    }
    GrowSlots(column + 1);
    widths_[column] = width;
    if (pages_[column]) {
        pages_[column]->SetSize(width, height_);
    }
    if (column < count() && sectionSize(column) != width) {
        resizeSection(column, width);
    }
}

int CHeaderCtrlBase::ItemWidth(int column) const {
    if (column >= 0 && column < count()) {
        return sectionSize(column);
    }
    return (column >= 0 && column < int(widths_.size())) ? widths_[column] : 0;
}

void CHeaderCtrlBase::ApplyWidths() {
    for (int c = 0; c < int(widths_.size()) && c < count(); ++c) {
        if (widths_[c] >= 0 && sectionSize(c) != widths_[c]) {
            resizeSection(c, widths_[c]);
        }
    }
}

SingleLineFormatControl* CHeaderCtrlBase::ColumnPage(int column) const {
    return (column >= 0 && column < int(pages_.size())) ? pages_[column].get() : nullptr;
}

QSize CHeaderCtrlBase::sizeHint() const {
    return QSize(QHeaderView::sizeHint().width(), height_);
}

void CHeaderCtrlBase::DrawCaption(QPainter& painter, int column, const QRect& itemRect) {
    SingleLineFormatControl* page = ColumnPage(column);
    if (page == nullptr) {
        return;
    }
    if (page->Width() != itemRect.width()) {
        page->SetSize(itemRect.width(), height_);
    }
    painter.save();
    painter.setFont(font());
    painter.setPen(GetSysColor(COLOR_WINDOWTEXT).ToQColor());
    if (!(flags_ & kTransparentCaptions)) {
        // Opaque text sits on the window colour, as text drawn without the transparent mode does.
        page->SetContext(font(), GetSysColor(COLOR_WINDOWTEXT));
        page->Layout();
        for (const PageLine& line : page->Lines()) {
            for (const PageRun& run : line.runs) {
                const MarkupElement* e = page->Element(run.element);
                if (e != nullptr && e->kind == kElementText) {
                    painter.fillRect(run.rect.translated(itemRect.topLeft()),
                                     GetSysColor(COLOR_WINDOW).ToQColor());
                }
            }
        }
    }
    page->Draw(painter, itemRect);
    painter.restore();
}

int CHeaderCtrlBase::PaintItems(QPainter& painter, int h,
                                const std::function<void(const QRect& item)>& fillItem,
                                const std::function<void(int column, const QRect& item)>& decorate) {
    int lastRight = -1;
    bool first = true;
    for (int visual = 0; visual < count(); ++visual) {
        const int column = logicalIndex(visual);
        if (isSectionHidden(column)) {
            continue;
        }
        const int left = sectionViewportPosition(column);
        const int right = left + sectionSize(column);
        const QRect item(left, 0, right - left, h);
        fillItem(item);
        if (!first) {
            DrawLine(painter, left, 0, left, h, lineColor_);
        }
        DrawLine(painter, right, 0, right, h, lineColor_);
        DrawLine(painter, left, h - 1, right, h - 1, lineColor_);
        DrawCaption(painter, column, item);
        if (decorate) {
            decorate(column, item);
        }
        lastRight = right;
        first = false;
    }
    return lastRight;
}

void CHeaderCtrlBase::mouseReleaseEvent(QMouseEvent* event) {
    QHeaderView::mouseReleaseEvent(event);
    if (QWidget* list = parentWidget()) {
        list->update();
        if (auto* view = qobject_cast<QAbstractScrollArea*>(list)) {
            view->viewport()->update();
        }
    }
}

}  // namespace SKINGUI

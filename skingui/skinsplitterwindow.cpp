#include "skingui/skinsplitterwindow.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

#include "skingui/drawhelpers.h"

namespace SKINGUI {

namespace {

constexpr ColorRef kBackground = 0xF6EFE6;
constexpr ColorRef kVBarLight = 0xFEFDFF;
constexpr ColorRef kVBarFace = 0xF5EFE6;
constexpr ColorRef kGripDark = 0xB7977A;
constexpr ColorRef kGripLight = 0xFDFFFF;
constexpr ColorRef kHBarLine = 0x98806C;
constexpr ColorRef kWhite = 0xFFFFFF;
constexpr ColorRef kFlatBar = 0xF3E5D9;

// Halftone stand-in for the bar while a ghost drag is under way.
class GhostBar : public QWidget {
public:
    explicit GhostBar(QWidget* parent) : QWidget(parent) { setAttribute(Qt::WA_TransparentForMouseEvents); }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.fillRect(rect(), QBrush(Qt::black, Qt::Dense4Pattern));
    }
};

}  // namespace

CSkinSplitterWindowImpl::CSkinSplitterWindowImpl(bool vertical, QWidget* parent)
    : QWidget(parent), vertical_(vertical) {
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

CSkinSplitterWindowImpl::~CSkinSplitterWindowImpl() = default;

void CSkinSplitterWindowImpl::SetSplitterPanes(QWidget* first, QWidget* second) {
    panes_[0] = first;
    panes_[1] = second;
    for (QWidget* pane : {first, second}) {
        if (pane != nullptr && pane->parentWidget() != this) {
            pane->setParent(this);
            pane->show();
        }
    }
    if (ghost_ != nullptr) {
        ghost_->raise();
    }
    LayoutPanes();
}

QWidget* CSkinSplitterWindowImpl::GetSplitterPane(int index) const {
    return (index == 0 || index == 1) ? panes_[index].data() : nullptr;
}

bool CSkinSplitterWindowImpl::SetSplitterPos(int position) {
    if (Length() <= 0) {
        geometry_.position = position;
        return false;
    }
    geometry_.length = Length();
    geometry_.position = geometry_.Clamp(position);
    LayoutPanes();
    update();
    return true;
}

void CSkinSplitterWindowImpl::SetBarWidth(int width) {
    geometry_.barWidth = std::max(0, width);
    LayoutPanes();
    update();
}

QRect CSkinSplitterWindowImpl::BarRect() const {
    if (geometry_.position == SplitterGeometry::kNotSet) {
        return QRect();
    }
    const int thickness = geometry_.BarEnd() - geometry_.BarStart();
    return vertical_ ? QRect(geometry_.BarStart(), 0, thickness, height())
                     : QRect(0, geometry_.BarStart(), width(), thickness);
}

void CSkinSplitterWindowImpl::LayoutPanes() {
    if (geometry_.position == SplitterGeometry::kNotSet) {
        return;
    }
    const int first = std::max(0, geometry_.FirstPaneEnd());
    const int second = std::min(Length(), geometry_.SecondPaneStart());
    const int rest = std::max(0, Length() - second);
    if (panes_[0]) {
        panes_[0]->setGeometry(vertical_ ? QRect(0, 0, first, height()) : QRect(0, 0, width(), first));
    }
    if (panes_[1]) {
        panes_[1]->setGeometry(vertical_ ? QRect(second, 0, rest, height())
                                         : QRect(0, second, width(), rest));
    }
}

void CSkinSplitterWindowImpl::resizeEvent(QResizeEvent*) {
    geometry_.length = Length();
    if (geometry_.position == SplitterGeometry::kNotSet && Length() > 0) {
        geometry_.position = geometry_.Clamp(SplitterGeometry::kNotSet);
    }
    LayoutPanes();
}

void CSkinSplitterWindowImpl::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), kBackground.ToQColor());
    const QRect bar = BarRect();
    if (bar.isEmpty()) {
        return;
    }
    if (flatBar_) {
        flatBar_ = false;
        p.fillRect(bar, kFlatBar.ToQColor());
        return;
    }
    PaintBar(p, bar);
}

void CSkinSplitterWindowImpl::PaintBar(QPainter& p, const QRect& bar) {
    // Edges as exclusive coordinates, the way the bar was designed.
    const int left = bar.left(), top = bar.top(), right = bar.right() + 1, bottom = bar.bottom() + 1;
    if (vertical_) {
        DrawLine(p, left, top, left, bottom, kVBarLight);
        p.fillRect(QRect(left + 1, top, right - left - 1, bottom - top), kVBarFace.ToQColor());
        const int h = bottom - top;
        const struct {
            int y;
            ColorRef color;
        } grip[] = {{h / 2 - 3, kGripDark},  {h / 2 - 2, kGripLight}, {h / 2, kGripDark},
                    {h / 2 + 1, kGripLight}, {h / 2 + 3, kGripDark},  {h / 2 + 2, kGripLight}};
        for (const auto& line : grip) {
            DrawLine(p, left + 1, line.y, left + 5, line.y, line.color);
        }
    } else {
        DrawLine(p, left + 1, top, right - 1, top, kHBarLine);
        DrawLine(p, left + 1, top + 1, right - 1, top + 1, kWhite);
        const int mid = (right - left) / 2;
        DrawLine(p, mid, bottom - 2, mid + 1, bottom - 2, kHBarLine);
        DrawLine(p, mid - 1, bottom - 3, mid + 2, bottom - 3, kHBarLine);
        DrawLine(p, mid - 2, bottom - 4, mid + 3, bottom - 4, kHBarLine);
        DrawLine(p, mid - 3, bottom - 5, mid + 4, bottom - 5, kHBarLine);
    }
}

void CSkinSplitterWindowImpl::ShowGhost(bool show) {
    if (!show) {
        delete ghost_;
        ghost_ = nullptr;
        return;
    }
    if (ghost_ == nullptr) {
        ghost_ = new GhostBar(this);
    }
    ghost_->setGeometry(BarRect());
    ghost_->raise();
    ghost_->show();
}

void CSkinSplitterWindowImpl::mousePressEvent(QMouseEvent* event) {
    const QPoint pt = event->position().toPoint();
    if (event->button() != Qt::LeftButton || !BarRect().contains(pt)) {
        return;
    }
    dragging_ = true;
    moved_ = false;
    dragOffset_ = Along(pt) - geometry_.position;
    setCursor(vertical_ ? Qt::SplitHCursor : Qt::SplitVCursor);
    if (!fullDrag_) {
        ShowGhost(true);
    }
}

void CSkinSplitterWindowImpl::mouseMoveEvent(QMouseEvent* event) {
    const QPoint pt = event->position().toPoint();
    if (!dragging_) {
        if (BarRect().contains(pt)) {
            setCursor(vertical_ ? Qt::SplitHCursor : Qt::SplitVCursor);
        } else {
            unsetCursor();
        }
        return;
    }
    const int pos = SplitterGeometry::DragPosition(Along(pt), dragOffset_);
    if (pos == geometry_.position) {
        return;
    }
    geometry_.length = Length();
    if (fullDrag_) {
        geometry_.position = geometry_.Clamp(pos);
        LayoutPanes();
        repaint();
    } else {
        // The panes follow only when the button is released.
        geometry_.position = geometry_.ClampGhost(pos);
        ShowGhost(true);
    }
    moved_ = true;
}

void CSkinSplitterWindowImpl::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !dragging_) {
        return;
    }
    // Only a press on the bar makes a click or a move.
    dragging_ = false;
    const bool moved = moved_;
    moved_ = false;
    ShowGhost(false);
    LayoutPanes();
    update();
    if (!BarRect().contains(event->position().toPoint())) {
        unsetCursor();
    }
    if (moved) {
        emit barMoved(geometry_.position);
    } else {
        emit barClicked();
    }
}

void CSkinSplitterWindowImpl::mouseDoubleClickEvent(QMouseEvent*) {
    // A double click never resets the position.
}

void CSkinSplitterWindowImpl::leaveEvent(QEvent*) {
    if (!dragging_) {
        flatBar_ = true;
        update(BarRect());
    }
}

}  // namespace SKINGUI

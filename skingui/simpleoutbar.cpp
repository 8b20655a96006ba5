#include "skingui/simpleoutbar.h"

#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <QToolButton>
#include <QWheelEvent>

#include "skingui/drawhelpers.h"

namespace SKINGUI {

namespace {

constexpr ColorRef kFrameFill = 0xF8F4EF;
constexpr ColorRef kFramePen = 0xBFA972;
constexpr ColorRef kWhite = 0xFFFFFF;
constexpr ColorRef kFrameShadow = 0xE1D0BD;
constexpr ColorRef kPressedTop = 0xF9E4CE;
constexpr ColorRef kPressedBottom = 0xFDF4EA;
constexpr ColorRef kSelected = 0xF8F4EF;
constexpr ColorRef kBandTop = 0xF9EDE1;
constexpr ColorRef kBandBottom = 0xFBDFC7;
constexpr ColorRef kBandLine = 0xC4B4A7;
constexpr int kButtonSize = 20;
constexpr int kButtonStep = 20;

}  // namespace

CSimpleOutBar::CSimpleOutBar(QWidget* parent) : QWidget(parent) {
    setMouseTracking(true);
    up_ = new QToolButton(this);
    up_->setArrowType(Qt::UpArrow);
    up_->setObjectName("1");
    down_ = new QToolButton(this);
    down_->setArrowType(Qt::DownArrow);
    down_->setObjectName("2");
    for (QToolButton* b : {up_, down_}) {
        b->setFixedSize(kButtonSize, kButtonSize);
        b->setFocusPolicy(Qt::NoFocus);
        b->hide();
    }
    connect(up_, &QToolButton::clicked, this, [this] { Scroll(-kButtonStep); });
    connect(down_, &QToolButton::clicked, this, [this] { Scroll(kButtonStep); });
}

CSimpleOutBar::~CSimpleOutBar() = default;

int CSimpleOutBar::AddGroup(const QString& caption, int image) {
    Group g;
    g.caption = caption;
    g.image = image;
    groups_.push_back(std::move(g));
    Relayout();
    return int(groups_.size()) - 1;
}

int CSimpleOutBar::AddItem(int group, int image, const QString& caption) {
    if (group < 0 || group >= int(groups_.size())) {
        return -1;
    }
    groups_[group].items.push_back(Item{image, caption});
    Relayout();
    return int(groups_[group].items.size()) - 1;
}

void CSimpleOutBar::RemoveAllGroups() {
    groups_.clear();
    current_ = 0;
    selected_ = pressed_ = hovered_ = -1;
    Relayout();
}

const CSimpleOutBar::Group* CSimpleOutBar::GetGroup(int group) const {
    return (group >= 0 && group < int(groups_.size())) ? &groups_[group] : nullptr;
}

void CSimpleOutBar::SetCurrentGroup(int group) {
    if (group == current_ || group < 0 || group >= int(groups_.size())) {
        return;
    }
    current_ = group;
    selected_ = pressed_ = hovered_ = -1;
    Relayout();
}

void CSimpleOutBar::SetItemImageList(std::shared_ptr<SkinImageList> list) {
    itemImages_ = std::move(list);
    update();
}

void CSimpleOutBar::SetGroupImageList(std::shared_ptr<SkinImageList> list) {
    groupImages_ = std::move(list);
    update();
}

void CSimpleOutBar::SetHeaderBitmap(const QPixmap& bitmap) {
    header_ = bitmap;
    update();
}

void CSimpleOutBar::SetSeparatorBitmap(const QPixmap& bitmap) {
    separator_ = bitmap;
    update();
}

void CSimpleOutBar::SetContentHeight(int height) {
    layout_.SetContentHeight(height);
    UpdateScrollButtons();
    Relayout();
}

void CSimpleOutBar::Scroll(int d) {
    layout_.Scroll(d);
    Relayout();
}

void CSimpleOutBar::SetSelectedItem(int item) {
    if (item == selected_) {
        return;
    }
    UpdateItem(selected_);
    selected_ = item;
    UpdateItem(selected_);
}

int CSimpleOutBar::ItemCount() const {
    const Group* g = GetGroup(current_);
    return g != nullptr ? int(g->items.size()) : 0;
}

void CSimpleOutBar::Relayout() {
    layout_.LayoutItems(ItemCount());
    update();
}

void CSimpleOutBar::UpdateScrollButtons() {
    const bool show = layout_.NeedsScrollButtons();
    up_->setVisible(show);
    down_->setVisible(show);
}

void CSimpleOutBar::UpdateItem(int item) {
    const QRect r = layout_.ItemRect(item);
    if (!r.isNull()) {
        update(r.adjusted(-4, -4, 4, 4));
    }
}

void CSimpleOutBar::resizeEvent(QResizeEvent*) {
    layout_.Resize(width(), height());
    up_->move(width() - kButtonSize, OutBarLayout::kViewReserve);
    down_->move(width() - kButtonSize, height() - 12);
    UpdateScrollButtons();
    Relayout();
}

void CSimpleOutBar::paintEvent(QPaintEvent*) {
    if (groups_.empty()) {
        return;
    }
    QPainter p(this);
    const int w = width(), h = height();
    DrawFilledRect(p, 0, 0, w, h - 2, kFrameFill, kFramePen);
    DrawRectFrame(p, 1, 1, w - 2, h - 4, kWhite);
    DrawLine(p, 1, h - 1, w - 1, h - 1, kFrameShadow);
    DrawLine(p, 1, h - 2, w - 1, h - 2, kFrameShadow);

    const QRect work = layout_.WorkRect();
    const Group& group = groups_[current_];
    const QFontMetrics fm(font());
    p.setFont(font());
    {
        p.save();
        // Items scrolled under the band or past the frame stay hidden.
        p.setClipRect(layout_.ItemArea());
        for (int i = 0; i < int(group.items.size()); ++i) {
            const QRect r = layout_.ItemRect(i);
            if (r.isNull()) {
                break;
            }
            const int x = r.left(), y = r.top();
            const QRect face(x + 2, y + 3, r.width() - 8, OutBarLayout::kItemHeight - 3);
            if (i == pressed_) {
                FillGradient(p, face, kPressedTop, kPressedBottom, true);
            } else if (i == hovered_) {
                FillGradient(p, face, kPressedBottom, kPressedTop, true);
            } else if (i == selected_) {
                p.fillRect(face, kSelected.ToQColor());
            }
            const Item& item = group.items[i];
            if (itemImages_ && item.image >= 0) {
                itemImages_->Draw(p, item.image, QPoint(x + 10, y + 6));
            }
            const QSize extent(fm.horizontalAdvance(item.caption), fm.height());
            DrawTextInColor(p, QRect(QPoint(x + 38, y + 6 + (24 - extent.height()) / 2), extent),
                            item.caption, DT_LEFT, ColorRef(0));
            if (!separator_.isNull()) {
                DrawBitmap(p, x, y + OutBarLayout::kItemHeight, separator_);
            }
        }
        p.restore();
    }

    const QRect band(work.left(), work.top(), work.width(), OutBarLayout::kBandBottom - work.top());
    FillGradient(p, band, kBandTop, kBandBottom, true);
    if (groupImages_ && group.image >= 0) {
        const QSize icon = groupImages_->IconSize();
        groupImages_->Draw(p, group.image,
                           QPoint(band.left() + 6, band.top() + (band.height() - icon.height()) / 2));
    }
    DrawTextInColor(p, band, group.caption, DT_CENTER | DT_VCENTER | DT_SINGLELINE, ColorRef(0));
    DrawLine(p, band.left(), OutBarLayout::kBandLine, band.right() + 1, OutBarLayout::kBandLine, kBandLine);
    if (!header_.isNull()) {
        DrawBitmap(p, band.left() + 8, OutBarLayout::kBandBottom, header_);
    }
}

void CSimpleOutBar::mouseMoveEvent(QMouseEvent* event) {
    const int item = HitTest(event->position().toPoint());
    if (item == hovered_) {
        return;
    }
    UpdateItem(hovered_);
    hovered_ = item;
    UpdateItem(hovered_);
}

void CSimpleOutBar::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        return;
    }
    const int item = HitTest(event->position().toPoint());
    if (item < 0) {
        return;
    }
    UpdateItem(pressed_);
    pressed_ = item;
    UpdateItem(pressed_);
}

void CSimpleOutBar::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        return;
    }
    const int item = HitTest(event->position().toPoint());
    UpdateItem(pressed_);
    pressed_ = -1;
    if (item < 0) {
        return;
    }
    UpdateItem(selected_);
    selected_ = item;
    UpdateItem(selected_);
    emit itemClicked(item);
}

void CSimpleOutBar::wheelEvent(QWheelEvent* event) {
    Scroll(-event->angleDelta().y());
    event->accept();
}

void CSimpleOutBar::leaveEvent(QEvent*) {
    UpdateItem(hovered_);
    hovered_ = -1;
}

}  // namespace SKINGUI

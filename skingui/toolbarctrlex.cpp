#include "skingui/toolbarctrlex.h"

#include <QEvent>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

#include "skingui/drawhelpers.h"

namespace SKINGUI {

namespace {

constexpr ColorRef kGradientTop = 0xF9EDE3;
constexpr ColorRef kGradientBottom = 0xF6DEC6;
constexpr int kIconTop = 5;
constexpr int kCaptionGap = 8;

}  // namespace

CToolBarCtrlEx::CToolBarCtrlEx(QWidget* parent) : QWidget(parent) {
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

CToolBarCtrlEx::~CToolBarCtrlEx() = default;

void CToolBarCtrlEx::SetImageList(std::shared_ptr<SkinImageList> list) {
    normal_ = std::move(list);
    Relayout();
}

void CToolBarCtrlEx::SetHotImageList(std::shared_ptr<SkinImageList> list) {
    hot_ = std::move(list);
    update();
}

void CToolBarCtrlEx::SetDisabledImageList(std::shared_ptr<SkinImageList> list) {
    disabled_ = std::move(list);
    update();
}

void CToolBarCtrlEx::SetDividerBitmap(const QPixmap& bitmap) {
    divider_ = bitmap;
    update();
}

int CToolBarCtrlEx::AddButton(int commandId, int image, const QString& text) {
    Button b;
    b.commandId = commandId;
    b.image = image;
    b.text = text;
    buttons_.push_back(b);
    Relayout();
    return int(buttons_.size()) - 1;
}

int CToolBarCtrlEx::AddSeparator() {
    Button b;
    b.commandId = 0;
    b.separator = true;
    buttons_.push_back(b);
    Relayout();
    return int(buttons_.size()) - 1;
}

int CToolBarCtrlEx::IndexOf(int commandId) const {
    for (size_t i = 0; i < buttons_.size(); ++i) {
        if (!buttons_[i].separator && buttons_[i].commandId == commandId) {
            return int(i);
        }
    }
    return -1;
}

void CToolBarCtrlEx::EnableButton(int commandId, bool enabled) {
    const int i = IndexOf(commandId);
    if (i < 0 || buttons_[i].enabled == enabled) {
        return;
    }
    buttons_[i].enabled = enabled;
    if (!enabled && pressedIndex_ == i) {
        pressedIndex_ = -1;
    }
    UpdateButton(i);
}

bool CToolBarCtrlEx::IsButtonEnabled(int commandId) const {
    const int i = IndexOf(commandId);
    return i >= 0 && buttons_[i].enabled;
}

void CToolBarCtrlEx::HideButton(int commandId, bool hidden) {
    const int i = IndexOf(commandId);
    if (i < 0 || buttons_[i].hidden == hidden) {
        return;
    }
    buttons_[i].hidden = hidden;
    if (hidden && hotIndex_ == i) {
        hotIndex_ = -1;
    }
    if (hidden && pressedIndex_ == i) {
        pressedIndex_ = -1;
    }
    Relayout();
}

bool CToolBarCtrlEx::IsButtonHidden(int commandId) const {
    const int i = IndexOf(commandId);
    return i >= 0 && buttons_[i].hidden;
}

void CToolBarCtrlEx::SetButtonText(int commandId, const QString& text) {
    const int i = IndexOf(commandId);
    if (i < 0) {
        return;
    }
    buttons_[i].text = text;
    Relayout();
}

void CToolBarCtrlEx::SetButtonSize(QSize size) {
    fixedButtonSize_ = size;
    Relayout();
}

QSize CToolBarCtrlEx::ButtonSize() const {
    if (!fixedButtonSize_.isEmpty()) {
        return fixedButtonSize_;
    }
    const QSize icon = normal_ ? normal_->IconSize() : QSize(0, 0);
    const QFontMetrics fm(font());
    int textWidth = 0;
    bool anyText = false;
    for (const Button& b : buttons_) {
        if (!b.separator && !b.text.isEmpty()) {
            textWidth = std::max(textWidth, fm.horizontalAdvance(b.text));
            anyText = true;
        }
    }
    const int textHeight = anyText ? fm.height() : 0;
    return QSize(std::max(icon.width() + 16, textWidth + 10),
                 kIconTop + icon.height() + kCaptionGap + textHeight);
}

void CToolBarCtrlEx::Relayout() {
    std::vector<ToolBarLayout::Entry> entries(buttons_.size());
    for (size_t i = 0; i < buttons_.size(); ++i) {
        entries[i].separator = buttons_[i].separator;
        entries[i].hidden = buttons_[i].hidden;
    }
    layout_.Layout(entries, ButtonSize());
    updateGeometry();
    update();
}

QRect CToolBarCtrlEx::ButtonRect(int commandId) const {
    return layout_.ItemRect(IndexOf(commandId));
}

int CToolBarCtrlEx::HitTest(QPoint point) const {
    return layout_.HitTest(point);
}

int CToolBarCtrlEx::ButtonState(int commandId) const {
    const int i = IndexOf(commandId);
    if (i < 0 || !buttons_[i].enabled) {
        return kStateDisabled;
    }
    if (i == pressedIndex_) {
        return kStatePressed;
    }
    return i == hotIndex_ ? kStateHot : kStateNormal;
}

QSize CToolBarCtrlEx::sizeHint() const {
    const QSize extent = layout_.Extent();
    return QSize(extent.width(), std::max(extent.height(), ButtonSize().height()));
}

void CToolBarCtrlEx::UpdateButton(int index) {
    if (index >= 0 && index < int(buttons_.size())) {
        update(layout_.ItemRect(index));
    }
}

void CToolBarCtrlEx::SetHot(int index) {
    if (index >= 0 && !buttons_[index].enabled) {
        index = -1;
    }
    if (index == hotIndex_) {
        return;
    }
    const int old = hotIndex_;
    hotIndex_ = index;
    UpdateButton(old);
    UpdateButton(index);
}

void CToolBarCtrlEx::paintEvent(QPaintEvent*) {
    QPainter p(this);
    FillGradient(p, rect(), kGradientTop, kGradientBottom, true);
    if (buttons_.empty()) {
        return;
    }
    p.setFont(font());
    const QFontMetrics fm(font());
    const QSize icon = normal_ ? normal_->IconSize() : QSize(0, 0);
    for (int i = 0; i < int(buttons_.size()); ++i) {
        const Button& b = buttons_[i];
        if (b.hidden) {
            continue;
        }
        const QRect r = layout_.ItemRect(i);
        if (!b.separator) {
            const int state = ButtonState(b.commandId);
            const SkinImageList* list = normal_.get();
            if (state == kStateHot || state == kStatePressed) {
                list = hot_ ? hot_.get() : list;
            } else if (state == kStateDisabled) {
                list = disabled_ ? disabled_.get() : list;
            }
            if (list != nullptr && b.image >= 0) {
                list->Draw(p, b.image, QPoint(r.left() + (r.width() - icon.width()) / 2, r.top() + kIconTop));
            }
        }
        if (!divider_.isNull()) {
            DrawBitmap(p, r.left(), (r.height() - divider_.height()) / 2, divider_);
        }
        if (!b.separator && !b.text.isEmpty()) {
            const QSize extent(fm.horizontalAdvance(b.text), fm.height());
            const QRect textRect(r.left() + (r.width() - extent.width() - 2) / 2,
                                 r.top() + icon.height() + kCaptionGap, extent.width(), extent.height());
            DrawTextInColor(p, textRect, b.text, DT_LEFT, ColorRef(0));
        }
    }
}

void CToolBarCtrlEx::mouseMoveEvent(QMouseEvent* event) {
    SetHot(HitTest(event->position().toPoint()));
}

void CToolBarCtrlEx::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        return;
    }
    const int i = HitTest(event->position().toPoint());
    if (i < 0 || !buttons_[i].enabled) {
        return;
    }
    pressedIndex_ = i;
    UpdateButton(i);
}

void CToolBarCtrlEx::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || pressedIndex_ < 0) {
        return;
    }
    const int pressed = pressedIndex_;
    pressedIndex_ = -1;
    UpdateButton(pressed);
    // Like any push button: letting go elsewhere cancels the command.
    if (HitTest(event->position().toPoint()) == pressed && buttons_[pressed].enabled) {
        emit commandTriggered(buttons_[pressed].commandId);
    }
}

void CToolBarCtrlEx::leaveEvent(QEvent*) {
    SetHot(-1);
}

void CToolBarCtrlEx::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange) {
        Relayout();
    }
    QWidget::changeEvent(event);
}

}  // namespace SKINGUI

#include "skingui/skinbitmapbutton.h"

#include <QEnterEvent>
#include <QPainter>

#include "skingui/colorref.h"
#include "skingui/skinbutton.h"

namespace SKINGUI {

CSkinBitmapButton::CSkinBitmapButton(QWidget* parent, const QString& text) : QAbstractButton(parent) {
    setText(text);
    connect(this, &QAbstractButton::clicked, this, [this] { emit bnClicked(controlId_); });
    SetCaptionFromWindowText();
}

CSkinBitmapButton::~CSkinBitmapButton() = default;

void CSkinBitmapButton::SetImageList(std::shared_ptr<SkinImageList> list) {
    images_ = std::move(list);
    update();
}

void CSkinBitmapButton::SetImages(int normal, int pushed, int hover, int disabled) {
    if (normal != -1) {
        normal_ = normal;
    }
    if (pushed != -1) {
        pushed_ = pushed;
    }
    if (hover != -1) {
        hoverImage_ = hover;
    }
    if (disabled != -1) {
        disabled_ = disabled;
    }
    UpdatePageSize();
    update();
}

int CSkinBitmapButton::SetCaption(const QString& text, int startX, uint32_t alignment) {
    UpdatePageSize();
    caption_.SetStartX(startX);
    caption_.SetAlignment(alignment);
    caption_.SetText(text);
    update();
    return 1;
}

void CSkinBitmapButton::SetCaptionFromWindowText() {
    SetCaption(text().left(kMaxButtonText), 0, kAlignCenter);
}

void CSkinBitmapButton::UpdatePageSize() {
    if (caption_.Width() != width() || caption_.Height() != height()) {
        caption_.SetSize(width(), height());
    }
}

int CSkinBitmapButton::CurrentImage() const {
    int index = normal_;
    if (!isEnabled()) {
        index = disabled_ >= 0 ? disabled_ : normal_;
    } else if (isDown()) {
        index = pushed_ >= 0 ? pushed_ : normal_;
    } else if (hover_) {
        index = hoverImage_ >= 0 ? hoverImage_ : normal_;
    }
    return index;
}

QSize CSkinBitmapButton::sizeHint() const {
    return images_ ? images_->IconSize() : QSize(24, 24);
}

void CSkinBitmapButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (images_) {
        images_->Draw(painter, CurrentImage(), QPoint(0, 0));
    }
    painter.setBackgroundMode(Qt::TransparentMode);
    painter.setFont(font());
    painter.setPen(GetSysColor(COLOR_BTNTEXT).ToQColor());
    UpdatePageSize();
    caption_.Draw(painter, rect());
}

void CSkinBitmapButton::resizeEvent(QResizeEvent* event) {
    QAbstractButton::resizeEvent(event);
    UpdatePageSize();
}

void CSkinBitmapButton::enterEvent(QEnterEvent* event) {
    QAbstractButton::enterEvent(event);
    hover_ = true;
    update();
}

void CSkinBitmapButton::leaveEvent(QEvent* event) {
    QAbstractButton::leaveEvent(event);
    hover_ = false;
    update();
}

}  // namespace SKINGUI

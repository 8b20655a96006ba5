#include "skingui/skinstatic.h"

#include <QMouseEvent>
#include <QPainter>

#include "skingui/skinctlcolor.h"

namespace SKINGUI {

quint32 MouseKeyFlagsOf(const QMouseEvent* event) {
    quint32 flags = 0;
    const Qt::MouseButtons buttons = event->buttons();
    if (buttons & Qt::LeftButton) {
        flags |= MK_LBUTTON;
    }
    if (buttons & Qt::RightButton) {
        flags |= MK_RBUTTON;
    }
    if (buttons & Qt::MiddleButton) {
        flags |= MK_MBUTTON;
    }
    if (event->modifiers() & Qt::ShiftModifier) {
        flags |= MK_SHIFT;
    }
    if (event->modifiers() & Qt::ControlModifier) {
        flags |= MK_CONTROL;
    }
    return flags;
}

CSkinStatic::CSkinStatic(QWidget* parent, const QString& text) : CSkinWindow(parent), windowText_(text) {
    setMouseTracking(true);
    format_.SetCursorWidget(this);
    format_.SetNotify([this](quint32 flags, const QString& name) { emit linkClicked(flags, name); });
    InitFromWindow();
}

CSkinStatic::~CSkinStatic() = default;

void CSkinStatic::InitFromWindow() {
    ColorRef background = GetSysColor(COLOR_BTNFACE);
    if (auto* provider = dynamic_cast<ISkinCtlColor*>(parentWidget())) {
        ColorRef answer;
        if (provider->CtlColorStatic(this, &answer)) {
            background = answer;
        }
    }
    background_ = background;
    textColor_ = GetSysColor(COLOR_WINDOWTEXT);
    UpdatePageSize();
    QString text = windowText_.left(kMaxStaticText);
    if (text.size() == kMaxStaticText && text.back().isHighSurrogate()) {
        text.chop(1);  // never keep half a character
    }
    format_.SetStartX(0);
    format_.SetAlignment(0);
    format_.SetText(text);
}

int CSkinStatic::SetText(const QString& text, int startX, uint32_t alignment) {
    format_.SetStartX(startX);
    format_.SetAlignment(alignment);
    format_.SetText(text);
    InvalidateInParent();
    return 1;
}

void CSkinStatic::SetWindowText(const QString& text) {
    format_.SetText(text);
    InvalidateInParent();
    windowText_ = text;
}

void CSkinStatic::SetPlainText(const QString& text) {
    format_.SetPlainText(text);
    InvalidateInParent();
    windowText_ = text;
}

void CSkinStatic::SetBackgroundColor(ColorRef color) {
    background_ = color;
    InvalidateInParent();
}

void CSkinStatic::SetFrameColor(ColorRef color) {
    frame_ = color;
    InvalidateInParent();
}

void CSkinStatic::SetTextColor(ColorRef color) {
    textColor_ = color;
    update();
}

void CSkinStatic::SetOwnFont(const QFont& font) {
    ownFont_ = font;
    update();
}

void CSkinStatic::ClearOwnFont() {
    ownFont_.reset();
    update();
}

QFont CSkinStatic::PaintFont() const {
    if (ownFont_) {
        return *ownFont_;
    }
    return parentWidget() != nullptr ? parentWidget()->font() : font();
}

void CSkinStatic::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRect rect = this->rect();
    if (background_ != kNoColor) {
        painter.fillRect(rect, background_.ToQColor());
    }
    if (frame_ != kNoColor) {
        const QColor c = frame_.ToQColor();
        painter.fillRect(QRect(rect.left(), rect.top(), rect.width(), 1), c);
        painter.fillRect(QRect(rect.left(), rect.top(), 1, rect.height()), c);
        painter.fillRect(QRect(rect.right(), rect.top(), 1, rect.height()), c);
        painter.fillRect(QRect(rect.left(), rect.bottom(), rect.width(), 1), c);
    }
    painter.setFont(PaintFont());
    painter.setPen(textColor_.ToQColor());
    UpdatePageSize();
    format_.DrawStatic(painter, rect);
}

void CSkinStatic::resizeEvent(QResizeEvent* event) {
    CSkinWindow::resizeEvent(event);
    UpdatePageSize();
}

void CSkinStatic::UpdatePageSize() {
    // Hidden widgets get their resize events only when shown: follow the size here.
    if (format_.Width() != width() || format_.Height() != height()) {
        format_.SetSize(width(), height());
    }
}

void CSkinStatic::mouseMoveEvent(QMouseEvent* event) {
    UpdatePageSize();
    if (format_.TrackLinkHover(event->position().toPoint()) == kLinkHoverChanged) {
        InvalidateInParent();
    }
}

void CSkinStatic::mousePressEvent(QMouseEvent* event) {
    event->accept();
}

void CSkinStatic::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        return;
    }
    UpdatePageSize();
    format_.NotifyLinkClick(event->position().toPoint(), MouseKeyFlagsOf(event));
}

void CSkinStatic::leaveEvent(QEvent* event) {
    CSkinWindow::leaveEvent(event);
    if (format_.LeaveLinks() == kLinkHoverChanged) {
        InvalidateInParent();
    }
}

}  // namespace SKINGUI

#include "skingui/skinhyperlink.h"

#include <QDesktopServices>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace SKINGUI {

CSkinHyperLink::CSkinHyperLink(QWidget* parent, const QString& label, const QString& hyperlink)
    : CSkinWindow(parent), label_(label), hyperlink_(hyperlink) {
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    opener_ = [](const QUrl& url) { return QDesktopServices::openUrl(url); };
    setToolTip(hyperlink_.isEmpty() ? label_ : hyperlink_);
}

CSkinHyperLink::~CSkinHyperLink() = default;

void CSkinHyperLink::SetLabel(const QString& label) {
    label_ = label;
    if (toolTip_.isEmpty() && hyperlink_.isEmpty()) {
        setToolTip(label_);
    }
    InvalidateInParent();
}

void CSkinHyperLink::SetHyperLink(const QString& hyperlink) {
    hyperlink_ = hyperlink;
    if (toolTip_.isEmpty()) {
        setToolTip(hyperlink_.isEmpty() ? label_ : hyperlink_);
    }
}

void CSkinHyperLink::SetToolTipText(const QString& text) {
    toolTip_ = text;
    setToolTip(text.isEmpty() ? (hyperlink_.isEmpty() ? label_ : hyperlink_) : text);
}

void CSkinHyperLink::SetOpener(UrlOpener opener) {
    if (opener) {
        opener_ = std::move(opener);
    }
}

bool CSkinHyperLink::Navigate() {
    const QString target = hyperlink_.isEmpty() ? label_ : hyperlink_;
    if (target.isEmpty()) {
        return false;
    }
    emit clicked();
    const bool opened = opener_(QUrl::fromUserInput(target));
    if (opened && !visited_) {
        visited_ = true;
        InvalidateInParent();
    }
    return opened;
}

int CSkinHyperLink::TextFlags() const {
    return Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap;
}

QRect CSkinHyperLink::LinkRect() const {
    QFont f = font();
    f.setUnderline(true);
    const QFontMetrics metrics(f);
    return metrics.boundingRect(rect(), TextFlags(), label_).intersected(rect());
}

void CSkinHyperLink::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QFont f = font();
    f.setUnderline(true);
    painter.setFont(f);
    painter.setPen((visited_ ? kVisitedColor : kLinkColor).ToQColor());
    painter.drawText(rect(), TextFlags(), label_);
    if (hasFocus()) {
        const QRect r = LinkRect().adjusted(0, 0, -1, -1);
        QPen pen(Qt::black, 1, Qt::DotLine);
        painter.setPen(pen);
        painter.drawRect(r);
    }
}

void CSkinHyperLink::SetHover(bool hover) {
    if (hover == hover_) {
        return;
    }
    hover_ = hover;
    if (hover) {
        setCursor(Qt::PointingHandCursor);
    } else {
        unsetCursor();
    }
    InvalidateInParent();
}

void CSkinHyperLink::mouseMoveEvent(QMouseEvent* event) {
    SetHover(LinkRect().contains(event->position().toPoint()));
}

void CSkinHyperLink::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && LinkRect().contains(event->position().toPoint())) {
        pressed_ = true;
        setFocus(Qt::MouseFocusReason);
    }
    InvalidateInParent();
}

void CSkinHyperLink::mouseReleaseEvent(QMouseEvent* event) {
    const bool wasPressed = pressed_;
    pressed_ = false;
    InvalidateInParent();
    // Only a release over the label opens it.
    if (event->button() == Qt::LeftButton && wasPressed && LinkRect().contains(event->position().toPoint())) {
        Navigate();
    }
}

void CSkinHyperLink::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter || event->key() == Qt::Key_Space) {
        InvalidateInParent();
        Navigate();
        return;
    }
    CSkinWindow::keyPressEvent(event);
}

void CSkinHyperLink::keyReleaseEvent(QKeyEvent* event) {
    InvalidateInParent();
    CSkinWindow::keyReleaseEvent(event);
}

void CSkinHyperLink::focusInEvent(QFocusEvent* event) {
    CSkinWindow::focusInEvent(event);
    InvalidateInParent();
}

void CSkinHyperLink::focusOutEvent(QFocusEvent* event) {
    CSkinWindow::focusOutEvent(event);
    InvalidateInParent();
}

void CSkinHyperLink::leaveEvent(QEvent* event) {
    CSkinWindow::leaveEvent(event);
    SetHover(false);
    InvalidateInParent();
}

}  // namespace SKINGUI

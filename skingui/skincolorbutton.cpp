#include "skingui/skincolorbutton.h"

#include <QEnterEvent>
#include <QPainter>

#include "skingui/drawhelpers.h"
#include "skingui/skinbutton.h"

namespace SKINGUI {

CSkinColorButton::CSkinColorButton(QWidget* parent, const QString& text) : QAbstractButton(parent) {
    setText(text);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent, true);
    connect(this, &QAbstractButton::clicked, this, [this] { emit bnClicked(controlId_); });
    // The pushed face follows the button's down state.
    connect(this, &QAbstractButton::pressed, this, qOverload<>(&QWidget::update));
    connect(this, &QAbstractButton::released, this, qOverload<>(&QWidget::update));
}

CSkinColorButton::~CSkinColorButton() = default;

void CSkinColorButton::SetTextColor(ColorRef color) {
    textColor_ = color;
    update();
}

void CSkinColorButton::SetBorderColor(ColorRef color) {
    borderColor_ = color;
    update();
}

void CSkinColorButton::SetFaceColor(ColorRef color) {
    faceColor_ = color;
    update();
}

void CSkinColorButton::SetOutlineColor(ColorRef color) {
    outlineColor_ = color;
    update();
}

QSize CSkinColorButton::sizeHint() const {
    const QFontMetrics metrics(font());
    return QSize(metrics.horizontalAdvance(text()) + 24, std::max(metrics.height() + 10, 24));
}

void CSkinColorButton::DrawFocusRect(QPainter& painter, const QRect& rect) const {
    // Dotted and inverting, like the classic focus rectangle.
    painter.save();
    painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    const QColor white(255, 255, 255);
    for (int x = rect.left(); x <= rect.right(); ++x) {
        if ((x + rect.top()) % 2 == 0) {
            painter.fillRect(QRect(x, rect.top(), 1, 1), white);
        }
        if ((x + rect.bottom()) % 2 == 0 && rect.bottom() != rect.top()) {
            painter.fillRect(QRect(x, rect.bottom(), 1, 1), white);
        }
    }
    for (int y = rect.top() + 1; y < rect.bottom(); ++y) {
        if ((rect.left() + y) % 2 == 0) {
            painter.fillRect(QRect(rect.left(), y, 1, 1), white);
        }
        if ((rect.right() + y) % 2 == 0 && rect.right() != rect.left()) {
            painter.fillRect(QRect(rect.right(), y, 1, 1), white);
        }
    }
    painter.restore();
}

void CSkinColorButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRect client = rect();
    ColorRef textColor = textColor_;
    if (!isEnabled()) {
        const ColorRef grey = GetSysColor(COLOR_GRAYTEXT);
        DrawFilledRect(painter, client.left(), client.top(), client.right() + 1, client.bottom() + 1,
                       LightenColor(grey, 80), grey);
        textColor = grey;
    } else {
        const QRect inner = client.adjusted(1, 1, -1, -1);
        if (isDown()) {
            FillGradient(painter, inner, LightenColor(faceColor_, 50), LightenColor(faceColor_, 100), true);
            DrawFocusRect(painter, inner.adjusted(1, 1, -1, -1));
        } else {
            FillGradient(painter, inner, LightenColor(faceColor_, 100), LightenColor(faceColor_, 80), true);
            if (hot_ || hasFocus()) {
                DrawRectFrame(painter, inner.left(), inner.top(), inner.right(), inner.bottom(),
                              hot_ ? faceColor_ : outlineColor_, PS_SOLID, 2);
            }
        }
        DrawRectFrame(painter, client.left(), client.top(), client.right(), client.bottom(), borderColor_);
    }
    const QFont own = font();
    DrawTextInColor(painter, client, text().left(kMaxButtonText), DT_CENTER | DT_VCENTER | DT_SINGLELINE,
                    textColor, &own);
}

void CSkinColorButton::enterEvent(QEnterEvent* event) {
    QAbstractButton::enterEvent(event);
    if (!hot_) {
        hot_ = true;
        update();
    }
}

void CSkinColorButton::leaveEvent(QEvent* event) {
    QAbstractButton::leaveEvent(event);
    if (hot_) {
        hot_ = false;
        update();
    }
}

void CSkinColorButton::changeEvent(QEvent* event) {
    QAbstractButton::changeEvent(event);
    update();
}

void CSkinColorButton::focusInEvent(QFocusEvent* event) {
    QAbstractButton::focusInEvent(event);
    update();
}

void CSkinColorButton::focusOutEvent(QFocusEvent* event) {
    QAbstractButton::focusOutEvent(event);
    update();
}

}  // namespace SKINGUI

#include "skingui/skinbutton.h"

#include <QEnterEvent>
#include <QMouseEvent>
#include <QPainter>

#include "skingui/colorref.h"
#include "skingui/drawhelpers.h"
#include "skingui/skinwindow.h"

namespace SKINGUI {

namespace {

// Glyph states: 1 normal, 2 hot, 3 pressed; +4 when checked.
constexpr int kStatePressed = 3;
constexpr int kStateHot = 2;
constexpr int kGlyphBox = 13;
constexpr int kGlyphArea = 16;
constexpr int kDefaultGlyphWidth = 20;

}  // namespace

CSkinButton::CSkinButton(QWidget* parent, const QString& text, int type) : QAbstractButton(parent) {
    type_ = type & 0xF;
    setText(text);
    setAttribute(Qt::WA_Hover, true);
    // Connected first, so the state is updated before anyone else hears the click.
    connect(this, &QAbstractButton::clicked, this, &CSkinButton::OnClicked);
    InitSubclassed();
}

CSkinButton::~CSkinButton() = default;

void CSkinButton::InitSubclassed() {
    SetCaption(text().left(kMaxButtonText), kAlignCenter, 0);
}

int CSkinButton::SetCaption(const QString& text, uint32_t alignment, int startX) {
    UpdatePageSize();
    caption_.SetAlignment(alignment);
    caption_.SetStartX(startX);
    caption_.SetText(text);
    InvalidateInParent(this);
    return 1;
}

void CSkinButton::UpdatePageSize() {
    // Hidden widgets get their resize events only when shown: follow the size here.
    const int pageWidth = width() - GlyphWidth();
    if (caption_.Width() != pageWidth || caption_.Height() != height()) {
        caption_.SetSize(pageWidth, height());
    }
}

void CSkinButton::SetType(int type) {
    type_ = type & 0xF;
    UpdatePageSize();
    InvalidateInParent(this);
}

bool CSkinButton::IsRadio() const {
    return type_ == BS_RADIOBUTTON || type_ == BS_AUTORADIOBUTTON;
}

bool CSkinButton::IsCheckBox() const {
    return type_ == BS_CHECKBOX || type_ == BS_AUTOCHECKBOX;
}

int CSkinButton::SetCheck(int state) {
    const int newState = state & 0xF;
    checkState_ = newState;
    if (state == BST_CHECKED && IsRadio() && parentWidget() != nullptr) {
        const auto siblings =
            parentWidget()->findChildren<CSkinButton*>(QString(), Qt::FindDirectChildrenOnly);
        for (CSkinButton* other : siblings) {
            if (other != this && other->IsRadio() && other->group_ == group_ && other->checkState_ != 0) {
                other->SetCheck(BST_UNCHECKED);
            }
        }
    }
    InvalidateInParent(this);
    return 1;
}

void CSkinButton::SetGlyphImageList(std::shared_ptr<SkinImageList> list) {
    glyphs_ = std::move(list);
    UpdatePageSize();
    InvalidateInParent(this);
}

int CSkinButton::GlyphWidth() const {
    if (!IsRadio() && !IsCheckBox()) {
        return 0;
    }
    return glyphs_ ? glyphs_->IconSize().width() + 4 : kDefaultGlyphWidth;
}

QSize CSkinButton::sizeHint() const {
    const QFontMetrics metrics(font());
    return QSize(GlyphWidth() + metrics.horizontalAdvance(text()) + 16, std::max(metrics.height() + 8, 22));
}

void CSkinButton::OnClicked() {
    if (IsCheckBox()) {
        SetCheck(GetCheck() == 0 ? BST_CHECKED : BST_UNCHECKED);
    } else {
        SetCheck(BST_CHECKED);
    }
    emit bnClicked(controlId_);
}

void CSkinButton::resizeEvent(QResizeEvent* event) {
    QAbstractButton::resizeEvent(event);
    UpdatePageSize();
}

void CSkinButton::enterEvent(QEnterEvent* event) {
    QAbstractButton::enterEvent(event);
    if (!hot_) {
        hot_ = true;
        InvalidateInParent(this);
    }
}

void CSkinButton::leaveEvent(QEvent* event) {
    QAbstractButton::leaveEvent(event);
    if (hot_) {
        hot_ = false;
        InvalidateInParent(this);
    }
}

void CSkinButton::mousePressEvent(QMouseEvent* event) {
    QAbstractButton::mousePressEvent(event);
    InvalidateInParent(this);
}

void CSkinButton::mouseReleaseEvent(QMouseEvent* event) {
    // A release outside the button cancels the press (no click).
    QAbstractButton::mouseReleaseEvent(event);
    InvalidateInParent(this);
}

void CSkinButton::DrawGlyph(QPainter& painter, const QRect& glyph, int state) const {
    const bool checked = state > 4;
    const int base = checked ? state - 4 : state;
    const QRect box(glyph.left() + (kGlyphArea - kGlyphBox) / 2,
                    glyph.top() + (glyph.height() - kGlyphBox) / 2, kGlyphBox, kGlyphBox);
    const ColorRef border = base == kStatePressed ? 0x8B5E2C : base == kStateHot ? 0xE0AD3C : 0x707070;
    const ColorRef face = base == kStatePressed ? 0xF0DCC0 : base == kStateHot ? 0xFFF5E8 : 0xFFFFFF;
    const ColorRef mark = 0x303030;
    painter.save();
    if (IsRadio()) {
        painter.setRenderHint(QPainter::Antialiasing, true);
        painter.setPen(QPen(border.ToQColor(), 1));
        painter.setBrush(face.ToQColor());
        painter.drawEllipse(QRectF(box).adjusted(0.5, 0.5, -0.5, -0.5));
        if (checked) {
            painter.setPen(Qt::NoPen);
            painter.setBrush(mark.ToQColor());
            painter.drawEllipse(QRectF(box).adjusted(3.5, 3.5, -3.5, -3.5));
        }
    } else {
        DrawFilledRect(painter, box.left(), box.top(), box.right() + 1, box.bottom() + 1, face, border);
        if (checkState_ == BST_INDETERMINATE) {
            painter.fillRect(box.adjusted(3, 3, -3, -3), mark.ToQColor());
        } else if (checked) {
            painter.setRenderHint(QPainter::Antialiasing, true);
            painter.setPen(QPen(mark.ToQColor(), 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            const QPointF o = box.topLeft();
            painter.drawPolyline(QPolygonF({o + QPointF(3, 6.5), o + QPointF(5.5, 9), o + QPointF(10, 3.5)}));
        }
    }
    painter.restore();
}

void CSkinButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setBackgroundMode(Qt::TransparentMode);
    painter.setFont(font());
    painter.setPen(GetSysColor(COLOR_BTNTEXT).ToQColor());
    const QRect client = rect();
    QRect glyph = client;
    glyph.setWidth(kGlyphArea);
    int state = isDown() ? kStatePressed : hot_ ? kStateHot : 1;
    if (checkState_ != 0 && (IsCheckBox() || IsRadio())) {
        state += 4;
    }
    if (IsCheckBox() || IsRadio()) {
        DrawGlyph(painter, glyph, state);
    }
    // A push button draws no frame or face of its own: only its caption.
    QRect captionRect = client;
    captionRect.setLeft(client.left() + GlyphWidth());
    UpdatePageSize();
    caption_.Draw(painter, captionRect);
}

}  // namespace SKINGUI

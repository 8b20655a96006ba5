#include "skingui/skinedit.h"

#include <QLineEdit>
#include <QPainter>

#include "skingui/colorref.h"
#include "skingui/skinbitmapbutton.h"
#include "skingui/skinresources.h"

namespace SKINGUI {

namespace {

constexpr ColorRef kFill = 0xFFFFFF;
constexpr ColorRef kFrame = 0xE0B693;
constexpr int kSearchIcon = 347;
constexpr QSize kIconSize(24, 24);
constexpr QSize kEditSize(170, 16);

}  // namespace

CSkinEdit::CSkinEdit(QWidget* parent) : QWidget(parent) {
    edit_ = new QLineEdit(this);
    edit_->setFrame(false);
    edit_->resize(kEditSize);
    edit_->show();

    button_ = new CSkinBitmapButton(this);
    button_->SetControlId(kButtonId);
    button_->SetImageList(MakeSkinImageList(QStringLiteral("ICON"), {kSearchIcon, kSearchIcon}, kIconSize));
    button_->SetImages(0, 1, 0, 1);
    button_->resize(kIconSize);
    button_->setFocusPolicy(Qt::NoFocus);
    button_->show();
    connect(button_, &CSkinBitmapButton::bnClicked, this, [this] { emit searchRequested(); });
}

CSkinEdit::~CSkinEdit() = default;

QString CSkinEdit::Text() const {
    return edit_->text();
}

void CSkinEdit::resizeEvent(QResizeEvent*) {
    button_->move(width() - button_->width() - 5, (height() - button_->height()) / 2);
    edit_->move(4, (height() - edit_->height()) / 2);
}

void CSkinEdit::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QPen(kFrame.ToQColor(), 1));
    p.setBrush(kFill.ToQColor());
    // Corner ellipse 6 by 6; the outline covers the first and last pixel rows and columns.
    p.drawRoundedRect(QRect(0, 0, width() - 1, height() - 1), 3, 3);
}

}  // namespace SKINGUI

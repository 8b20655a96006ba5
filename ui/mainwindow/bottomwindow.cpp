#include "ui/mainwindow/bottomwindow.h"

#include <QPainter>

#include "skingui/colorref.h"
#include "skingui/skinstatic.h"

using namespace SKINGUI;

namespace {

constexpr int kGrip = 14;
constexpr ColorRef kFace = 0xF2E9DF;

}  // namespace

CBottomWindow::CBottomWindow(QWidget* parent) : QWidget(parent) {
    status_ = new CSkinStatic(this);
}

void CBottomWindow::SetStatusText(const QString& markup) {
    status_->SetText(markup);
}

void CBottomWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    status_->setGeometry(10, (height() - 18) / 2, std::max(0, width() - 40), 18);
    update(QRect(width() - kGrip, height() - kGrip, kGrip, kGrip));
}

void CBottomWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), kFace.ToQColor());
    painter.setPen(ColorRef(0xCFB9A0).ToQColor());
    const int r = width() - 3;
    const int b = height() - 3;
    for (int d : {4, 8, 12})
        painter.drawLine(r - d, b, r, b - d);
}

bool CBottomWindow::CtlColorStatic(QWidget*, ColorRef* background) {
    *background = kFace;
    return true;
}

#include "skingui/skinwindow.h"

namespace SKINGUI {

void InvalidateInParent(QWidget* widget) {
    if (widget == nullptr) {
        return;
    }
    QWidget* parent = widget->parentWidget();
    if (parent == nullptr) {
        return;
    }
    parent->update(QRect(widget->mapToParent(QPoint(0, 0)), widget->size()));
}

CSkinWindow::CSkinWindow(QWidget* parent) : QWidget(parent) {
    // Transparent over the parent unless a control fills its own background.
    setAttribute(Qt::WA_NoSystemBackground, false);
    setAutoFillBackground(false);
}

CSkinWindow::~CSkinWindow() = default;

void CSkinWindow::InvalidateInParent() {
    SKINGUI::InvalidateInParent(this);
}

}  // namespace SKINGUI

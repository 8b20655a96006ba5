#include "ui/traybackend.h"

#include <QSystemTrayIcon>

CQtTrayBackend::CQtTrayBackend() : icon_(new QSystemTrayIcon) {
    QObject::connect(icon_, &QSystemTrayIcon::activated, [this](QSystemTrayIcon::ActivationReason reason) {
        if (!handler_)
            return;
        switch (reason) {
            case QSystemTrayIcon::Trigger:
                handler_(kLButtonDown);
                break;
            case QSystemTrayIcon::DoubleClick:
                // Its first press shows the window, as a plain click does.
                handler_(kLButtonDown);
                handler_(kLButtonDblClk);
                break;
            case QSystemTrayIcon::MiddleClick:
                handler_(kMButtonDown);
                break;
            default:
                break;
        }
    });
}

CQtTrayBackend::~CQtTrayBackend() {
    icon_->hide();
    delete icon_;
}

void CQtTrayBackend::Show() {
    icon_->show();
}

bool CQtTrayBackend::IsAvailable() const {
    return QSystemTrayIcon::isSystemTrayAvailable();
}

void CQtTrayBackend::Hide() {
    icon_->hide();
}

void CQtTrayBackend::SetIcon(const QIcon& icon) {
    icon_->setIcon(icon);
}

void CQtTrayBackend::SetToolTip(const QString& tip) {
    icon_->setToolTip(tip);
}

void CQtTrayBackend::SetContextMenu(QMenu* menu) {
    icon_->setContextMenu(menu);
}

bool CQtTrayBackend::ShowMessage(const QString& title, const QString& text, int iconFlags, int timeoutMs) {
    if (!QSystemTrayIcon::supportsMessages())
        return false;
    QSystemTrayIcon::MessageIcon icon = QSystemTrayIcon::NoIcon;
    if (iconFlags == 1)
        icon = QSystemTrayIcon::Information;
    else if (iconFlags == 2)
        icon = QSystemTrayIcon::Warning;
    else if (iconFlags == 3)
        icon = QSystemTrayIcon::Critical;
    icon_->showMessage(title, text, icon, timeoutMs);
    return true;
}

void CQtTrayBackend::SetMouseHandler(std::function<void(int message)> handler) {
    handler_ = std::move(handler);
}

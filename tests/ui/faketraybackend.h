#pragma once
// A notification-area icon that records what the tray tells the desktop.
#include <QApplication>
#include <QMenu>
#include <QThread>
#include <functional>

#include "ui/traybackend.h"

namespace ui_test {

// Records what the tray tells the desktop, and on which thread.
struct TrayLog {
    QString tip, title, text;
    int flags = 0, timeout = 0, balloons = 0;
    bool shown = false, offGuiThread = false;
    bool available = true;  // a notification area to show the icon in
    QMenu* menu = nullptr;
    std::function<void(int)> mouse;
};

class FakeTrayBackend : public ITrayBackend {
public:
    explicit FakeTrayBackend(TrayLog& log) : log_(log) {}
    void Show() override { Touch().shown = true; }
    void Hide() override { Touch().shown = false; }
    void SetIcon(const QIcon&) override { Touch(); }
    void SetToolTip(const QString& tip) override { Touch().tip = tip; }
    void SetContextMenu(QMenu* menu) override { Touch().menu = menu; }
    bool ShowMessage(const QString& title, const QString& text, int flags, int timeout) override {
        Touch();
        log_.title = title;
        log_.text = text;
        log_.flags = flags;
        log_.timeout = timeout;
        ++log_.balloons;
        return true;
    }
    void SetMouseHandler(std::function<void(int)> handler) override { Touch().mouse = std::move(handler); }
    bool IsAvailable() const override { return log_.available; }

private:
    TrayLog& Touch() {
        if (QThread::currentThread() != qApp->thread())
            log_.offGuiThread = true;
        return log_;
    }
    TrayLog& log_;
};

}  // namespace ui_test

#pragma once
// The desktop's notification-area icon as the tray sees it; the program uses
// QSystemTrayIcon, tests a recorder, since offscreen there is no tray.
#include <QIcon>
#include <QString>
#include <functional>

class QMenu;

class ITrayBackend {
public:
    // Mouse events on the icon, in the old message numbers the owner reacts to.
    enum MouseMessage { kLButtonDown = 513, kLButtonDblClk = 515, kMButtonDown = 519 };

    virtual ~ITrayBackend() = default;
    virtual void Show() = 0;
    virtual void Hide() = 0;
    virtual void SetIcon(const QIcon& icon) = 0;
    virtual void SetToolTip(const QString& tip) = 0;
    // The menu opens on a right click; null removes it.
    virtual void SetContextMenu(QMenu* menu) = 0;
    // iconFlags: 1 information, 2 warning, 3 error, else none. False when the
    // desktop cannot show balloons.
    virtual bool ShowMessage(const QString& title, const QString& text, int iconFlags, int timeoutMs) = 0;
    // Called on the GUI thread for every click other than the menu's.
    virtual void SetMouseHandler(std::function<void(int message)> handler) = 0;
    // False when the desktop has no notification area to show the icon in.
    virtual bool IsAvailable() const { return true; }
};

class QSystemTrayIcon;

// The real notification-area icon.
class CQtTrayBackend : public ITrayBackend {
public:
    CQtTrayBackend();
    ~CQtTrayBackend() override;
    void Show() override;
    void Hide() override;
    void SetIcon(const QIcon& icon) override;
    void SetToolTip(const QString& tip) override;
    void SetContextMenu(QMenu* menu) override;
    bool ShowMessage(const QString& title, const QString& text, int iconFlags, int timeoutMs) override;
    void SetMouseHandler(std::function<void(int message)> handler) override;
    bool IsAvailable() const override;

private:
    QSystemTrayIcon* icon_;
    std::function<void(int)> handler_;
};

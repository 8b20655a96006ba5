#pragma once
// The main window's notification-area icon: its menu, tip and balloons.
// Everything that changes the icon's record happens on the GUI thread; calls
// from other threads are queued there.
#include <QObject>
#include <QString>
#include <memory>

#include "ui/traybackend.h"

class QMenu;
class QWidget;

// What the desktop was last told about the icon.
struct TrayRecord {
    QString tip;
    QString infoTitle;
    QString infoText;
    int infoFlags = 0;
    int timeoutMs = 0;
    // Resource id of the icon shown; 0 while none is set.
    int iconId = 0;
};

class CSystemTray : public QObject {
    Q_OBJECT
public:
    // Id the mouse notifications carry.
    static constexpr int kTrayId = 0x1234567;
    static constexpr int kMenuId = 259;
    static constexpr int kAppIconId = 128;
    // Commands of the tray menu.
    enum Command {
        kCmdOpen = 32803,
        kCmdSettings = 32804,
        kCmdAbout = 32805,
        kCmdQuit = 32806,
        kCmdFeedback = 32811
    };
    // Limits of the record's fields, in UTF-16 units.
    static constexpr int kTipMax = 127;
    static constexpr int kInfoTextMax = 128;
    static constexpr int kInfoTitleMax = 63;

    // Without a backend the desktop's own tray icon is used.
    explicit CSystemTray(std::unique_ptr<ITrayBackend> backend = nullptr, QObject* parent = nullptr);
    ~CSystemTray() override;

    // Adds the icon for the owner with the tray menu of that id; commands of
    // the menu come out of command(). False when the icon already stands.
    bool Create(QWidget* owner, int menuId = kMenuId);
    void SetIcon(int iconId);
    // At most 127 units are kept.
    void SetTip(const QString& tip);
    // Text cut to 128 units, title to 63. From another thread the balloon is
    // queued to the GUI thread and true returned at once.
    bool ShowBalloon(const QString& text, const QString& title, int iconFlags, int timeoutMs);
    // Takes the icon off the desktop and drops the menu.
    void Remove();

    bool IsCreated() const { return created_; }
    // Created and standing in a notification area the user can click.
    bool IsInTray() const { return created_ && backend_->IsAvailable(); }
    QMenu* Menu() const { return menu_.get(); }
    // GUI thread only.
    const TrayRecord& Record() const { return record_; }

signals:
    void command(int id);
    // A mouse event on the icon other than the menu's right click (513 left button down).
    void notify(int trayId, int mouseMessage);

private:
    void BuildMenu();
    bool OnGuiThread() const;

    std::unique_ptr<ITrayBackend> backend_;
    std::unique_ptr<QMenu> menu_;
    QWidget* owner_ = nullptr;
    bool created_ = false;
    TrayRecord record_;
};

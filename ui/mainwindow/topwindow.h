#pragma once
// The band at the top of the main window: who is logged in, the account menu
// (log out, switch user) and how much of the space is used.
#include <QWidget>
#include <cstdint>

#include "ui/mainwindowpanes.h"

class QMenu;
class QToolButton;

namespace SKINGUI {
class CSkinStatic;
}

class CTopWindow : public QWidget, public ITopWindow {
    Q_OBJECT
public:
    static constexpr int kHeight = 53;
    enum Command { kCmdLogOut = 32838, kCmdSwitchUser = 32839 };

    // The names come from the log-in; an empty nick name shows the user name.
    CTopWindow(IUiMainWindow* mainWindow, const std::wstring& userName, const std::wstring& nickName,
               QWidget* parent = nullptr);
    ~CTopWindow() override;

    void SetSpaceInfo(uint64_t used, uint64_t total) override;
    uint64_t Used() const { return used_; }
    uint64_t Total() const { return total_; }

    QToolButton* AccountButton() const { return account_; }
    QMenu* AccountMenu() const { return menu_; }
    SKINGUI::CSkinStatic* NameLabel() const { return name_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void ShowAccountMenu();

    IUiMainWindow* mainWindow_;
    SKINGUI::CSkinStatic* name_ = nullptr;
    QToolButton* account_ = nullptr;
    QMenu* menu_ = nullptr;
    QWidget* logo_ = nullptr;
    // Before the first report the display shows 1 byte of 2 MiB.
    uint64_t used_ = 1;
    uint64_t total_ = 2097152;
};

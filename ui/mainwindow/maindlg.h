#pragma once
// The program's one top-level window of a pass: the log-in first, then the
// top, middle and bottom panes, the tray icon, the hot key and the exit
// prompt. It is the UI bridge's sink and the way panes reach each other.
// The close box only hides it; CloseApp ends the pass.
#include <QWidget>
#include <functional>
#include <memory>
#include <mutex>

#include "platform/namedevent.h"
#include "ui/mainwindow/hotkey.h"
#include "ui/mainwindow/sessioncontrol.h"
#include "ui/middlewindow/itaskcore.h"
#include "ui/traybackend.h"
#include "ui/mainwindowpanes.h"
#include "ui/passloop.h"

class CBottomWindow;
class CMiddleWindow;
class CShutDownDlg;
class CSystemTray;
class CTopWindow;
class IUserValues;
class QSessionManager;
class QTimer;

// What the window is built from; anything left empty is the program's own.
struct MainDlgParts {
    IUserValues* values = nullptr;
    std::shared_ptr<ITaskCore> core;
    std::unique_ptr<ISessionControl> session;
    std::unique_ptr<IHotKey> hotKey;
    std::unique_ptr<ITrayBackend> tray;
    // Runs the log-in; false when the user left it.
    std::function<bool()> login;
    // Stops the waiting dialog's worker before the program or the session ends.
    std::function<void()> stopWorker;
};

class CMainDlg : public QWidget, public IUiMainWindow, public IPassWindow {
    Q_OBJECT
public:
    static constexpr int kMinClientWidth = 500;
    static constexpr int kMinClientHeight = 400;
    enum Command {
        kCmdOk = 1,
        kCmdCancel = 2,
        kCmdShow = 32803,
        kCmdSettings = 32804,
        kCmdAbout = 32805,
        kCmdQuit = 32806,
        kCmdFeedback = 32811,
        kCmdAboutApp = 57664
    };

    explicit CMainDlg(MainDlgParts parts = MainDlgParts(), QWidget* parent = nullptr);
    ~CMainDlg() override;

    // IPassWindow
    IMainWindow* Sink() override { return this; }
    void Create(CPassControl& pass) override;

    // IMainWindow
    HRESULT ShowMessage(const std::wstring& text, const std::wstring& caption) override;
    int AskUser(const std::wstring& rememberKey, const std::wstring& text, const std::wstring& caption,
                const std::wstring& buttons, int flag, const std::wstring& checkText,
                int rememberValue) override;
    HRESULT ShowBalloon(const std::wstring& text, const std::wstring& title, uint32_t iconFlags,
                        uint32_t timeoutMs) override;
    // IUiMainWindow
    HRESULT GetPane(int index, void** out) override;
    HRESULT RequestRestart() override;
    HRESULT SetStatusText(const std::wstring& text) override;

    // Ends the pass with the code (1 quit, 2 log-in left, 0x123456 restart)
    // unless the user keeps the program open at the exit prompt.
    void CloseApp(int code);
    // True when the program may close: nothing pending, or the user confirmed.
    bool ConfirmExit();
    // The commands of the tray menu and the window.
    void OnCommand(int id);
    // The desktop asks whether its session may end; false (and the prompt
    // shown) while transfers or watched files are pending.
    bool QueryEndSession(uint32_t flags);
    // Shows the window again (tray click, hot key, a second start).
    void BringBack();

    CTopWindow* Top() const { return top_; }
    CMiddleWindow* Middle() const { return middle_; }
    CBottomWindow* Bottom() const { return bottom_; }
    CSystemTray* Tray() const { return tray_.get(); }
    CShutDownDlg* ShutDown() const { return shutDown_.get(); }
    bool HotKeyRegistered() const { return hotKeyRegistered_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void RestorePlacement();
    void SavePlacement();
    void OnTimer();
    void OnCommitData(QSessionManager& manager);
    void OpenFeedback();

    MainDlgParts parts_;
    std::unique_ptr<IUserValues> ownValues_;
    IUserValues* values_ = nullptr;
    CPassControl* pass_ = nullptr;
    CTopWindow* top_ = nullptr;
    CMiddleWindow* middle_ = nullptr;
    CBottomWindow* bottom_ = nullptr;
    // One prompt at a time across the threads the bridge serves; recursive,
    // as a question may arrive in the nested loop of a prompt on this thread.
    std::recursive_mutex askLock_;
    std::unique_ptr<CSystemTray> tray_;
    std::unique_ptr<CShutDownDlg> shutDown_;
    QTimer* timer_ = nullptr;
    CNamedEvent instanceEvent_;
    // The panes exist (the log-in succeeded).
    bool created_ = false;
    bool closing_ = false;
    bool hotKeyRegistered_ = false;
    bool inhibiting_ = false;
};

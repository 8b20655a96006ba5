#pragma once
// The main window of a pass until the full one exists: it runs the log-in,
// shows who is logged in with log-out and quit, keeps the tray icon, answers
// the bridge, and comes back to the front when a second start signals it.
#include <QWidget>
#include <memory>
#include <mutex>

#include "platform/namedevent.h"
#include "ui/coreuservalues.h"
#include "ui/passloop.h"

class CSystemTray;
class QLabel;
class QTimer;

class CPlaceholderMainWnd : public QWidget, public IMainWindow, public IPassWindow {
    Q_OBJECT
public:
    explicit CPlaceholderMainWnd(QWidget* parent = nullptr);
    ~CPlaceholderMainWnd() override;

    IMainWindow* Sink() override { return this; }
    void Create(CPassControl& pass) override;

    HRESULT ShowMessage(const std::wstring& text, const std::wstring& caption) override;
    int AskUser(const std::wstring& rememberKey, const std::wstring& text, const std::wstring& caption,
                const std::wstring& buttons, int flag, const std::wstring& checkText,
                int rememberValue) override;
    HRESULT ShowBalloon(const std::wstring& text, const std::wstring& title, uint32_t iconFlags,
                        uint32_t timeoutMs) override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void CloseApp(int code);
    void PollInstanceEvent();
    void BringBack();

    CPassControl* pass_ = nullptr;
    CCoreUserValues values_;
    // One prompt at a time.
    std::mutex askLock_;
    QLabel* name_ = nullptr;
    std::unique_ptr<CSystemTray> tray_;
    QTimer* instanceTimer_ = nullptr;
    CNamedEvent instanceEvent_;
};

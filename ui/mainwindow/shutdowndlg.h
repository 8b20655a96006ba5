#pragma once
// The exit prompt: warns that unfinished transfers and files opened for
// editing would be lost. Modal when the user quits; modeless when the desktop
// session ends, and then it logs off or shuts down itself once confirmed.
#include <QDialog>
#include <functional>

#include "ui/mainwindow/exittext.h"

class ISessionControl;
class ITaskCore;
class QLabel;
class QPushButton;

class CShutDownDlg : public QDialog {
    Q_OBJECT
public:
    // stopWorker stops the waiting dialog's worker before anything ends.
    CShutDownDlg(ITaskCore& core, ISessionControl& session, std::function<void()> stopWorker,
                 QWidget* parent = nullptr);
    ~CShutDownDlg() override;

    // Set before a modeless showing at the end of the session.
    void SetEndSession(bool endOfSession, uint32_t flags);
    bool EndOfSession() const { return endOfSession_; }
    // Fetches the lists and fills the texts; false when there is nothing to warn about.
    bool Prepare();
    // The quit: true when the user confirmed (or nothing was pending).
    bool RunModal();
    // The end of the session: shown without blocking; false when nothing is pending.
    bool ShowModeless();
    // Logs off or shuts down by the end-session flag word.
    bool DoSystemAction();
    // True while the modeless prompt is up.
    bool IsModelessOpen() const { return modelessOpen_; }

    QLabel* Message() const { return message_; }
    QPushButton* OkButton() const { return ok_; }
    QPushButton* CancelButton() const { return cancel_; }

public slots:
    void accept() override;
    void reject() override;

private:
    ITaskCore& core_;
    ISessionControl& session_;
    std::function<void()> stopWorker_;
    bool endOfSession_ = false;
    uint32_t flags_ = 0;
    bool modelessOpen_ = false;
    QLabel* message_ = nullptr;
    QPushButton* ok_ = nullptr;
    QPushButton* cancel_ = nullptr;
};

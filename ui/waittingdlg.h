#pragma once
// The please-wait box: runs one long command on a worker thread while the GUI
// thread shows a small modal box with an animation, a progress line and a
// cancel button, and returns the command's result when the box closes.
#include <QDialog>
#include <QString>
#include <functional>
#include <memory>

#include "platform/workerthread.h"
#include "skingui/skinctlcolor.h"
#include "skingui/skinimagelist.h"
#include "ui/waitjob.h"

class QAbstractButton;
class QTimer;

namespace SKINGUI {
class CSkinStatic;
}

class CWaittingDlg : public QDialog, public SKINGUI::ISkinCtlColor {
    Q_OBJECT
public:
    // Runs on the worker thread; its result is what Run returns.
    using Job = std::function<int(CWaitJob& job)>;

    // The process's one waiting dialog (built on first use, GUI thread only).
    static CWaittingDlg& Instance();

    CWaittingDlg();
    ~CWaittingDlg() override;

    // Shows the box over the parent and runs the job once the box's modal loop
    // runs; returns the job's result (E_FAIL when Stop gave up on the job). An
    // empty text shows the default one.
    int Run(Job job, QWidget* parent, const QString& text = QString());
    // Quitting: clears the go-on flag, waits up to 5000 ms for the worker, then
    // logs, leaves it to finish detached and closes the box. True when it ended.
    bool Stop();
    bool IsRunning() const { return job_ != nullptr; }

    // GUI thread: the line jobs send through CWaitJob::SetProgressText.
    void ShowProgressText(const QString& line);
    QString ProgressText() const;
    int Frame() const { return frame_; }
    QAbstractButton* CancelButton() const { return cancel_; }

    bool CtlColorStatic(QWidget* control, SKINGUI::ColorRef* background) override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void reject() override;

private:
    void StartWorker(Job job);
    void OnCancel();
    void OnTimer();
    void Finish(int result);

    SKINGUI::CSkinStatic* text_ = nullptr;
    QAbstractButton* cancel_ = nullptr;
    QTimer* timer_ = nullptr;
    std::shared_ptr<SKINGUI::SkinImageList> frames_;
    int frame_ = 0;
    // The running job's shared state; null while idle.
    std::shared_ptr<CWaitJob> job_;
    std::unique_ptr<CWorkerThread> worker_;
    // Stop came before the worker started: it never will.
    bool stopping_ = false;
    int result_ = 0;
};

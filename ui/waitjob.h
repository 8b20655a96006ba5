#pragma once
// What a job run by the waiting dialog sees of it: the go-on flag and the
// progress line. Shared by the box and the worker, so a worker left running
// after Stop touches nothing that has been freed.
#include <QString>
#include <atomic>
#include <functional>
#include <mutex>

class CWaittingDlg;

class CWaitJob {
public:
    // False once the user pressed cancel or the program is quitting; jobs check
    // it between items.
    bool GoOn() const { return goOn_.load() != 0; }
    // For core calls that watch a keep-going flag themselves (folder walks).
    const std::atomic<int>* GoOnFlag() const { return &goOn_; }
    // Any thread: queues the line to the box; 51 characters or more are cut
    // to 50 and "...".
    void SetProgressText(const QString& text);

private:
    friend class CWaittingDlg;
    // Queues fn to the box's thread while the box takes calls; dropped afterwards.
    void PostToBox(std::function<void(CWaittingDlg&)> fn);
    // The box stops taking calls from this job (its run ended or it is going away).
    void Detach();

    std::atomic<int> goOn_{1};
    std::mutex receiverLock_;
    // The box while this job's run lasts; cleared under the lock, so a post
    // never reaches a box that has moved on or gone.
    CWaittingDlg* receiver_ = nullptr;
};

// The progress line as the box shows it.
QString CutProgressText(const QString& text);

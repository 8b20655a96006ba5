#pragma once
// What the UI bridge talks to for the whole life of the process: it forwards
// to the main window of the current pass. Messages and balloons from worker
// threads are queued to the GUI thread and return at once; a question from a
// worker is answered from the remembered values on the worker's own thread,
// else it waits for the GUI thread, until the pass ends (then it is
// cancelled). Between passes nothing is shown: E_FAIL, and questions -1.
#include <QObject>
#include <atomic>
#include <memory>
#include <mutex>
#include <set>

#include "core/coreapp/imainwindow.h"

class IUserValues;

class CBridgeSink : public QObject, public IMainWindow {
    Q_OBJECT
public:
    // Lives on the GUI thread; the values decide remembered answers.
    explicit CBridgeSink(IUserValues& values, QObject* parent = nullptr);
    ~CBridgeSink() override;

    // GUI thread. The window of the new pass (null between passes); setting a
    // window lets questions wait for it again.
    void SetWindow(IMainWindow* window);
    // Any thread. Every question waiting for the GUI thread, and every later
    // one until the next SetWindow, is answered with cancel: the pass is
    // ending and the GUI thread may be about to wait for those workers.
    void Abort();

    HRESULT ShowMessage(const std::wstring& text, const std::wstring& caption) override;
    int AskUser(const std::wstring& rememberKey, const std::wstring& text, const std::wstring& caption,
                const std::wstring& buttons, int flag, const std::wstring& checkText,
                int rememberValue) override;
    HRESULT ShowBalloon(const std::wstring& text, const std::wstring& title, uint32_t iconFlags,
                        uint32_t timeoutMs) override;

private:
    struct PendingQuestion;

    bool OnGuiThread() const;

    IUserValues& m_values;
    // Read on any thread, written on the GUI thread.
    std::atomic<IMainWindow*> m_window{nullptr};
    std::mutex m_lock;
    // Guarded by m_lock.
    bool m_aborted = false;
    std::set<std::shared_ptr<PendingQuestion>> m_pending;
};

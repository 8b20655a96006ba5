#include "ui/bridgesink.h"

#include <QCoreApplication>
#include <QThread>
#include <condition_variable>

#include "core/coreapp/ishelladapter.h"
#include "ui/iuservalues.h"
#include "ui/wizardprompt.h"

struct CBridgeSink::PendingQuestion {
    std::mutex lock;
    std::condition_variable done;
    bool finished = false;
    bool aborted = false;
    int answer = kAskCancel;

    void Finish(int value, bool abort) {
        {
            std::lock_guard<std::mutex> guard(lock);
            if (finished)
                return;
            finished = true;
            aborted = abort;
            answer = abort ? kAskCancel : value;
        }
        done.notify_all();
    }
};

namespace {

// The answer a question gets without being shown, as the prompt box decides it.
std::optional<int> StoredAnswer(IUserValues& values, const WizardPrompt& prompt) {
    if (prompt.checkText.empty())
        return std::nullopt;
    WizardStored stored;
    stored.openFlagText = values.GetUserValue(kWizardOpenFlag, L"");
    stored.openFlag = values.GetUserIntValue(kWizardOpenFlag);
    stored.remembered = values.GetUserIntValue(prompt.key);
    return DecideWizard(prompt, stored);
}

}  // namespace

CBridgeSink::CBridgeSink(IUserValues& values, QObject* parent) : QObject(parent), m_values(values) {}

CBridgeSink::~CBridgeSink() {
    Abort();
}

void CBridgeSink::SetWindow(IMainWindow* window) {
    m_window = window;
    if (window) {
        std::lock_guard<std::mutex> guard(m_lock);
        m_aborted = false;
    }
}

void CBridgeSink::Abort() {
    std::set<std::shared_ptr<PendingQuestion>> pending;
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_aborted = true;
        pending.swap(m_pending);
    }
    for (const auto& question : pending)
        question->Finish(kAskCancel, true);
}

bool CBridgeSink::OnGuiThread() const {
    return QThread::currentThread() == thread();
}

HRESULT CBridgeSink::ShowMessage(const std::wstring& text, const std::wstring& caption) {
    if (!m_window)
        return E_FAIL;
    if (OnGuiThread())
        return m_window.load()->ShowMessage(text, caption);
    QMetaObject::invokeMethod(
        this,
        [this, text, caption] {
            if (IMainWindow* window = m_window)
                window->ShowMessage(text, caption);
        },
        Qt::QueuedConnection);
    return S_OK;
}

HRESULT CBridgeSink::ShowBalloon(const std::wstring& text, const std::wstring& title, uint32_t iconFlags,
                                 uint32_t timeoutMs) {
    if (!m_window)
        return E_FAIL;
    if (OnGuiThread())
        return m_window.load()->ShowBalloon(text, title, iconFlags, timeoutMs);
    QMetaObject::invokeMethod(
        this,
        [this, text, title, iconFlags, timeoutMs] {
            if (IMainWindow* window = m_window)
                window->ShowBalloon(text, title, iconFlags, timeoutMs);
        },
        Qt::QueuedConnection);
    return S_OK;
}

int CBridgeSink::AskUser(const std::wstring& rememberKey, const std::wstring& text,
                         const std::wstring& caption, const std::wstring& buttons, int flag,
                         const std::wstring& checkText, int rememberValue) {
    if (!m_window)
        return kAskCancel;
    const WizardPrompt prompt{rememberKey, text, caption, buttons, flag, checkText, rememberValue};
    if (const std::optional<int> answer = StoredAnswer(m_values, prompt))
        return *answer;
    if (OnGuiThread())
        return m_window.load()->AskUser(rememberKey, text, caption, buttons, flag, checkText, rememberValue);

    auto question = std::make_shared<PendingQuestion>();
    {
        std::lock_guard<std::mutex> guard(m_lock);
        if (m_aborted)
            return kAskCancel;
        m_pending.insert(question);
    }
    QMetaObject::invokeMethod(
        this,
        [this, question, prompt] {
            {
                std::lock_guard<std::mutex> guard(question->lock);
                if (question->finished)
                    return;
            }
            IMainWindow* window = m_window;
            const int answer = window
                                   ? window->AskUser(prompt.key, prompt.text, prompt.caption, prompt.buttons,
                                                     prompt.flag, prompt.checkText, prompt.rememberValue)
                                   : kAskCancel;
            question->Finish(answer, false);
        },
        Qt::QueuedConnection);
    int answer = kAskCancel;
    {
        std::unique_lock<std::mutex> lock(question->lock);
        question->done.wait(lock, [&] { return question->finished; });
        answer = question->answer;
    }
    std::lock_guard<std::mutex> guard(m_lock);
    m_pending.erase(question);
    return answer;
}

#pragma once
// The UI bridge as tests script it: every call is recorded with its thread
// and arguments; AskUser answers from a table per remember key (any answer,
// -2 included), can be held until the test releases it, and answers -1 to a
// key nobody scripted. It serves as the bridge itself and as the main-window
// sink behind the real bridge.
#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "core/coreapp/imainwindow.h"
#include "core/coreapp/ishelladapter.h"

namespace pellux_test {

struct BridgeCall {
    std::string operation;  // "ShowMessage", "AskUser", "ShowBalloon"
    std::thread::id thread;
    // In argument order: text and caption; or key, text, caption, buttons,
    // check text; or text and title.
    std::vector<std::wstring> texts;
    // flag and remember value; or icon flags and time-out.
    std::vector<long long> numbers;
};

class ScriptedBridge final : public CUnknownImpl<IShellAdapter>, public IMainWindow {
public:
    static CComPtr<ScriptedBridge> Make() { return CComPtr<ScriptedBridge>(new ScriptedBridge()); }

    void SetAnswer(const std::wstring& key, int answer) {
        std::lock_guard<std::mutex> guard(m_lock);
        m_answers[key] = answer;
    }
    // AskUser waits until Unblock (or the bound of a test: 10 s).
    void Block() {
        std::lock_guard<std::mutex> guard(m_lock);
        m_blocked = true;
    }
    void Unblock() {
        {
            std::lock_guard<std::mutex> guard(m_lock);
            m_blocked = false;
        }
        m_changed.notify_all();
    }
    std::vector<BridgeCall> Calls() const {
        std::lock_guard<std::mutex> guard(m_lock);
        return m_calls;
    }
    // True when at least n calls arrived within the time.
    bool WaitForCalls(size_t n, std::chrono::milliseconds within = std::chrono::seconds(10)) {
        std::unique_lock<std::mutex> lock(m_lock);
        return m_changed.wait_for(lock, within, [&] { return m_calls.size() >= n; });
    }

    HRESULT Init(IMainWindow*) override { return S_OK; }
    HRESULT UnInit() override { return S_OK; }
    HRESULT ShowMessage(const std::wstring& text, const std::wstring& caption) override {
        Record({"ShowMessage", std::this_thread::get_id(), {text, caption}, {}});
        return S_OK;
    }
    int AskUser(const std::wstring& rememberKey, const std::wstring& text, const std::wstring& caption,
                const std::wstring& buttons, int flag, const std::wstring& checkText,
                int rememberValue) override {
        Record({"AskUser",
                std::this_thread::get_id(),
                {rememberKey, text, caption, buttons, checkText},
                {flag, rememberValue}});
        std::unique_lock<std::mutex> lock(m_lock);
        m_changed.wait_for(lock, std::chrono::seconds(10), [&] { return !m_blocked; });
        auto it = m_answers.find(rememberKey);
        return it == m_answers.end() ? kAskCancel : it->second;
    }
    HRESULT ShowBalloon(const std::wstring& text, const std::wstring& title, uint32_t iconFlags,
                        uint32_t timeoutMs) override {
        Record({"ShowBalloon", std::this_thread::get_id(), {text, title}, {iconFlags, timeoutMs}});
        return S_OK;
    }

private:
    ScriptedBridge() = default;
    ~ScriptedBridge() override = default;

    void Record(BridgeCall call) {
        {
            std::lock_guard<std::mutex> guard(m_lock);
            m_calls.push_back(std::move(call));
        }
        m_changed.notify_all();
    }

    mutable std::mutex m_lock;
    std::condition_variable m_changed;
    std::map<std::wstring, int> m_answers;
    bool m_blocked = false;
    std::vector<BridgeCall> m_calls;
};

}  // namespace pellux_test

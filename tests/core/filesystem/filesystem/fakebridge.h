#pragma once
// A bridge that records the questions asked and gives one fixed answer.
#include <mutex>
#include <string>
#include <vector>

#include "core/coreapp/ishelladapter.h"

namespace pellux_test {

class FakeBridge final : public CUnknownImpl<IShellAdapter> {
public:
    struct Question {
        std::wstring rememberKey;
        std::wstring text;
        std::wstring caption;
        std::wstring buttons;
    };

    static CComPtr<FakeBridge> Make() { return CComPtr<FakeBridge>(new FakeBridge()); }

    HRESULT Init(IMainWindow*) override { return S_OK; }
    HRESULT UnInit() override { return S_OK; }
    HRESULT ShowMessage(const std::wstring& text, const std::wstring&) override {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_messages.push_back(text);
        return S_OK;
    }
    int AskUser(const std::wstring& rememberKey, const std::wstring& text, const std::wstring& caption,
                const std::wstring& buttons, int, const std::wstring&, int) override {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_questions.push_back({rememberKey, text, caption, buttons});
        return answer;
    }
    HRESULT ShowBalloon(const std::wstring&, const std::wstring&, uint32_t, uint32_t) override {
        return S_OK;
    }

    std::vector<Question> Questions() const {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_questions;
    }

    std::vector<std::wstring> Messages() const {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_messages;
    }

    int answer = kAskDefault;

private:
    FakeBridge() = default;
    mutable std::mutex m_mutex;
    std::vector<Question> m_questions;
    std::vector<std::wstring> m_messages;
};

}  // namespace pellux_test

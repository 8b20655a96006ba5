#include "platform/workerthread.h"

#include "platform/diagnostics.h"

CWorkerThread::~CWorkerThread() {
    if (m_thread.joinable()) {
        RequestStop();
        m_thread.join();
    }
}

bool CWorkerThread::Start(std::function<void(const StopToken&)> body) {
    if (m_thread.joinable())
        return false;
    m_token.m_state = std::make_shared<StopToken::State>();
    StopToken token = m_token;
    m_thread = std::thread([token, body = std::move(body)] {
        body(token);
        token.m_state->done.Set();
    });
    return true;
}

void CWorkerThread::RequestStop() {
    if (!m_token.m_state)
        return;
    m_token.m_state->stop = true;
    m_token.m_state->stopEvent.Set();
}

bool CWorkerThread::Join(uint32_t ms) {
    if (!m_thread.joinable())
        return true;
    if (!m_token.m_state->done.Wait(ms))
        return false;
    m_thread.join();
    return true;
}

void CWorkerThread::Abandon() {
    if (m_thread.joinable())
        m_thread.detach();
}

bool CWorkerThread::IsRunning() const {
    return m_thread.joinable() && !m_token.m_state->done.IsSet();
}

bool CWorkerThread::StopAndJoin(uint32_t ms, const std::wstring& timeoutText) {
    RequestStop();
    if (Join(ms))
        return true;
    PlatformLog(0, __FILE__, __LINE__, timeoutText);
    Abandon();
    return false;
}

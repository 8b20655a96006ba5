#include "core/taskmgr/taskexecuter.h"

#include <system_error>

#include "base/utility/formatstring.h"
#include "platform/diagnostics.h"

bool CTaskExecuter::_Start(std::function<void()> body) {
    std::lock_guard<std::mutex> lock(m_threadMutex);
    m_stop = false;
    std::shared_ptr<CEvent> ended = m_ended;
    try {
        return m_thread.Start([ended, body = std::move(body)](const CWorkerThread::StopToken&) {
            body();
            ended->Set();
        });
    } catch (const std::system_error&) {
        return false;
    }
}

bool CTaskExecuter::_Stop(uint32_t timeoutMs) {
    m_stop = true;
    {
        std::lock_guard<std::mutex> lock(m_threadMutex);
        m_thread.RequestStop();
    }
    // The wait holds no lock: the sweep may join the same thread meanwhile.
    if (m_ended->Wait(timeoutMs)) {
        _Join();
        return true;
    }
    std::lock_guard<std::mutex> lock(m_threadMutex);
    if (m_ended->IsSet()) {
        m_thread.Join(INFINITE_WAIT);
        return true;
    }
    std::wstring text;
    FormatString(text, L"CTaskExecuter::_Stop: 线程退出超时，TimeOut = %d", static_cast<int>(timeoutMs));
    PlatformLog(0, __FILE__, __LINE__, text);
    m_thread.Abandon();
    return false;
}

void CTaskExecuter::_Join() {
    std::lock_guard<std::mutex> lock(m_threadMutex);
    // The body has returned, so the thread is only finishing its last steps.
    if (m_ended->IsSet())
        m_thread.Join(INFINITE_WAIT);
}

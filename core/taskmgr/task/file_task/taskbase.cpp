#include "core/taskmgr/task/file_task/taskbase.h"

#include <chrono>
#include <system_error>
#include <thread>

#include "core/coreapp/ishelladapter.h"
#include "core/filesystem/taskdata/taskdatabase.h"
#include "core/remotestorage/remotestorage/filesha1.h"
#include "core/remotestorage/remotestorage/resultcodes.h"
#include "platform/strings.h"

CTaskBase::CTaskBase(TaskDataBase* record, std::shared_ptr<IFileTaskHost> host)
    : m_record(record), m_host(std::move(host)) {}

CTaskBase::~CTaskBase() = default;

HRESULT CTaskBase::Init(ILocalStorage* local, IRemoteStorage* remote, TransportProgressCallback progress,
                        void* context) {
    m_local = local;
    m_remote = remote;
    m_progress = progress;
    m_context = context;
    return S_OK;
}

HRESULT CTaskBase::Execute() {
    if (Cancelled())
        return E_CANCELLED;
    if (!m_local || !m_remote)
        return E_FAIL;
    return m_record->isUpload != 0 ? ExecuteLocal() : ExecuteRemote();
}

HRESULT CTaskBase::Cancel() {
    {
        std::lock_guard<std::mutex> lock(m_wakeLock);
        m_cancel = true;
    }
    m_wake.notify_all();
    return S_OK;
}

HRESULT CTaskBase::CancelledOr(HRESULT hr) const {
    return Cancelled() ? E_CANCELLED : hr;
}

bool CTaskBase::SleepUnlessCancelled(uint32_t ms) {
    std::unique_lock<std::mutex> lock(m_wakeLock);
    return !m_wake.wait_for(lock, std::chrono::milliseconds(ms), [this] { return m_cancel.load(); });
}

int CTaskBase::AskUser(const std::wstring& rememberKey, const std::wstring& text, const std::wstring& caption,
                       const std::wstring& buttons, int flag, const std::wstring& checkText,
                       int rememberValue) {
    // The question runs on a thread of its own so that a cancel does not have
    // to wait for the user; the thread shares what it writes.
    struct Answer {
        std::mutex lock;
        bool given = false;
        int value = kAskCancel;
    };
    auto answer = std::make_shared<Answer>();
    std::shared_ptr<IFileTaskHost> host = m_host;
    std::thread asker;
    try {
        asker = std::thread([=] {
            const int value =
                host->AskUser(rememberKey, text, caption, buttons, flag, checkText, rememberValue);
            std::lock_guard<std::mutex> lock(answer->lock);
            answer->given = true;
            answer->value = value;
        });
    } catch (const std::system_error&) {
        // No thread to spare: ask on this one, without the early cancel.
        return host->AskUser(rememberKey, text, caption, buttons, flag, checkText, rememberValue);
    }
    for (;;) {
        {
            std::lock_guard<std::mutex> lock(answer->lock);
            if (answer->given) {
                asker.join();
                return answer->value;
            }
        }
        if (!SleepUnlessCancelled(50)) {
            asker.detach();
            return kAskCancel;
        }
    }
}

HRESULT CTaskBase::Sha1Of(const std::wstring& path, std::wstring* hex) const {
    const HRESULT hr = FileSha1Hex(path, m_cancel, *hex);
    return FAILED(hr) ? CancelledOr(hr) : hr;
}

HRESULT CTaskBase::ForwardProgress(void* task, int64_t downloadTotal, int64_t downloadNow,
                                   int64_t uploadTotal, int64_t uploadNow, int64_t bytesPerSecond) {
    auto* self = static_cast<CTaskBase*>(task);
    if (self->Cancelled())
        return E_FAIL;
    if (!self->m_progress)
        return S_OK;
    return self->m_progress(self->m_context, downloadTotal, downloadNow, uploadTotal, uploadNow,
                            bytesPerSecond);
}

std::wstring ModTimeText(const std::wstring& writeTime) {
    const size_t dot = writeTime.rfind(L'.');
    return dot == std::wstring::npos ? std::wstring() : writeTime.substr(0, dot);
}

#pragma once
// A task manager whose synchronous path runs the short operations through a
// remote storage with the real one's retry rule (repeat only after a transport
// failure); the queue is not there. Counts the tries.
#include <atomic>
#include <string>
#include <vector>

#include "core/remotestorage/remotestorage/iremotestorage.h"
#include "core/remotestorage/remotestorage/resultcodes.h"
#include "core/taskmgr/itaskmgr.h"

namespace pellux_test {

class FakeTaskMgr final : public CUnknownImpl<ITaskMgr> {
public:
    static CComPtr<FakeTaskMgr> Make(IRemoteStorage* remote = nullptr, const std::wstring& token = L"") {
        CComPtr<FakeTaskMgr> manager(new FakeTaskMgr());
        manager->m_remote = remote;
        manager->m_token = token;
        return manager;
    }

    HRESULT Init(ISyncCenter*, ILocalStorage*, IRemoteStorage*) override { return S_OK; }
    HRESULT UnInit() override { return S_OK; }
    HRESULT Start() override { return S_OK; }
    HRESULT Stop(int) override { return S_OK; }
    HRESULT ExecuteTask(TaskDataBase* record, XmlNode* reply, int tries) override {
        HRESULT hr = S_OK;
        for (int i = 0; i < tries; ++i) {
            ++calls;
            if (reply)
                reply->Clear();
            hr = Dispatch(record, reply);
            if (hr < E_TRANSPORT_TIMEOUT || hr > E_CHECKSUM_MISMATCH)
                break;
        }
        return hr;
    }
    HRESULT AddTask(TaskDataBase* record, bool, TaskCompletionCallback, void*) override {
        if (record)
            record->Release();
        return E_NOTIMPL;
    }
    HRESULT CancelTask(const std::wstring&) override { return E_NOTIMPL; }
    HRESULT GetTaskList(bool, std::vector<TaskInfo>*) override { return E_NOTIMPL; }
    HRESULT RemoveFinishedTask(const std::wstring&) override { return E_NOTIMPL; }
    HRESULT RetryTask(const std::wstring&, TaskCompletionCallback, void*) override { return E_NOTIMPL; }

    std::atomic<int> calls{0};

private:
    FakeTaskMgr() = default;

    template <class T>
    static const T* As(const TaskDataBase* record) {
        return dynamic_cast<const T*>(record);
    }

    HRESULT Dispatch(TaskDataBase* record, XmlNode* reply) {
        if (!m_remote || !record)
            return E_FAIL;
        const std::wstring& op = record->operationName;
        if (op != L"Login" && record->token.empty())
            record->token = m_token;
        if (op == L"Dir")
            return m_remote->Dir(As<TaskData_Dir>(record), nullptr, nullptr, reply);
        if (op == L"GetSpace")
            return m_remote->GetSpace(As<TaskData_GetSpace>(record), nullptr, nullptr, reply);
        if (op == L"CreateDirectory")
            return m_remote->NewFolder(As<TaskData_DirectoryAdd>(record), nullptr, nullptr, reply);
        if (op == L"RenameDirectory" || op == L"EditFile")
            return m_remote->Rename(As<TaskData_Rename>(record), nullptr, nullptr, reply);
        if (op == L"MoveDirectory" || op == L"MoveFile")
            return m_remote->Move(As<TaskData_Move>(record), nullptr, nullptr, reply);
        if (op == L"DeleteDirectory" || op == L"DeleteFile")
            return m_remote->Delete(As<TaskData_Delete>(record), nullptr, nullptr, nullptr);
        if (op == L"GetAllShareFile")
            return m_remote->GetAllShareFile(As<TaskData_GetAllShareFile>(record), nullptr, nullptr, reply);
        if (op == L"FullTextSearch")
            return m_remote->FullTextSearch(As<TaskData_FullTextSearch>(record), nullptr, nullptr, reply);
        if (op == L"GetRecycle")
            return m_remote->GetRecycle(As<TaskData_GetRecycle>(record), nullptr, nullptr, reply);
        if (op == L"CleanRecycle")
            return m_remote->CleanRecycle(As<TaskData_CleanRecycle>(record), nullptr, nullptr, reply);
        if (op == L"Recover")
            return m_remote->Recover(As<TaskData_Recover>(record), nullptr, nullptr, reply);
        if (op == L"GetThumbnail")
            return m_remote->GetThumbnail(As<TaskData_GetThumbnail>(record), nullptr, nullptr, reply);
        if (op == L"GetRemoteOptVer" || op == L"GetMaxVer")
            return m_remote->GetMaxVers(As<TaskData_GetRemoteOptVer>(record), nullptr, nullptr, reply);
        return S_OK;
    }

    CComPtr<IRemoteStorage> m_remote;
    std::wstring m_token;
};

}  // namespace pellux_test

#pragma once
// The real remote storage with a counter per operation and scripted transport
// time-outs in front of it: the emulator cannot hold a request past the
// client's 30-second limit within a test.
#include <map>
#include <mutex>
#include <string>

#include "core/remotestorage/remotestorage/iremotestorage.h"
#include "core/remotestorage/remotestorage/resultcodes.h"

namespace pellux_test {

class ScriptedRemoteStorage : public CUnknownImpl<IRemoteStorage> {
public:
    explicit ScriptedRemoteStorage(IRemoteStorage* inner) : m_inner(inner) {}

    // The next `count` calls of the operation fail with `hr` without a request.
    void Inject(const std::string& operation, HRESULT hr, int count) {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_faults[operation] = {hr, count};
    }
    int Calls(const std::string& operation) const {
        std::lock_guard<std::mutex> lock(m_mutex);
        auto it = m_calls.find(operation);
        return it == m_calls.end() ? 0 : it->second;
    }

    HRESULT Init() override { return m_inner->Init(); }
    HRESULT UnInit() override { return m_inner->UnInit(); }

#define PELLUX_FORWARD(Name, Record)                                                                    \
    HRESULT Name(const Record* data, TransportProgressCallback progress, void* context, XmlNode* reply) \
        override {                                                                                      \
        HRESULT injected;                                                                               \
        if (Take(#Name, &injected))                                                                     \
            return injected;                                                                            \
        return m_inner->Name(data, progress, context, reply);                                           \
    }
    PELLUX_FORWARD(Login, TaskData_Login)
    PELLUX_FORWARD(ReLogin, TaskData_ReLogin)
    PELLUX_FORWARD(GetSpace, TaskData_GetSpace)
    PELLUX_FORWARD(GetMaxVers, TaskData_GetRemoteOptVer)
    PELLUX_FORWARD(GetRecycle, TaskData_GetRecycle)
    PELLUX_FORWARD(CleanRecycle, TaskData_CleanRecycle)
    PELLUX_FORWARD(Recover, TaskData_Recover)
    PELLUX_FORWARD(PushNotify, TaskData_PushNotify)
    PELLUX_FORWARD(GetNormalItemSnapshot, TaskData_ItemSnapshot)
    PELLUX_FORWARD(GetDeletedItemSnapshot, TaskData_ItemSnapshot)
    PELLUX_FORWARD(GetAllShareFile, TaskData_GetAllShareFile)
    PELLUX_FORWARD(Dir, TaskData_Dir)
    PELLUX_FORWARD(Delete, TaskData_Delete)
    PELLUX_FORWARD(DeleteEx, TaskData_Delete)
    PELLUX_FORWARD(Rename, TaskData_Rename)
    PELLUX_FORWARD(NewFolder, TaskData_DirectoryAdd)
    PELLUX_FORWARD(Move, TaskData_Move)
    PELLUX_FORWARD(MoveEx, TaskData_Move)
    PELLUX_FORWARD(NewFile, TaskData_NewFile)
    PELLUX_FORWARD(UpdateFile, TaskData_UpdateFile)
    PELLUX_FORWARD(_UploadFile, TaskData_UpdateFile)
    PELLUX_FORWARD(DownloadFile, TaskData_DownloadFile)
    PELLUX_FORWARD(GetThumbnail, TaskData_GetThumbnail)
    PELLUX_FORWARD(FullTextSearch, TaskData_FullTextSearch)
    PELLUX_FORWARD(GetItemInfo, TaskData_GetItemInfo)
    PELLUX_FORWARD(ShareFile, TaskData_ShareFile)
    PELLUX_FORWARD(SetFileModTime, TaskData_UpdateFile)
#undef PELLUX_FORWARD

private:
    bool Take(const std::string& operation, HRESULT* hr) {
        std::lock_guard<std::mutex> lock(m_mutex);
        ++m_calls[operation];
        auto it = m_faults.find(operation);
        if (it == m_faults.end() || it->second.second <= 0)
            return false;
        --it->second.second;
        *hr = it->second.first;
        return true;
    }

    CComPtr<IRemoteStorage> m_inner;
    mutable std::mutex m_mutex;
    std::map<std::string, int> m_calls;
    std::map<std::string, std::pair<HRESULT, int>> m_faults;
};

}  // namespace pellux_test

#pragma once
// A remote storage that forwards every operation to a real one, counts the
// push polls (how often a dead service is asked) and lets a test doctor the
// folder listings the service sends or script the log-in replies. Without an
// inner one nothing else answers.
#include <atomic>
#include <functional>

#include "core/remotestorage/remotestorage/iremotestorage.h"

namespace pellux_test {

class ForwardingRemoteStorage final : public CUnknownImpl<IRemoteStorage> {
public:
    explicit ForwardingRemoteStorage(IRemoteStorage* inner) : m_inner(inner) {}

    HRESULT Init() override { return m_inner ? m_inner->Init() : S_OK; }
    HRESULT UnInit() override { return m_inner ? m_inner->UnInit() : S_OK; }
    HRESULT Login(const TaskData_Login* data, TransportProgressCallback progress, void* context,
                  XmlNode* reply) override {
        return scriptedLogin ? scriptedLogin(reply)
                             : Forward(&IRemoteStorage::Login, data, progress, context, reply);
    }
    HRESULT ReLogin(const TaskData_ReLogin* data, TransportProgressCallback progress, void* context,
                    XmlNode* reply) override {
        return scriptedLogin ? scriptedLogin(reply)
                             : Forward(&IRemoteStorage::ReLogin, data, progress, context, reply);
    }
    HRESULT PushNotify(const TaskData_PushNotify* data, TransportProgressCallback progress, void* context,
                       XmlNode* reply) override {
        ++pushPolls;
        return Forward(&IRemoteStorage::PushNotify, data, progress, context, reply);
    }

    HRESULT Dir(const TaskData_Dir* data, TransportProgressCallback progress, void* context,
                XmlNode* reply) override {
        ++dirCalls;
        if (failDirs.load() > 0) {
            --failDirs;
            return failDirWith;
        }
        const HRESULT hr = Forward(&IRemoteStorage::Dir, data, progress, context, reply);
        if (hr == S_OK && reply && editDirReply)
            editDirReply(*reply);
        return hr;
    }

#define PELLUX_FORWARD(Name, Record)                                                                    \
    HRESULT Name(const Record* data, TransportProgressCallback progress, void* context, XmlNode* reply) \
        override {                                                                                      \
        return Forward(&IRemoteStorage::Name, data, progress, context, reply);                          \
    }
    PELLUX_FORWARD(GetSpace, TaskData_GetSpace)
    PELLUX_FORWARD(GetMaxVers, TaskData_GetRemoteOptVer)
    PELLUX_FORWARD(GetRecycle, TaskData_GetRecycle)
    PELLUX_FORWARD(CleanRecycle, TaskData_CleanRecycle)
    PELLUX_FORWARD(Recover, TaskData_Recover)
    PELLUX_FORWARD(GetNormalItemSnapshot, TaskData_ItemSnapshot)
    PELLUX_FORWARD(GetDeletedItemSnapshot, TaskData_ItemSnapshot)
    PELLUX_FORWARD(GetAllShareFile, TaskData_GetAllShareFile)
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

    std::atomic<int> pushPolls{0}, dirCalls{0};
    // The next failDirs listings answer failDirWith without a request (a
    // transport time-out the emulator cannot produce within a test).
    std::atomic<int> failDirs{0};
    HRESULT failDirWith = S_OK;
    // Set before the storage is used.
    std::function<void(XmlNode&)> editDirReply;
    std::function<HRESULT(XmlNode*)> scriptedLogin;

private:
    template <class Record>
    HRESULT Forward(HRESULT (IRemoteStorage::*op)(const Record*, TransportProgressCallback, void*, XmlNode*),
                    const Record* data, TransportProgressCallback progress, void* context, XmlNode* reply) {
        return m_inner ? (m_inner.get()->*op)(data, progress, context, reply) : E_NOTIMPL;
    }

    CComPtr<IRemoteStorage> m_inner;
};

}  // namespace pellux_test

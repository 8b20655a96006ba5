#include "core/taskmgr/remotedispatch.h"

#include <cwchar>

#include "core/remotestorage/remotestorage/iremotestorage.h"

namespace {

template <class T>
using Operation = HRESULT (IRemoteStorage::*)(const T*, TransportProgressCallback, void*, XmlNode*);

using Call = HRESULT (*)(IRemoteStorage*, TaskDataBase*, XmlNode*);

template <class T, Operation<T> op>
HRESULT CallAs(IRemoteStorage* remote, TaskDataBase* record, XmlNode* reply) {
    const T* typed = dynamic_cast<const T*>(record);
    if (!typed)
        return E_INVALIDARG;
    return (remote->*op)(typed, nullptr, nullptr, reply);
}

// Delete judges its reply in a node of its own.
template <class T, Operation<T> op>
HRESULT CallWithoutReply(IRemoteStorage* remote, TaskDataBase* record, XmlNode*) {
    return CallAs<T, op>(remote, record, nullptr);
}

struct Route {
    const wchar_t* name;
    Call call;
};

const Route kRoutes[] = {
    {L"Dir", &CallAs<TaskData_Dir, &IRemoteStorage::Dir>},
    {L"GetSpace", &CallAs<TaskData_GetSpace, &IRemoteStorage::GetSpace>},
    {L"GetFileInfo", &CallAs<TaskData_GetItemInfo, &IRemoteStorage::GetItemInfo>},
    {L"CreateDirectory", &CallAs<TaskData_DirectoryAdd, &IRemoteStorage::NewFolder>},
    {L"RenameDirectory", &CallAs<TaskData_Rename, &IRemoteStorage::Rename>},
    {L"EditFile", &CallAs<TaskData_Rename, &IRemoteStorage::Rename>},
    {L"MoveDirectory", &CallAs<TaskData_Move, &IRemoteStorage::Move>},
    {L"MoveFile", &CallAs<TaskData_Move, &IRemoteStorage::Move>},
    {L"DeleteDirectory", &CallWithoutReply<TaskData_Delete, &IRemoteStorage::Delete>},
    {L"DeleteFile", &CallWithoutReply<TaskData_Delete, &IRemoteStorage::Delete>},
    {L"GetRecycle", &CallAs<TaskData_GetRecycle, &IRemoteStorage::GetRecycle>},
    {L"CleanRecycle", &CallAs<TaskData_CleanRecycle, &IRemoteStorage::CleanRecycle>},
    {L"Recover", &CallAs<TaskData_Recover, &IRemoteStorage::Recover>},
    {L"GetAllShareFile", &CallAs<TaskData_GetAllShareFile, &IRemoteStorage::GetAllShareFile>},
    {L"Login", &CallAs<TaskData_Login, &IRemoteStorage::Login>},
    {L"ReLogin", &CallAs<TaskData_ReLogin, &IRemoteStorage::ReLogin>},
    {L"GetRemoteOptVer", &CallAs<TaskData_GetRemoteOptVer, &IRemoteStorage::GetMaxVers>},
    {L"GetMaxVer", &CallAs<TaskData_GetRemoteOptVer, &IRemoteStorage::GetMaxVers>},
    {L"GetThumbnail", &CallAs<TaskData_GetThumbnail, &IRemoteStorage::GetThumbnail>},
    {L"FullTextSearch", &CallAs<TaskData_FullTextSearch, &IRemoteStorage::FullTextSearch>},
};

}  // namespace

HRESULT DispatchRecord(IRemoteStorage* remote, TaskDataBase* record, XmlNode* reply) {
    for (const Route& route : kRoutes) {
        if (record->operationName == route.name)
            return route.call(remote, record, reply);
    }
    return S_OK;
}

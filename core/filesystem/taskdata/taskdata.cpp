#include "core/filesystem/taskdata/taskdata.h"

#include <new>

TaskData_Login* MakeLoginTask(const std::wstring& user, const std::wstring& password,
                              const std::wstring& deviceId, const std::wstring& clientName,
                              const std::wstring& clientVersion) {
    TaskData_Login* record = TaskData_Login::Create();
    if (!record)
        return nullptr;
    try {
        record->operationName = L"Login";
        record->user = user;
        record->password = password;
        record->deviceId = deviceId;
        record->clientName = clientName;
        record->clientVersion = clientVersion;
    } catch (const std::bad_alloc&) {
        record->Release();
        return nullptr;
    }
    return record;
}

TaskData_ReLogin* MakeReLoginTask(const std::wstring& token, const std::wstring& deviceId) {
    TaskData_ReLogin* record = TaskData_ReLogin::Create();
    if (!record)
        return nullptr;
    try {
        record->operationName = L"ReLogin";
        record->token = token;
        record->deviceId = deviceId;
    } catch (const std::bad_alloc&) {
        record->Release();
        return nullptr;
    }
    return record;
}

#include "core/taskmgr/task/file_task/newfiletask.h"

#include <memory>

#include "core/coreapp/ishelladapter.h"
#include "core/filesystem/taskdata/taskdata.h"
#include "core/localstorage/localstorage/ilocalstorage.h"
#include "core/remotestorage/remotestorage/iremotestorage.h"
#include "core/remotestorage/remotestorage/resultcodes.h"
#include "core/remotestorage/remotestorage/transportsettings.h"
#include "platform/strings.h"

namespace {

const wchar_t kExistKey[] = L"Wizard_UpLoadFileExist";
const wchar_t kExistText[] = L"  文件已经存在，请选择以下操作方式。";
const wchar_t kCaption[] = L"Orvane便携版";
const wchar_t kExistButtons[] = L"替换|更新|取消";
const wchar_t kRememberText[] = L"记住我的选择";

std::wstring LastComponent(const std::wstring& itemPath) {
    const size_t slash = itemPath.rfind(L'\\');
    return slash == std::wstring::npos ? itemPath : itemPath.substr(slash + 1);
}

}  // namespace

HRESULT NewFileTask::ExecuteLocal() {
    auto* record = dynamic_cast<TaskData_NewFile*>(m_record);
    if (!record)
        return E_INVALIDARG;
    // A file that is gone must not leave an empty entry on the service.
    std::wstring creation, written;
    if (FAILED(m_local->GetFileTimeByPath(record->localPath, &creation, &written, false)))
        return E_LOCAL_FILE_MISSING;
    XmlNode reply;
    const HRESULT created = m_remote->NewFile(record, nullptr, nullptr, &reply);
    // The folder is gone: nothing was uploaded, which the task must say
    // (reporting success here would lose the user's file silently).
    if (created == E_RESULT_PARENT_NOT_EXIST)
        return created;
    if (FAILED(created) && created != E_RESULT_TARGET_EXIST)
        return created;
    const bool exists = created == E_RESULT_TARGET_EXIST;
    const std::wstring fileId = reply.GetValue(L"fileId");
    const std::wstring fileVer = reply.GetValue(L"fileVer");
    const std::wstring serviceSha1 = reply.GetValue(L"sha1");
    record->key = fileId;
    const bool emptyEntry = fileVer == L"0";

    int answer = kAskNotShown;
    if (exists && !emptyEntry) {
        answer = AskUser(kExistKey, record->name + kExistText, kCaption, kExistButtons, 1, kRememberText, -1);
        // Cancelled while the question was open: neither delete nor upload.
        if (Cancelled())
            return E_CANCELLED;
    }
    if (exists && !serviceSha1.empty()) {
        std::wstring localSha1;
        const HRESULT hashed = Sha1Of(record->localPath, &localSha1);
        if (Cancelled())
            return E_CANCELLED;
        if (SUCCEEDED(hashed) && CompareNoCaseAscii(localSha1, serviceSha1) == 0 && answer != kAskThird)
            return S_OK;  // the service already holds this content
    }

    if (emptyEntry) {
        std::wstring creation, written;
        if (FAILED(m_local->GetFileTimeByPath(record->localPath, &creation, &written, false)))
            return E_LOCAL_FILE_MISSING;
        std::unique_ptr<TaskData_UpdateFile, void (*)(TaskData_UpdateFile*)> update(
            TaskData_UpdateFile::Create(), [](TaskData_UpdateFile* r) { r->Release(); });
        if (!update)
            return E_OUTOFMEMORY;
        update->operationName = L"UpdateFile";
        update->key = fileId;
        update->itemPath = record->itemPath;
        update->name = LastComponent(record->itemPath);
        update->fileVer = fileVer;
        update->localPath = record->localPath;
        update->isUpload = 1;
        update->token = record->token;
        update->modTime = ModTimeText(written);
        std::wstring newVersion;
        const HRESULT hr = UploadContent(*update, &newVersion);
        if (SUCCEEDED(hr)) {
            record->version = static_cast<int>(ParseIntegerSetting(newVersion, 0));
            record->sha1 = update->sourceSha1;
        }
        return hr;
    }

    switch (answer) {
        case kAskThird: {
            const HRESULT hr = m_host->Delete(false, record->key, record->itemPath);
            if (FAILED(hr))
                return hr;
            return m_host->Upload(std::wstring(), record->parentId, 0, record->itemPath, record->localPath);
        }
        case kAskDefault:
        case kAskNotShown:
            return m_host->Upload(fileId, record->parentId, static_cast<int>(ParseIntegerSetting(fileVer, 0)),
                                  record->itemPath, record->localPath);
        default:
            return S_OK;
    }
}

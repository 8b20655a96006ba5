#include "core/remotestorage/remotestorage/resultcodes.h"

namespace {

const std::map<std::wstring, HRESULT>& BuildTable() {
    static const std::map<std::wstring, HRESULT> table = {
        {L"ok", S_OK},
        {L"clientBadParams", E_RESULT_CLIENT_BAD_PARAMS},
        {L"serverDeny", E_RESULT_SERVER_DENY},
        {L"serverBusy", E_RESULT_SERVER_BUSY},
        {L"clientTooFrequent", E_RESULT_CLIENT_TOO_FREQUENT},
        {L"clientNoMethod", E_RESULT_CLIENT_NO_METHOD},
        {L"accountServerError", E_RESULT_ACCOUNT_SERVER_ERROR},
        {L"accountNotActive", E_RESULT_ACCOUNT_NOT_ACTIVE},
        {L"dataOperationFailed", E_RESULT_DATA_OPERATION_FAILED},
        {L"permissionDenied", E_RESULT_PERMISSION_DENIED},
        {L"serverDenyReadOnly", E_RESULT_SERVER_DENY_READ_ONLY},
        {L"failureToApplyStub", E_RESULT_FAILURE_TO_APPLY_STUB},
        {L"badStub", E_RESULT_BAD_STUB},
        {L"getFileKeyFailed", E_RESULT_GET_FILE_KEY_FAILED},
        {L"storageError", E_RESULT_STORAGE_ERROR},
        {L"getFileInfoFailed", E_RESULT_GET_FILE_INFO_FAILED},
        {L"serverError", E_RESULT_SERVER_ERROR},
        {L"clientTokenExpired", E_RESULT_CLIENT_TOKEN_EXPIRED},
        {L"methodVersionNotMatch", E_RESULT_METHOD_VERSION_NOT_MATCH},
        {L"accountNotMatch", E_RESULT_ACCOUNT_NOT_MATCH},
        {L"clientNoLogin", E_RESULT_CLIENT_NO_LOGIN},
        {L"errorDeny", E_RESULT_ERROR_DENY},
        {L"targetExist", E_RESULT_TARGET_EXIST},
        {L"targetNotExist", E_RESULT_TARGET_NOT_EXIST},
        {L"overSpace", E_RESULT_OVER_SPACE},
        {L"fileVerConflict", E_RESULT_FILE_VER_CONFLICT},
        {L"forbidden", E_RESULT_FORBIDDEN},
        {L"parentNotExist", E_RESULT_PARENT_NOT_EXIST},
        {L"emptyFile", E_RESULT_EMPTY_FILE},
        {L"folderNonEmpty", E_RESULT_FOLDER_NON_EMPTY},
        {L"uploadError", E_RESULT_UPLOAD_ERROR},
        {L"fileMissInAgent", E_RESULT_FILE_MISS_IN_AGENT},
        {L"timeout", E_RESULT_TIMEOUT},
        {L"wssError", E_RESULT_WSS_ERROR},
    };
    return table;
}

// Built while only the main thread exists.
const std::map<std::wstring, HRESULT>& g_table = BuildTable();

}  // namespace

// Codes pass through unchanged: which failures a file task reports as
// E_LOCAL_FILE_MISSING is the task's own decision.
HRESULT ServerErrorTable::Lookup(const wchar_t* text) {
    if (!text)
        return E_FAIL;
    const auto& table = Entries();
    auto it = table.find(text);
    return it == table.end() ? E_RESULT_UNKNOWN : it->second;
}

const std::map<std::wstring, HRESULT>& ServerErrorTable::Entries() {
    (void)g_table;
    return BuildTable();
}

bool IsRetryableTaskResult(HRESULT hr) {
    switch (hr) {
        case S_OK:
        case E_CANCELLED:
        case E_RESULT_FILE_VER_CONFLICT:
        case E_RESULT_PARENT_NOT_EXIST:
        case E_RESULT_TARGET_NOT_EXIST:
        case E_RESULT_EMPTY_FILE:
        case E_RESULT_OVER_SPACE:
        case E_RESULT_SERVER_DENY_READ_ONLY:
        case E_LOCAL_BUSY:
            return false;
        default:
            return true;
    }
}

bool IsTransportFailure(HRESULT hr) {
    return hr == E_TRANSPORT_TIMEOUT || hr == E_TRANSPORT_CONNECT || hr == E_TRANSPORT_FAILED ||
           hr == E_CHECKSUM_MISMATCH;
}

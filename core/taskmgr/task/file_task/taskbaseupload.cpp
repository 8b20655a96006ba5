// The content upload shared by the new-file and new-version tasks.
#include "core/filesystem/taskdata/taskdata.h"
#include "core/localstorage/localstorage/ilocalstorage.h"
#include "core/localstorage/localstorage/localfileops.h"
#include "core/remotestorage/remotestorage/iremotestorage.h"
#include "core/remotestorage/remotestorage/resultcodes.h"
#include "core/taskmgr/task/file_task/taskbase.h"

namespace {

// Deletes the intermediate files of one upload whichever way it ends.
struct UploadFiles {
    std::wstring copy;
    std::wstring encoded;
    ~UploadFiles() {
        RemoveFileQuietly(copy);
        RemoveFileQuietly(encoded);
    }
};

}  // namespace

HRESULT CTaskBase::UploadContent(TaskData_UpdateFile& record, std::wstring* fileVer) {
    UploadFiles files;
    record.encodedFilePath.clear();
    if (FAILED(m_local->CopyFileToTempPathByFullPath(record.localPath, &files.copy, false)))
        return CancelledOr(E_LOCAL_FILE_MISSING);
    int64_t size = -1;
    HRESULT hr = m_local->GetFileSizeByPath(files.copy, &size, false);
    if (FAILED(hr))
        return hr;
    record.sourceSize = std::to_wstring(size);
    hr = Sha1Of(files.copy, &record.sourceSha1);
    if (FAILED(hr))
        return hr;
    if (Cancelled())
        return E_CANCELLED;

    XmlNode request;
    hr = m_remote->UpdateFile(&record, nullptr, nullptr, &request);
    if (hr == E_RESULT_FAILURE_TO_APPLY_STUB || hr == E_RESULT_FORBIDDEN)
        return E_LOCAL_FILE_MISSING;
    if (FAILED(hr))
        return hr;
    XmlNode modTimeReply;
    m_remote->SetFileModTime(&record, nullptr, nullptr, &modTimeReply);
    const std::wstring fileKey = request.GetValue(L"fileKey");
    if (fileKey.empty())
        return E_FAIL;
    record.stub = request.GetValue(L"stub");
    record.uploadAddress = request.GetValue(L"url");

    hr = m_local->GetTempFilePath(&files.encoded);
    if (FAILED(hr))
        return hr;
    hr = m_local->EncodeFileCancelable(record.name, files.copy, files.encoded, fileKey, m_cancel);
    if (FAILED(hr))
        return CancelledOr(hr);
    RemoveFileQuietly(files.copy);
    files.copy.clear();
    record.encodedFilePath = files.encoded;
    hr = m_local->GetFileSizeByPath(files.encoded, &size, false);
    if (FAILED(hr))
        return hr;
    record.uploadSize = std::to_wstring(size);
    hr = Sha1Of(files.encoded, &record.uploadSha1);
    if (FAILED(hr))
        return hr;

    XmlNode reply;
    hr = m_remote->_UploadFile(&record, &CTaskBase::ForwardProgress, this, &reply);
    if (hr == E_RESULT_UPLOAD_ERROR)
        return E_LOCAL_FILE_MISSING;
    if (FAILED(hr))
        return CancelledOr(hr);
    *fileVer = reply.GetValue(L"fileVer");
    return S_OK;
}

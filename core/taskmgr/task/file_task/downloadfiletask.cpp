#include "core/taskmgr/task/file_task/downloadfiletask.h"

#include "core/filesystem/taskdata/taskdata.h"
#include "core/localstorage/localstorage/ilocalstorage.h"
#include "core/localstorage/localstorage/localfileops.h"
#include "core/remotestorage/remotestorage/iremotestorage.h"
#include "core/remotestorage/remotestorage/resultcodes.h"
#include "core/remotestorage/remotestorage/transportsettings.h"
#include "platform/strings.h"

HRESULT DownloadFileTask::ExecuteRemote() {
    auto* record = dynamic_cast<TaskData_DownloadFile*>(m_record);
    if (!record)
        return E_INVALIDARG;
    // Both intermediate files go whichever way the attempt ends.
    struct Files {
        std::wstring downloaded;
        std::wstring decoded;
        ~Files() {
            RemoveFileQuietly(downloaded);
            RemoveFileQuietly(decoded);
        }
    } files;
    HRESULT hr = m_local->GetTempFilePath(&files.downloaded);
    if (FAILED(hr))
        return hr;
    record->downloadPath = files.downloaded;
    // A fresh reply for every attempt: values of an earlier one must not mix in.
    XmlNode reply;
    hr = m_remote->DownloadFile(record, &CTaskBase::ForwardProgress, this, &reply);
    // The stored content does not match its digest: the task's own code for
    // a download that cannot be used, so the cluster tries again.
    if (hr == E_CHECKSUM_MISMATCH)
        return E_LOCAL_FILE_MISSING;
    if (FAILED(hr))
        return CancelledOr(hr);
    const std::wstring fileKey = reply.GetValue(L"fileKey");
    if (fileKey.empty())
        return E_FAIL;
    hr = m_local->GetTempFilePath(&files.decoded);
    if (FAILED(hr))
        return hr;
    hr = m_local->DecodeFileCancelable(files.downloaded, files.decoded, fileKey, CancelFlag());
    if (FAILED(hr))
        return CancelledOr(hr);
    RemoveFileQuietly(files.downloaded);
    files.downloaded.clear();

    const std::wstring serviceSha1 = reply.GetValue(L"sha1");
    std::wstring decodedSha1;
    hr = Sha1Of(files.decoded, &decodedSha1);
    if (FAILED(hr))
        return hr;
    if (CompareNoCaseAscii(decodedSha1, serviceSha1) != 0)
        return E_LOCAL_FILE_MISSING;
    record->sha1 = serviceSha1;
    record->version = static_cast<int>(ParseIntegerSetting(reply.GetValue(L"fileVer"), 0));

    int64_t size = 0;
    hr = m_local->GetFileSizeByPath(files.decoded, &size, false);
    if (FAILED(hr))
        return hr;
    std::wstring created, written;
    hr = m_local->GetFileTimeByPath(files.decoded, &created, &written, false);
    if (FAILED(hr))
        return hr;
    if (Cancelled())
        return E_CANCELLED;
    hr = m_local->MoveTempFileToSyncSpace(files.decoded, record->localPath, record->name, serviceSha1);
    if (SUCCEEDED(hr))
        files.decoded.clear();
    return hr;
}

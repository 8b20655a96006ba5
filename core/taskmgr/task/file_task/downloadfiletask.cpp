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
    hr = m_local->GetTempFilePath(&files.decoded);
    if (FAILED(hr))
        return hr;
    // A fresh reply for every attempt: values of an earlier one must not mix in.
    XmlNode reply;
    // The decode runs while the bytes arrive. It never refuses them: what it
    // cannot decode this way is decoded from the downloaded file afterwards,
    // so every result stays what the whole-file decode gives.
    std::unique_ptr<IDecodeStream> stream;
    bool streamBegun = false;
    const TransportDownloadSink decode = [&](const void* bytes, size_t length) {
        if (!streamBegun) {
            streamBegun = true;
            if (FAILED(m_local->BeginDecodeStream(files.decoded, reply.GetValue(L"fileKey"), CancelFlag(),
                                                  &stream)))
                stream.reset();
        }
        if (stream && !stream->Write(bytes, length))
            stream.reset();
        return true;
    };
    hr = m_remote->DownloadFileStreaming(record, decode, &CTaskBase::ForwardProgress, this, &reply);
    if (hr == E_NOTIMPL) {
        stream.reset();
        reply = XmlNode();
        hr = m_remote->DownloadFile(record, &CTaskBase::ForwardProgress, this, &reply);
    }
    // The stored content does not match its digest: the task's own code for
    // a download that cannot be used, so the cluster tries again.
    if (hr == E_CHECKSUM_MISMATCH)
        return E_LOCAL_FILE_MISSING;
    if (FAILED(hr))
        return CancelledOr(hr);
    const std::wstring fileKey = reply.GetValue(L"fileKey");
    if (fileKey.empty())
        return E_FAIL;
    std::wstring decodedSha1;
    hr = stream ? stream->Finish(&decodedSha1) : E_FAIL;
    stream.reset();
    if (hr == E_ABORT)
        return CancelledOr(hr);
    if (FAILED(hr)) {
        decodedSha1.clear();
        hr = m_local->DecodeFileCancelable(files.downloaded, files.decoded, fileKey, CancelFlag());
        if (FAILED(hr))
            return CancelledOr(hr);
    }
    RemoveFileQuietly(files.downloaded);
    files.downloaded.clear();

    const std::wstring serviceSha1 = reply.GetValue(L"sha1");
    if (decodedSha1.empty()) {
        hr = Sha1Of(files.decoded, &decodedSha1);
        if (FAILED(hr))
            return hr;
    }
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

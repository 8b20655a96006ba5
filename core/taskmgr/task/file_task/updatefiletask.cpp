#include "core/taskmgr/task/file_task/updatefiletask.h"

#include "core/filesystem/taskdata/taskdata.h"
#include "core/localstorage/localstorage/ilocalstorage.h"
#include "core/remotestorage/remotestorage/resultcodes.h"
#include "core/remotestorage/remotestorage/transportsettings.h"
#include "core/taskmgr/task/file_task/filebusyprobe.h"

HRESULT UpdateFileTask::ExecuteLocal() {
    auto* record = dynamic_cast<TaskData_UpdateFile*>(m_record);
    if (!record)
        return E_INVALIDARG;
    const HRESULT probe = ProbeFileBusy(record->localPath);
    if (probe == E_LOCAL_BUSY) {
        // Final: the open-for-edit manager posts the upload again later.
        return SleepUnlessCancelled(kBusyWaitMs) ? E_LOCAL_BUSY : E_CANCELLED;
    }
    if (FAILED(probe))
        return probe;
    std::wstring created, written;
    if (FAILED(m_local->GetFileTimeByPath(record->localPath, &created, &written, false)))
        return E_LOCAL_FILE_MISSING;
    record->modTime = ModTimeText(written);
    std::wstring newVersion;
    const HRESULT hr = UploadContent(*record, &newVersion);
    if (SUCCEEDED(hr)) {
        record->version = static_cast<int>(ParseIntegerSetting(newVersion, 0));
        record->sha1 = record->sourceSha1;
    }
    return hr;
}

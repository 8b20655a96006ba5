#pragma once
// The explorer's long commands, run on the waiting dialog's worker. Each job
// gets a snapshot of what it works on (never the window), reports one
// progress line per item, stops before the next item once the user cancels,
// and hands back whatever the GUI thread must add to the list.
#include <string>
#include <vector>

#include "core/localstorage/localstorage/remoteitem.h"
#include "platform/hresult.h"

class CWaitJob;

// One selected row as a job sees it.
struct ExplorerJobItem {
    RemoteItem item;
    // The item's remote path (current path joined with its name).
    std::wstring remotePath;
};

struct UploadEntry {
    std::wstring parentId;
    // Reaches the core as the file version: 0 is a new upload.
    int number = 0;
    std::wstring remotePath;
    std::wstring localPath;
};

// True when the result lets the view refresh after a job.
bool JobSucceeded(int result);

// Delete (in the recycle bin: delete for good) each item.
int RunDeleteJob(CWaitJob& job, int navigateType, const std::vector<ExplorerJobItem>& items);
int RunRestoreJob(CWaitJob& job, const std::vector<ExplorerJobItem>& items, const std::wstring& targetId);
int RunEmptyJob(CWaitJob& job, const std::vector<ExplorerJobItem>& items);
// Uploads the entries; the items the folder shown (shownParentId) gains are
// appended to rowsToAdd.
int RunUploadJob(CWaitJob& job, const std::vector<UploadEntry>& entries, const std::wstring& shownParentId,
                 std::vector<RemoteItem>* rowsToAdd);

// Why a local name cannot go to the service: a "\", "|" or ":" in it, or
// bytes that are no UTF-8 (shown as U+FFFD); empty when it may go.
std::wstring UploadNameProblem(const std::wstring& localPath);

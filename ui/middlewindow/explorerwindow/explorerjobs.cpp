#include "ui/middlewindow/explorerwindow/explorerjobs.h"

#include <QDateTime>
#include <QFileInfo>
#include <QString>

#include "base/utility/localpath.h"
#include "base/utility/remotepath.h"
#include "core/coreapp/coreaccess.h"
#include "core/remotestorage/remotestorage/resultcodes.h"
#include "ui/mainwindowpanes.h"
#include "ui/waitjob.h"

namespace {

QString Q(const std::wstring& s) {
    return QString::fromStdWString(s);
}

bool SameNameListed(const std::vector<RemoteItem>& listed, const std::wstring& name) {
    const QString wanted = Q(name);
    for (const RemoteItem& item : listed) {
        if (Q(item.name).compare(wanted, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

}  // namespace

bool JobSucceeded(int result) {
    return result == S_OK || result == E_RESULT_TARGET_EXIST;
}

int RunDeleteJob(CWaitJob& job, int navigateType, const std::vector<ExplorerJobItem>& items) {
    HRESULT hr = S_OK;
    const int count = int(items.size());
    for (int i = 0; i < count && job.GoOn(); ++i) {
        const RemoteItem& item = items[size_t(i)].item;
        job.SetProgressText(
            QStringLiteral("(%1 / %2 )    正在删除文件 “%3”").arg(i + 1).arg(count).arg(Q(item.name)));
        hr = navigateType == kNavigateRecycle
                 ? GetCoreAccess().CleanRecycle(item.fileId)
                 : GetCoreAccess().Delete(item.isFolder != 0, item.fileId, items[size_t(i)].remotePath);
    }
    return hr;
}

int RunRestoreJob(CWaitJob& job, const std::vector<ExplorerJobItem>& items, const std::wstring& targetId) {
    HRESULT hr = S_OK;
    const int count = int(items.size());
    for (int i = 0; i < count && job.GoOn(); ++i) {
        const RemoteItem& item = items[size_t(i)].item;
        job.SetProgressText(
            QStringLiteral("(%1 / %2)    正在还原文件 “%3”").arg(i + 1).arg(count).arg(Q(item.name)));
        hr = GetCoreAccess().Recover(item.fileId, targetId);
    }
    return hr;
}

int RunEmptyJob(CWaitJob& job, const std::vector<ExplorerJobItem>& items) {
    HRESULT hr = S_OK;
    const int count = int(items.size());
    for (int i = 0; i < count && job.GoOn(); ++i) {
        const RemoteItem& item = items[size_t(i)].item;
        job.SetProgressText(
            QStringLiteral("(%1 / %2)    正在删除文件 “%3” ").arg(i + 1).arg(count).arg(Q(item.name)));
        hr = GetCoreAccess().CleanRecycle(item.fileId);
    }
    return hr;
}

int RunUploadJob(CWaitJob& job, const std::vector<UploadEntry>& entries, const std::wstring& shownParentId,
                 std::vector<RemoteItem>* rowsToAdd) {
    HRESULT hr = S_OK;
    const int count = int(entries.size());
    for (int i = 0; i < count && job.GoOn(); ++i) {
        const UploadEntry& e = entries[size_t(i)];
        std::wstring name;
        GetFileNameFromPath(name, e.localPath);
        job.SetProgressText(
            QStringLiteral("(%1 / %2)    添加上传任务 “%3”").arg(i + 1).arg(count).arg(Q(name)));
        const QFileInfo local(Q(e.localPath));
        RemoteItem row;
        row.name = GetRemoteFileName(e.remotePath);
        row.parentId = e.parentId;
        if (local.isDir()) {
            hr =
                GetCoreAccess().UploadFolder(e.parentId, e.number, e.remotePath, e.localPath, job.GoOnFlag());
            row.isFolder = 1;
            if (hr == S_OK && e.parentId == shownParentId)
                rowsToAdd->push_back(row);
            continue;
        }
        std::vector<RemoteItem> listed;
        const bool listedBefore =
            SUCCEEDED(GetCoreAccess().Dir(e.parentId, GetRemoteParentFolder(e.remotePath), &listed, false)) &&
            SameNameListed(listed, row.name);
        hr = GetCoreAccess().Upload(std::wstring(), e.parentId, e.number, e.remotePath, e.localPath);
        if (SUCCEEDED(hr) && !listedBefore && e.parentId == shownParentId) {
            row.size = local.size();
            row.modTime = local.lastModified().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")).toStdWString();
            rowsToAdd->push_back(row);
        }
    }
    return hr;
}

std::wstring UploadNameProblem(const std::wstring& localPath) {
    std::wstring name;
    GetFileNameFromPath(name, localPath);
    if (name.find_first_of(L"\\|:") != std::wstring::npos)
        return L"名称中含有不能上传的字符（\\ | :）";
    if (name.find(L'\uFFFD') != std::wstring::npos)
        return L"名称不是有效的 UTF-8 文本";
    return std::wstring();
}

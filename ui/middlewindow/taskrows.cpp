#include "ui/middlewindow/taskrows.h"

#include <QStringList>

#include "base/utility/formatstring.h"
#include "core/filesystem/taskdata/taskdatabase.h"
#include "ui/middlewindow/itaskcore.h"

namespace {

constexpr int kDefaultWidth = 200;
constexpr int kProgressFrames = 12;

QString NameOf(const std::wstring& path) {
    const size_t cut = path.find_last_of(L"\\/");
    return QString::fromStdWString(cut == std::wstring::npos ? path : path.substr(cut + 1));
}

TaskRow ItemRow(int kind, const TaskInfo& info) {
    TaskRow row;
    row.kind = kind;
    row.key = info.key;
    row.namePrefix = QStringLiteral("<img srcid='item' index='%1'/> ").arg(info.isUpload ? 0 : 1);
    row.name = NameOf(info.itemPath);
    return row;
}

TaskRow HeaderRow(int kind, const QString& name, const QString& operation) {
    TaskRow row;
    row.kind = kind;
    row.namePrefix = name;
    row.operation = operation;
    return row;
}

TaskRow RunningRow(const TaskInfo& info) {
    TaskRow row = ItemRow(kTaskRowRunning, info);
    // A count past the total (a file that grew while it was sent) is done too.
    if (info.bytesTotal > 0 && info.bytesDone >= info.bytesTotal) {
        if (info.isUpload)
            row.status = QStringLiteral("上传成功");
        else if (info.flags & kTaskFlagOpenAfterDownload)
            row.status = QStringLiteral("正在打开文件...");
        return row;
    }
    row.status = QStringLiteral("<img srcid='process' index='%1'/>")
                     .arg(ProgressImageIndex(info.bytesDone, info.bytesTotal));
    row.operation = QStringLiteral("<a name='cancel'>取消</a>");
    return row;
}

}  // namespace

int ProgressImageIndex(int64_t done, int64_t total) {
    if (total < 1)
        total = 1;
    if (done <= 0)
        return 0;
    if (done >= total)
        return kProgressFrames - 1;
    // 128 bits: done x 12 overflows 64 bits for counts past 768 PiB.
    return static_cast<int>(static_cast<__int128>(done) * kProgressFrames / total);
}

TaskGroups BuildTaskRows(const std::vector<TaskInfo>& openFiles, const std::vector<TaskInfo>& unfinished,
                         const std::vector<TaskInfo>& finished) {
    TaskGroups groups;
    groups.pending.push_back(HeaderRow(
        kTaskRowPendingGroup,
        QStringLiteral("<img srcid='group' index='2'/> <font bold='1' color='0x4594de'>待处理的任务</font>"),
        QStringLiteral("<a name='delete'>放弃所有任务</a>")));
    for (const TaskInfo& info : openFiles) {
        TaskRow row = ItemRow(kTaskRowOpenFile, info);
        row.operation = QStringLiteral("<a name='upload'>立即上传</a>   <a name='delete'>停止监控</a>");
        groups.pending.push_back(row);
    }
    for (const TaskInfo& info : unfinished)
        groups.pending.push_back(RunningRow(info));
    groups.completed.push_back(HeaderRow(
        kTaskRowCompletedGroup,
        QStringLiteral("<img srcid='group' index='1'/> <font bold='1' color='0x006c00'>已完成的任务</font>"),
        QStringLiteral("<a name='delete'>清空记录</a>")));
    groups.failed.push_back(HeaderRow(
        kTaskRowFailedGroup,
        QStringLiteral("<img srcid='group' index='0'/> <font bold='1' color='0xffa10c'>失败的任务</font>"),
        QStringLiteral("<a name='retry'>重试所有记录</a>  <a name='delete'>清空记录</a>")));
    for (const TaskInfo& info : finished) {
        if (info.result == S_OK) {
            TaskRow row = ItemRow(kTaskRowCompleted, info);
            row.operation = QStringLiteral("<a name='delete'>清除</a>");
            groups.completed.push_back(row);
        } else {
            TaskRow row = ItemRow(kTaskRowFailed, info);
            row.operation = QStringLiteral("<a name='retry'>重试</a> <a name='delete'>清除</a>");
            groups.failed.push_back(row);
        }
    }
    return groups;
}

std::wstring FormatTaskHeaderWidths(const std::array<int, 3>& widths) {
    std::wstring text;
    auto width = [](int w) { return w > 0 ? w : kDefaultWidth; };
    return FormatString(text, L"%d|%d|%d", width(widths[0]), width(widths[1]), width(widths[2]));
}

std::array<int, 3> ParseTaskHeaderWidths(const std::wstring& text) {
    std::array<int, 3> widths = {kDefaultWidth, kDefaultWidth, kDefaultWidth};
    const QStringList parts = QString::fromStdWString(text).split('|');
    for (int i = 0; i < 3 && i < parts.size(); ++i) {
        bool ok = false;
        const int w = parts[i].trimmed().toInt(&ok);
        if (ok && w > 0)
            widths[i] = w;
    }
    return widths;
}

bool RunTaskLink(ITaskCore& core, const TaskGroups& groups, const TaskRow& row, const QString& link) {
    // Every row of a group below its header, by kind.
    auto forEach = [](const std::vector<TaskRow>& rows, int kind, auto call) {
        for (const TaskRow& r : rows)
            if (r.kind == kind && !r.key.empty())
                call(r.key);
    };
    // An empty id means "all" to the core; a row never stands for all.
    if (!(row.kind & kTaskRowGroupBit) && row.key.empty())
        return false;
    const bool del = link == QLatin1String("delete");
    const bool retry = link == QLatin1String("retry");
    switch (row.kind) {
        case kTaskRowPendingGroup:
            if (!del)
                return false;
            core.RemoveOpenFile(std::wstring());
            core.CancelAllTasks(std::wstring());
            return true;
        case kTaskRowOpenFile:
            if (link == QLatin1String("upload"))
                core.UploadOpenFileNow(row.key);
            else if (del)
                core.RemoveOpenFile(row.key);
            else
                return false;
            return true;
        case kTaskRowRunning:
            if (link != QLatin1String("cancel"))
                return false;
            core.CancelAllTasks(row.key);
            return true;
        case kTaskRowCompletedGroup:
            if (!del)
                return false;
            forEach(groups.completed, kTaskRowCompleted,
                    [&](const std::wstring& k) { core.ClearTaskList(k); });
            return true;
        case kTaskRowFailedGroup:
            if (retry)
                forEach(groups.failed, kTaskRowFailed, [&](const std::wstring& k) { core.RetryTask(k); });
            else if (del)
                forEach(groups.failed, kTaskRowFailed, [&](const std::wstring& k) { core.ClearTaskList(k); });
            else
                return false;
            return true;
        case kTaskRowCompleted:
        case kTaskRowFailed:
            if (retry && row.kind == kTaskRowFailed)
                core.RetryTask(row.key);
            else if (del)
                core.ClearTaskList(row.key);
            else
                return false;
            return true;
        default:
            return false;
    }
}

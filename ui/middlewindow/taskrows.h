#pragma once
// What the task pane shows, built from the three task lists without any
// widget: the rows of each group with their cell markup, the progress frame
// and the column-width value. Item names come from the service and are kept
// apart from the markup (the markup has no escape).
#include <QString>
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "core/taskmgr/taskinfo.h"

class ITaskCore;

// A row's kind; the bit 0x1000 marks a group header.
enum TaskRowKind {
    kTaskRowOpenFile = 1,
    kTaskRowRunning = 2,
    kTaskRowCompleted = 4,
    kTaskRowFailed = 5,
    kTaskRowPendingGroup = 0x1001,
    kTaskRowCompletedGroup = 0x1002,
    kTaskRowFailedGroup = 0x1003,
};
constexpr int kTaskRowGroupBit = 0x1000;

struct TaskRow {
    int kind = 0;
    // The task id, or the file id of a file opened for editing.
    std::wstring key;
    // Markup before the name, then the name shown as it is.
    QString namePrefix;
    QString name;
    QString status;
    QString operation;
};

// Headers first in each group; the pending group holds the open files, then
// the unfinished transfers.
struct TaskGroups {
    std::vector<TaskRow> pending;
    std::vector<TaskRow> completed;
    std::vector<TaskRow> failed;
};

TaskGroups BuildTaskRows(const std::vector<TaskInfo>& openFiles, const std::vector<TaskInfo>& unfinished,
                         const std::vector<TaskInfo>& finished);
// Frame of the 12-frame progress strip: done x 12 / total, a total below 1
// counting as 1, always 0 to 11.
int ProgressImageIndex(int64_t done, int64_t total);
// The header widths as "%d|%d|%d"; a width of 0 or less is stored as 200.
std::wstring FormatTaskHeaderWidths(const std::array<int, 3>& widths);
// Missing, unreadable or non-positive widths give 200.
std::array<int, 3> ParseTaskHeaderWidths(const std::wstring& text);
// Runs a clicked link of a row against the core; false when the link does
// nothing on that row.
bool RunTaskLink(ITaskCore& core, const TaskGroups& groups, const TaskRow& row, const QString& link);

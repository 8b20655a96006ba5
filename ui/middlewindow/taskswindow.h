#pragma once
// The task pane under the explorer: files opened for editing, transfers with
// their progress, finished and failed transfers, in three collapsible groups
// with links that act on the tasks. Redrawn from the poller's cache twice a
// second, so it never waits for the core.
#include <QWidget>
#include <array>
#include <memory>

#include "skingui/skinctlcolor.h"
#include "ui/middlewindow/taskinfocache.h"
#include "ui/middlewindow/taskrows.h"

class IUserValues;
class QTimer;

namespace SKINGUI {
class CSkinListViewCtrlEx;
class CSkinStatic;
}  // namespace SKINGUI

class CTasksWindow : public QWidget, public SKINGUI::ISkinCtlColor {
    Q_OBJECT
public:
    static constexpr int kRefreshMs = 500;

    // Restores the column widths and starts the poller and the refresh timer.
    CTasksWindow(IUserValues& values, std::shared_ptr<ITaskCore> core, QWidget* parent = nullptr,
                 uint32_t pollMs = CTaskInfoCache::kPollMs);
    ~CTasksWindow() override;

    // Stores the column widths ("_TaskHeaderWidth") and stops the poller.
    void TearDown();
    // Rebuilds the rows from the cache (the timer's work).
    void Refresh();
    // Acts on a link of a row (a row index of the list, hidden rows included).
    void OnLinkClicked(int row, const QString& link);
    // Collapses or expands a group header (a row index of the list).
    void ToggleGroup(int row);

    SKINGUI::CSkinListViewCtrlEx* List() const { return list_; }
    CTaskInfoCache& Cache() { return cache_; }
    // The rows the list shows, in list order.
    const std::vector<TaskRow>& Rows() const { return rows_; }

    bool CtlColorStatic(QWidget* control, SKINGUI::ColorRef* background) override;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void SetUpList();
    void SyncGroup(int first, const std::vector<TaskRow>& before, const std::vector<TaskRow>& after);
    void WriteRow(int index, const TaskRow& row);

    IUserValues& values_;
    std::shared_ptr<ITaskCore> core_;
    CTaskInfoCache cache_;
    SKINGUI::CSkinListViewCtrlEx* list_ = nullptr;
    SKINGUI::CSkinStatic* title_ = nullptr;
    QTimer* timer_ = nullptr;
    TaskGroups groups_;
    std::vector<TaskRow> rows_;
    // The last lists read; a reader that finds the cache busy keeps them.
    std::vector<TaskInfo> open_, unfinished_, finished_;
    bool tornDown_ = false;
};

// The task pane's rows built from the core's lists, the links that act on
// them, the stored column widths, and the pane against a stalled core.
#include "ui/middlewindow/taskrows.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>

#include "core/filesystem/taskdata/taskdatabase.h"
#include "skingui/skinlistviewctrlex.h"
#include "tests/support/waituntil.h"
#include "tests/ui/fakeuservalues.h"
#include "tests/ui/middlewindow/faketaskcore.h"
#include "ui/middlewindow/taskswindow.h"

using namespace ui_test;
using SKINGUI::CSkinListViewCtrlEx;

namespace {

constexpr HRESULT kFailed = HRESULT(0x80044001);

TEST(TaskRows, ProgressFrameIsClampedAndSafeForHugeCounts) {
    struct Case {
        int64_t done, total;
        int index;
    };
    const std::vector<Case> cases = {{50, 100, 6},
                                     {0, 100, 0},
                                     {99, 100, 11},
                                     {100, 100, 11},
                                     {5, 0, 11},
                                     {-3, 10, 0},
                                     {INT64_MAX - 1, INT64_MAX, 11},
                                     {INT64_MAX / 2, INT64_MAX, 5}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.done) + "/" + std::to_string(c.total));
        EXPECT_EQ(ProgressImageIndex(c.done, c.total), c.index);
    }
}

TEST(TaskRows, ListsBecomeGroupedRowsWithTheirTexts) {
    const std::vector<TaskInfo> open = {Task(L"f1", L"\\Docs\\plan.docx", true, 0, 0)};
    const std::vector<TaskInfo> unfinished = {
        Task(L"t1", L"\\up.bin", true, 50, 100),
        Task(L"t2", L"\\done.bin", true, 120, 100),  // grew while it was sent
        Task(L"t3", L"\\open.pdf", false, 10, 10, S_OK, kTaskFlagOpenAfterDownload),
        Task(L"t4", L"\\empty.txt", false, 0, 0),
    };
    const std::vector<TaskInfo> finished = {Task(L"t5", L"\\ok.txt", false, 1, 1),
                                            Task(L"t6", L"\\bad.txt", true, 0, 1, kFailed)};
    const TaskGroups groups = BuildTaskRows(open, unfinished, finished);
    struct Expected {
        int kind;
        const wchar_t* key;
        QString name, status, operation;
    };
    const QString cancel = QStringLiteral("<a name='cancel'>取消</a>");
    const std::vector<Expected> pending = {
        {kTaskRowPendingGroup, L"", "", "", QStringLiteral("<a name='delete'>放弃所有任务</a>")},
        {kTaskRowOpenFile, L"f1", "plan.docx", "",
         QStringLiteral("<a name='upload'>立即上传</a>   <a name='delete'>停止监控</a>")},
        {kTaskRowRunning, L"t1", "up.bin", "<img srcid='process' index='6'/>", cancel},
        {kTaskRowRunning, L"t2", "done.bin", QStringLiteral("上传成功"), ""},
        {kTaskRowRunning, L"t3", "open.pdf", QStringLiteral("正在打开文件..."), ""},
        {kTaskRowRunning, L"t4", "empty.txt", "<img srcid='process' index='0'/>", cancel},
    };
    ASSERT_EQ(groups.pending.size(), pending.size());
    for (size_t i = 0; i < pending.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(groups.pending[i].kind, pending[i].kind);
        EXPECT_EQ(groups.pending[i].key, pending[i].key);
        EXPECT_EQ(groups.pending[i].name, pending[i].name);
        EXPECT_EQ(groups.pending[i].status, pending[i].status);
        EXPECT_EQ(groups.pending[i].operation, pending[i].operation);
    }
    EXPECT_EQ(groups.pending[1].namePrefix, "<img srcid='item' index='0'/> ");
    EXPECT_EQ(groups.pending[4].namePrefix, "<img srcid='item' index='1'/> ");
    ASSERT_EQ(groups.completed.size(), 2u);
    EXPECT_EQ(groups.completed[1].key, L"t5");
    EXPECT_EQ(groups.completed[1].operation, QStringLiteral("<a name='delete'>清除</a>"));
    ASSERT_EQ(groups.failed.size(), 2u);
    EXPECT_EQ(groups.failed[1].key, L"t6");
    EXPECT_EQ(groups.failed[0].operation,
              QStringLiteral("<a name='retry'>重试所有记录</a>  <a name='delete'>清空记录</a>"));
}

TEST(TaskRows, LinksRunTheirCoreCommands) {
    const TaskGroups groups =
        BuildTaskRows({Task(L"f1", L"\\a", true, 0, 0)}, {Task(L"t1", L"\\b", true, 1, 2)},
                      {Task(L"c1", L"\\c", false, 1, 1), Task(L"c2", L"\\d", false, 1, 1),
                       Task(L"x1", L"\\e", true, 0, 1, kFailed), Task(L"x2", L"\\f", true, 0, 1, kFailed)});
    struct Case {
        const TaskRow& row;
        const char* link;
        std::vector<std::wstring> calls;
    };
    const std::vector<Case> cases = {
        {groups.pending[0], "delete", {L"remove:", L"cancel:"}},
        {groups.pending[1], "upload", {L"upload:f1"}},
        {groups.pending[1], "delete", {L"remove:f1"}},
        {groups.pending[2], "cancel", {L"cancel:t1"}},
        {groups.pending[2], "saveas", {}},
        {groups.completed[0], "delete", {L"clear:c1", L"clear:c2"}},
        {groups.completed[1], "delete", {L"clear:c1"}},
        {groups.completed[1], "retry", {}},
        {groups.failed[0], "retry", {L"retry:x1", L"retry:x2"}},
        {groups.failed[0], "delete", {L"clear:x1", L"clear:x2"}},
        {groups.failed[2], "retry", {L"retry:x2"}},
        {groups.failed[2], "delete", {L"clear:x2"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.row.kind) + " " + c.link);
        FakeTaskCore core;
        EXPECT_EQ(RunTaskLink(core, groups, c.row, QString::fromLatin1(c.link)), !c.calls.empty());
        EXPECT_EQ(core.Calls(), c.calls);
    }
    // A row without an id never turns into "every task".
    TaskRow blank = groups.failed[1];
    blank.key.clear();
    FakeTaskCore core;
    EXPECT_FALSE(RunTaskLink(core, groups, blank, QStringLiteral("delete")));
    EXPECT_TRUE(core.Calls().empty());
}

TEST(TaskRows, HeaderWidthsRoundTrip) {
    const std::vector<std::pair<std::wstring, std::array<int, 3>>> cases = {{L"120|80|300", {120, 80, 300}},
                                                                            {L"", {200, 200, 200}},
                                                                            {L"0|-5|90", {200, 200, 90}},
                                                                            {L"abc|50", {200, 50, 200}},
                                                                            {L"10|20|30|40", {10, 20, 30}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(QString::fromStdWString(c.first).toStdString());
        EXPECT_EQ(ParseTaskHeaderWidths(c.first), c.second);
    }
    EXPECT_EQ(FormatTaskHeaderWidths({0, 150, -1}), L"200|150|200");
}

class TasksWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        core = std::make_shared<FakeTaskCore>();
        core->finishedList = {Task(L"c1", L"\\ok1.txt", false, 1, 1), Task(L"c2", L"\\ok2.txt", false, 1, 1),
                              Task(L"x1", L"\\bad.txt", true, 0, 1, kFailed)};
        values.values[L"_TaskHeaderWidth"] = L"250|180|160";
        window = std::make_unique<CTasksWindow>(values, core, nullptr, 5);
        window->resize(600, 260);
        window->show();
    }
    // Waits for a poll that began after now to finish.
    void WaitForPoll() {
        const uint64_t seen = window->Cache().Generation();
        pellux_test::WaitUntil([&] { return window->Cache().Generation() >= seen + 2; }, 5000);
        window->Refresh();
    }

    FakeUserValues values;
    std::shared_ptr<FakeTaskCore> core;
    std::unique_ptr<CTasksWindow> window;
};

TEST_F(TasksWindowTest, ClickedLinksAreMappedThroughCollapsedGroups) {
    WaitForPoll();
    CSkinListViewCtrlEx* list = window->List();
    ASSERT_EQ(list->RowCount(), 6);  // pending header, completed + 2, failed + 1
    window->ToggleGroup(1);          // the completed header folds its two rows
    EXPECT_EQ(list->ItemCount(), 4);
    EXPECT_EQ(list->MapRowIndex(3, 1), 5);
    // A real click on the failed row's first link ("重试").
    const QRect cell = list->CellRect(5, 2);
    ASSERT_FALSE(cell.isEmpty());
    const QPoint at(cell.left() + 12, cell.center().y());
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    EXPECT_EQ(core->Calls(), std::vector<std::wstring>{L"retry:x1"});
    window->ToggleGroup(1);
    EXPECT_EQ(list->ItemCount(), 6);
    SaveScreenshot(window.get(), "taskpane.png");
    window->TearDown();
    EXPECT_EQ(values.values[L"_TaskHeaderWidth"], L"250|180|160");
}

TEST_F(TasksWindowTest, RefreshNeverWaitsForAStalledCore) {
    WaitForPoll();
    core->HoldLists();
    ASSERT_TRUE(core->WaitUntilStalled());
    core->ClearLists();
    // The poller sits in the core; the pane keeps its rows and answers.
    for (int i = 0; i < 5; ++i) {
        window->Refresh();
        QApplication::processEvents();
    }
    EXPECT_EQ(window->List()->RowCount(), 6);
    core->Release();
    WaitForPoll();
    EXPECT_EQ(window->List()->RowCount(), 3);
}

}  // namespace

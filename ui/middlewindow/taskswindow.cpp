#include "ui/middlewindow/taskswindow.h"

#include <QPainter>
#include <QTimer>

#include "skingui/imageregistry.h"
#include "skingui/skinheaderctrlex.h"
#include "skingui/skinlistviewctrlex.h"
#include "skingui/skinresources.h"
#include "skingui/skinstatic.h"
#include "ui/iuservalues.h"

using namespace SKINGUI;

namespace {

constexpr ColorRef kGridColor = 0xDCDCDC;
constexpr ColorRef kListColor = 0xF9F5F0;
constexpr ColorRef kHeaderRowColor = 0xF7EFE8;
constexpr ColorRef kPaneColor = 0xF2E9DF;
constexpr int kCellStartX = 6;
const wchar_t kWidthsKey[] = L"_TaskHeaderWidth";

void RegisterTaskImages() {
    ImageRegistry& registry = ImageRegistry::Instance();
    registry.Register("group", MakeSkinImageList("ICON", {277, 278, 279}, QSize(18, 18)));
    registry.Register("item", MakeSkinImageList("ICON", {274, 275, 276}, QSize(16, 16)));
    registry.Register(
        "process", MakeSkinImageList("BITMAP", {236, 237, 238, 239, 240, 241, 242, 243, 244, 245, 246, 247},
                                     QSize(174, 16)));
}

}  // namespace

CTasksWindow::CTasksWindow(IUserValues& values, std::shared_ptr<ITaskCore> core, QWidget* parent,
                           uint32_t pollMs)
    : QWidget(parent), values_(values), core_(std::move(core)), cache_(core_, pollMs) {
    RegisterTaskImages();
    SetUpList();
    title_ = new CSkinStatic(this, QStringLiteral("任务清单："));
    title_->setGeometry(0, 10, 70, 15);
    timer_ = new QTimer(this);
    connect(timer_, &QTimer::timeout, this, &CTasksWindow::Refresh);
    timer_->start(kRefreshMs);
    cache_.Init();
}

CTasksWindow::~CTasksWindow() {
    TearDown();
}

void CTasksWindow::SetUpList() {
    list_ = new CSkinListViewCtrlEx(this);
    list_->SetRowHeight(24);
    list_->SetSkinStyle(CSkinListViewCtrlEx::kSkinHeader | CSkinListViewCtrlEx::kTransparentHeader |
                        CSkinListViewCtrlEx::kHorzGrid | CSkinListViewCtrlEx::kVertGrid);
    list_->SetBkColor(kListColor);
    list_->SetGridColors(kGridColor, kGridColor);
    const std::array<int, 3> widths = ParseTaskHeaderWidths(values_.GetUserValue(kWidthsKey, L""));
    const QString captions[3] = {QStringLiteral("名称"), QStringLiteral("状态"), QStringLiteral("操作")};
    for (int c = 0; c < 3; ++c)
        list_->SetColumn(c, captions[c], widths[c], kCellStartX, 0);
    connect(list_, &CSkinListViewCtrlEx::linkClicked, this,
            [this](int row, int, const QString& name) { OnLinkClicked(row, name); });
    connect(list_, &QAbstractItemView::doubleClicked, this,
            [this](const QModelIndex& index) { ToggleGroup(list_->MapRowIndex(index.row(), 1)); });
    // The three headers stand from the start, their groups empty.
    groups_ = BuildTaskRows({}, {}, {});
    SyncGroup(0, {}, groups_.pending);
    SyncGroup(int(groups_.pending.size()), {}, groups_.completed);
    SyncGroup(int(groups_.pending.size() + groups_.completed.size()), {}, groups_.failed);
    rows_.clear();
    for (const auto* group : {&groups_.pending, &groups_.completed, &groups_.failed})
        rows_.insert(rows_.end(), group->begin(), group->end());
}

void CTasksWindow::TearDown() {
    if (tornDown_)
        return;
    tornDown_ = true;
    timer_->stop();
    std::array<int, 3> widths{};
    for (int c = 0; c < 3; ++c)
        widths[c] = list_->columnWidth(c);
    values_.SetUserValue(kWidthsKey, FormatTaskHeaderWidths(widths));
    cache_.UnInit();
}

void CTasksWindow::Refresh() {
    // A busy cache leaves the lists of the last refresh in place.
    cache_.GetOpenFileList(open_);
    cache_.GetUnfinishedList(unfinished_);
    cache_.GetFinishedList(finished_);
    TaskGroups next = BuildTaskRows(open_, unfinished_, finished_);
    const int completedAt = int(next.pending.size());
    SyncGroup(0, groups_.pending, next.pending);
    SyncGroup(completedAt, groups_.completed, next.completed);
    SyncGroup(completedAt + int(next.completed.size()), groups_.failed, next.failed);
    groups_ = std::move(next);
    rows_.clear();
    for (const auto* group : {&groups_.pending, &groups_.completed, &groups_.failed})
        rows_.insert(rows_.end(), group->begin(), group->end());
}

void CTasksWindow::SyncGroup(int first, const std::vector<TaskRow>& before,
                             const std::vector<TaskRow>& after) {
    const int had = int(before.size());
    const int wants = int(after.size());
    if (wants > had)
        list_->InsertRows(first + had, wants - had);
    for (int i = had - 1; i >= wants; --i)
        list_->DeleteRow(first + i);
    for (int i = 0; i < wants; ++i) {
        // Unchanged rows keep their pages, so a hovered link stays underlined.
        if (i < had && before[i].kind == after[i].kind && before[i].key == after[i].key &&
            before[i].name == after[i].name && before[i].status == after[i].status &&
            before[i].operation == after[i].operation)
            continue;
        WriteRow(first + i, after[i]);
    }
}

void CTasksWindow::WriteRow(int index, const TaskRow& row) {
    const bool header = (row.kind & kTaskRowGroupBit) != 0;
    const CSkinListViewCtrlEx::Row* existing = list_->GetRow(index);
    const uint32_t color = header ? uint32_t(kHeaderRowColor) : uint32_t(kNotSet);
    list_->SetRowFlags(index, uint32_t(row.kind));
    if (existing == nullptr || existing->level != (header ? 1 : 0))
        list_->SetRowAttributes(index, color, header ? 1 : 0, CSkinListViewCtrlEx::kRowNormal);
    else
        list_->SetRowAttributes(index, color, existing->level, CSkinListViewCtrlEx::kRowNormal);
    if (SingleLineFormatControl* name = list_->EnsureCellPage(index, 0, kCellStartX, 0)) {
        name->SetText(row.namePrefix);
        if (!row.name.isEmpty())
            name->AddPlainText(row.name);
    }
    list_->SetCellText(index, 1, row.status, kCellStartX, 0);
    list_->SetCellText(index, 2, row.operation, kCellStartX, 0);
    list_->UpdateRow(index);
}

void CTasksWindow::OnLinkClicked(int row, const QString& link) {
    if (row < 0 || row >= int(rows_.size()))
        return;
    RunTaskLink(*core_, groups_, rows_[row], link);
}

void CTasksWindow::ToggleGroup(int row) {
    const CSkinListViewCtrlEx::Row* r = list_->GetRow(row);
    if (r == nullptr || !(r->flags & kTaskRowGroupBit))
        return;
    list_->ExpandGroup(row, r->expanded == 0);
}

void CTasksWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    list_->setGeometry(1, 33, width() - 2, height() - 37);
    title_->setGeometry(0, 10, 70, 15);
    update();
}

void CTasksWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), kPaneColor.ToQColor());
}

bool CTasksWindow::CtlColorStatic(QWidget*, ColorRef* background) {
    *background = kPaneColor;
    return true;
}

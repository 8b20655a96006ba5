#include "ui/middlewindow/contentwindow.h"

#include "core/coreapp/coreaccess.h"
#include "skingui/skinsplitterwindow.h"
#include "ui/ie/iewindowbase/sharesettingdlg.h"
#include "ui/iuservalues.h"
#include "ui/middlewindow/explorerwindow/explorerwindow.h"
#include "ui/middlewindow/taskswindow.h"

using namespace SKINGUI;

namespace {

const wchar_t kPosKey[] = L"_ContentSplitPos";

}  // namespace

CContentWindow::CContentWindow(IUiMainWindow* mainWindow, IUserValues& values,
                               std::shared_ptr<ITaskCore> core, QWidget* parent)
    : QWidget(parent), values_(values) {
    splitter_ = new CSkinSplitterWindowT<0>(this);
    splitter_->SetBarWidth(kBarWidth);
    explorer_ = new CExplorerWindow;
    CExplorerWindow::Pickers pickers;
    pickers.share = [](QWidget* owner, const RemoteItem& item) {
        std::wstring userName, token;
        GetCoreAccess().GetLoginInfo(&userName, &token, nullptr, nullptr);
        ShowShareSettings(owner, item.fileId, token, userName);
    };
    explorer_->SetPickers(std::move(pickers));
    tasks_ = new CTasksWindow(values, std::move(core));
    splitter_->SetSplitterPanes(explorer_, tasks_);
    connect(splitter_, &CSkinSplitterWindowImpl::barClicked, this, &CContentWindow::ToggleTaskPane);
    connect(splitter_, &CSkinSplitterWindowImpl::barMoved, this, &CContentWindow::StorePosition);
    explorer_->Init(mainWindow);
    explorer_->setFocus();
}

CContentWindow::~CContentWindow() {
    TearDown();
}

void CContentWindow::TearDown() {
    if (tornDown_)
        return;
    tornDown_ = true;
    StorePosition();
    explorer_->SaveColumnWidths();
    tasks_->TearDown();
}

void CContentWindow::StorePosition() {
    const int pos = splitter_->GetSplitterPos();
    if (pos >= 0)
        values_.SetUserValue(kPosKey, std::to_wstring(pos));
}

void CContentWindow::ToggleTaskPane() {
    const int folded = height() - kFoldedRest;
    if (splitter_->GetSplitterPos() == folded) {
        const int stored = values_.GetUserIntValue(kPosKey);
        if (stored > 0)
            splitter_->SetSplitterPos(stored);
    } else {
        splitter_->SetSplitterPos(folded);
    }
}

void CContentWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    splitter_->setGeometry(rect());
    if (!placed_ && height() > 0) {
        placed_ = true;
        const int stored = values_.GetUserIntValue(kPosKey);
        splitter_->SetSplitterPos(stored > 0 ? stored : height() * 7 / 10);
    }
}

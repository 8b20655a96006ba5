#include "ui/middlewindow/middlewindow.h"

#include "skingui/skinsplitterwindow.h"
#include "ui/iuservalues.h"
#include "ui/middlewindow/contentwindow.h"
#include "ui/middlewindow/navigatewindow.h"

using namespace SKINGUI;

namespace {

const wchar_t kPosKey[] = L"_MidSplitPos";

}  // namespace

CMiddleWindow::CMiddleWindow(IUiMainWindow* mainWindow, IUserValues& values, std::shared_ptr<ITaskCore> core,
                             QWidget* parent)
    : QWidget(parent), values_(values) {
    splitter_ = new CSkinSplitterWindowT<1>(this);
    splitter_->SetBarWidth(kBarWidth);
    navigate_ = new CNavigateWindow(mainWindow, values);
    content_ = new CContentWindow(values, std::move(core));
    splitter_->SetSplitterPanes(navigate_, content_);
}

CMiddleWindow::~CMiddleWindow() {
    TearDown();
}

void CMiddleWindow::TearDown() {
    if (tornDown_)
        return;
    tornDown_ = true;
    const int pos = splitter_->GetSplitterPos();
    if (pos > 0)
        values_.SetUserValue(kPosKey, std::to_wstring(pos));
    content_->TearDown();
}

HRESULT CMiddleWindow::OpenItem(int navigateType, const std::wstring& id, const std::wstring& parentId,
                                const std::wstring& path, bool isFolder) {
    content_->Explorer()->OpenItem(navigateType, id, parentId, path, isFolder);
    return S_OK;
}

HRESULT CMiddleWindow::NavigateTo(int navigateType, const std::wstring& path) {
    content_->Explorer()->NavigateTo(navigateType, path);
    return S_OK;
}

HRESULT CMiddleWindow::ShowSection(int unused, int navigateType) {
    content_->Explorer()->ShowSection(unused, navigateType);
    return S_OK;
}

HRESULT CMiddleWindow::FullTextSearch(const std::wstring& keyword) {
    content_->Explorer()->FullTextSearch(keyword);
    return S_OK;
}

void CMiddleWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    splitter_->setGeometry(1, 0, width() - 2, height());
    // Placed at the first real size: a new splitter's stand-in size would clamp it.
    if (!placed_) {
        placed_ = true;
        const int stored = values_.GetUserIntValue(kPosKey);
        splitter_->SetSplitterPos(stored > 0 ? stored : kDefaultNavigateWidth);
    }
}

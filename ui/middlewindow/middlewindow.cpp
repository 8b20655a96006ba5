#include "ui/middlewindow/middlewindow.h"

#include "skingui/skinsplitterwindow.h"
#include "ui/iuservalues.h"
#include "ui/middlewindow/contentwindow.h"
#include "ui/middlewindow/explorerwindow/explorerwindow.h"
#include "ui/middlewindow/explorerwindow/filetreedlg.h"
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
    navigate_->SetFavoritePicker([](QWidget* owner, CNavigateWindow::PickedItem* picked) {
        CFileTreeDlg picker(owner);
        picker.title = QStringLiteral("添加快捷方式");
        picker.prompt = QStringLiteral("请选择待添加的文件或文件夹:");
        if (picker.exec() != QDialog::Accepted || !picker.HasSelection())
            return false;
        const FileTreeResult& chosen = picker.Result();
        picked->isFolder = chosen.kind == 1;
        picked->type = chosen.navigateType;
        picked->id = chosen.id;
        picked->parentId = chosen.parentId;
        picked->path = chosen.path;
        const size_t cut = chosen.path.find_last_of(L'\\');
        picked->name = cut == std::wstring::npos ? chosen.path : chosen.path.substr(cut + 1);
        return !picked->name.empty();
    });
    content_ = new CContentWindow(mainWindow, values, std::move(core));
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

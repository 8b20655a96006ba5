// The thumbnail view of the explorer window: which rows get previews, the
// offer to switch to it, and the tiles that arrive from the worker.
#include "core/coreapp/coreaccess.h"
#include "ui/mainwindowpanes.h"
#include "ui/middlewindow/explorerwindow/explorermodel.h"
#include "ui/middlewindow/explorerwindow/explorerwindow.h"
#include "ui/middlewindow/explorerwindow/thumbnailtile.h"
#include "ui/middlewindow/explorerwindow/thumbnailworker.h"

void CExplorerWindow::StartThumbnails() {
    thumbnails_->Stop();
    if (navigateType_ == kNavigateRecycle || viewMode_ != CExplorerModel::kThumbnails ||
        model_->rowCount() < 2)
        return;
    std::wstring syncRoot;
    GetCoreAccess().GetSyncRoot(syncRoot);
    std::vector<ThumbnailRequest> requests;
    for (int row = 1; row < model_->rowCount(); ++row) {
        const int index = model_->ItemIndexOfRow(row);
        const RemoteItem* item = model_->ItemOfRow(row);
        if (!item || item->isFolder != 0 || !IsPictureName(item->name))
            continue;
        ThumbnailRequest request;
        request.itemIndex = index;
        request.fileId = item->fileId;
        // Ids and names that cannot stand as file names leave the paths empty: the row fails.
        if (!syncRoot.empty()) {
            GetThumbnailPath(syncRoot, *item, navigateType_, &request.cachePath);
            GetLocalCopyPath(syncRoot, *item, &request.localPath);
        }
        model_->SetTile(index, MakeStatusTile(model_->IconOfRow(row), kThumbnailLoading, font()));
        requests.push_back(std::move(request));
    }
    if (!requests.empty())
        thumbnails_->Start(std::move(requests));
}

void CExplorerWindow::StopThumbnails() {
    thumbnails_->Stop();
}

void CExplorerWindow::OnTileDone(quint64 generation, int itemIndex, const QString& fileId,
                                 const QString& cachePath, int state) {
    if (generation != thumbnails_->Generation() || viewMode_ != CExplorerModel::kThumbnails)
        return;
    const int row = model_->RowOfItemIndex(itemIndex);
    const RemoteItem* item = model_->ItemOfRow(row);
    // A later listing may have put another item at that index.
    if (!item || QString::fromStdWString(item->fileId) != fileId)
        return;
    QPixmap tile;
    if (state == kThumbnailLoaded) {
        const QImage image = LoadThumbnail(cachePath);
        tile = image.isNull() ? MakeStatusTile(model_->IconOfRow(row), kThumbnailLoaded, font())
                              : MakeImageTile(image);
    } else {
        tile = MakeStatusTile(model_->IconOfRow(row), kThumbnailFailed, font());
    }
    model_->SetTile(itemIndex, tile);
}

void CExplorerWindow::AskThumbnailMode(const std::vector<RemoteItem>& items) {
    if (viewMode_ == CExplorerModel::kThumbnails)
        return;
    bool pictures = false;
    for (const RemoteItem& item : items) {
        if (IsPictureName(item.name)) {
            pictures = true;
            break;
        }
    }
    if (!pictures)
        return;
    const int answer =
        GetCoreAccess().AskUser(L"Wizard_OpenFolder", L"当前文件夹存在图片，是否以缩略图模式浏览图片?",
                                L"Orvane便携版", L"确定|取消", 0, L"下次不再提示", -2);
    if (answer != kAskDefault)
        return;
    if (viewMode_ == CExplorerModel::kDetails)
        StoreColumnWidths();
    viewMode_ = CExplorerModel::kThumbnails;
    ApplyViewMode();
}

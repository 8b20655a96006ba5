#pragma once
// The remote-folder browser in the upper half of the content pane: one of the
// four sections as a list of rows with a breadcrumb, back/forward history,
// search hits, five views, the command toolbar and menus, and thumbnails.
// Everything remote goes through the core-access object.
#include <QWidget>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/localstorage/localstorage/remoteitem.h"
#include "platform/hresult.h"
#include "ui/middlewindow/explorerwindow/droptarget.h"
#include "ui/middlewindow/explorerwindow/explorerjobs.h"
#include "ui/middlewindow/explorerwindow/navigationhistory.h"

class CExplorerDragDrop;
class CExplorerModel;
class CThumbnailWorker;
class ExplorerRules;
class QAbstractItemView;
class QItemSelectionModel;
class QListView;
class QMenu;
class QStackedWidget;
class QTimer;
class QToolButton;
struct IUiMainWindow;
struct FileTreeResult;

namespace SKINGUI {
class CListViewCtrlEx;
class CSkinEdit;
class CSkinStatic;
class CToolBarCtrlEx;
}  // namespace SKINGUI

// Drops on the window outside the list are taken and left alone (the
// defaults of IDropTargetImpl).
class CExplorerWindow : public QWidget, public IDropTargetImpl {
    Q_OBJECT
public:
    // Command ids of the menus, the toolbar and the keys.
    enum Command {
        kCmdRefresh = 32780,
        kCmdUpload = 32782,
        kCmdDownload = 32784,
        kCmdNewFolder = 32786,
        kCmdRename = 32788,
        kCmdDelete = 32790,
        kCmdMove = 32792,
        kCmdShare = 32794,
        kCmdView = 32796,
        kCmdViewDetails = 32816,
        kCmdViewList = 32818,
        kCmdViewIcons = 32820,
        kCmdViewTiles = 32821,
        kCmdViewThumbnails = 32822,
        kCmdRestore = 32831,
        kCmdEmpty = 32835,
        kCmdBack = 1028,
        kCmdForward = 1029,
        kCmdCopy = 57634,
        kCmdPaste = 57637,
        kCmdViewMenu = 10011,
    };
    // One selected row as commands and jobs see it.
    struct SelectedRow {
        int row = 0;
        // Null for row 0 and the new-folder row.
        const RemoteItem* item = nullptr;
    };
    // The dialogs a command opens; tests put their own answers in.
    struct Pickers {
        // Local files and folders to upload; empty when cancelled.
        std::function<std::vector<std::wstring>(QWidget* owner)> localPaths;
        // A local folder to download into; empty when cancelled.
        std::function<std::wstring(QWidget* owner)> localFolder;
        // A remote folder of my files; false when cancelled.
        std::function<bool(QWidget* owner, const QString& title, const QString& prompt, FileTreeResult* out)>
            remoteFolder;
        // Opens the share settings of an item.
        std::function<void(QWidget* owner, const RemoteItem& item)> share;
    };

    explicit CExplorerWindow(QWidget* parent = nullptr);
    ~CExplorerWindow() override;

    // Keeps the main window (status text, top pane) and shows the root of my files.
    HRESULT Init(IUiMainWindow* mainWindow);

    // What the middle pane forwards.
    HRESULT OpenItem(int navigateType, const std::wstring& id, const std::wstring& parentId,
                     const std::wstring& path, bool isFolder);
    HRESULT NavigateTo(int navigateType, const std::wstring& path);
    HRESULT ShowSection(int unused, int navigateType);
    HRESULT FullTextSearch(const std::wstring& keyword);
    // The main window is closing: stores the column widths (details view only).
    void SaveColumnWidths();

    // The one road of every navigation.
    HRESULT DirAndUpdateExplorerByItemType(const std::wstring& parentId, const std::wstring& fullPath,
                                           int type, bool fill, bool force);
    HRESULT Refresh();
    HRESULT GoBack();
    HRESULT GoForward();
    // Row 0 goes up, a folder row goes in, a file row opens the file.
    HRESULT OpenRow(int row);
    // Runs a command of the command table when its rule allows it.
    HRESULT RunCommand(int command);
    bool IsCommandEnabled(int command) const;
    void SetViewMode(int mode);
    int ViewMode() const;
    // The sort of a header click (column 0..3).
    void SortByColumn(int column);
    // The recycle bin's next page, when the list shows its end.
    HRESULT FetchMoreRecycle();
    // Selected rows in list order, with their items.
    std::vector<SelectedRow> SelectionSnapshot() const;
    // Starts editing the new folder's or the renamed row's name.
    void EndLabelEdit(int row, const QString& text, bool cancelled);

    void SetPickers(Pickers pickers);
    int NavigateType() const { return navigateType_; }
    const std::wstring& CurrentParentId() const { return parentId_; }
    const std::wstring& CurrentPath() const { return currentPath_; }
    const NavigationHistory& History() const { return history_; }
    CExplorerModel* Model() const { return model_; }
    QAbstractItemView* CurrentView() const;
    SKINGUI::CListViewCtrlEx* DetailsView() const { return details_; }
    QListView* ItemsView() const { return items_; }
    QItemSelectionModel* Selection() const { return selection_; }
    SKINGUI::CSkinStatic* Breadcrumb() const { return breadcrumb_; }
    SKINGUI::CToolBarCtrlEx* ToolBar() const { return toolbar_; }
    SKINGUI::CSkinEdit* SearchBox() const { return search_; }
    CThumbnailWorker* Thumbnails() const { return thumbnails_; }
    bool NewFolderPending() const { return newFolderPending_; }
    bool LabelEditing() const { return labelEditing_; }

signals:
    // The idle turn re-evaluated the rules (tests wait for it).
    void commandStatesUpdated();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Drag out, copy out and the list's drop targets run the window's rules and upload.
    friend class CExplorerDragDrop;

    // Building (explorerwindow.cpp).
    void BuildControls();
    void BuildToolBar();
    void LayoutControls();
    void ApplyViewMode();
    void LoadColumnWidths();
    void StoreColumnWidths();

    // Navigation and listing (explorernavigation.cpp).
    HRESULT ListMyFiles(bool fill, bool force);
    HRESULT ListShares(int type, bool fill, bool force);
    HRESULT ListRecycle();
    HRESULT FetchRecyclePage(std::vector<RemoteItem>* page);
    void ShowBreadcrumb(int type, const std::wstring& path);
    void ShowCounts();
    void AddRows(std::vector<RemoteItem> items);
    void SortAfterListing();
    void OnBreadcrumbLink(const QString& name);
    void OnScrolled();

    // Commands (explorercommands.cpp).
    ExplorerRules Rules() const;
    bool IsCommandEnabled(int command, const ExplorerRules& rules) const;
    void UpdateCommandStates();
    void OnIdleTurn();
    void ShowContextMenu(const QPoint& pos);
    void AddViewModeActions(QMenu* menu);
    bool HandleKey(QObject* watched, QKeyEvent* key);
    HRESULT NewFolder();
    HRESULT Rename();
    HRESULT OpenFileRow(const RemoteItem& item);
    HRESULT Upload();
    HRESULT Download();
    HRESULT Move();
    HRESULT Share();
    HRESULT Paste();
    HRESULT Copy();
    HRESULT DeleteSelection();
    HRESULT RestoreSelection();
    HRESULT EmptyRecycle();
    HRESULT RunUpload(std::vector<UploadEntry> entries);
    std::vector<ExplorerJobItem> JobItems() const;
    void StartLabelEdit(int row);
    void ShowMessage(const QString& text, const QString& caption);

    // Thumbnails (explorerthumbnails.cpp).
    void StartThumbnails();
    void StopThumbnails();
    void OnTileDone(quint64 generation, int itemIndex, const QString& fileId, const QString& cachePath,
                    int state);
    void AskThumbnailMode(const std::vector<RemoteItem>& items);

    IUiMainWindow* mainWindow_ = nullptr;
    CExplorerModel* model_ = nullptr;
    QItemSelectionModel* selection_ = nullptr;
    QStackedWidget* stack_ = nullptr;
    SKINGUI::CListViewCtrlEx* details_ = nullptr;
    QListView* items_ = nullptr;
    SKINGUI::CToolBarCtrlEx* toolbar_ = nullptr;
    SKINGUI::CSkinStatic* breadcrumb_ = nullptr;
    QToolButton* sectionButton_ = nullptr;
    QToolButton* back_ = nullptr;
    QToolButton* forward_ = nullptr;
    SKINGUI::CSkinEdit* search_ = nullptr;
    QTimer* idle_ = nullptr;
    CThumbnailWorker* thumbnails_ = nullptr;
    CExplorerDragDrop* dragDrop_ = nullptr;
    Pickers pickers_;

    NavigationHistory history_;
    std::wstring parentId_;
    std::wstring currentPath_ = L"\\";
    int navigateType_ = 0;
    int previousNavigateType_ = 0;
    bool newFolderPending_ = false;
    bool labelEditing_ = false;
    QString oldLabel_;
    int viewMode_ = 4;
    // Sort state of the header: column with an arrow, -1 none.
    int sortColumn_ = -1;
    bool sortAscending_ = false;
    // Recycle-bin paging.
    std::wstring recycleCursor_;
    bool recycleEnd_ = false;
    // Last value written for the two remembered upload answers (-1 unknown).
    int uploadAnswersCleared_ = -1;
    // The last stored column widths, so an unchanged layout writes nothing.
    std::wstring storedWidths_;
};

// Building the explorer window: controls, layout, painting, views and the
// stored column widths.
#include "ui/middlewindow/explorerwindow/explorerwindow.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QPainter>
#include <QScrollBar>
#include <QStackedWidget>
#include <QStyledItemDelegate>
#include <QTimer>
#include <QToolButton>

#include "core/coreapp/coreaccess.h"
#include "skingui/colorref.h"
#include "skingui/headerctrlex.h"
#include "skingui/listviewctrlex.h"
#include "skingui/skinedit.h"
#include "skingui/skinimagelist.h"
#include "skingui/skinstatic.h"
#include "skingui/toolbarctrlex.h"
#include "ui/mainwindowpanes.h"
#include "ui/middlewindow/explorerwindow/explorerdragdrop.h"
#include "ui/middlewindow/explorerwindow/explorermodel.h"
#include "ui/middlewindow/explorerwindow/thumbnailworker.h"
#include "ui/themeicon.h"

namespace {

constexpr int kDefaultWidths[CExplorerModel::kColumnCount] = {250, 80, 160, 150};
const wchar_t kHeaderWidthValue[] = L"_ExplorerHeaderWidth";
constexpr int kToolbarIconSide = 24;
const QSize kToolbarButton(58, 55);

// The skin's colours are COLORREF values (0x00BBGGRR).
QColor Rgb(unsigned colorRef) {
    return SKINGUI::ColorRef(colorRef).ToQColor();
}

// Label edits end in the window: a committed name is reported, an edit left
// with Escape is reported as cancelled; both arrive through the event loop,
// so the window may reopen the editor or show a message.
class LabelDelegate : public QStyledItemDelegate {
public:
    explicit LabelDelegate(CExplorerWindow* window) : QStyledItemDelegate(window), window_(window) {
        connect(this, &QAbstractItemDelegate::closeEditor, this, [this](QWidget* editor, EndEditHint hint) {
            if (hint != QAbstractItemDelegate::RevertModelCache)
                return;
            const int row = editor->property("explorerRow").toInt();
            QMetaObject::invokeMethod(
                window_, [w = window_, row] { w->EndLabelEdit(row, QString(), true); }, Qt::QueuedConnection);
        });
    }
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override {
        QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
        editor->setProperty("explorerRow", index.row());
        return editor;
    }
    void setModelData(QWidget* editor, QAbstractItemModel*, const QModelIndex& index) const override {
        auto* edit = qobject_cast<QLineEdit*>(editor);
        const QString text = edit ? edit->text() : QString();
        const int row = index.row();
        QMetaObject::invokeMethod(
            window_, [w = window_, row, text] { w->EndLabelEdit(row, text, false); }, Qt::QueuedConnection);
    }

private:
    CExplorerWindow* window_;
};

}  // namespace

CExplorerWindow::CExplorerWindow(QWidget* parent) : QWidget(parent) {
    BuildControls();
}

CExplorerWindow::~CExplorerWindow() {
    if (thumbnails_)
        thumbnails_->Stop();
}

HRESULT CExplorerWindow::Init(IUiMainWindow* mainWindow) {
    mainWindow_ = mainWindow;
    dragDrop_->PruneLeftovers();
    history_.Push(HistoryEntry{std::wstring(), std::wstring(), L"\\", kNavigateMyFiles});
    const HRESULT hr = DirAndUpdateExplorerByItemType(std::wstring(), L"\\", kNavigateMyFiles, true, false);
    CurrentView()->setFocus();
    return hr;
}

void CExplorerWindow::BuildControls() {
    setMinimumSize(300, 200);
    model_ = new CExplorerModel(this);
    model_->SetTileFont(font());

    sectionButton_ = new QToolButton(this);
    sectionButton_->setAutoRaise(true);
    sectionButton_->setStyleSheet(QStringLiteral("QToolButton { border: none; }"));
    sectionButton_->setIconSize(QSize(16, 16));
    sectionButton_->setToolTip(QStringLiteral("回到根目录"));
    connect(sectionButton_, &QToolButton::clicked, this, [this] { NavigateTo(navigateType_, L"\\"); });
    breadcrumb_ = new SKINGUI::CSkinStatic(this);
    breadcrumb_->SetBackgroundColor(SKINGUI::kNoColor);
    connect(breadcrumb_, &SKINGUI::CSkinStatic::linkClicked, this,
            [this](quint32, const QString& name) { OnBreadcrumbLink(name); });

    search_ = new SKINGUI::CSkinEdit(this);
    search_->resize(200, 27);
    search_->Edit()->setPlaceholderText(QStringLiteral("搜索文件"));
    auto search = [this] {
        const QString text = search_->Text();
        if (!text.isEmpty())
            FullTextSearch(text.toStdWString());
    };
    connect(search_, &SKINGUI::CSkinEdit::searchRequested, this, search);
    connect(search_->Edit(), &QLineEdit::returnPressed, this, search);

    back_ = new QToolButton(this);
    forward_ = new QToolButton(this);
    back_->setIcon(ThemeIcon(QStringLiteral("go-previous"), QStyle::SP_ArrowBack));
    forward_->setIcon(ThemeIcon(QStringLiteral("go-next"), QStyle::SP_ArrowForward));
    back_->setToolTip(QStringLiteral("后退"));
    forward_->setToolTip(QStringLiteral("前进"));
    for (QToolButton* b : {back_, forward_}) {
        b->setAutoRaise(true);
        b->setIconSize(QSize(24, 24));
        b->resize(39, 40);
    }
    connect(back_, &QToolButton::clicked, this, [this] { RunCommand(kCmdBack); });
    connect(forward_, &QToolButton::clicked, this, [this] { RunCommand(kCmdForward); });

    BuildToolBar();

    stack_ = new QStackedWidget(this);
    details_ = new SKINGUI::CListViewCtrlEx(stack_);
    details_->setModel(model_);
    details_->SetSkinStyle(SKINGUI::CListViewCtrlEx::kSkinHeader |
                           SKINGUI::CListViewCtrlEx::kTransparentHeader);
    details_->SetHeaderHeight(18);
    details_->SetSkinBkColor(SKINGUI::ColorRef(0xFBEBD4));
    static const char16_t* const captions[] = {u"名称", u"大小", u"类型", u"修改日期"};
    for (int c = 0; c < CExplorerModel::kColumnCount; ++c) {
        details_->SetColumn(c, QString::fromUtf16(captions[c]), kDefaultWidths[c], 10, 0);
        details_->setColumnWidth(c, kDefaultWidths[c]);
    }
    details_->setRootIsDecorated(false);
    details_->setUniformRowHeights(true);
    details_->setItemsExpandable(false);
    details_->setAllColumnsShowFocus(true);
    details_->setIconSize(QSize(18, 18));
    details_->header()->setSectionsMovable(true);
    details_->header()->setSectionsClickable(true);
    details_->header()->setSortIndicatorShown(true);
    details_->header()->setStretchLastSection(false);
    connect(details_->header(), &QHeaderView::sectionClicked, this,
            [this](int logical) { SortByColumn(logical); });

    items_ = new QListView(stack_);
    items_->setModel(model_);
    items_->setSelectionModel(details_->selectionModel());
    items_->setUniformItemSizes(true);
    items_->setLayoutMode(QListView::Batched);
    items_->setBatchSize(2000);
    items_->setMovement(QListView::Static);
    items_->setResizeMode(QListView::Adjust);
    selection_ = details_->selectionModel();

    for (QAbstractItemView* view :
         {static_cast<QAbstractItemView*>(details_), static_cast<QAbstractItemView*>(items_)}) {
        view->setSelectionMode(QAbstractItemView::ExtendedSelection);
        view->setSelectionBehavior(QAbstractItemView::SelectRows);
        view->setEditTriggers(QAbstractItemView::NoEditTriggers);
        view->setItemDelegate(new LabelDelegate(this));
        view->setContextMenuPolicy(Qt::CustomContextMenu);
        view->installEventFilter(this);
        connect(view, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& index) {
            if (!labelEditing_ && !newFolderPending_)
                OpenRow(index.row());
        });
        connect(view, &QWidget::customContextMenuRequested, this,
                [this](const QPoint& pos) { ShowContextMenu(pos); });
        connect(view->verticalScrollBar(), &QScrollBar::valueChanged, this, [this] { OnScrolled(); });
        connect(view->horizontalScrollBar(), &QScrollBar::valueChanged, this, [this] { OnScrolled(); });
    }
    stack_->addWidget(details_);
    stack_->addWidget(items_);
    connect(selection_, &QItemSelectionModel::selectionChanged, this, [this] { UpdateCommandStates(); });
    dragDrop_ = new CExplorerDragDrop(this);
    WindowDropTarget().Register(this);

    thumbnails_ = new CThumbnailWorker(this);
    connect(thumbnails_, &CThumbnailWorker::tileDone, this, &CExplorerWindow::OnTileDone);

    idle_ = new QTimer(this);
    idle_->setInterval(500);
    connect(idle_, &QTimer::timeout, this, [this] { OnIdleTurn(); });
    idle_->start();

    LoadColumnWidths();
    ApplyViewMode();
    LayoutControls();
}

void CExplorerWindow::BuildToolBar() {
    toolbar_ = new SKINGUI::CToolBarCtrlEx(this);
    struct ButtonSpec {
        int command;
        const char* icon;
        QStyle::StandardPixmap fallback;
        const char16_t* text;
    };
    static const ButtonSpec specs[] = {
        {kCmdRefresh, "view-refresh", QStyle::SP_BrowserReload, u"刷新"},
        {kCmdUpload, "cloud-upload", QStyle::SP_ArrowUp, u"上传"},
        {kCmdDownload, "cloud-download", QStyle::SP_ArrowDown, u"下载"},
        {kCmdNewFolder, "folder-new", QStyle::SP_FileDialogNewFolder, u"新建"},
        {kCmdRename, "edit-rename", QStyle::SP_FileDialogDetailedView, u"重命名"},
        {kCmdDelete, "edit-delete", QStyle::SP_TrashIcon, u"删除"},
        {kCmdMove, "edit-move", QStyle::SP_FileDialogToParent, u"移动"},
        {kCmdShare, "document-share", QStyle::SP_DriveNetIcon, u"共享"},
        {kCmdView, "document-open", QStyle::SP_DialogOpenButton, u"查看"},
        {kCmdViewMenu, "view-list-icons", QStyle::SP_FileDialogListView, u"视图"},
    };
    const QSize side(kToolbarIconSide, kToolbarIconSide);
    auto normal = std::make_shared<SKINGUI::SkinImageList>(side);
    auto hot = std::make_shared<SKINGUI::SkinImageList>(side);
    auto disabled = std::make_shared<SKINGUI::SkinImageList>(side);
    int image = 0;
    for (const ButtonSpec& spec : specs) {
        const QIcon icon = ThemeIcon(QString::fromLatin1(spec.icon), spec.fallback);
        normal->Add(icon.pixmap(side, QIcon::Normal));
        hot->Add(icon.pixmap(side, QIcon::Active));
        // The theme's own disabled look is too close to the normal one on the gradient.
        QPixmap faded(icon.pixmap(side).size());
        faded.fill(Qt::transparent);
        {
            QPainter painter(&faded);
            painter.setOpacity(0.3);
            painter.drawPixmap(0, 0, icon.pixmap(side, QIcon::Disabled));
        }
        disabled->Add(faded);
        toolbar_->AddButton(spec.command, image++, QString::fromUtf16(spec.text));
    }
    toolbar_->SetImageList(normal);
    toolbar_->SetHotImageList(hot);
    toolbar_->SetDisabledImageList(disabled);
    toolbar_->SetButtonSize(kToolbarButton);
    connect(toolbar_, &SKINGUI::CToolBarCtrlEx::commandTriggered, this,
            [this](int command) { RunCommand(command); });
}

void CExplorerWindow::LayoutControls() {
    const int w = width();
    const int h = height();
    search_->move(w - search_->width() - 10, (34 - search_->height()) / 2);
    sectionButton_->setGeometry(6, 6, 22, 22);
    breadcrumb_->setGeometry(30, 9, std::max(0, search_->x() - 40), 20);
    back_->move(10, 44);
    forward_->move(48, 44);
    toolbar_->setGeometry(98, 35, std::max(0, w - 100), 57);
    // Narrow windows lose move, rename and new folder first.
    const int bw = kToolbarButton.width();
    toolbar_->HideButton(kCmdMove, toolbar_->width() < 10 * bw);
    toolbar_->HideButton(kCmdRename, toolbar_->width() < 9 * bw);
    toolbar_->HideButton(kCmdNewFolder, toolbar_->width() < 8 * bw);
    stack_->setGeometry(1, 92, std::max(0, w - 2), std::max(0, h - 95));
}

void CExplorerWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    LayoutControls();
}

void CExplorerWindow::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const int w = width();
    const int h = height();
    QLinearGradient top(0, 0, 0, 34);
    top.setColorAt(0, Rgb(0xF5EEE5));
    top.setColorAt(1, Rgb(0xFAFCFC));
    p.fillRect(1, 1, w - 2, 33, top);
    p.setPen(Rgb(0xBFA972));
    p.drawLine(1, 34, w - 2, 34);
    QLinearGradient band(0, 35, 0, 92);
    band.setColorAt(0, Rgb(0xF9EDE3));
    band.setColorAt(1, Rgb(0xF6DEC6));
    p.fillRect(1, 35, w - 2, 57, band);
    p.setPen(Rgb(0xBFA972));
    p.drawRect(0, 0, w - 1, h - 3);
    p.setPen(Rgb(0xE1D0BD));
    p.drawLine(0, h - 1, w - 1, h - 1);
    p.drawLine(0, h - 2, w - 1, h - 2);
}

QAbstractItemView* CExplorerWindow::CurrentView() const {
    return viewMode_ == CExplorerModel::kDetails ? static_cast<QAbstractItemView*>(details_)
                                                 : static_cast<QAbstractItemView*>(items_);
}

int CExplorerWindow::ViewMode() const {
    return viewMode_;
}

void CExplorerWindow::SetViewMode(int mode) {
    if (mode < CExplorerModel::kThumbnails || mode > CExplorerModel::kDetails || mode == viewMode_)
        return;
    if (viewMode_ == CExplorerModel::kThumbnails) {
        StopThumbnails();
        model_->DropTiles();
    }
    if (viewMode_ == CExplorerModel::kDetails)
        StoreColumnWidths();
    viewMode_ = mode;
    ApplyViewMode();
    if (mode == CExplorerModel::kThumbnails)
        StartThumbnails();
}

void CExplorerWindow::ApplyViewMode() {
    model_->SetViewMode(viewMode_);
    if (viewMode_ == CExplorerModel::kDetails) {
        stack_->setCurrentWidget(details_);
        return;
    }
    items_->setModelColumn(CExplorerModel::kColName);
    switch (viewMode_) {
        case CExplorerModel::kList:
            items_->setViewMode(QListView::ListMode);
            items_->setFlow(QListView::TopToBottom);
            items_->setWrapping(true);
            items_->setWordWrap(false);
            items_->setIconSize(QSize(18, 18));
            items_->setGridSize(QSize(220, 22));
            break;
        case CExplorerModel::kIcons:
            items_->setViewMode(QListView::IconMode);
            items_->setFlow(QListView::LeftToRight);
            items_->setWrapping(true);
            items_->setWordWrap(true);
            items_->setIconSize(QSize(32, 32));
            items_->setGridSize(QSize(112, 84));
            break;
        case CExplorerModel::kTiles:
            items_->setViewMode(QListView::ListMode);
            items_->setFlow(QListView::LeftToRight);
            items_->setWrapping(true);
            items_->setWordWrap(false);
            items_->setIconSize(QSize(48, 48));
            items_->setGridSize(QSize(240, 58));
            break;
        default:
            items_->setViewMode(QListView::IconMode);
            items_->setFlow(QListView::LeftToRight);
            items_->setWrapping(true);
            items_->setWordWrap(true);
            items_->setIconSize(QSize(96, 96));
            items_->setGridSize(QSize(120, 136));
            break;
    }
    items_->setMovement(QListView::Static);
    // A static list view turns drops off on its viewport; ours still takes them.
    items_->viewport()->setAcceptDrops(true);
    items_->setResizeMode(QListView::Adjust);
    stack_->setCurrentWidget(items_);
}

void CExplorerWindow::LoadColumnWidths() {
    std::wstring text;
    GetCoreAccess().GetUserValue(text, kHeaderWidthValue, std::wstring());
    if (text.empty())
        return;
    const QStringList parts = QString::fromStdWString(text).split(u'|');
    for (int c = 0; c < CExplorerModel::kColumnCount && c < parts.size(); ++c) {
        bool ok = false;
        const int width = parts[c].trimmed().toInt(&ok);
        if (ok)
            details_->setColumnWidth(c, width > 0 ? width : kDefaultWidths[c]);
    }
    storedWidths_ = text;
}

void CExplorerWindow::StoreColumnWidths() {
    QStringList parts;
    for (int c = 0; c < CExplorerModel::kColumnCount; ++c) {
        const int width = details_->columnWidth(c);
        parts.push_back(QString::number(width < 1 ? kDefaultWidths[c] : width));
    }
    const std::wstring text = parts.join(u'|').toStdWString();
    if (text == storedWidths_)
        return;
    if (SUCCEEDED(GetCoreAccess().SetUserValue(kHeaderWidthValue, text)))
        storedWidths_ = text;
}

void CExplorerWindow::SaveColumnWidths() {
    if (viewMode_ == CExplorerModel::kDetails)
        StoreColumnWidths();
}

void CExplorerWindow::SetPickers(Pickers pickers) {
    if (pickers.localPaths)
        pickers_.localPaths = std::move(pickers.localPaths);
    if (pickers.localFolder)
        pickers_.localFolder = std::move(pickers.localFolder);
    if (pickers.remoteFolder)
        pickers_.remoteFolder = std::move(pickers.remoteFolder);
    if (pickers.share)
        pickers_.share = std::move(pickers.share);
}

bool CExplorerWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && HandleKey(watched, static_cast<QKeyEvent*>(event)))
        return true;
    return QWidget::eventFilter(watched, event);
}

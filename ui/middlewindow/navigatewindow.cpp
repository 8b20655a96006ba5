#include "ui/middlewindow/navigatewindow.h"

#include <QContextMenuEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QMenu>
#include <QMimeData>
#include <QMimeDatabase>
#include <QScreen>

#include "skingui/outbarlayout.h"
#include "skingui/simpleoutbar.h"
#include "ui/explorerdragmime.h"
#include "ui/iuservalues.h"
#include "ui/mainwindowpanes.h"
#include "ui/themeicon.h"

using namespace SKINGUI;

namespace {

constexpr QSize kIconSize(24, 24);
const wchar_t kDataKey[] = L"NavigateData";
const wchar_t kCaption[] = L"Orvane便携版";

QPixmap Icon(const QString& name, QStyle::StandardPixmap fallback) {
    return ThemeIcon(name, fallback).pixmap(kIconSize);
}

// The icons of the built-in entries, by section type.
QPixmap BuiltInIcon(int type) {
    switch (type) {
        case 0:
            return Icon(QStringLiteral("folder-cloud"), QStyle::SP_DirHomeIcon);
        case 1:
            return Icon(QStringLiteral("folder-publicshare"), QStyle::SP_DirLinkIcon);
        case 2:
            return Icon(QStringLiteral("folder-remote"), QStyle::SP_DirLinkIcon);
        case 3:
            return Icon(QStringLiteral("user-trash"), QStyle::SP_TrashIcon);
        default:
            return Icon(QStringLiteral("bookmark-new"), QStyle::SP_FileDialogNewFolder);
    }
}

// A favourite's icon from its name alone; the file is never touched.
QPixmap FavoriteIcon(const CNavigateModel::Entry& entry) {
    if (entry.kind == 1)
        return Icon(QStringLiteral("folder"), QStyle::SP_DirIcon);
    const QString name = QString::fromStdWString(entry.name);
    const QMimeType type = QMimeDatabase().mimeTypeForFile(name, QMimeDatabase::MatchExtension);
    QIcon icon = QIcon::fromTheme(type.iconName());
    if (icon.isNull())
        icon = QIcon::fromTheme(type.genericIconName());
    return icon.isNull() ? Icon(QStringLiteral("text-x-generic"), QStyle::SP_FileIcon)
                         : icon.pixmap(kIconSize);
}

}  // namespace

CNavigateWindow::CNavigateWindow(IUiMainWindow* mainWindow, IUserValues& values, QWidget* parent)
    : QWidget(parent), mainWindow_(mainWindow), values_(values) {
    bar_ = new CSimpleOutBar(this);
    bar_->setAcceptDrops(true);
    bar_->installEventFilter(this);
    connect(bar_, &CSimpleOutBar::itemClicked, this, &CNavigateWindow::SelectEntry);
    model_.Load(values_.GetUserValue(kDataKey, L""));
    Rebuild(0);
}

CNavigateWindow::~CNavigateWindow() = default;

void CNavigateWindow::Rebuild(int select) {
    auto images = std::make_shared<SkinImageList>(kIconSize);
    bar_->RemoveAllGroups();
    bar_->AddGroup(QStringLiteral("我的网盘"), -1);
    for (int i = 0; i < model_.Count(); ++i) {
        const CNavigateModel::Entry& entry = model_.At(i);
        // The first five places carry the sections' icons, as they always stand there first.
        const bool builtIn = i < CNavigateModel::kBuiltInEntries;
        const int image = images->Add(builtIn ? BuiltInIcon(entry.type) : FavoriteIcon(entry));
        bar_->AddItem(0, image, QString::fromStdWString(entry.name));
    }
    bar_->SetItemImageList(images);
    bar_->SetContentHeight(model_.Count() * OutBarLayout::kItemHeight);
    if (select >= 0 && select < model_.Count())
        bar_->SetSelectedItem(select);
    bar_->update();
}

void CNavigateWindow::Save() {
    values_.SetUserValue(kDataKey, model_.Save());
}

void CNavigateWindow::SelectEntry(int index) {
    if (index < 0 || index >= model_.Count())
        return;
    const CNavigateModel::Entry& entry = model_.At(index);
    const int type = CNavigateModel::OpenType(entry.type);
    if (type == CNavigateModel::kTypeAddFavorite) {
        if (mainWindow_)
            mainWindow_->AskUser(L"Wizard_AddFavorite",
                                 L"您可以直接把右边的目录或文件拖进来，以添加快捷方式。", kCaption, L"确定",
                                 0, L"下次不再提示", -1);
        PickedItem picked;
        if (!picker_ || !picker_(this, &picked))
            return;
        std::wstring text = std::wstring(picked.isFolder ? L"1" : L"0") + L"|" +
                            std::to_wstring(picked.type) + L"|" + picked.name + L"|" + picked.id + L"|" +
                            picked.parentId + L"|" + picked.path;
        model_.Append(text, -1);
        Rebuild(index);
        Save();
        return;
    }
    IMiddleWindow* middle = nullptr;
    if (mainWindow_)
        mainWindow_->GetPane(kPaneMiddle, reinterpret_cast<void**>(&middle));
    if (!middle)
        return;
    const std::vector<std::wstring> fields = CNavigateModel::Fields(entry.text);
    middle->OpenItem(type, fields[3], fields[4], fields[5], entry.kind != 0);
}

bool CNavigateWindow::RunCommand(int command, int index) {
    bool done = false;
    int select = index;
    switch (command) {
        case kCmdDelete:
            done = model_.Remove(index);
            // The entry that took its place, or the first one past the end.
            select = index < model_.Count() ? index : 0;
            break;
        case kCmdMoveUp:
            done = model_.MoveUp(index);
            select = index - 1;
            break;
        case kCmdMoveDown:
            done = model_.MoveDown(index);
            select = index + 1;
            break;
        default:
            break;
    }
    if (!done)
        return false;
    Rebuild(select);
    if (command == kCmdDelete)
        SelectEntry(select);
    Save();
    return true;
}

QMenu* CNavigateWindow::BuildMenu(int index) {
    delete menu_;
    menu_ = new QMenu(this);
    const CNavigateModel::MenuState state = model_.MenuFor(index);
    const std::pair<int, QString> items[] = {{kCmdDelete, QStringLiteral("删除(&D)")},
                                             {kCmdMoveUp, QStringLiteral("上移(&U)")},
                                             {kCmdMoveDown, QStringLiteral("下移(&N)")}};
    const bool enabled[] = {state.canDelete, state.canMoveUp, state.canMoveDown};
    for (int i = 0; i < 3; ++i) {
        QAction* action = menu_->addAction(items[i].second);
        action->setData(items[i].first);
        action->setEnabled(enabled[i]);
        const int command = items[i].first;
        connect(action, &QAction::triggered, this, [this, command, index] { RunCommand(command, index); });
    }
    if (state.canDelete)
        bar_->SetSelectedItem(index);
    return menu_;
}

bool CNavigateWindow::DropData(const QMimeData* data) {
    if (!data || !data->hasFormat(kExplorerDragMime))
        return false;
    const QString text = QString::fromUtf8(data->data(kExplorerDragMime));
    const int before = model_.Count();
    if (model_.AddDropped(text.toStdWString()) == 0)
        return false;
    Rebuild(before);
    Save();
    return true;
}

bool CNavigateWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched != bar_)
        return QWidget::eventFilter(watched, event);
    switch (event->type()) {
        case QEvent::DragEnter:
        case QEvent::DragMove: {
            auto* drag = static_cast<QDragMoveEvent*>(event);
            if (drag->mimeData()->hasFormat(kExplorerDragMime)) {
                drag->setDropAction(Qt::CopyAction);
                drag->accept();
            } else {
                drag->ignore();
            }
            return true;
        }
        case QEvent::Drop: {
            auto* drop = static_cast<QDropEvent*>(event);
            if (DropData(drop->mimeData())) {
                drop->setDropAction(Qt::CopyAction);
                drop->accept();
            } else {
                drop->ignore();
            }
            return true;
        }
        case QEvent::ContextMenu: {
            auto* menuEvent = static_cast<QContextMenuEvent*>(event);
            QMenu* menu = BuildMenu(bar_->HitTest(menuEvent->pos()));
            QPoint at = menuEvent->globalPos();
            if (QScreen* screen = QGuiApplication::screenAt(at)) {
                const QRect work = screen->availableGeometry();
                at.setX(std::clamp(at.x(), work.left(),
                                   std::max(work.left(), work.right() - menu->sizeHint().width())));
            }
            menu->popup(at);
            return true;
        }
        default:
            return QWidget::eventFilter(watched, event);
    }
}

void CNavigateWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    bar_->setGeometry(rect());
}

#include "ui/systemtray.h"

#include <QApplication>
#include <QMenu>
#include <QMetaObject>
#include <QThread>

#include "ui/textcut.h"
#include "ui/themeicon.h"

namespace {

struct MenuItem {
    int id;
    const char* text;
    bool enabled;
};

// The tray menu; id 0 is a separator. The first item is the default one.
const MenuItem kTrayMenu[] = {
    {CSystemTray::kCmdOpen, "打开(&O)", true},
    {CSystemTray::kCmdSettings, "设置(暂未开放)(&S)", false},
    {0, nullptr, false},
    {CSystemTray::kCmdFeedback, "反馈(&F)", true},
    {CSystemTray::kCmdAbout, "关于(&A)", true},
    {CSystemTray::kCmdQuit, "退出(&Q)", true},
};

QIcon AppIcon() {
    if (!QApplication::windowIcon().isNull())
        return QApplication::windowIcon();
    return QIcon::fromTheme(QStringLiteral("pellux"),
                            ThemeIcon(QStringLiteral("folder-cloud"), QStyle::SP_DriveNetIcon));
}

}  // namespace

CSystemTray::CSystemTray(std::unique_ptr<ITrayBackend> backend, QObject* parent)
    : QObject(parent), backend_(std::move(backend)) {
    if (!backend_)
        backend_ = std::make_unique<CQtTrayBackend>();
}

CSystemTray::~CSystemTray() {
    Remove();
}

bool CSystemTray::Create(QWidget* owner, int menuId) {
    if (created_ || menuId != kMenuId)
        return false;
    owner_ = owner;
    BuildMenu();
    backend_->SetContextMenu(menu_.get());
    backend_->SetMouseHandler([this](int message) {
        if (owner_ != nullptr)
            emit notify(kTrayId, message);
    });
    backend_->Show();
    created_ = true;
    return true;
}

void CSystemTray::BuildMenu() {
    menu_ = std::make_unique<QMenu>();
    menu_->setObjectName(QStringLiteral("SystemTray"));
    for (const MenuItem& item : kTrayMenu) {
        if (item.id == 0) {
            menu_->addSeparator();
            continue;
        }
        QAction* action = menu_->addAction(QString::fromUtf8(item.text));
        action->setData(item.id);
        action->setEnabled(item.enabled);
        const int id = item.id;
        connect(action, &QAction::triggered, this, [this, id] { emit command(id); });
    }
    QAction* first = menu_->actions().value(0);
    QFont bold = first->font();
    bold.setBold(true);
    first->setFont(bold);
    menu_->setDefaultAction(first);
}

void CSystemTray::SetIcon(int iconId) {
    if (!OnGuiThread()) {
        QMetaObject::invokeMethod(
            this, [this, iconId] { SetIcon(iconId); }, Qt::QueuedConnection);
        return;
    }
    record_.iconId = iconId;
    backend_->SetIcon(iconId == kAppIconId ? AppIcon() : QIcon());
}

void CSystemTray::SetTip(const QString& tip) {
    if (!OnGuiThread()) {
        QMetaObject::invokeMethod(
            this, [this, tip] { SetTip(tip); }, Qt::QueuedConnection);
        return;
    }
    record_.tip = CutText(tip, kTipMax);
    backend_->SetToolTip(record_.tip);
}

bool CSystemTray::ShowBalloon(const QString& text, const QString& title, int iconFlags, int timeoutMs) {
    if (!OnGuiThread()) {
        QMetaObject::invokeMethod(
            this, [=] { ShowBalloon(text, title, iconFlags, timeoutMs); }, Qt::QueuedConnection);
        return true;
    }
    if (!created_)
        return false;
    record_.infoText = CutText(text, kInfoTextMax);
    record_.infoTitle = CutText(title, kInfoTitleMax);
    record_.infoFlags = iconFlags;
    record_.timeoutMs = timeoutMs;
    return backend_->ShowMessage(record_.infoTitle, record_.infoText, iconFlags, timeoutMs);
}

void CSystemTray::Remove() {
    if (!created_)
        return;
    created_ = false;
    backend_->SetMouseHandler(nullptr);
    backend_->SetContextMenu(nullptr);
    backend_->Hide();
    menu_.reset();
    owner_ = nullptr;
}

bool CSystemTray::OnGuiThread() const {
    return QThread::currentThread() == thread();
}

#include "ui/mainwindow/topwindow.h"

#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QScreen>
#include <QToolButton>

#include "skingui/colorref.h"
#include "skingui/skinstatic.h"
#include "ui/mainwindow/spacetext.h"
#include "ui/themeicon.h"

using namespace SKINGUI;

namespace {

constexpr int kNameLeft = 52;
constexpr int kBarX = 55;
constexpr int kBarY = 32;
constexpr int kBarHeight = 8;
constexpr ColorRef kBarColor = 0x00E7A2;
constexpr ColorRef kTextColor = 0x71685B;
constexpr ColorRef kNameColor = 0x3F352B;  // the markup's 0x2b353f

}  // namespace

CTopWindow::CTopWindow(IUiMainWindow* mainWindow, const std::wstring& userName, const std::wstring& nickName,
                       QWidget* parent)
    : QWidget(parent), mainWindow_(mainWindow) {
    const QString shown = QString::fromStdWString(nickName.empty() ? userName : nickName);
    name_ = new CSkinStatic(this);
    QFont bold = font();
    bold.setBold(true);
    name_->SetOwnFont(bold);
    name_->SetTextColor(kNameColor);
    // The name is the user's own text: shown as it is, never read as markup.
    name_->SetPlainText(shown);
    name_->setToolTip(QString::fromStdWString(userName));
    const int nameWidth = std::min(QFontMetrics(bold).horizontalAdvance(shown) + 4, 300);
    name_->setGeometry(kNameLeft, 8, nameWidth, 18);

    account_ = new QToolButton(this);
    account_->setAutoRaise(true);
    account_->setIcon(ThemeIcon(QStringLiteral("go-down"), QStyle::SP_ArrowDown));
    account_->setIconSize(QSize(15, 15));
    account_->setGeometry(kNameLeft + nameWidth + 2, 7, 19, 19);
    account_->setFocusPolicy(Qt::NoFocus);
    menu_ = new QMenu(this);
    QAction* logOut = menu_->addAction(QStringLiteral("注销"));
    QAction* switchUser = menu_->addAction(QStringLiteral("切换用户"));
    logOut->setData(int(kCmdLogOut));
    switchUser->setData(int(kCmdSwitchUser));
    for (QAction* action : {logOut, switchUser})
        connect(action, &QAction::triggered, this, [this] {
            if (mainWindow_)
                mainWindow_->RequestRestart();
        });
    connect(account_, &QToolButton::clicked, this, &CTopWindow::ShowAccountMenu);

    auto* logo = new QLabel(this);
    logo->setPixmap(ThemeIcon(QStringLiteral("folder-cloud"), QStyle::SP_DriveNetIcon).pixmap(32, 32));
    logo->resize(32, 32);
    logo_ = logo;
}

CTopWindow::~CTopWindow() = default;

void CTopWindow::SetSpaceInfo(uint64_t used, uint64_t total) {
    used_ = used;
    total_ = total;
    update();
}

void CTopWindow::ShowAccountMenu() {
    QPoint at = account_->mapToGlobal(QPoint(0, account_->height()));
    if (QScreen* screen = QGuiApplication::screenAt(at)) {
        const QRect work = screen->availableGeometry();
        at.setX(
            std::clamp(at.x(), work.left(), std::max(work.left(), work.right() - menu_->sizeHint().width())));
    }
    menu_->popup(at);
}

void CTopWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    logo_->move(width() - 10 - logo_->width(), (height() - logo_->height()) / 2);
}

void CTopWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const int w = width();
    auto line = [&](int y, ColorRef color) {
        painter.setPen(color.ToQColor());
        painter.drawLine(0, y, w - 1, y);
    };
    line(0, 0xFEFEFE);
    QLinearGradient gradient(0, 1, 0, 48);
    gradient.setColorAt(0, ColorRef(0xFFF5EB).ToQColor());
    gradient.setColorAt(1, ColorRef(0xF6E3CE).ToQColor());
    painter.fillRect(0, 1, w, 47, gradient);
    line(48, 0xF9EDE1);
    line(49, 0xCDB8A2);
    line(50, 0xD6C7B4);
    line(51, 0xE3D6DC);
    line(52, 0xEFE5DB);

    // The user's picture at the left, then the space trough with its bar.
    const QPixmap user = ThemeIcon(QStringLiteral("user-identity"), QStyle::SP_DirHomeIcon).pixmap(36, 36);
    painter.drawPixmap(8, 8, user);
    painter.setPen(ColorRef(0xB8A48E).ToQColor());
    painter.setBrush(Qt::white);
    painter.drawRect(kBarX - 3, kBarY - 2, kSpaceBarWidth + 5, kBarHeight + 3);
    painter.fillRect(kBarX, kBarY, SpaceBarPixels(used_, total_), kBarHeight, kBarColor.ToQColor());
    painter.setPen(kTextColor.ToQColor());
    painter.setFont(font());
    const QFontMetrics metrics(font());
    painter.drawText(QPoint(102, kBarY + kBarHeight / 2 + (metrics.ascent() - metrics.descent()) / 2),
                     SpaceText(used_, total_));
}

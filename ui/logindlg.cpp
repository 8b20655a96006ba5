#include "ui/logindlg.h"

#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QScreen>

#include "base/settings/inisettings.h"
#include "base/settings/regsettings.h"
#include "core/coreapp/coreaccess.h"
#include "core/remotestorage/remotestorage/resultcodes.h"
#include "skingui/colorref.h"
#include "skingui/skinbutton.h"
#include "skingui/skinhyperlink.h"
#include "skingui/skinstatic.h"
#include "ui/themeicon.h"
#include "ui/wizardprompt.h"

using namespace SKINGUI;

namespace {

constexpr int kWidth = 540;
constexpr int kHeight = 330;
constexpr int kBannerWidth = 245;
constexpr int kLineLeft = 253;
constexpr int kLineAboveBottom = 47;
constexpr ColorRef kFace = 0xFFF9F2;
constexpr ColorRef kLine = 0xE3DAD0;
constexpr int kIdKeepData = 1006;
constexpr int kIdDeleteData = 1007;
constexpr int kIdTips = 1005;

const QString kCaption = QStringLiteral("Orvane便携版");

// Restores the cursor however the call ends.
class WaitCursor {
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
};

QString WebPage(const QString& path) {
    std::wstring root;
    IniReadString(root, L"NorleShell", L"WebServerRoot", L"");
    QString base = QString::fromStdWString(root);
    while (base.endsWith('/'))
        base.chop(1);
    return base + path;
}

// The banner at the left: the program's icon and name over a soft gradient.
QPixmap MakeBanner(int height) {
    QPixmap banner(kBannerWidth, height);
    QPainter painter(&banner);
    QLinearGradient gradient(0, 0, 0, height);
    gradient.setColorAt(0, QColor(0x3b, 0x7d, 0xd8));
    gradient.setColorAt(1, QColor(0x6f, 0xb1, 0xf0));
    painter.fillRect(banner.rect(), gradient);
    const QPixmap icon = ThemeIcon(QStringLiteral("folder-cloud"), QStyle::SP_DriveNetIcon).pixmap(96, 96);
    painter.drawPixmap((kBannerWidth - 96) / 2, height / 2 - 90, icon);
    painter.setPen(Qt::white);
    QFont font = painter.font();
    font.setPointSize(16);
    font.setBold(true);
    painter.setFont(font);
    painter.drawText(QRect(0, height / 2 + 20, kBannerWidth, 40), Qt::AlignCenter, kCaption);
    return banner;
}

}  // namespace

CLoginDlg::CLoginDlg(CCoreAccess& core, QWidget* parent) : QDialog(parent), core_(core) {
    setWindowTitle(QStringLiteral("登录Orvane便携版"));
    setFixedSize(kWidth, kHeight);
    const int left = kLineLeft + 20;
    const int editLeft = left + 70;
    const int editWidth = kWidth - editLeft - 25;
    accountLabel_ = new CSkinStatic(this);
    accountLabel_->setGeometry(left, 40, 70, 24);
    account_ = new QLineEdit(this);
    account_->setGeometry(editLeft, 40, editWidth, 24);
    passwordLabel_ = new CSkinStatic(this);
    passwordLabel_->setGeometry(left, 78, 70, 24);
    password_ = new QLineEdit(this);
    password_->setEchoMode(QLineEdit::Password);
    password_->setGeometry(editLeft, 78, editWidth, 24);

    keepData_ = new CSkinButton(this, QString(), BS_AUTORADIOBUTTON);
    keepData_->SetControlId(kIdKeepData);
    keepData_->setGeometry(left, 120, kWidth - left - 15, 22);
    deleteData_ = new CSkinButton(this, QString(), BS_AUTORADIOBUTTON);
    deleteData_->SetControlId(kIdDeleteData);
    deleteData_->setGeometry(left, 146, kWidth - left - 15, 22);
    tips_ = new CSkinButton(this, QString(), BS_AUTOCHECKBOX);
    tips_->SetControlId(kIdTips);
    tips_->setGeometry(left, 180, kWidth - left - 15, 22);

    register_ = new CSkinHyperLink(this);
    register_->setGeometry(left, 220, 140, 20);
    resetPassword_ = new CSkinHyperLink(this);
    resetPassword_->setGeometry(left + 160, 220, 100, 20);

    const int buttonTop = kHeight - kLineAboveBottom + (kLineAboveBottom - 26) / 2;
    exit_ = new QPushButton(QStringLiteral("退出"), this);
    exit_->setGeometry(kWidth - 15 - 80, buttonTop, 80, 26);
    login_ = new QPushButton(QStringLiteral("登录"), this);
    login_->setGeometry(kWidth - 15 - 80 - 10 - 80, buttonTop, 80, 26);
    login_->setDefault(true);
    connect(login_, &QPushButton::clicked, this, &CLoginDlg::OnLogin);
    connect(exit_, &QPushButton::clicked, this, &CLoginDlg::reject);
}

CLoginDlg::~CLoginDlg() = default;

int CLoginDlg::Run() {
    if (TrySilentLogin())
        return Accepted;
    SetUpControls();
    if (QScreen* screen = QApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    return exec() == Accepted ? Accepted : kLoginLeft;
}

bool CLoginDlg::TrySilentLogin() {
    std::wstring userId;
    RegReadString(userId, L"", L"UserId", L"");
    if (userId.empty())
        return false;
    WaitCursor wait;
    return core_.TryLogin(0) == S_OK;
}

QString CLoginDlg::FailureText(HRESULT hr) {
    if (hr == E_RESULT_ACCOUNT_NOT_MATCH)
        return QStringLiteral("用户不存在或密码错误，请重新输入用户名或密码，然后重新登录。");
    if (hr == E_TRANSPORT_TIMEOUT || hr == E_TRANSPORT_CONNECT || hr == E_TRANSPORT_FAILED ||
        hr == E_CHECKSUM_MISMATCH) {
        return QStringLiteral("网络错误，请确保您的电脑正常联网，然后尝试重新登录。");
    }
    return QStringLiteral("登录时发生错误，请尝试重新登录。");
}

void CLoginDlg::SetUpControls() {
    setWindowIcon(ThemeIcon(QStringLiteral("pellux"), QStyle::SP_DriveNetIcon));
    keepData_->SetCaption(QStringLiteral("这是我的电脑，我希望更便捷"), kAlignLeft | kAlignVCenter);
    deleteData_->SetCaption(QStringLiteral("这不是我的电脑，我希望更安全"), kAlignLeft | kAlignVCenter);
    if (ReadRegDword(L"", L"LoginMode", 1) == 1)
        keepData_->SetCheck(BST_CHECKED);
    else
        deleteData_->SetCheck(BST_CHECKED);
    tips_->SetCaption(QStringLiteral("请提示我使用技巧"), kAlignLeft | kAlignVCenter);
    tips_->SetCheck(BST_CHECKED);
    accountLabel_->SetPlainText(QStringLiteral("用户名："));
    passwordLabel_->SetPlainText(QStringLiteral("密   码："));
    register_->SetLabel(QStringLiteral("还没有账号？立即注册"));
    register_->SetHyperLink(WebPage(QStringLiteral("/register/")));
    resetPassword_->SetLabel(QStringLiteral("忘记密码了？"));
    resetPassword_->SetHyperLink(WebPage(QStringLiteral("/resetpwd/")));
    banner_ = MakeBanner(height() - kLineAboveBottom);
}

void CLoginDlg::OnLogin() {
    const std::wstring account = account_->text().toStdWString();
    const std::wstring password = password_->text().toStdWString();
    const int mode = keepData_->GetCheck() == BST_CHECKED ? 1 : 2;
    HRESULT hr = S_OK;
    {
        WaitCursor wait;
        hr = core_.BindWithLogin(account, password, mode);
    }
    if (hr == S_OK) {
        core_.SetUserIntValue(kWizardOpenFlag, tips_->GetCheck() == BST_CHECKED ? 1 : 0);
        accept();
        return;
    }
    QMessageBox box(QMessageBox::NoIcon, kCaption, FailureText(hr), QMessageBox::Ok, this);
    box.exec();
}

void CLoginDlg::reject() {
    done(kLoginLeft);
}

bool CLoginDlg::CtlColorStatic(QWidget*, ColorRef* background) {
    *background = kFace;
    return true;
}

void CLoginDlg::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), kFace.ToQColor());
    if (!banner_.isNull())
        painter.drawPixmap(0, 0, banner_);
    painter.setPen(kLine.ToQColor());
    const int y = height() - kLineAboveBottom;
    painter.drawLine(kLineLeft, y, width() - 4, y);
}

#include "ui/placeholdermainwnd.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "core/coreapp/coreaccess.h"
#include "ui/logindlg.h"
#include "ui/singleinstance.h"
#include "ui/systemtray.h"
#include "ui/themeicon.h"
#include "ui/wizarddlg.h"

namespace {

const QString kCaption = QStringLiteral("Orvane便携版");

}  // namespace

CPlaceholderMainWnd::CPlaceholderMainWnd(QWidget* parent) : QWidget(parent) {
    setWindowTitle(kCaption);
    setWindowIcon(ThemeIcon(QStringLiteral("pellux"), QStyle::SP_DriveNetIcon));
    resize(420, 180);
    auto* layout = new QVBoxLayout(this);
    name_ = new QLabel(this);
    name_->setAlignment(Qt::AlignCenter);
    layout->addWidget(name_, 1);
    auto* buttons = new QHBoxLayout();
    auto* logout = new QPushButton(QStringLiteral("注销"), this);
    auto* quit = new QPushButton(QStringLiteral("退出"), this);
    buttons->addStretch(1);
    buttons->addWidget(logout);
    buttons->addWidget(quit);
    layout->addLayout(buttons);
    connect(logout, &QPushButton::clicked, this, [this] { CloseApp(kRestartCode); });
    connect(quit, &QPushButton::clicked, this, [this] { CloseApp(kQuitCode); });
    // The first instance holds the event; this handle only looks at it.
    instanceEvent_.Open(kInstanceEventName);
}

CPlaceholderMainWnd::~CPlaceholderMainWnd() = default;

void CPlaceholderMainWnd::Create(CPassControl& pass) {
    pass_ = &pass;
    CLoginDlg login(GetCoreAccess());
    if (login.Run() != QDialog::Accepted) {
        CloseApp(kLoginCancelledCode);
        return;
    }
    std::wstring userName, nickName;
    GetCoreAccess().GetLoginInfo(&userName, nullptr, nullptr, &nickName);
    name_->setText(
        QStringLiteral("已登录：%1").arg(QString::fromStdWString(nickName.empty() ? userName : nickName)));
    tray_ = std::make_unique<CSystemTray>();
    tray_->Create(this);
    tray_->SetTip(QStringLiteral("Pellux"));
    connect(tray_.get(), &CSystemTray::command, this, [this](int id) {
        if (id == CSystemTray::kCmdQuit)
            CloseApp(kQuitCode);
        else if (id == CSystemTray::kCmdOpen)
            BringBack();
    });
    connect(tray_.get(), &CSystemTray::notify, this, [this](int, int mouse) {
        if (mouse == 513)
            BringBack();
    });
    instanceTimer_ = new QTimer(this);
    connect(instanceTimer_, &QTimer::timeout, this, &CPlaceholderMainWnd::PollInstanceEvent);
    instanceTimer_->start(1000);
    show();
}

HRESULT CPlaceholderMainWnd::ShowMessage(const std::wstring& text, const std::wstring& caption) {
    QMessageBox box(QMessageBox::NoIcon, QString::fromStdWString(caption), QString::fromStdWString(text),
                    QMessageBox::Ok, isVisible() ? this : nullptr);
    box.exec();
    return S_OK;
}

int CPlaceholderMainWnd::AskUser(const std::wstring& rememberKey, const std::wstring& text,
                                 const std::wstring& caption, const std::wstring& buttons, int flag,
                                 const std::wstring& checkText, int rememberValue) {
    std::lock_guard<std::mutex> guard(askLock_);
    CWizardDlg box(values_, WizardPrompt{rememberKey, text, caption, buttons, flag, checkText, rememberValue},
                   isVisible() ? this : nullptr);
    return box.ShowOrReuse();
}

HRESULT CPlaceholderMainWnd::ShowBalloon(const std::wstring& text, const std::wstring& title,
                                         uint32_t iconFlags, uint32_t timeoutMs) {
    if (!tray_)
        return E_FAIL;
    return tray_->ShowBalloon(QString::fromStdWString(text), QString::fromStdWString(title),
                              static_cast<int>(iconFlags), static_cast<int>(timeoutMs))
               ? S_OK
               : E_FAIL;
}

void CPlaceholderMainWnd::closeEvent(QCloseEvent* event) {
    event->ignore();
    // Closing the window keeps the program in the tray; without a tray it quits.
    if (tray_ && tray_->IsCreated())
        hide();
    else
        CloseApp(kQuitCode);
}

void CPlaceholderMainWnd::CloseApp(int code) {
    if (instanceTimer_)
        instanceTimer_->stop();
    if (tray_)
        tray_->Remove();
    hide();
    if (pass_)
        pass_->End(code);
}

void CPlaceholderMainWnd::PollInstanceEvent() {
    if (instanceEvent_.IsOpen() && instanceEvent_.Wait(0)) {
        instanceEvent_.Reset();
        BringBack();
    }
}

void CPlaceholderMainWnd::BringBack() {
    showNormal();
    raise();
    activateWindow();
}

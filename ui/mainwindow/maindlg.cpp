#include "ui/mainwindow/maindlg.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QKeyEvent>
#include <QMessageBox>
#include <QScreen>
#include <QSessionManager>
#include <QTimer>

#include "core/coreapp/coreaccess.h"
#include "ui/coreuservalues.h"
#include "ui/logindlg.h"
#include "ui/mainwindow/aboutdlg.h"
#include "ui/mainwindow/bottomwindow.h"
#include "ui/mainwindow/exittext.h"
#include "ui/mainwindow/hotkey.h"
#include "ui/mainwindow/mainplacement.h"
#include "ui/mainwindow/sessioncontrol.h"
#include "ui/mainwindow/shutdowndlg.h"
#include "ui/mainwindow/topwindow.h"
#include "ui/mainwindow/webpages.h"
#include "ui/middlewindow/contentwindow.h"
#include "ui/middlewindow/itaskcore.h"
#include "ui/middlewindow/middlewindow.h"
#include "ui/middlewindow/taskswindow.h"
#include "ui/singleinstance.h"
#include "ui/systemtray.h"
#include "ui/themeicon.h"
#include "ui/waittingdlg.h"
#include "ui/wizarddlg.h"

namespace {

const QString kCaption = QStringLiteral("Orvane便携版");
const wchar_t kPosKey[] = L"_MainWndPos";
constexpr int kInstancePollMs = 1000;

}  // namespace

CMainDlg::CMainDlg(MainDlgParts parts, QWidget* parent) : QWidget(parent), parts_(std::move(parts)) {
    if (parts_.values) {
        values_ = parts_.values;
    } else {
        ownValues_ = std::make_unique<CCoreUserValues>();
        values_ = ownValues_.get();
    }
    if (!parts_.core)
        parts_.core = CoreTaskAccess();
    if (!parts_.session)
        parts_.session = MakeDBusSessionControl();
    if (!parts_.hotKey)
        parts_.hotKey = MakeHotKey();
    if (!parts_.login)
        parts_.login = [this] {
            return CLoginDlg(GetCoreAccess(), isVisible() ? this : nullptr).Run() == QDialog::Accepted;
        };
    if (!parts_.stopWorker)
        parts_.stopWorker = [] { CWaittingDlg::Instance().Stop(); };
    setWindowTitle(kCaption);
    setWindowIcon(ThemeIcon(QStringLiteral("pellux"), QStyle::SP_DriveNetIcon));
    setMinimumSize(kMinClientWidth, kMinClientHeight);
    // The first instance holds the event; this handle only looks at it.
    instanceEvent_.Open(kInstanceEventName);
}

CMainDlg::~CMainDlg() {
    // A pass that ended without CloseApp: the panes store their state now,
    // while the values they write to still exist.
    if (middle_)
        middle_->TearDown();
    if (parts_.hotKey)
        parts_.hotKey->Unregister();
    if (inhibiting_)
        parts_.session->SetShutdownInhibit(false);
}

void CMainDlg::Create(CPassControl& pass) {
    pass_ = &pass;
    if (!parts_.login()) {
        CloseApp(kLoginCancelledCode);
        return;
    }
    tray_ = std::make_unique<CSystemTray>(std::move(parts_.tray));
    tray_->SetIcon(CSystemTray::kAppIconId);
    tray_->Create(this);
    tray_->SetTip(QStringLiteral("%1 v%2\n快速备份您的文档").arg(kCaption, ProgramVersionText()));
    connect(tray_.get(), &CSystemTray::command, this, &CMainDlg::OnCommand);
    connect(tray_.get(), &CSystemTray::notify, this, [this](int, int mouse) {
        if (mouse == 513)
            BringBack();
    });
    hotKeyRegistered_ = parts_.hotKey->Register([this] { BringBack(); });

    RestorePlacement();
    std::wstring userName, nickName;
    GetCoreAccess().GetLoginInfo(&userName, nullptr, nullptr, &nickName);
    top_ = new CTopWindow(this, userName, nickName, this);
    bottom_ = new CBottomWindow(this);
    middle_ = new CMiddleWindow(this, *values_, parts_.core, this);
    created_ = true;
    resizeEvent(nullptr);
    shutDown_ = std::make_unique<CShutDownDlg>(*parts_.core, *parts_.session, parts_.stopWorker, this);
    connect(qApp, &QGuiApplication::commitDataRequest, this, &CMainDlg::OnCommitData);

    timer_ = new QTimer(this);
    connect(timer_, &QTimer::timeout, this, &CMainDlg::OnTimer);
    timer_->start(kInstancePollMs);
    show();
    raise();
    activateWindow();
}

HRESULT CMainDlg::ShowMessage(const std::wstring& text, const std::wstring& caption) {
    QMessageBox box(QMessageBox::NoIcon, QString::fromStdWString(caption), QString::fromStdWString(text),
                    QMessageBox::Ok, isVisible() ? this : nullptr);
    box.exec();
    return S_OK;
}

int CMainDlg::AskUser(const std::wstring& rememberKey, const std::wstring& text, const std::wstring& caption,
                      const std::wstring& buttons, int flag, const std::wstring& checkText,
                      int rememberValue) {
    std::lock_guard<std::recursive_mutex> guard(askLock_);
    CWizardDlg box(*values_,
                   WizardPrompt{rememberKey, text, caption, buttons, flag, checkText, rememberValue},
                   isVisible() ? this : nullptr);
    return box.ShowOrReuse();
}

HRESULT CMainDlg::ShowBalloon(const std::wstring& text, const std::wstring& title, uint32_t iconFlags,
                              uint32_t timeoutMs) {
    if (!tray_)
        return E_FAIL;
    return tray_->ShowBalloon(QString::fromStdWString(text), QString::fromStdWString(title),
                              static_cast<int>(iconFlags), static_cast<int>(timeoutMs))
               ? S_OK
               : E_FAIL;
}

HRESULT CMainDlg::GetPane(int index, void** out) {
    if (!out)
        return S_OK;
    switch (index) {
        case kPaneMainWindow:
            *out = static_cast<IUiMainWindow*>(this);
            break;
        case kPaneTop:
            *out = top_ ? static_cast<ITopWindow*>(top_) : nullptr;
            break;
        case kPaneMiddle:
            *out = middle_ ? static_cast<IMiddleWindow*>(middle_) : nullptr;
            break;
        case kPaneBottom:
            *out = bottom_ ? static_cast<IBottomWindow*>(bottom_) : nullptr;
            break;
        default:
            break;
    }
    return S_OK;
}

HRESULT CMainDlg::RequestRestart() {
    // Queued: the caller (a menu of a pane) is still on the stack.
    QMetaObject::invokeMethod(
        this, [this] { CloseApp(kRestartCode); }, Qt::QueuedConnection);
    return S_OK;
}

HRESULT CMainDlg::SetStatusText(const std::wstring& text) {
    if (bottom_)
        bottom_->SetStatusText(QString::fromStdWString(text));
    return S_OK;
}

void CMainDlg::CloseApp(int code) {
    if (closing_)
        return;
    if (created_ && !ConfirmExit())
        return;
    closing_ = true;
    // A log-in that was left has neither a placement worth keeping nor panes.
    if (created_) {
        SavePlacement();
        middle_->TearDown();
    }
    if (timer_)
        timer_->stop();
    parts_.hotKey->Unregister();
    if (tray_)
        tray_->Remove();
    if (inhibiting_) {
        parts_.session->SetShutdownInhibit(false);
        inhibiting_ = false;
    }
    hide();
    if (pass_)
        pass_->End(code);
}

bool CMainDlg::ConfirmExit() {
    if (!parts_.core->IsLoggedIn())
        return true;
    if (shutDown_ && shutDown_->IsModelessOpen())
        return true;
    if (!shutDown_)
        shutDown_ = std::make_unique<CShutDownDlg>(*parts_.core, *parts_.session, parts_.stopWorker, this);
    return shutDown_->RunModal();
}

bool CMainDlg::QueryEndSession(uint32_t flags) {
    if (!shutDown_ || shutDown_->IsModelessOpen())
        return true;
    std::vector<TaskInfo> tasks, files;
    parts_.core->GetTaskList(false, &tasks);
    parts_.core->GetOpenFileList(&files);
    if (tasks.empty() && files.empty())
        return true;
    shutDown_->SetEndSession(true, flags);
    return !shutDown_->ShowModeless();
}

void CMainDlg::OnCommitData(QSessionManager& manager) {
    // The desktop does not say whether it logs off or shuts down; logging
    // off is the smaller step and is part of either.
    if (!QueryEndSession(kEndSessionLogoff) && manager.allowsInteraction()) {
        manager.cancel();
        manager.release();
    }
}

void CMainDlg::OnCommand(int id) {
    switch (id) {
        case kCmdOk:
        case kCmdQuit:
            CloseApp(kQuitCode);
            break;
        case kCmdShow:
            BringBack();
            break;
        case kCmdAbout:
        case kCmdAboutApp: {
            std::wstring token;
            GetCoreAccess().GetLoginInfo(nullptr, &token, nullptr, nullptr);
            CAboutDlg about(QString::fromStdWString(token), isVisible() ? this : nullptr);
            about.exec();
            break;
        }
        case kCmdFeedback:
            OpenFeedback();
            break;
        default:
            break;
    }
}

void CMainDlg::OpenFeedback() {
    std::wstring token;
    GetCoreAccess().GetLoginInfo(nullptr, &token, nullptr, nullptr);
    QDesktopServices::openUrl(
        FeedbackPage(WebServerRoot(), QString::fromStdWString(token), ProgramVersionText()));
}

void CMainDlg::BringBack() {
    showNormal();
    raise();
    activateWindow();
}

void CMainDlg::RestorePlacement() {
    QRect rect;
    std::vector<QRect> screens;
    for (QScreen* screen : QGuiApplication::screens())
        screens.push_back(screen->availableGeometry());
    if (ParsePlacement(values_->GetUserValue(kPosKey, L""), &rect)) {
        setGeometry(ClampOntoScreens(rect, screens));
        return;
    }
    const QRect work = QGuiApplication::primaryScreen()
                           ? QGuiApplication::primaryScreen()->availableGeometry()
                           : QRect(0, 0, 1024, 768);
    setGeometry(DefaultPlacement(work));
}

void CMainDlg::SavePlacement() {
    if (isMaximized() || isMinimized())
        return;
    values_->SetUserValue(kPosKey, FormatPlacement(geometry()));
}

void CMainDlg::OnTimer() {
    if (instanceEvent_.IsOpen() && instanceEvent_.Wait(0)) {
        instanceEvent_.Reset();
        BringBack();
    }
    // A shut-down waits while something would be lost; the cache is read
    // without waiting, so this never blocks on the core.
    if (!middle_)
        return;
    CTaskInfoCache& cache = middle_->Content()->Tasks()->Cache();
    std::vector<TaskInfo> tasks, files;
    if (!cache.GetUnfinishedList(tasks) || !cache.GetOpenFileList(files))
        return;
    const bool pending = !tasks.empty() || !files.empty();
    if (pending != inhibiting_ && parts_.session->SetShutdownInhibit(pending))
        inhibiting_ = pending;
}

void CMainDlg::closeEvent(QCloseEvent* event) {
    if (qApp->isSavingSession()) {
        event->accept();
        return;
    }
    event->ignore();
    // Without a notification area a hidden window could not be brought back,
    // and the tip would point at an icon nobody sees.
    if (!tray_ || !tray_->IsInTray()) {
        showMinimized();
        return;
    }
    AskUser(L"Wizard_CloseMainWnd", L"最小化到托盘，您可以直接点击托盘图标打开。", kCaption.toStdWString(),
            L"确定", 0, L"下次不再提示", -1);
    hide();
}

void CMainDlg::resizeEvent(QResizeEvent* event) {
    if (event)
        QWidget::resizeEvent(event);
    if (!created_)
        return;
    const int w = width();
    const int h = height();
    top_->setGeometry(0, 0, w, CTopWindow::kHeight);
    middle_->setGeometry(0, CTopWindow::kHeight, w, h - CTopWindow::kHeight - CBottomWindow::kHeight);
    bottom_->setGeometry(0, h - CBottomWindow::kHeight, w, CBottomWindow::kHeight);
}

void CMainDlg::keyPressEvent(QKeyEvent* event) {
    // Neither Enter nor Escape may close the window.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter || event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

#include "ui/mainwindow/shutdowndlg.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include "ui/mainwindow/sessioncontrol.h"
#include "ui/middlewindow/itaskcore.h"
#include "ui/themeicon.h"

CShutDownDlg::CShutDownDlg(ITaskCore& core, ISessionControl& session, std::function<void()> stopWorker,
                           QWidget* parent)
    : QDialog(parent), core_(core), session_(session), stopWorker_(std::move(stopWorker)) {
    setWindowIcon(ThemeIcon(QStringLiteral("pellux"), QStyle::SP_DriveNetIcon));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 20, 20, 14);
    layout->setSpacing(16);
    auto* body = new QHBoxLayout();
    body->setSpacing(14);
    auto* icon = new QLabel(this);
    icon->setPixmap(ThemeIcon(QStringLiteral("dialog-warning"), QStyle::SP_MessageBoxWarning).pixmap(48, 48));
    icon->setAlignment(Qt::AlignTop);
    message_ = new QLabel(this);
    message_->setTextFormat(Qt::PlainText);
    message_->setWordWrap(true);
    message_->setMinimumWidth(360);
    message_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    body->addWidget(icon);
    body->addWidget(message_, 1);
    layout->addLayout(body);
    auto* buttons = new QHBoxLayout();
    ok_ = new QPushButton(this);
    cancel_ = new QPushButton(QStringLiteral("取消"), this);
    ok_->setDefault(true);
    buttons->addStretch(1);
    buttons->addWidget(ok_);
    buttons->addWidget(cancel_);
    layout->addLayout(buttons);
    connect(ok_, &QPushButton::clicked, this, &CShutDownDlg::accept);
    connect(cancel_, &QPushButton::clicked, this, &CShutDownDlg::reject);
}

CShutDownDlg::~CShutDownDlg() = default;

void CShutDownDlg::SetEndSession(bool endOfSession, uint32_t flags) {
    endOfSession_ = endOfSession;
    flags_ = flags;
}

bool CShutDownDlg::Prepare() {
    std::vector<TaskInfo> tasks, files;
    core_.GetTaskList(false, &tasks);
    core_.GetOpenFileList(&files);
    if (tasks.empty() && files.empty())
        return false;
    const ExitTexts texts = BuildExitTexts(int(tasks.size()), int(files.size()), endOfSession_, flags_);
    setWindowTitle(texts.title);
    ok_->setText(texts.okText);
    message_->setText(texts.message);
    adjustSize();
    if (QScreen* screen = parentWidget() ? parentWidget()->screen() : QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    return true;
}

bool CShutDownDlg::RunModal() {
    endOfSession_ = false;
    if (!Prepare())
        return true;
    setModal(true);
    return exec() == QDialog::Accepted;
}

bool CShutDownDlg::ShowModeless() {
    if (!Prepare())
        return false;
    setModal(false);
    modelessOpen_ = true;
    show();
    raise();
    activateWindow();
    return true;
}

bool CShutDownDlg::DoSystemAction() {
    return flags_ == kEndSessionLogoff ? session_.LogOff() : session_.PowerOff();
}

void CShutDownDlg::accept() {
    // Nothing may still write when the session goes: tasks and the waiting
    // dialog's worker end first.
    core_.CancelAllTasks(std::wstring());
    if (stopWorker_)
        stopWorker_();
    if (endOfSession_) {
        DoSystemAction();
        modelessOpen_ = false;
        hide();
        return;
    }
    QDialog::accept();
}

void CShutDownDlg::reject() {
    if (endOfSession_) {
        // The session end stays refused; the program keeps running.
        modelessOpen_ = false;
        hide();
        return;
    }
    QDialog::reject();
}

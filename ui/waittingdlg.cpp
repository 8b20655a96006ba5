#include "ui/waittingdlg.h"

#include <QCoreApplication>
#include <QImage>
#include <QPainter>
#include <QTimer>

#include "base/utility/formatstring.h"
#include "platform/hresult.h"
#include "skingui/drawhelpers.h"
#include "skingui/skincolorbutton.h"
#include "skingui/skinresources.h"
#include "skingui/skinstatic.h"

using namespace SKINGUI;

namespace {

constexpr int kWidth = 320;
constexpr int kHeight = 150;
constexpr QRect kFrameRect(5, 47, 40, 40);
constexpr int kFrameCount = 12;
constexpr int kFirstFrameId = 377;
constexpr int kFrameMs = 100;
constexpr uint32_t kStopWaitMs = 5000;
constexpr ColorRef kOuterFrame = 0xEBBB87;
constexpr ColorRef kInnerFrame = 0xF7DEC4;
constexpr ColorRef kFace = 0xFEFBF7;

CWaittingDlg* g_instance = nullptr;

void DeleteInstance() {
    delete g_instance;
    g_instance = nullptr;
}

// The frames are JPEGs on white; white is their transparent colour.
std::shared_ptr<SkinImageList> LoadFrames() {
    auto frames = std::make_shared<SkinImageList>(kFrameRect.size());
    for (int i = 0; i < kFrameCount; ++i) {
        QImage image = LoadSkinImage(QStringLiteral("RCDATA"), kFirstFrameId - i)
                           .toImage()
                           .convertToFormat(QImage::Format_ARGB32);
        for (int y = 0; y < image.height(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < image.width(); ++x) {
                if ((line[x] & 0xFFFFFF) == 0xFFFFFF)
                    line[x] = 0;
            }
        }
        frames->Add(QPixmap::fromImage(image));
    }
    return frames;
}

}  // namespace

CWaittingDlg& CWaittingDlg::Instance() {
    if (g_instance == nullptr) {
        g_instance = new CWaittingDlg;
        // Widgets must go before the application object does.
        qAddPostRoutine(DeleteInstance);
    }
    return *g_instance;
}

CWaittingDlg::CWaittingDlg() : QDialog(nullptr, Qt::Dialog | Qt::FramelessWindowHint) {
    setFixedSize(kWidth, kHeight);
    setWindowModality(Qt::ApplicationModal);
    text_ = new CSkinStatic(this);
    // Room for three lines: a cut progress line of long Chinese names takes two or three.
    text_->setGeometry(kFrameRect.right() + 12, kFrameRect.top() - 20, kWidth - kFrameRect.right() - 24, 80);
    auto* cancel = new CSkinColorButton(this, QStringLiteral("取消"));
    cancel->SetControlId(1032);
    cancel->SetFaceColor(kOuterFrame);
    cancel->setGeometry(kWidth - 12 - 76, kHeight - 12 - 26, 76, 26);
    cancel_ = cancel;
    connect(cancel, &QAbstractButton::clicked, this, &CWaittingDlg::OnCancel);
    timer_ = new QTimer(this);
    timer_->setInterval(kFrameMs);
    connect(timer_, &QTimer::timeout, this, &CWaittingDlg::OnTimer);
    frames_ = LoadFrames();
}

CWaittingDlg::~CWaittingDlg() {
    if (job_)
        job_->Detach();
    // A worker still running was abandoned by Stop; it owns what it touches.
    if (worker_ && !worker_->Join(0))
        worker_->Abandon();
}

int CWaittingDlg::Run(Job job, QWidget* parent, const QString& text) {
    if (job_ || !job)
        return E_FAIL;
    job_ = std::make_shared<CWaitJob>();
    job_->receiver_ = this;
    result_ = E_FAIL;
    stopping_ = false;
    frame_ = 0;
    text_->SetPlainText(text.isEmpty() ? QStringLiteral("正在处理中，请稍候...") : text);
    cancel_->setEnabled(true);
    if (parent != nullptr)
        move(parent->window()->geometry().center() - rect().center());
    timer_->start();
    // Started from inside the modal loop, so the job's end always finds a
    // running loop to close, and a box that never shows starts nothing.
    QTimer::singleShot(0, this, [this, job = std::move(job)] { StartWorker(job); });
    exec();
    timer_->stop();
    job_->Detach();
    job_.reset();
    // The worker posted its result as its last act, so the join is short; a
    // worker given up by Stop is no longer joinable.
    if (worker_ && !worker_->Join(kStopWaitMs))
        worker_->Abandon();
    worker_.reset();
    return result_;
}

void CWaittingDlg::StartWorker(Job job) {
    if (!job_ || worker_ || stopping_)
        return;
    worker_ = std::make_unique<CWorkerThread>();
    std::shared_ptr<CWaitJob> state = job_;
    worker_->Start([state, job = std::move(job)](const CWorkerThread::StopToken&) {
        const int result = job(*state);
        state->PostToBox([result](CWaittingDlg& box) { box.Finish(result); });
    });
}

bool CWaittingDlg::Stop() {
    if (!job_)
        return true;
    job_->goOn_ = 0;
    if (!worker_) {
        stopping_ = true;
        Finish(E_FAIL);
        return true;
    }
    std::wstring text;
    FormatString(text, L"等待窗口退出超时，TimeOut = %d", static_cast<int>(kStopWaitMs));
    if (worker_->StopAndJoin(kStopWaitMs, text))
        return true;  // the job's own queued result closes the box
    job_->Detach();
    Finish(E_FAIL);
    return false;
}

void CWaittingDlg::ShowProgressText(const QString& line) {
    text_->SetPlainText(line);
}

QString CWaittingDlg::ProgressText() const {
    return text_->WindowText();
}

bool CWaittingDlg::CtlColorStatic(QWidget*, ColorRef* background) {
    *background = kFace;
    return true;
}

void CWaittingDlg::OnCancel() {
    if (job_)
        job_->goOn_ = 0;
    cancel_->setEnabled(false);
}

void CWaittingDlg::OnTimer() {
    frame_ = (frame_ + 1) % kFrameCount;
    update(kFrameRect);
}

void CWaittingDlg::Finish(int result) {
    result_ = result;
    if (isVisible())
        done(0);
}

// Escape does not end the box: only the job's end (or Stop) does.
void CWaittingDlg::reject() {}

void CWaittingDlg::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const int right = width() - 1;
    const int bottom = height() - 1;
    DrawRectFrame(painter, 0, 0, right, bottom, kOuterFrame, PS_SOLID, 3);
    DrawRectFrame(painter, 3, 3, right - 3, bottom - 3, kInnerFrame);
    painter.fillRect(QRect(4, 4, width() - 8, height() - 8), kFace.ToQColor());
    frames_->Draw(painter, frame_, kFrameRect.topLeft());
}

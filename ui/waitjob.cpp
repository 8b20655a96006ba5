#include "ui/waitjob.h"

#include <QMetaObject>

#include "ui/textcut.h"
#include "ui/waittingdlg.h"

namespace {
constexpr int kProgressTextMax = 50;
}

QString CutProgressText(const QString& text) {
    if (text.size() <= kProgressTextMax)
        return text;
    return CutText(text, kProgressTextMax) + QStringLiteral("...");
}

void CWaitJob::SetProgressText(const QString& text) {
    const QString line = CutProgressText(text);
    PostToBox([line](CWaittingDlg& box) { box.ShowProgressText(line); });
}

void CWaitJob::PostToBox(std::function<void(CWaittingDlg&)> fn) {
    std::lock_guard<std::mutex> guard(receiverLock_);
    if (receiver_ == nullptr)
        return;
    CWaittingDlg* box = receiver_;
    QMetaObject::invokeMethod(
        box, [box, fn = std::move(fn)] { fn(*box); }, Qt::QueuedConnection);
}

void CWaitJob::Detach() {
    std::lock_guard<std::mutex> guard(receiverLock_);
    receiver_ = nullptr;
}

#include "update/update/updatehooksqt.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <QMetaObject>
#include <QProcess>
#include <QStringList>
#include <QThread>

namespace {

void ShowMessageBox(const QString& text, const QString& caption) {
    QMessageBox::information(nullptr, caption, text);
}

}  // namespace

UpdateHooks MakeDesktopUpdateHooks(std::function<void(const std::wstring& text, const std::wstring& title,
                                                      uint32_t iconFlags, uint32_t timeoutMs)>
                                       showBalloon) {
    UpdateHooks hooks;
    hooks.showBalloon = std::move(showBalloon);
    hooks.showMessage = [](const std::wstring& text, const std::wstring& caption) {
        const QString qtext = QString::fromStdWString(text);
        const QString qcaption = QString::fromStdWString(caption);
        QCoreApplication* app = QCoreApplication::instance();
        if (!app)
            return;
        if (QThread::currentThread() == app->thread())
            ShowMessageBox(qtext, qcaption);
        else
            QMetaObject::invokeMethod(
                app, [qtext, qcaption] { ShowMessageBox(qtext, qcaption); }, Qt::QueuedConnection);
    };
    hooks.startProgram = [](const std::wstring& path, const std::vector<std::wstring>& args) {
        QStringList list;
        for (const std::wstring& a : args)
            list << QString::fromStdWString(a);
        return QProcess::startDetached(QString::fromStdWString(path), list);
    };
    return hooks;
}

// The program: settings, log and crash reports for the per-user folder, one
// instance per user, then passes of main window and core until the user quits.
#include <QApplication>
#include <string>
#include <vector>

#include "base/log/initconfig.h"
#include "base/settings/configfolder.h"
#include "componentwiring.h"
#include "core/coreapp/coreaccess.h"
#include "platform/namedevent.h"
#include "platform/uithread.h"
#include "ui/bridgesink.h"
#include "ui/commandline.h"
#include "ui/mainwindow/maindlg.h"
#include "ui/coreuservalues.h"
#include "ui/crashreport.h"
#include "ui/passloop.h"
#include "ui/singleinstance.h"
#include "ui/themeicon.h"
#include "update/update/update.h"
#include "update/update/updatehooksqt.h"

int main(int argc, char** argv) {
    // Qt removes the arguments it knows; the switches are read from a copy.
    const std::vector<std::wstring> args = ArgumentList(argc, argv);
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Pellux"));
    QApplication::setOrganizationName(QStringLiteral("Pellux"));
    QApplication::setApplicationDisplayName(QStringLiteral("Pellux"));
    QApplication::setDesktopFileName(QStringLiteral("pellux"));
    QApplication::setQuitOnLastWindowClosed(false);
    MarkUiThread();
    QApplication::setWindowIcon(ThemeIcon(QStringLiteral("pellux"), QStyle::SP_DriveNetIcon));

    std::wstring folder;
    GetConfigFolder(folder);
    InitConfigAndLog(folder);
    SetupCrashReport(folder);

    // The update check announces a staged version through the tray, which
    // the core-access object reaches through the bridge of the running pass.
    CUpdate update(MakeDesktopUpdateHooks(
        [](const std::wstring& text, const std::wstring& title, uint32_t iconFlags, uint32_t timeoutMs) {
            GetCoreAccess().ShowBalloon(text, title, iconFlags, timeoutMs);
        }));
    CNamedEvent instance;
    if (HasSwitch(args, L"-hasupdate", true)) {
        HoldInstanceEvent(instance);
    } else {
        if (!CheckSingleInstance(args, instance))
            return 0;
        if (update.CheckAndApplyUpdate() != 0)
            return 0;
        DeleteOldProgramFile(RunningProgramPath());
    }

    InstallComponentMakers();
    CCoreUserValues values;
    CBridgeSink sink(values);
    const int result = RunPassLoop(folder, sink, ProcessCore(),
                                   [](ICoreLife&) { return std::unique_ptr<IPassWindow>(new CMainDlg()); });
    update.WaitUpdateThread();
    return result;
}
